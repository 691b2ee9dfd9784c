#include "document/product_comparison.h"

#include <cstdio>

#include "document/scaled_scene.h"
#include "render/comparison_grid.h"
#include "library/price_unit.h"

namespace v2d {
namespace {

Status CheckRequest(const Scene& scene, const ComparisonRequest& request) {
    const int count = static_cast<int>(request.products.size());
    if (count < kFewestComparedProducts || count > kMostComparedProducts) return Error{kMsgCompareCount};
    for (const CurrentProduct& product : request.products)
        if (product.dragKind == DragKind::Model || product.picture.isNull()) return Error{kMsgCompareModel};
    if (request.regions.empty()) return Error{kMsgCompareRegions};
    for (int region : request.regions)
        if (region < 0 || region >= scene.count()) return Error{kMsgCompareRegions};
    if (scene.background.isNull() || FittingScale(scene.background.size(), request.cell) <= 0)
        return Error{kMsgCompareNoPhoto};
    return Status::Ok();
}

RegionSelection Listed(const std::vector<int>& regions) { return RegionSelection{regions.front(), regions}; }

ProductPanelState PanelFor(const ComparisonRequest& request, const CurrentProduct& product) {
    ProductPanelState panel = request.panel;
    panel.picture = product.picture;
    panel.product = product.product;
    panel.isModelProduct = false;
    if (request.eachAtItsOwnSize) {
        const ProductSize size = product.product.pictureSize();  // a wallpaper at its repeat
        panel.widthMm = size.width;
        panel.heightMm = size.height;
    }
    return panel;
}

// The product laid into the cell's scene as the command line's render lays
// it: the light first, then the product, then the tone of each region.
Result<std::vector<Error>> LayCell(SceneDocument& cell, const ComparisonRequest& request,
                                   const CurrentProduct& product) {
    if (request.light) {
        cell.SetSelection(Listed(request.regions));
        if (Outcome set = cell.SetLightMode(*request.light); set.refused()) return set.failure();
    }
    const ProductPanelState panel = PanelFor(request, product);
    cell.SetProduct(CurrentProduct{panel.picture, panel.product});
    cell.SetEffectSettings(request.effect);
    cell.SetSelection(Listed(request.regions));
    cell.SetPanelControls(panel);
    Outcome tiled = cell.TileSelection();
    if (tiled.refused()) return tiled.failure();
    for (int region : request.regions) {
        cell.SetSelection(Listed({region}));
        if (request.lighten)
            if (Outcome set = cell.SetLighten(*request.lighten); set.refused()) return set.failure();
        if (request.reflect)
            if (Outcome set = cell.SetReflect(*request.reflect); set.refused()) return set.failure();
    }
    return std::move(tiled.notes);
}

// The regions as laid in the cell, on the full-size scene: the laying's
// descriptor (product, pattern, tile size) over the full-size outline, so the
// quote counts exactly what the scene itself would.
SchemeQuote QuoteOfCell(const Scene& scene, const Scene& cell, const ComparisonRequest& request,
                        const Product& product) {
    Scene measured;
    for (int region : request.regions) {
        const V2dPolygon& source = *scene.at(region);
        const V2dPolygon& laid = *cell.at(region);
        // A region the laying passed by keeps what it had: not this product's.
        if (laid.picture.isNull() || laid.partsInfo.product().number() != product.number()) continue;
        auto copy = std::make_unique<V2dPolygon>(source);
        copy->group = nullptr;
        copy->partsInfo = laid.partsInfo;
        copy->picture = laid.picture;
        V2dPolygon* added = measured.Append(std::move(copy));
        if (const V2dPolygonMesh* mesh = scene.MeshOf(&source)) {
            auto nodes = std::make_unique<V2dPolygonMesh>(*mesh);
            nodes->owner = added;
            measured.AddMesh(std::move(nodes));
        }
    }
    return QuoteScheme(measured, request.quote);
}

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

}  // namespace

Result<std::vector<ComparisonCell>> LayComparisonCells(const Scene& scene, const ImageOperations& ops,
                                                       const ComparisonRequest& request, const CancelToken& cancel) {
    if (Status checked = CheckRequest(scene, request); !checked) return checked.failure();
    const Scene cellSized = ScaledScene(scene, FittingScale(scene.background.size(), request.cell));
    std::vector<ComparisonCell> cells;
    for (const CurrentProduct& product : request.products) {
        if (cancel.cancelled()) return Error{kMsgCompareCancelled};
        SceneDocument cell(ops);
        cell.LoadScene(ScaledScene(cellSized, 1.0));  // a copy sharing the pictures already resampled
        Result<std::vector<Error>> notes = LayCell(cell, request, product);
        if (!notes) return notes.failure();
        cells.push_back({cell.displayed(), product.product, QuoteOfCell(scene, cell.scene(), request, product.product),
                         std::move(*notes)});
    }
    return cells;
}

Result<std::vector<ComparisonCell>> LayComparisonCells(const SceneDocument& document, const std::vector<int>& regions,
                                                       const ProductPanelState& panel,
                                                       const std::vector<CurrentProduct>& products, QSize cell,
                                                       const CancelToken& cancel) {
    ComparisonRequest request;
    request.regions = regions;
    request.panel = panel;
    request.products = products;
    request.eachAtItsOwnSize = true;
    request.cell = cell;
    request.effect = document.effectSettings();
    return LayComparisonCells(document.scene(), document.ops(), request, cancel);
}

std::string ComparisonCaption(const Product& product, const SchemeQuote& quote) {
    std::string caption = product.name().empty() ? product.number() : product.name();
    if (!product.number().empty() && product.number() != product.name()) caption += "  " + product.number();
    caption += '\n';
    const PriceUnit unit = product.unit();
    const std::string unitText(PriceUnitCaption(unit));
    caption += product.price().value ? "¥" + Fixed(*product.price().value, 2) + "/" + unitText : kQuotePriceUnknown;
    double quantity = 0;
    bool counted = false;
    for (const RegionQuote& region : quote.regions)
        if (region.quantity) {
            quantity += *region.quantity;
            counted = true;
        }
    if (counted)
        caption += "  ·  " + (unit == PriceUnit::SquareMetre ? Fixed(quantity, 2) + " m²" : Fixed(quantity, 0) + " " + unitText);
    return caption;
}

ComparisonGrid ComposeComparison(const std::vector<ComparisonCell>& cells, QSize cell) {
    ComparisonGrid grid;
    std::vector<QImage> pictures;
    const int count = static_cast<int>(cells.size());
    for (int i = 0; i < count; ++i) {
        const ComparisonCell& laid = cells[static_cast<size_t>(i)];
        pictures.push_back(laid.picture);
        grid.captions.push_back(ComparisonCaption(laid.product, laid.quote));
        grid.rooms.push_back(ComparisonCellRect(i, count, cell));
    }
    grid.picture = ComposeComparisonGrid(pictures, grid.captions, cell);
    return grid;
}

}  // namespace v2d
