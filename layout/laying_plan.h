#pragma once
// The laying plan an installer follows: one tiled region's true shape in
// its real plane, every tile of its pattern that covers some of it (whole,
// or cut with the part that stays), where laying starts and the overall
// size, all in millimetres; and the plan drawn as an SVG document (vector
// only) with dimension lines, a scale bar and the counts as its caption.
#include <QPointF>
#include <QRectF>

#include <array>
#include <string>
#include <vector>

#include "base/result.h"
#include "layout/laying_pattern.h"
#include "layout/region_plane.h"
#include "scene/scene.h"

namespace v2d {

struct PlanTile {
    std::array<QPointF, 4> corners;  // the whole tile, clockwise from its own top-left
    bool whole = true;
    std::vector<RealRing> inside;    // a cut tile's part inside the region (holes flagged); empty when whole
};

struct LayingPlan {
    int index = 0;  // the region's position in the scene's list
    std::string regionName;
    std::string productName, productNumber;
    LayingPattern pattern = LayingPattern::Straight;
    int jointMm = 0;
    double tileWidth = 0, tileHeight = 0;  // the tile as laid, before its turn
    std::vector<RealRing> outline;         // the region in its real plane, holes flagged
    QRectF extent;                         // the outline's box: its width and height are the overall size
    QPointF start;                         // the pattern's origin, where laying starts
    std::vector<PlanTile> tiles;           // those covering some of the region, in laying order
    long long whole = 0, cut = 0;          // as the quote counts them
};

// The plan of the scene's region at `regionIndex`, laid as the quote lays it.
// Refused for a position the scene has not, a record that is no region laid
// with a product's tiles (none, a colour or wallpaper rolls), and as the
// quote refuses a laying (an unknown pattern, more than kMaxLaidTiles tiles).
Result<LayingPlan> MakeLayingPlan(const Scene& scene, int regionIndex);

// The plan as an <svg> element to place inline in an HTML page: user units
// are millimetres; ids carry the region's position, so several plans share
// a page. Tiles are elements of class "whole" (light) or "cut" (hatched).
std::string LayingPlanSvgElement(const LayingPlan& plan);
// The same as a standalone UTF-8 SVG file, with its XML declaration.
std::string LayingPlanSvg(const LayingPlan& plan);

}  // namespace v2d
