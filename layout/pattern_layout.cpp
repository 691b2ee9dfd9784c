#include "layout/pattern_layout.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <utility>

namespace v2d {
namespace {

struct Vec {
    double x = 0, y = 0;
};
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
Vec operator*(double k, Vec a) { return {k * a.x, k * a.y}; }

// A quarter of a right angle clockwise on the picture (y down).
Vec Turned45(Vec v) { return {(v.x - v.y) * std::numbers::sqrt2 / 2, (v.x + v.y) * std::numbers::sqrt2 / 2}; }

struct MotifTile {
    Vec centre;  // from the lattice point
    int turn = 0;
};

// A pattern is one motif repeated at every point i·e1 + k·e2.
struct Lattice {
    Vec e1, e2;
    std::vector<MotifTile> motif;

    void turn45() {
        e1 = Turned45(e1);
        e2 = Turned45(e2);
        for (MotifTile& tile : motif) {
            tile.centre = Turned45(tile.centre);
            tile.turn += 45;
        }
    }
};

// Tile centres sit a joint's half before their pitch box's centre, so the
// first tile's corner lies on the lattice point and the joint follows it.
Lattice LatticeOf(LayingPattern pattern, double w, double h, double joint) {
    const double pw = w + joint, ph = h + joint;
    const double along = std::max(w, h), across = std::min(w, h);
    const double pa = along + joint, pb = across + joint;
    const bool longAlongX = w >= h;
    const int lengthwise = longAlongX ? 0 : 90, crosswise = longAlongX ? 90 : 0;
    Lattice lattice;
    switch (pattern) {
        case LayingPattern::HalfOffset:
        case LayingPattern::ThirdOffset:
            lattice.e1 = {pw, 0};
            lattice.e2 = {pw / (pattern == LayingPattern::HalfOffset ? 2 : 3), ph};
            lattice.motif = {{{w / 2, h / 2}, 0}};
            break;
        case LayingPattern::Herringbone:
            // Laid flat the planks climb a staircase along (1, 1): a plank
            // along x and one along y below it, the next pair one plank width
            // further; the whole turned by 45° sets the staircase upright.
            lattice.e1 = {pb, pb};
            lattice.e2 = {pa, -pa};
            lattice.motif = {{{along / 2, across / 2}, lengthwise}, {{across / 2, pb + along / 2}, crosswise}};
            lattice.turn45();
            break;
        case LayingPattern::BasketWeave: {
            // Square cells of n planks side by side, alternately along x and
            // along y, on a chequerboard.
            const int n = static_cast<int>(std::clamp<long>(std::lround(along / across), 1, kMaxLaidTiles));
            const double cell = std::max(pa, n * pb), margin = (cell - n * pb) / 2;
            lattice.e1 = {2 * cell, 0};
            lattice.e2 = {cell, cell};
            for (int m = 0; m < n; ++m) {
                const double offset = margin + m * pb + across / 2;
                lattice.motif.push_back({{cell / 2 - joint / 2, offset}, lengthwise});
                lattice.motif.push_back({{cell + offset, cell / 2 - joint / 2}, crosswise});
            }
            break;
        }
        default:  // straight, and the diagonal before its turn
            lattice.e1 = {pw, 0};
            lattice.e2 = {0, ph};
            lattice.motif = {{{w / 2, h / 2}, 0}};
            if (pattern == LayingPattern::Diagonal) lattice.turn45();
    }
    return lattice;
}

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
    const double joint = std::clamp(settings.jointMm, 0, kMaxJointMm);
    TileLayout layout{regionWidth, regionHeight, tileWidth, tileHeight, {}};
    const Lattice lattice = LatticeOf(settings.pattern, tileWidth, tileHeight, joint);

    const Vec origin = Vec{settings.origin == LayingOrigin::Centre ? regionWidth / 2 : 0,
                           settings.origin == LayingOrigin::Centre ? regionHeight / 2 : 0} +
                       Vec{-shiftX, -shiftY};
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
