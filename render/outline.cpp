#include "render/outline.h"

#include <QPolygonF>

#include "scene/picture_codec.h"

namespace v2d {

QPainterPath OutlinePath(const V2dPolygon& record, QPointF offset) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (std::span<const V2d_Point> ring : OutlineRings(record)) {
        QPolygonF polygon;
        polygon.reserve(static_cast<qsizetype>(ring.size()) + 1);
        for (const V2d_Point& p : ring) polygon << QPointF(p.x + offset.x(), p.y + offset.y());
        polygon << polygon.front();
        path.addPolygon(polygon);
        path.closeSubpath();
    }
    return path;
}

PixelBox OutlineBox(const V2dPolygon& record) { return BoxOf(record.points); }

bool QuadIsOutlineBox(const V2dPolygon& record) {
    const PixelBox b = OutlineBox(record);
    if (b.empty()) return false;
    return record.corners[0] == V2d_Point{b.minX, b.minY} && record.corners[1] == V2d_Point{b.maxX, b.minY} &&
           record.corners[2] == V2d_Point{b.maxX, b.maxY} && record.corners[3] == V2d_Point{b.minX, b.maxY};
}

bool PictureSizeAllowed(int width, int height) {
    return width >= 1 && height >= 1 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           static_cast<long long>(width) * height <= kMaxPicturePixels;
}

}  // namespace v2d
