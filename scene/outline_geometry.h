#pragma once
// How a record's outline is read: its rings and its bounding box. One
// reading for the view, the renderer and the record helpers.
#include <QPainterPath>
#include <QPointF>

#include <span>
#include <vector>

#include "scene/v2d_polygon.h"

namespace v2d {

// Rings of an outline: ring k runs from the point after the previous ring's
// last point up to point indexList[k]. Entries past the outline are cut to
// its last point; entries that do not move forward give no ring.
std::vector<std::span<const V2d_Point>> OutlineRings(std::span<const V2d_Point> points,
                                                     std::span<const int32_t> indexList);
std::vector<std::span<const V2d_Point>> OutlineRings(const V2dPolygon& record);

// The outline's box.
inline PixelBox OutlineBox(const V2dPolygon& record) { return BoxOf(record.points); }
// True when the corners are the outline box's own corners, top-left first.
bool CornersAreOutlineBox(const V2dPolygon& record);

// The columns [left, end) of each row of the outline box that a fill of the
// outline path (anti-aliased, points at pixel centres) can touch, with a
// pixel to spare on each side; a row the outline misses is empty. An
// outline too long to follow row by row gets whole rows.
struct ColumnSpan {
    int left = 0, end = 0;
};
std::vector<ColumnSpan> OutlineRowSpans(const V2dPolygon& record);

// All rings in one path with the even-odd rule, so a ring inside another is
// a hole, shifted by `offset`.
QPainterPath OutlinePath(std::span<const V2d_Point> points, std::span<const int32_t> indexList, QPointF offset = {});
QPainterPath OutlinePath(const V2dPolygon& record, QPointF offset = {});

}  // namespace v2d
