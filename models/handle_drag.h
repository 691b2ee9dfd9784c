#pragma once
// Shaping a model with its handles: node1..node4 at the corners, node5..node8
// at the edge midpoints (top, bottom, left, right), NodeMove in the middle.
// Positions are the handles' top-left pixels in the view panel's coordinates.
#include <QPoint>

#include <array>

#include "scene/v2d_polygon.h"

namespace v2d {

using HandlePositions = std::array<QPoint, 9>;

// One mouse-move step of handle k (0..7 for node1..node8). With Shift, or
// for a cut-out model, the top and bottom edge handles move only vertically
// and the side ones only horizontally; a cut-out's rectangle stays
// axis-parallel. A moved corner re-centres the edge handles; a moved edge
// handle carries its edge parallel to itself, its midpoint on the handle.
void DragHandle(HandlePositions& handles, int k, QPoint step, bool shift, bool cutOut);

// The corners as the handles show them, relative to the model's origin:
// view position (handle - viewOffset) over the zoom, truncated.
void CornersFromHandles(V2dPolygon& model, const HandlePositions& handles, QPoint viewOffset, double zoom);

// After a cut-out's corners were dragged: the smallest corner joins the
// origin and the size becomes the scale of its picture, at least 1 % so the
// model never shrinks to nothing.
void SettleCutoutCorners(V2dPolygon& model);

}  // namespace v2d
