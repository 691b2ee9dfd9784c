#pragma once
// Where the tiles of a pattern lie in a region's real plane: millimetres,
// the origin at the region's top-left, x to the right and y down. The
// canvas is painted from this and the quote counts from it.
#include <vector>

#include "base/result.h"
#include "layout/laying_pattern.h"
#include "layout/pattern_lattice.h"

namespace v2d {

inline constexpr const char* kMsgCannotCompute = "不能进行，数据运算";
inline constexpr const char* kMsgNoTileSize = "产品的尺寸为0，不能铺贴。";
inline constexpr const char* kMsgTooManyTiles = "要铺的砖块太多（超过25万块），请检查产品尺寸和区域的实际尺寸。";
inline constexpr const char* kMsgUnknownPattern = "未知的铺贴方式，不能铺贴。";
inline constexpr int kMaxLaidTiles = 250000;

struct PlacedTile {
    double x = 0, y = 0;  // the tile's centre
    int turn = 0;         // degrees, clockwise on the picture (y down): 0, 45, 90, 135, …
};

struct TileLayout {
    double regionWidth = 0, regionHeight = 0;  // the real rectangle laid into
    double tileWidth = 0, tileHeight = 0;      // every tile's own size before its turn
    std::vector<PlacedTile> tiles;             // those that touch the rectangle, in laying order
    Vec origin;                                // where laying starts: a tile's corner lies on it
};

// The tiles of `settings` laid into a region of the given real size with a
// tile of the given size. `shiftX`/`shiftY` move the whole pattern left and
// up (the effect window's offsets). Refused when a size is not positive or
// the count exceeds kMaxLaidTiles, or when the pattern has no row in the
// pattern table; the joint is held within 0..kMaxJointMm.
Result<TileLayout> LayPattern(const PatternSettings& settings, double tileWidth, double tileHeight,
                              double regionWidth, double regionHeight, double shiftX = 0, double shiftY = 0);

// A placed tile's corners, clockwise from its own top-left.
struct TileCorners {
    double x[4], y[4];
};
TileCorners CornersOf(const TileLayout& layout, const PlacedTile& tile);

}  // namespace v2d
