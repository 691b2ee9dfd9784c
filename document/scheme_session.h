#pragma once
// Whole-scene steps that touch the scene, the undo stack and the displayed
// picture together: opening a scheme and undoing.
#include <filesystem>

#include "render/scene_renderer.h"
#include "base/result.h"
#include "scene/undo.h"

namespace v2d {

// OpenScheme: reads the file into a new scene; on success it replaces the
// scene, every record is rendered in list order and the undo stack is
// emptied. A file that does not read leaves the open scene as it was.
Status OpenSchemeInto(const std::filesystem::path& path, SceneRenderer& renderer, UndoList& undo,
                      const Progress& progress = {});

// Undo followed by the quick redraw (every record from its cache, progress
// per record). Nothing is redrawn when the stack was empty.
UndoOutcome UndoAndRedraw(SceneRenderer& renderer, UndoList& undo, const Progress& progress = {});

}  // namespace v2d
