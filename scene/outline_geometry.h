#pragma once
// How a record's outline is read: its rings and its bounding box. One
// reading for the view, the renderer and the record helpers.
#include <optional>
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

// The smallest and largest coordinates of the points; none for no points.
struct PointBox {
    V2d_Point min;
    V2d_Point max;
};
std::optional<PointBox> BoundingBox(std::span<const V2d_Point> points);

}  // namespace v2d
