#include "layout/pattern_layout.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <utility>

#include "layout/pattern_table.h"

namespace v2d {
namespace {

// Cosine and sine of a turn in degrees, exact for the quarter turns.
std::pair<double, double> CosSin(int turn) {
    switch (((turn % 360) + 360) % 360) {
        case 0: return {1, 0};
        case 90: return {0, 1};
        case 180: return {-1, 0};
        case 270: return {0, -1};
        default: {
            const double a = turn * std::numbers::pi / 180;
            return {std::cos(a), std::sin(a)};
        }
    }
}

struct Extent {
    double halfX, halfY;
};
Extent ExtentOf(double w, double h, int turn) {
    const auto [cosine, sine] = CosSin(turn);
    const double c = std::abs(cosine), s = std::abs(sine);
    return {c * w / 2 + s * h / 2, s * w / 2 + c * h / 2};
}

// True when the tile and the rectangle share more than an edge.
bool TouchesRectangle(const TileLayout& layout, const PlacedTile& tile) {
    const Extent e = ExtentOf(layout.tileWidth, layout.tileHeight, tile.turn);
    if (tile.x + e.halfX <= 0 || tile.x - e.halfX >= layout.regionWidth || tile.y + e.halfY <= 0 ||
        tile.y - e.halfY >= layout.regionHeight)
        return false;
    if (tile.turn % 90 == 0) return true;
    // Turned: the rectangle's corners must also reach the tile along its own axes.
    const auto [c, s] = CosSin(tile.turn);
    const double xs[] = {0, layout.regionWidth}, ys[] = {0, layout.regionHeight};
    double uLow = INFINITY, uHigh = -INFINITY, vLow = INFINITY, vHigh = -INFINITY;
    for (double x : xs)
        for (double y : ys) {
            const double u = (x - tile.x) * c + (y - tile.y) * s, v = -(x - tile.x) * s + (y - tile.y) * c;
            uLow = std::min(uLow, u), uHigh = std::max(uHigh, u), vLow = std::min(vLow, v), vHigh = std::max(vHigh, v);
        }
    return uLow < layout.tileWidth / 2 && uHigh > -layout.tileWidth / 2 && vLow < layout.tileHeight / 2 &&
           vHigh > -layout.tileHeight / 2;
}

// Each tile turned by 180° (90° steps for a square tile) or not, from the
// generator's raw output so a seed gives the same turns on every build.
void TurnAtRandom(TileLayout& layout, uint32_t seed) {
    std::mt19937 generator(seed);
    const bool square = layout.tileWidth == layout.tileHeight;
    for (PlacedTile& tile : layout.tiles) {
        const uint32_t draw = generator();
        tile.turn = (tile.turn + (square ? 90 * static_cast<int>(draw >> 30) : 180 * static_cast<int>(draw >> 31))) % 360;
    }
}

}  // namespace

Result<TileLayout> LayPattern(const PatternSettings& settings, double tileWidth, double tileHeight,
                              double regionWidth, double regionHeight, double shiftX, double shiftY) {
    if (!(regionWidth > 0 && regionHeight > 0 && std::isfinite(regionWidth * regionHeight)))
        return Error{kMsgCannotCompute};
    if (!(tileWidth > 0 && tileHeight > 0 && std::isfinite(tileWidth * tileHeight))) return Error{kMsgNoTileSize};
    if (!std::isfinite(shiftX) || !std::isfinite(shiftY)) return Error{kMsgCannotCompute};
    const PatternRow* row = PatternRowOf(settings.pattern);
    if (!row) return Error{kMsgUnknownPattern};
    const double joint = std::clamp(settings.jointMm, 0, kMaxJointMm);
    TileLayout layout{regionWidth, regionHeight, tileWidth, tileHeight, {}};
    const Lattice lattice = row->lattice(tileWidth, tileHeight, joint);

    const Vec origin = Vec{settings.origin == LayingOrigin::Centre ? regionWidth / 2 : 0,
                           settings.origin == LayingOrigin::Centre ? regionHeight / 2 : 0} +
                       Vec{-shiftX, -shiftY};
    layout.origin = origin;
    double reach = std::hypot(tileWidth, tileHeight) / 2;
    for (const MotifTile& tile : lattice.motif) reach = std::max(reach, std::hypot(tileWidth, tileHeight) / 2 +
                                                                         std::hypot(tile.centre.x, tile.centre.y));
    // The lattice points whose motif can reach the rectangle: the expanded
    // rectangle's corners in lattice coordinates bound them.
    const double det = lattice.e1.x * lattice.e2.y - lattice.e1.y * lattice.e2.x;
    double iLow = INFINITY, iHigh = -INFINITY, kLow = INFINITY, kHigh = -INFINITY;
    for (double x : {-reach, regionWidth + reach})
        for (double y : {-reach, regionHeight + reach}) {
            const double dx = x - origin.x, dy = y - origin.y;
            const double i = (dx * lattice.e2.y - dy * lattice.e2.x) / det, k = (dy * lattice.e1.x - dx * lattice.e1.y) / det;
            iLow = std::min(iLow, i), iHigh = std::max(iHigh, i), kLow = std::min(kLow, k), kHigh = std::max(kHigh, k);
        }
    iLow = std::floor(iLow), kLow = std::floor(kLow), iHigh = std::ceil(iHigh), kHigh = std::ceil(kHigh);
    const double candidates = (iHigh - iLow + 1) * (kHigh - kLow + 1) * static_cast<double>(lattice.motif.size());
    if (!(candidates <= 8.0 * kMaxLaidTiles)) return Error{kMsgTooManyTiles};

    for (double k = kLow; k <= kHigh; ++k)
        for (double i = iLow; i <= iHigh; ++i) {
            const Vec point = origin + i * lattice.e1 + k * lattice.e2;
            for (const MotifTile& motif : lattice.motif) {
                const PlacedTile tile{point.x + motif.centre.x, point.y + motif.centre.y, motif.turn % 360};
                if (!TouchesRectangle(layout, tile)) continue;
                if (layout.tiles.size() >= static_cast<size_t>(kMaxLaidTiles)) return Error{kMsgTooManyTiles};
                layout.tiles.push_back(tile);
            }
        }
    if (settings.randomTurn) TurnAtRandom(layout, settings.seed);
    return layout;
}

TileCorners CornersOf(const TileLayout& layout, const PlacedTile& tile) {
    const auto [c, s] = CosSin(tile.turn);
    const double hw = layout.tileWidth / 2, hh = layout.tileHeight / 2;
    const double us[] = {-hw, hw, hw, -hw}, vs[] = {-hh, -hh, hh, hh};
    TileCorners corners{};
    for (int n = 0; n < 4; ++n) {
        corners.x[n] = tile.x + us[n] * c - vs[n] * s;
        corners.y[n] = tile.y + us[n] * s + vs[n] * c;
    }
    return corners;
}

}  // namespace v2d
