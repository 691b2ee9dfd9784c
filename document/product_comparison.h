#pragma once
// Products compared on the customer's room: each product laid, with the
// panel's pattern and joints, into the same regions of a copy of the scene
// at the size of a cell on screen (ScaledScene), so the pattern looks as it
// does at full size for a fraction of the work; each cell with the quote of
// those regions in that product at full size. The grid of the cells is
// render/comparison_grid.h; a click on a cell takes that product into the
// scene with SetProduct and TileSelection.
#include <QImage>
#include <QSize>

#include <optional>
#include <string>
#include <vector>

#include "base/cancel_token.h"
#include "base/result.h"
#include "document/scene_document.h"
#include "layout/light_mode.h"
#include "layout/region_quote.h"

namespace v2d {

inline constexpr int kFewestComparedProducts = 2, kMostComparedProducts = 4;
inline constexpr const char* kMsgCompareCount = "请选择 2 到 4 个产品进行对比。";
inline constexpr const char* kMsgCompareRegions = "请先选中要对比的区域。";
inline constexpr const char* kMsgCompareModel = "模型产品不能对比铺贴，请选择材质产品。";
inline constexpr const char* kMsgCompareNoPhoto = "方案没有底图，不能对比。";
inline constexpr const char* kMsgCompareCancelled = "对比已取消。";

// Everything a comparison lays besides the scene.
struct ComparisonRequest {
    std::vector<int> regions;               // positions in the scene's list, the first focused
    ProductPanelState panel;                // size, turn, mirror, fit, colour, pattern and joints
    std::vector<CurrentProduct> products;   // 2..4 materials
    // Each product laid at its own size (its picture's size, as the panel
    // takes it when the product is chosen) instead of the panel's.
    bool eachAtItsOwnSize = false;
    QSize cell;                             // the room is fitted into it, never enlarged
    EffectSettings effect;                  // the effect window's offsets and relief
    std::optional<LightMode> light;         // set on the regions before laying (the command line's --light)
    std::optional<int> lighten, reflect;    // set on each region after laying (--lighten, --reflect)
    QuoteOptions quote;                     // the shop's waste allowances
};

struct ComparisonCell {
    QImage picture;     // the room with the product laid, fitted into the cell
    Product product;    // as laid
    SchemeQuote quote;  // the regions in this product, measured on the full-size scene
    std::vector<Error> notes;  // regions the laying passed by, with their messages
};

// One cell per product, in order. Refused for fewer than two or more than
// four products, a model product, no region, a region that is not in the
// scene, a scene without a photo or a laying the document refuses (with its
// message); the token is asked between the cells (kMsgCompareCancelled).
Result<std::vector<ComparisonCell>> LayComparisonCells(const Scene& scene, const ImageOperations& ops,
                                                       const ComparisonRequest& request,
                                                       const CancelToken& cancel = {});
// The window's: the open scene, the panel's controls and the effect window's
// settings, each product at its own size.
Result<std::vector<ComparisonCell>> LayComparisonCells(const SceneDocument& document, const std::vector<int>& regions,
                                                       const ProductPanelState& panel,
                                                       const std::vector<CurrentProduct>& products, QSize cell,
                                                       const CancelToken& cancel = {});

// The cell's caption, two lines: "name  number", then the price per unit
// ("¥168.00/平方米", or "价格未定") and what the regions take in that unit
// ("12.60 m²", "140 片") when the quote counts it.
std::string ComparisonCaption(const Product& product, const SchemeQuote& quote);

// The laid cells as one grid (render/comparison_grid.h): the picture, each
// cell's caption and where each cell shows its room, in the grid's pixels
// (the caption band is the same width right under it).
struct ComparisonGrid {
    QImage picture;  // null when the grid cannot be made
    std::vector<std::string> captions;
    std::vector<QRect> rooms;
};
ComparisonGrid ComposeComparison(const std::vector<ComparisonCell>& cells, QSize cell);

}  // namespace v2d
