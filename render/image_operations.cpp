#include "render/image_operations.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "render/picture_ops.h"
#include "scene/outline_geometry.h"

namespace v2d {
PixelBox BoxOf(std::span<const V2d_Point> points) {
    const std::optional<PointBox> box = BoundingBox(points);
    if (!box) return {};
    PixelBox pixels;
    pixels.minX = box->min.x, pixels.minY = box->min.y;
    pixels.maxX = box->max.x, pixels.maxY = box->max.y;
    return pixels;
}

Quad QuadOf(const V2d_Point (&corners)[4]) { return {corners[0], corners[1], corners[2], corners[3]}; }

}  // namespace v2d
