#include "scene/outline_geometry.h"

#include <algorithm>
#include <cstdint>

namespace v2d {

std::vector<std::span<const V2d_Point>> OutlineRings(std::span<const V2d_Point> points,
                                                     std::span<const int32_t> indexList) {
    std::vector<std::span<const V2d_Point>> rings;
    if (points.empty()) return rings;
    const int64_t last = static_cast<int64_t>(points.size()) - 1;
    int64_t first = 0;
    for (int32_t end : indexList) {
        const int64_t stop = std::min<int64_t>(end, last);
        if (stop < first) continue;
        rings.push_back(points.subspan(static_cast<size_t>(first), static_cast<size_t>(stop - first + 1)));
        first = stop + 1;
        if (first > last) break;
    }
    return rings;
}

std::vector<std::span<const V2d_Point>> OutlineRings(const V2dPolygon& record) {
    return OutlineRings(record.points, record.indexList);
}

std::optional<PointBox> BoundingBox(std::span<const V2d_Point> points) {
    if (points.empty()) return std::nullopt;
    PointBox box{points.front(), points.front()};
    for (const V2d_Point& p : points) {
        box.min.x = std::min(box.min.x, p.x), box.min.y = std::min(box.min.y, p.y);
        box.max.x = std::max(box.max.x, p.x), box.max.y = std::max(box.max.y, p.y);
    }
    return box;
}

}  // namespace v2d
