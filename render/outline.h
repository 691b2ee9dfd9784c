#pragma once
// A record's outline as rings: ring k runs from the point after the previous
// ring's last point up to point indexList[k] and closes back to its first.
#include <QPainterPath>
#include <QPointF>

#include <span>
#include <vector>

#include "render/image_operations.h"
#include "scene/outline_geometry.h"
#include "scene/v2d_polygon.h"

namespace v2d {

// All rings in one path with the even-odd rule, so a ring inside another is
// a hole, shifted by `offset`.
QPainterPath OutlinePath(const V2dPolygon& record, QPointF offset);

// Min and max over all outline points.
PixelBox OutlineBox(const V2dPolygon& record);

// True when the quad is the outline box's own corners (top-left, top-right,
// bottom-right, bottom-left).
bool QuadIsOutlineBox(const V2dPolygon& record);

// Pictures larger than this are refused rather than allocated.
bool PictureSizeAllowed(int width, int height);

}  // namespace v2d
