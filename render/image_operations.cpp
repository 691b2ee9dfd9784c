#include "render/image_operations.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "render/picture_ops.h"

namespace v2d {
PixelBox BoxOf(std::span<const V2d_Point> points) {
    PixelBox box;
    if (points.empty()) return box;
    box.minX = box.minY = INT_MAX;
    box.maxX = box.maxY = INT_MIN;
    for (const V2d_Point& p : points) {
        box.minX = std::min(box.minX, p.x);
        box.minY = std::min(box.minY, p.y);
        box.maxX = std::max(box.maxX, p.x);
        box.maxY = std::max(box.maxY, p.y);
    }
    return box;
}

Quad QuadOf(const V2d_Point (&corners)[4]) { return {corners[0], corners[1], corners[2], corners[3]}; }

}  // namespace v2d
