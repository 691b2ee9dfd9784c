#pragma once
// Measuring and quoting a scheme: the area a region's outline covers in its
// real plane, the tiles its pattern lays there or the wallpaper rolls it
// takes, what to order in the product's unit, and the placed models.
#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "base/result.h"
#include "layout/pattern_descriptor.h"
#include "layout/pattern_table.h"
#include "layout/region_plane.h"
#include "layout/scheme_quote.h"
#include "library/product.h"
#include "scene/scene.h"

namespace v2d {

struct RegionMeasure {
    double areaM2 = 0;   // the outline's real area, holes cut out
    long long laid = 0;  // tiles covering some of it, whole or cut
};

// A region laid as the quote counts it: its outline in the real plane and
// the pattern's tiles over the real rectangle, in millimetres.
struct RegionTiles {
    std::vector<RealRing> outline;
    TileLayout layout;
};
// The scene's region laid with these settings and a tile of this size.
// Refused as LayPattern and RegionPlaneOf are.
Result<RegionTiles> LayRegion(const Scene& scene, const V2dPolygon& region, const PatternSettings& settings,
                               LaidSize tile);
// As it was laid: the settings and size kept in its descriptor, else the
// size of the product's picture (PictureSizeOf).
Result<RegionTiles> LayRegionAsLaid(const Scene& scene, const V2dPolygon& region);

// The scene's region laid with these settings and a tile of this size (the
// panel's label before laying). Refused as LayRegion is.
Result<RegionMeasure> MeasureRegion(const Scene& scene, const V2dPolygon& region, const PatternSettings& settings,
                                    LaidSize tile);
// The region papered with this wallpaper (its roll in PartsSpecs, its
// PatternRepeat): the area and, as `laid`, the rolls the quote counts.
Result<RegionMeasure> MeasureRegionInRolls(const Scene& scene, const V2dPolygon& region,
                                           const Product& wallpaper);
// As it was laid: the settings and size kept in its descriptor, else the
// size of the product's picture (PictureSizeOf).
Result<RegionMeasure> MeasureLaidRegion(const Scene& scene, const V2dPolygon& region);

struct QuoteOptions {
    std::optional<double> wastePercent;  // instead of each pattern's own
    std::optional<int> piecesPerBox;     // instead of each product's own
    // Each pattern's own allowance in per cent (the shop's setting), by its
    // row in the pattern table; the row's default where the shop sets none.
    std::array<double, kPatternCount> patternWaste = DefaultPatternWaste();

    static constexpr std::array<double, kPatternCount> DefaultPatternWaste() {
        std::array<double, kPatternCount> waste{};
        for (size_t i = 0; i < kPatternCount; ++i) waste[i] = kPatternTable[i].wastePercent;
        return waste;
    }
};

// The workspace's allowances ("Waste_straight=5", "Waste_herringbone=12", …
// in vexel2d.ini, 0..100); the defaults where a key is missing or wrong.
QuoteOptions ReadQuoteSettings(const std::filesystem::path& workspace);

// Every region laid with a product (a picture and a PartsNumber), then
// every placed model (not a part) naming a product, each in the scene's
// order. By the product's unit (PartsUnit):
// - per piece: the pieces ordered; per box: the boxes they fill;
// - per m²: the area with the waste on top, rounded up to 0.01 m², or the
//   whole boxes that cover it when the pieces per box are known;
// - per roll (a wallpaper, PartsSpecs the roll's width*length): strips =
//   ceil(wall width / roll width) of wall height + PatternRepeat each,
//   floor(roll length / strip) strips a roll, the rolls they need laid and
//   the waste on top ordered; the wall is the outline's real extent.
// A region that cannot be measured or counted (too many tiles, a strip
// longer than a roll), an unknown or absurd price, or an unknown box size
// keeps its line without an amount and with the reason in `excluded`.
SchemeQuote QuoteScheme(const Scene& scene, const QuoteOptions& options = {});

// The quote a report shows, with the workspace's allowances; nothing when no
// region was laid with a product and no model names one.
std::optional<SchemeQuote> QuoteForReport(const Scene& scene, const std::filesystem::path& workspace);

// {"regions":[{"index","name","number","pattern","area_m2","laid","whole","cut","waste",
// "order","strips","boxes","unit","quantity","unit_price","amount",
// "excluded"}],"models":[{"index","name","number","quantity","unit",
// "unit_price","amount","excluded"}],"total","excluded"}: waste in per
// cent; what is unknown null; a line's "excluded" the reason the total
// leaves it out (null when it holds it); the total over the lines with an
// amount and "excluded" the number of lines it leaves out.
std::string QuoteJson(const SchemeQuote& quote);

}  // namespace v2d
