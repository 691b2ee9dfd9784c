#include "layout/region_plane.h"

#include <algorithm>
#include <cmath>

#include "scene/outline_geometry.h"

namespace v2d {
namespace {

// Less than this many square millimetres in common is a touch, not a cut tile.
constexpr double kLeastCommonArea = 1.0;

double Cross(QPointF a, QPointF b, QPointF p) { return (b.x() - a.x()) * (p.y() - a.y()) - (b.y() - a.y()) * (p.x() - a.x()); }

double SignedArea(const std::vector<QPointF>& ring) {
    double twice = 0;
    for (size_t i = 0, n = ring.size(); i < n; ++i) {
        const QPointF a = ring[i], b = ring[(i + 1) % n];
        twice += a.x() * b.y() - b.x() * a.y();
    }
    return twice / 2;
}

// The ring cut to a convex polygon (either winding); its area is the area
// the two share.
std::vector<QPointF> ClipToConvex(std::vector<QPointF> ring, const std::vector<QPointF>& convex) {
    const double winding = SignedArea(convex) >= 0 ? 1 : -1;
    for (size_t e = 0, n = convex.size(); e < n && !ring.empty(); ++e) {
        const QPointF a = convex[e], b = convex[(e + 1) % n];
        std::vector<QPointF> kept;
        kept.reserve(ring.size() + 4);
        for (size_t i = 0, m = ring.size(); i < m; ++i) {
            const QPointF p = ring[i], q = ring[(i + 1) % m];
            const double sp = winding * Cross(a, b, p), sq = winding * Cross(a, b, q);
            if (sp >= 0) kept.push_back(p);
            if ((sp >= 0) != (sq >= 0)) kept.push_back(p + (q - p) * (sp / (sp - sq)));
        }
        ring = std::move(kept);
    }
    return ring;
}

std::vector<QPointF> PointsOf(const QPolygonF& polygon) { return {polygon.begin(), polygon.end()}; }

QRectF RingBox(const std::vector<QPointF>& points) { return QPolygonF(QList<QPointF>(points.begin(), points.end())).boundingRect(); }

std::vector<QPointF> CornerPoints(const TileLayout& layout, const PlacedTile& tile) {
    const TileCorners corners = CornersOf(layout, tile);
    return {{corners.x[0], corners.y[0]}, {corners.x[1], corners.y[1]}, {corners.x[2], corners.y[2]},
            {corners.x[3], corners.y[3]}};
}

// Square millimetres of the outline's inside within the convex polygon.
double CommonArea(const std::vector<RealRing>& outline, const std::vector<QPointF>& convex) {
    const QRectF box = RingBox(convex);
    double common = 0;
    for (const RealRing& ring : outline)
        if (ring.box.intersects(box)) common += (ring.hole ? -1 : 1) * std::abs(SignedArea(ClipToConvex(ring.points, convex)));
    return common;
}

bool IsConvex(const QPolygonF& quad) {
    double sign = 0;
    for (int i = 0; i < 4; ++i) {
        const double c = Cross(quad[i], quad[(i + 1) % 4], quad[(i + 2) % 4]);
        if (c * sign < 0) return false;
        if (c != 0) sign = c;
    }
    return sign != 0;
}

}  // namespace

Status CheckRegionPlane(const V2dPolygon& region, bool withMesh) {
    if (region.realWidth <= 0 || region.realHeight <= 0) return Error{kMsgCannotCompute, "", MessageIcon::Question};
    if (!withMesh)
        for (int i = 0; i < 4; ++i)
            if (region.corners[i] == region.corners[(i + 1) % 4])
                return Error{kMsgCannotCompute, "", MessageIcon::Question};
    return {};
}

Result<RegionPlane> RegionPlaneOf(const V2dPolygon& region, bool withMesh) {
    if (const Status check = CheckRegionPlane(region, withMesh); !check) return check.failure();
    RegionPlane plane;
    plane.width = region.realWidth;
    plane.height = region.realHeight;
    const QPolygonF real({QPointF(0, 0), QPointF(plane.width, 0), QPointF(plane.width, plane.height),
                          QPointF(0, plane.height)});
    if (withMesh) {
        const PixelBox box = OutlineBox(region);
        if (box.empty()) return Error{kMsgCannotCompute, "", MessageIcon::Question};
        plane.laid = QPolygonF(QRectF(box.minX, box.minY, box.width(), box.height()));
        plane.laid.removeLast();  // a closed rectangle repeats its first corner
    } else {
        for (const V2d_Point& corner : region.corners) plane.laid << QPointF(corner.x, corner.y);
        if (!IsConvex(plane.laid)) return Error{kMsgCannotCompute, "", MessageIcon::Question};
    }
    if (!QTransform::quadToQuad(plane.laid, real, plane.toReal)) return Error{kMsgCannotCompute, "", MessageIcon::Question};
    return plane;
}

std::vector<RealRing> RealOutline(const V2dPolygon& region, const RegionPlane& plane) {
    const auto rings = OutlineRings(region);
    std::vector<QPolygonF> pixels;
    for (const auto& ring : rings) {
        QPolygonF polygon;
        for (const V2d_Point& p : ring) polygon << QPointF(p.x, p.y);
        pixels.push_back(std::move(polygon));
    }
    const std::vector<QPointF> laid = PointsOf(plane.laid);
    std::vector<RealRing> outline;
    for (size_t r = 0; r < pixels.size(); ++r) {
        if (pixels[r].size() < 3) continue;
        int around = 0;
        for (size_t other = 0; other < pixels.size(); ++other)
            if (other != r && pixels[other].containsPoint(pixels[r].front(), Qt::OddEvenFill)) ++around;
        RealRing ring;
        ring.hole = around % 2 == 1;
        // Cut to the laid quad first: inside it the perspective has no horizon.
        for (const QPointF& p : ClipToConvex(PointsOf(pixels[r]), laid)) ring.points.push_back(plane.toReal.map(p));
        if (ring.points.size() < 3) continue;
        ring.box = RingBox(ring.points);
        outline.push_back(std::move(ring));
    }
    return outline;
}

double OutlineArea(const std::vector<RealRing>& outline) {
    double area = 0;
    for (const RealRing& ring : outline) area += (ring.hole ? -1 : 1) * std::abs(SignedArea(ring.points));
    return std::max(0.0, area);
}

TileFit FitOf(const std::vector<RealRing>& outline, const TileLayout& layout, const PlacedTile& tile) {
    const std::vector<QPointF> corners = CornerPoints(layout, tile);
    const double common = CommonArea(outline, corners);
    if (common <= kLeastCommonArea) return TileFit::Outside;
    // Each edge moved inward: what of that is not inside is outside the
    // outline or in a hole, and the tile has to be cut. More missing than
    // the band between the two can hold settles it without looking again.
    const double inward = std::min(kWholeTileToleranceMm, std::min(layout.tileWidth, layout.tileHeight) / 4);
    const double band = 2 * inward * (layout.tileWidth + layout.tileHeight);
    if (layout.tileWidth * layout.tileHeight - common > band + kLeastCommonArea) return TileFit::Cut;
    const QPointF along = (corners[1] - corners[0]) / layout.tileWidth, down = (corners[3] - corners[0]) / layout.tileHeight;
    const std::vector<QPointF> inner = {corners[0] + inward * (along + down), corners[1] + inward * (down - along),
                                        corners[2] - inward * (along + down), corners[3] + inward * (along - down)};
    const double innerArea = (layout.tileWidth - 2 * inward) * (layout.tileHeight - 2 * inward);
    return innerArea - CommonArea(outline, inner) <= kLeastCommonArea ? TileFit::Whole : TileFit::Cut;
}

TileCount TilesInside(const std::vector<RealRing>& outline, const TileLayout& layout) {
    TileCount count;
    for (const PlacedTile& placed : layout.tiles) {
        const TileFit fit = FitOf(outline, layout, placed);
        count.whole += fit == TileFit::Whole;
        count.cut += fit == TileFit::Cut;
    }
    return count;
}

std::vector<RealRing> OutlineWithinTile(const std::vector<RealRing>& outline, const TileLayout& layout,
                                        const PlacedTile& tile) {
    const std::vector<QPointF> corners = CornerPoints(layout, tile);
    const QRectF tileBox = RingBox(corners);
    std::vector<RealRing> within;
    for (const RealRing& ring : outline) {
        if (!ring.box.intersects(tileBox)) continue;
        RealRing cut{ClipToConvex(ring.points, corners), ring.hole, {}};
        if (cut.points.size() < 3 || std::abs(SignedArea(cut.points)) <= kLeastCommonArea) continue;
        cut.box = RingBox(cut.points);
        within.push_back(std::move(cut));
    }
    return within;
}

}  // namespace v2d
