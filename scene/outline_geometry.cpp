#include "scene/outline_geometry.h"

#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

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

std::vector<ColumnSpan> OutlineRowSpans(const V2dPolygon& record) {
    const PixelBox box = OutlineBox(record);
    if (box.empty()) return {};
    const int width = box.width(), height = box.height();
    const std::vector<std::span<const V2d_Point>> rings = OutlineRings(record);
    // The path's points, in the box's pixels: a point names its pixel's centre.
    auto at = [&](const V2d_Point& p) { return QPointF(double(p.x) - box.minX + 0.5, double(p.y) - box.minY + 0.5); };
    int64_t rowsCrossed = 0;
    for (std::span<const V2d_Point> ring : rings)
        for (size_t n = 0; n < ring.size(); ++n)
            rowsCrossed += 2 + std::llabs(int64_t(ring[(n + 1) % ring.size()].y) - ring[n].y);
    constexpr int kEdgeRowsPerRow = 64;
    if (rowsCrossed > int64_t{kEdgeRowsPerRow} * height) return std::vector<ColumnSpan>(size_t(height), {0, width});

    constexpr double kNone = std::numeric_limits<double>::infinity();
    std::vector<double> lowest(size_t(height), kNone), highest(size_t(height), -kNone);
    for (std::span<const V2d_Point> ring : rings) {
        for (size_t n = 0; n < ring.size(); ++n) {
            const QPointF a = at(ring[n]), b = at(ring[(n + 1) % ring.size()]);
            const double top = std::min(a.y(), b.y()), bottom = std::max(a.y(), b.y());
            const int last = std::min(int(std::floor(bottom)), height - 1);
            // Where the edge crosses the row's band [row, row + 1]: between its
            // x at the band's ends, or its whole length when it lies along the row.
            const bool level = a.y() == b.y();
            auto xAt = [&](double y) { return a.x() + (b.x() - a.x()) * (y - a.y()) / (b.y() - a.y()); };
            for (int row = std::max(int(std::floor(top)), 0); row <= last; ++row) {
                const double x0 = level ? a.x() : xAt(std::max<double>(row, top));
                const double x1 = level ? b.x() : xAt(std::min<double>(row + 1, bottom));
                lowest[size_t(row)] = std::min({lowest[size_t(row)], x0, x1});
                highest[size_t(row)] = std::max({highest[size_t(row)], x0, x1});
            }
        }
    }
    std::vector<ColumnSpan> spans(static_cast<size_t>(height));
    for (size_t row = 0; row < spans.size(); ++row) {
        if (lowest[row] > highest[row]) continue;
        const int left = int(std::clamp(std::floor(lowest[row]) - 1, 0.0, double(width)));
        spans[row] = {left, int(std::clamp(std::ceil(highest[row]) + 1, double(left), double(width)))};
    }
    return spans;
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
