#include "scene/v2d_polygon.h"

#include <algorithm>
#include <limits>

namespace v2d {

PolygonPtr NewPolygon() { return std::make_unique<V2dPolygon>(); }

void SetCornersFromBoundingBox(V2dPolygon& record) {
    if (record.points.empty()) return;
    int32_t minX = std::numeric_limits<int32_t>::max(), minY = minX;
    int32_t maxX = std::numeric_limits<int32_t>::min(), maxY = maxX;
    for (const V2d_Point& p : record.points) {
        minX = std::min(minX, p.x);
        minY = std::min(minY, p.y);
        maxX = std::max(maxX, p.x);
        maxY = std::max(maxY, p.y);
    }
    record.corners[0] = {minX, minY};
    record.corners[1] = {maxX, minY};
    record.corners[2] = {maxX, maxY};
    record.corners[3] = {minX, maxY};
}

PolygonPtr ClonePolygon(const V2dPolygon& source) {
    auto clone = std::make_unique<V2dPolygon>(source);
    clone->originX = 0;
    clone->originY = 0;
    clone->scaleX = 100;
    clone->scaleY = 100;
    if (clone->kind == kCutOutModel && !clone->picture.isNull() && clone->points.size() >= 4) {
        const int32_t w = clone->picture.width(), h = clone->picture.height();
        clone->points[0] = {0, 0};
        clone->points[1] = {w - 1, 0};
        clone->points[2] = {w - 1, h - 1};
        clone->points[3] = {0, h - 1};
    }
    SetCornersFromBoundingBox(*clone);
    return clone;
}

PolygonPtr CopyPolygon(const V2dPolygon& source) {
    // QImage copies are copy-on-write: the first write to either side gives it
    // pixels of its own, so sharing them here is already an independent copy
    // and saves copying whole pictures for every undo snapshot.
    auto copy = std::make_unique<V2dPolygon>(source);
    if (source.kind == kCutOutModel && !source.picture.isNull() &&
        copy->picture.format() != QImage::Format_ARGB32) {
        copy->picture = copy->picture.convertToFormat(QImage::Format_ARGB32);
    }
    return copy;
}

}  // namespace v2d
