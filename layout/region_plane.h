#pragma once
// A region's real plane: how the picture's pixels map onto the real
// rectangle the tiles are laid in (through the quad's perspective, or the
// outline box's plain scale with a mesh, as the canvas is warped), and the
// outline brought into it for areas and counts.
#include <QPolygonF>
#include <QTransform>

#include <vector>

#include "base/result.h"
#include "layout/pattern_layout.h"
#include "scene/v2d_polygon.h"

namespace v2d {

struct RegionPlane {
    QTransform toReal;  // picture pixels to millimetres
    QPolygonF laid;     // the part of the picture the canvas covers, convex
    double width = 0, height = 0;
};

// Refused with kMsgCannotCompute when the real size is not positive, a side
// of the quad has no length or the quad gives no perspective.
Result<RegionPlane> RegionPlaneOf(const V2dPolygon& region, bool withMesh);
// Only the refusal: a quad side of no length or a real size of 0.
Status CheckRegionPlane(const V2dPolygon& region, bool withMesh);

// The outline inside the laid part, in millimetres: outer rings count, rings
// inside an odd number of others are holes.
struct RealRing {
    std::vector<QPointF> points;
    bool hole = false;
    QRectF box;
};
std::vector<RealRing> RealOutline(const V2dPolygon& region, const RegionPlane& plane);

// Square millimetres inside the outline, holes cut out.
double OutlineArea(const std::vector<RealRing>& outline);

// A tile's edge this close outside the outline's still leaves it whole:
// the outline's edge drawn on the tile's joint, give or take rounding.
inline constexpr double kWholeTileToleranceMm = 0.5;

// How a laid tile lies on the outline: outside when it shares no more than
// an edge or a corner with the inside (under a square millimetre), whole
// when it lies inside with no hole in it (each edge kWholeTileToleranceMm
// inward), else cut.
enum class TileFit { Outside, Cut, Whole };
TileFit FitOf(const std::vector<RealRing>& outline, const TileLayout& layout, const PlacedTile& tile);

// The laid tiles that cover some of the outline's inside, each once.
struct TileCount {
    long long whole = 0, cut = 0;
    long long laid() const { return whole + cut; }
};
TileCount TilesInside(const std::vector<RealRing>& outline, const TileLayout& layout);

// The part of the outline's inside that a laid tile covers: each ring cut
// to the tile, holes still holes; rings left without area drop out.
std::vector<RealRing> OutlineWithinTile(const std::vector<RealRing>& outline, const TileLayout& layout,
                                        const PlacedTile& tile);

}  // namespace v2d
