#include "render/outline.h"

#include <QPolygonF>

#include "scene/picture_codec.h"

namespace v2d {

std::vector<std::span<const V2d_Point>> RingsOf(const V2dPolygon& record) {
    std::vector<std::span<const V2d_Point>> rings;
    const std::span<const V2d_Point> points(record.points);
    const long long last = static_cast<long long>(points.size()) - 1;
    long long start = 0;
    for (int32_t end : record.indexList) {
        const long long stop = std::min<long long>(end, last);
        if (stop < start) continue;
        rings.push_back(points.subspan(static_cast<size_t>(start), static_cast<size_t>(stop - start + 1)));
        start = stop + 1;
    }
    return rings;
}

QPainterPath OutlinePath(const V2dPolygon& record, QPointF offset) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (std::span<const V2d_Point> ring : RingsOf(record)) {
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
