#include "scene/outline_geometry.h"

#include <QPolygonF>

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

bool CornersAreOutlineBox(const V2dPolygon& record) {
    const PixelBox box = OutlineBox(record);
    return !box.empty() && QuadOf(record.corners) == box.corners();
}

QPainterPath OutlinePath(std::span<const V2d_Point> points, std::span<const int32_t> indexList, QPointF offset) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (std::span<const V2d_Point> ring : OutlineRings(points, indexList)) {
        QPolygonF polygon;
        polygon.reserve(static_cast<qsizetype>(ring.size()) + 1);
        for (const V2d_Point& p : ring) polygon << QPointF(p.x + offset.x(), p.y + offset.y());
        polygon << polygon.front();
        path.addPolygon(polygon);
        path.closeSubpath();
    }
    return path;
}

QPainterPath OutlinePath(const V2dPolygon& record, QPointF offset) {
    return OutlinePath(record.points, record.indexList, offset);
}

}  // namespace v2d
