#include "document/scheme_session.h"

#include "scene/scheme_file.h"

namespace v2d {

Status OpenSchemeInto(const std::filesystem::path& path, SceneRenderer& renderer, UndoList& undo,
                      const Progress& progress) {
    Result<SchemeFile> file = ReadSchemeFile(path);
    if (!file) return Error{file.error()};
    renderer.scene() = std::move(file->scene);
    renderer.RenderAll(progress);
    ClearUndo(undo);
    return Status::Ok();
}

UndoOutcome UndoAndRedraw(SceneRenderer& renderer, UndoList& undo, const Progress& progress) {
    UndoOutcome outcome = Undo(renderer.scene(), undo);
    if (outcome.undone) renderer.QuickRedraw(progress);
    return outcome;
}

}  // namespace v2d
