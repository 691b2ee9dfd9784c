#pragma once
// Measuring and quoting tiled regions: the area a region's outline covers
// in its real plane, the tiles its pattern lays there, and what to order.
#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "base/result.h"
#include "layout/pattern_descriptor.h"
#include "layout/scheme_quote.h"
#include "scene/scene.h"

namespace v2d {

struct RegionMeasure {
    double areaM2 = 0;   // the outline's real area, holes cut out
    long long laid = 0;  // tiles covering some of it, whole or cut
};

// The scene's region laid with these settings and a tile of this size (the
// panel's label before laying). Refused as LayPattern and RegionPlaneOf are.
Result<RegionMeasure> MeasureRegion(const Scene& scene, const V2dPolygon& region, const PatternSettings& settings,
                                    LaidSize tile);
// As it was laid: the settings and size kept in its descriptor, else the
// product's size (PartsSpecs).
Result<RegionMeasure> MeasureLaidRegion(const Scene& scene, const V2dPolygon& region);

// Straight 5 %, half and third offsets 8 %, diagonal, herringbone and basket 15 %.
double DefaultWastePercent(LayingPattern pattern);

struct QuoteOptions {
    std::optional<double> wastePercent;  // instead of each pattern's own
    std::optional<int> piecesPerBox;     // instead of each product's own
    // Each pattern's own allowance, in per cent (the shop's setting).
    std::array<double, std::size(kLayingPatterns)> patternWaste = {
        DefaultWastePercent(LayingPattern::Straight),    DefaultWastePercent(LayingPattern::HalfOffset),
        DefaultWastePercent(LayingPattern::ThirdOffset), DefaultWastePercent(LayingPattern::Diagonal),
        DefaultWastePercent(LayingPattern::Herringbone), DefaultWastePercent(LayingPattern::BasketWeave)};
};

// The workspace's allowances ("Waste_straight=5", "Waste_herringbone=12", …
// in vexel2d.ini, 0..100); the defaults where a key is missing or wrong.
QuoteOptions ReadQuoteSettings(const std::filesystem::path& workspace);

// Every region laid with a product (a picture and a PartsNumber) that can be
// measured, in the scene's order.
SchemeQuote QuoteScheme(const Scene& scene, const QuoteOptions& options = {});

// The quote a report shows, with the workspace's allowances; nothing when no
// region was laid with a product.
std::optional<SchemeQuote> QuoteForReport(const Scene& scene, const std::filesystem::path& workspace);

// {"regions":[{"index","name","number","pattern","area_m2","laid","waste",
// "order","boxes","unit","unit_price","amount"}],"total"}; waste in per
// cent, boxes, amount and total null when unknown.
std::string QuoteJson(const SchemeQuote& quote);

}  // namespace v2d
