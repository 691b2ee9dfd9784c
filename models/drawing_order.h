#pragma once
// Where a model just dropped, drawn or copied goes in the drawing order: in
// front of everything it stands on or lies in (the floor, a rug, the walls
// behind it, pictures on them), behind the furniture nearer the viewer.
#include <QPainterPath>

#include "models/scene_selection.h"

namespace v2d {

// The area a record covers in the scene picture: a region's rings, a shadow
// region's at its origin, a picture model's outline as the view shows it, a
// cut-out's box where its handles frame it. Empty for a model part, whose
// owner draws it.
QPainterPath CoveredArea(const V2dPolygon& record, const OutlineMapper& mapper);

// A carpet, a painting, a curtain, a door or a feature wall lies in the
// plane it was placed on; any other model stands in front of it.
bool LiesFlat(const V2dPolygon& model);

// Moves the model (an owner with its parts after it) to just after the last
// record it overlaps and has to cover: every region, every flat model, and
// the standing models whose foot is no nearer the viewer (no lower in the
// picture) than its own; a flat model covers no standing one. With nothing
// to cover it goes before the first record in front of it, else to the end.
void BringToFront(Scene& scene, V2dPolygon* model, const OutlineMapper& mapper);

// The step a copy is set off from its original on one axis: `step` towards
// the far side when the copy stays inside the picture there, else towards
// the near side, else `step`.
int CopyOffset(int low, int high, int size, int step);

}  // namespace v2d
