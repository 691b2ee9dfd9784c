#include "layout/region_quote.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <type_traits>

#include "base/integer_text.h"
#include "base/workspace_settings.h"
#include "layout/region_plane.h"
#include "library/product.h"

namespace v2d {
namespace {

bool LaidFromMesh(const Scene& scene, const V2dPolygon& region) { return scene.MeshOf(&region) != nullptr; }

// A hair under a whole piece (or a hundredth of a square metre) is rounding,
// not more to buy.
double RoundUp(double value, double step = 1) { return std::ceil(value / step - 1e-9) * step; }

// The price as the product read it, with the quote's reason when there is none.
struct Price {
    std::optional<double> value;
    std::string problem;
};
Price PriceOf(const Product& product) {
    const ProductPrice& price = product.price();
    switch (price.problem) {
        case PriceProblem::None: return {price.value, {}};
        case PriceProblem::TooLarge: return {std::nullopt, kQuotePriceTooLarge};
        default: return {std::nullopt, kQuotePriceUnknown};
    }
}

// The number rounded to `decimals` places, in its shortest form.
std::string Number(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(value * scale) / scale;
    char text[64];
    const auto [end, code] = std::to_chars(text, text + sizeof text, rounded == 0 ? 0.0 : rounded);
    return code == std::errc() && std::isfinite(rounded) ? std::string(text, end) : "null";
}

template <class T>
std::string NumberOrNull(const std::optional<T>& value, int decimals = 0) {
    if (!value) return "null";
    if constexpr (std::is_integral_v<T>) return std::to_string(*value);
    else return Number(*value, decimals);
}

void AppendString(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            static const char hex[] = "0123456789abcdef";
            out += "\\u00";
            out += hex[u >> 4];
            out += hex[u & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

std::string StringOrNull(const std::string& text) {
    if (text.empty()) return "null";
    std::string out;
    AppendString(out, text);
    return out;
}

LaidSize LaidSizeOf(const V2dPolygon& region, const Product& product) {
    if (const std::optional<LaidSize> kept = region.partsInfo.laidSize()) return *kept;
    const ProductSize size = product.pictureSize();
    return {size.width, size.height};
}

// The rolls a wall takes; refused when a strip is longer than a roll.
struct Rolls {
    long long strips = 0, rolls = 0;
};
Result<Rolls> CountRolls(const std::vector<RealRing>& outline, const Product& product) {
    QRectF wall;
    for (const RealRing& ring : outline)
        if (!ring.hole) wall = wall.isNull() ? ring.box : wall.united(ring.box);
    const ProductSize roll = product.size();
    const long long repeat = std::max(0, product.patternRepeat());
    if (roll.width <= 0 || roll.height <= 0) return Error{kMsgNoTileSize};
    const double across = RoundUp(wall.width() / roll.width);
    if (!(across <= kMaxLaidTiles)) return Error{kMsgTooManyTiles};
    const double strip = std::round(wall.height()) + static_cast<double>(repeat);
    if (strip > roll.height)
        return Error{"墙纸的一幅（墙高 " + Number(std::round(wall.height()), 0) + " 毫米加花距 " +
                     std::to_string(repeat) + " 毫米）比一卷（" + std::to_string(roll.height) +
                     " 毫米）还长，不能按卷计算。"};
    const long long strips = std::max(0LL, static_cast<long long>(across));
    const long long perRoll = strip > 0 ? static_cast<long long>(roll.height / strip) : strips;
    return Rolls{strips, perRoll > 0 ? (strips + perRoll - 1) / perRoll : 0};
}

// The quantity the unit counts, or why there is none.
void PriceRegion(RegionQuote& quote, const Product& product, LaidSize tile,
                 std::optional<long long> perBox, std::string problem) {
    const double waste = 1 + quote.wastePercent / 100;
    if (quote.laid) quote.order = static_cast<long long>(RoundUp(static_cast<double>(*quote.laid) * waste));
    if (perBox && *perBox > 0 && quote.order && quote.unit != PriceUnit::Roll)
        quote.boxes = (*quote.order + *perBox - 1) / *perBox;
    switch (quote.unit) {
        case PriceUnit::Piece:
        case PriceUnit::Roll:
            if (quote.order) quote.quantity = static_cast<double>(*quote.order);
            break;
        case PriceUnit::Box:
            if (quote.boxes) quote.quantity = static_cast<double>(*quote.boxes);
            else if (problem.empty()) problem = kQuoteBoxUnknown;
            break;
        case PriceUnit::SquareMetre: {
            // Sold by the square metre, bought in whole boxes when their size is known.
            const double ordered = RoundUp(quote.areaM2 * waste, 0.01);
            const double boxArea = perBox && *perBox > 0 ? static_cast<double>(*perBox) * tile.width * tile.height / 1e6 : 0;
            if (boxArea > 0 && ordered / boxArea < 1e9) {
                quote.boxes = static_cast<long long>(RoundUp(ordered / boxArea));
                quote.quantity = static_cast<double>(*quote.boxes) * boxArea;
            } else {
                quote.quantity = ordered;
            }
            if (quote.quantity && !quote.laid) problem.clear();  // the area alone prices it
            break;
        }
    }
    const Price price = PriceOf(product);
    quote.unitPrice = price.value;
    if (problem.empty()) problem = price.problem;
    if (problem.empty() && quote.quantity) {
        const double amount = *price.value * *quote.quantity;
        if (std::isfinite(amount) && amount < 1e13) quote.amount = amount;
        else problem = kQuoteAmountTooLarge;
    }
    quote.excluded = quote.amount ? std::string() : problem;
}

RegionQuote QuoteRegion(const Scene& scene, const V2dPolygon& region, int index, const Product& product,
                        const QuoteOptions& options) {
    RegionQuote quote;
    quote.index = index;
    quote.regionName = region.name;
    quote.name = product.name();
    quote.number = product.number();
    const PatternSettings& settings = region.partsInfo.pattern();
    quote.pattern = settings.pattern;
    const std::optional<size_t> row = PatternIndex(settings.pattern);
    quote.wastePercent = options.wastePercent.value_or(row ? options.patternWaste[*row] : 0);
    quote.unit = product.unit();
    std::optional<long long> perBox = options.piecesPerBox;
    if (!perBox) perBox = product.piecesPerBox();
    const LaidSize tile = LaidSizeOf(region, product);

    const Result<RegionPlane> plane = RegionPlaneOf(region, LaidFromMesh(scene, region));
    if (!plane || !row) {  // nothing to count or price
        quote.unitPrice = PriceOf(product).value;
        quote.excluded = plane ? kMsgUnknownPattern : plane.error();
        return quote;
    }
    std::string problem;
    const std::vector<RealRing> outline = RealOutline(region, *plane);
    quote.areaM2 = OutlineArea(outline) / 1e6;
    if (quote.unit == PriceUnit::Roll) {
        if (const Result<Rolls> rolls = CountRolls(outline, product); !rolls) {
            problem = rolls.error();
        } else {
            quote.strips = rolls->strips;
            quote.laid = rolls->rolls;
        }
    } else if (const Result<TileLayout> layout =
                   LayPattern(settings, tile.width, tile.height, plane->width, plane->height);
               !layout) {
        problem = layout.error();
    } else {
        const TileCount count = TilesInside(outline, *layout);
        quote.laid = count.laid();
        quote.whole = count.whole;
        quote.cut = count.cut;
    }
    PriceRegion(quote, product, tile, perBox, std::move(problem));
    return quote;
}

ModelQuote QuoteModel(const V2dPolygon& model, int index, const Product& product) {
    ModelQuote quote;
    quote.index = index;
    quote.recordName = model.name;
    quote.name = product.name();
    quote.number = product.number();
    const Price price = PriceOf(product);
    quote.unitPrice = price.value;
    quote.amount = price.value;
    quote.excluded = price.problem;
    return quote;
}

}  // namespace

QuoteOptions ReadQuoteSettings(const std::filesystem::path& workspace) {
    QuoteOptions options;
    for (size_t i = 0; i < kPatternCount; ++i) {
        const std::optional<std::string> text = ReadSetting(workspace, "Waste_" + std::string(kPatternTable[i].word));
        const std::optional<long long> percent = text ? ParseWholeNumber(*text) : std::nullopt;
        if (percent && *percent >= 0 && *percent <= 100) options.patternWaste[i] = static_cast<double>(*percent);
    }
    return options;
}

Result<RegionTiles> LayRegion(const Scene& scene, const V2dPolygon& region, const PatternSettings& settings,
                               LaidSize tile) {
    const Result<RegionPlane> plane = RegionPlaneOf(region, LaidFromMesh(scene, region));
    if (!plane) return plane.failure();
    Result<TileLayout> layout = LayPattern(settings, tile.width, tile.height, plane->width, plane->height);
    if (!layout) return layout.failure();
    return RegionTiles{RealOutline(region, *plane), std::move(*layout)};
}

Result<RegionTiles> LayRegionAsLaid(const Scene& scene, const V2dPolygon& region) {
    return LayRegion(scene, region, region.partsInfo.pattern(), LaidSizeOf(region, region.partsInfo.product()));
}

Result<RegionMeasure> MeasureRegion(const Scene& scene, const V2dPolygon& region, const PatternSettings& settings,
                                    LaidSize tile) {
    const Result<RegionTiles> laying = LayRegion(scene, region, settings, tile);
    if (!laying) return laying.failure();
    return RegionMeasure{OutlineArea(laying->outline) / 1e6, TilesInside(laying->outline, laying->layout).laid()};
}

Result<RegionMeasure> MeasureRegionInRolls(const Scene& scene, const V2dPolygon& region,
                                           const Product& wallpaper) {
    const Result<RegionPlane> plane = RegionPlaneOf(region, LaidFromMesh(scene, region));
    if (!plane) return plane.failure();
    const std::vector<RealRing> outline = RealOutline(region, *plane);
    const Result<Rolls> rolls = CountRolls(outline, wallpaper);
    if (!rolls) return rolls.failure();
    return RegionMeasure{OutlineArea(outline) / 1e6, rolls->rolls};
}

Result<RegionMeasure> MeasureLaidRegion(const Scene& scene, const V2dPolygon& region) {
    return MeasureRegion(scene, region, region.partsInfo.pattern(), LaidSizeOf(region, region.partsInfo.product()));
}

SchemeQuote QuoteScheme(const Scene& scene, const QuoteOptions& options) {
    SchemeQuote quote;
    auto count = [&quote](const std::optional<double>& amount) {
        if (amount) quote.total += *amount;
        else ++quote.excluded;
    };
    for (int i = 0; i < scene.count(); ++i) {
        const V2dPolygon& region = *scene.at(i);
        if (region.kind != RecordKind::Region || region.picture.isNull()) continue;
        const Product& product = region.partsInfo.product();
        if (product.number().empty()) continue;
        quote.regions.push_back(QuoteRegion(scene, region, i, product, options));
        count(quote.regions.back().amount);
    }
    for (int i = 0; i < scene.count(); ++i) {
        const V2dPolygon& model = *scene.at(i);
        if (!model.isModel() || model.group != nullptr) continue;  // a part is its owner's
        const Product& product = model.partsInfo.product();
        if (product.number().empty()) continue;
        quote.models.push_back(QuoteModel(model, i, product));
        count(quote.models.back().amount);
    }
    return quote;
}

std::string QuoteJson(const SchemeQuote& quote) {
    std::string out = "{\"regions\":[";
    for (const RegionQuote& region : quote.regions) {
        if (&region != &quote.regions.front()) out += ',';
        out += "{\"index\":" + std::to_string(region.index) + ",\"name\":";
        AppendString(out, region.name);
        out += ",\"number\":";
        AppendString(out, region.number);
        const PatternRow* pattern = PatternRowOf(region.pattern);
        out += ",\"pattern\":" + (pattern ? "\"" + std::string(pattern->word) + "\"" : std::string("null")) +
               ",\"area_m2\":" +
               Number(region.areaM2, 4) + ",\"laid\":" + NumberOrNull(region.laid) + ",\"whole\":" +
               NumberOrNull(region.whole) + ",\"cut\":" + NumberOrNull(region.cut) +
               ",\"waste\":" + Number(region.wastePercent, 2) + ",\"order\":" + NumberOrNull(region.order) +
               ",\"strips\":" + NumberOrNull(region.strips) + ",\"boxes\":" + NumberOrNull(region.boxes) +
               ",\"unit\":\"" + std::string(PriceUnitWord(region.unit)) + "\",\"quantity\":" +
               NumberOrNull(region.quantity, 4) + ",\"unit_price\":" + NumberOrNull(region.unitPrice, 2) +
               ",\"amount\":" + NumberOrNull(region.amount, 2) + ",\"excluded\":" + StringOrNull(region.excluded) +
               "}";
    }
    out += "],\"models\":[";
    for (const ModelQuote& model : quote.models) {
        if (&model != &quote.models.front()) out += ',';
        out += "{\"index\":" + std::to_string(model.index) + ",\"name\":";
        AppendString(out, model.name);
        out += ",\"number\":";
        AppendString(out, model.number);
        out += ",\"quantity\":1,\"unit\":\"piece\",\"unit_price\":" + NumberOrNull(model.unitPrice, 2) +
               ",\"amount\":" + NumberOrNull(model.amount, 2) + ",\"excluded\":" + StringOrNull(model.excluded) + "}";
    }
    out += "],\"total\":" + Number(quote.total, 2) + ",\"excluded\":" + std::to_string(quote.excluded) + "}";
    return out;
}

std::optional<SchemeQuote> QuoteForReport(const Scene& scene, const std::filesystem::path& workspace) {
    SchemeQuote quote = QuoteScheme(scene, ReadQuoteSettings(workspace));
    if (quote.regions.empty() && quote.models.empty()) return std::nullopt;
    return quote;
}

}  // namespace v2d
