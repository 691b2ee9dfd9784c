#include "scene/v2d_polygon.h"

#include <algorithm>

namespace v2d {

PolygonPtr NewPolygon() { return std::make_unique<V2dPolygon>(); }

void SetCornersFromBoundingBox(V2dPolygon& record) {
    const PixelBox box = BoxOf(record.points);
    if (box.empty()) return;
    const Quad corners = box.corners();
    std::copy(corners.begin(), corners.end(), record.corners);
}

PolygonPtr ClonePolygon(const V2dPolygon& source) {
    auto clone = std::make_unique<V2dPolygon>(source);
    clone->id = {};
    clone->originX = 0;
    clone->originY = 0;
    clone->scaleX = 100;
    clone->scaleY = 100;
    if (clone->kind == RecordKind::CutOutModel && !clone->picture.isNull() && clone->points.size() >= 4) {
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
    copy->id = {};
    if (source.kind == RecordKind::CutOutModel && !source.picture.isNull() &&
        copy->picture.format() != QImage::Format_ARGB32) {
        copy->picture = copy->picture.convertToFormat(QImage::Format_ARGB32);
    }
    return copy;
}

}  // namespace v2d
