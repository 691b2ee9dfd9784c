#include "layout/region_quote.h"

#include <charconv>
#include <cmath>

#include "base/integer_text.h"
#include "base/workspace_settings.h"
#include "layout/region_plane.h"
#include "library/product_descriptor.h"

namespace v2d {
namespace {

bool LaidFromMesh(const Scene& scene, const V2dPolygon& region) { return scene.MeshOf(&region) != nullptr; }

// "100.00" as written in PartsPrice; 0 for no number.
double PriceOf(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    double price = 0;
    const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(), price);
    return code == std::errc() && std::isfinite(price) && price >= 0 ? price : 0;
}

// The number rounded to `decimals` places, in its shortest form.
std::string Number(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(value * scale) / scale;
    char text[64];
    const auto [end, code] = std::to_chars(text, text + sizeof text, rounded == 0 ? 0.0 : rounded);
    return code == std::errc() ? std::string(text, end) : "0";
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

RegionQuote QuoteOf(const V2dPolygon& region, int index, const ProductDescriptor& product, const RegionMeasure& measure,
                    const TileLayout& tile, const QuoteOptions& options) {
    RegionQuote quote;
    quote.index = index;
    quote.regionName = region.name;
    quote.name = product.name;
    quote.number = product.number;
    quote.pattern = ReadPatternSettings(region.partsInfo).pattern;
    quote.areaM2 = measure.areaM2;
    quote.laid = measure.laid;
    quote.wastePercent = options.wastePercent.value_or(options.patternWaste[static_cast<size_t>(quote.pattern)]);
    // A hair under a whole piece is rounding, not another piece to buy.
    quote.order = static_cast<long long>(std::ceil(measure.laid * (1 + quote.wastePercent / 100) - 1e-9));
    std::optional<long long> perBox = options.piecesPerBox;
    if (!perBox) perBox = ParseWholeNumber(product.Value(kKeyPiecesPerBox));
    if (perBox && *perBox > 0) quote.boxes = (quote.order + *perBox - 1) / *perBox;
    quote.unit = ParsePriceUnit(product.Value(kKeyPriceUnit)).value_or(PriceUnit::Piece);
    quote.unitPrice = PriceOf(product.price);
    switch (quote.unit) {
        case PriceUnit::Piece: quote.amount = quote.unitPrice * static_cast<double>(quote.order); break;
        // Square metres are bought as whole tiles: the pieces ordered times a tile's area.
        case PriceUnit::SquareMetre:
            quote.amount = quote.unitPrice * static_cast<double>(quote.order) * tile.tileWidth * tile.tileHeight / 1e6;
            break;
        case PriceUnit::Box:
            if (quote.boxes) quote.amount = quote.unitPrice * static_cast<double>(*quote.boxes);
            break;
    }
    return quote;
}

struct Laid {
    RegionMeasure measure;
    TileLayout layout;
};

Result<Laid> LayAndMeasure(const V2dPolygon& region, bool withMesh, const PatternSettings& settings, LaidSize tile) {
    const Result<RegionPlane> plane = RegionPlaneOf(region, withMesh);
    if (!plane) return plane.failure();
    Result<TileLayout> layout = LayPattern(settings, tile.width, tile.height, plane->width, plane->height);
    if (!layout) return layout.failure();
    const std::vector<RealRing> outline = RealOutline(region, *plane);
    return Laid{{OutlineArea(outline) / 1e6, TilesInside(outline, *layout)}, std::move(*layout)};
}

LaidSize LaidSizeOf(const V2dPolygon& region, const ProductDescriptor& product) {
    if (const std::optional<LaidSize> kept = ReadLaidSize(region.partsInfo)) return *kept;
    const ProductSize size = product.size();
    return {size.width, size.height};
}

}  // namespace

double DefaultWastePercent(LayingPattern pattern) {
    switch (pattern) {
        case LayingPattern::Straight: return 5;
        case LayingPattern::HalfOffset:
        case LayingPattern::ThirdOffset: return 8;
        default: return 15;
    }
}

QuoteOptions ReadQuoteSettings(const std::filesystem::path& workspace) {
    QuoteOptions options;
    for (LayingPattern pattern : kLayingPatterns) {
        const std::optional<std::string> text = ReadSetting(workspace, "Waste_" + std::string(PatternWord(pattern)));
        const std::optional<long long> percent = text ? ParseWholeNumber(*text) : std::nullopt;
        if (percent && *percent >= 0 && *percent <= 100)
            options.patternWaste[static_cast<size_t>(pattern)] = static_cast<double>(*percent);
    }
    return options;
}

Result<RegionMeasure> MeasureRegion(const Scene& scene, const V2dPolygon& region, const PatternSettings& settings,
                                    LaidSize tile) {
    Result<Laid> laid = LayAndMeasure(region, LaidFromMesh(scene, region), settings, tile);
    if (!laid) return laid.failure();
    return laid->measure;
}

Result<RegionMeasure> MeasureLaidRegion(const Scene& scene, const V2dPolygon& region) {
    return MeasureRegion(scene, region, ReadPatternSettings(region.partsInfo),
                         LaidSizeOf(region, ProductDescriptor::Parse(region.partsInfo)));
}

SchemeQuote QuoteScheme(const Scene& scene, const QuoteOptions& options) {
    SchemeQuote quote;
    double total = 0;
    bool totalKnown = true;
    for (int i = 0; i < scene.count(); ++i) {
        const V2dPolygon& region = *scene.at(i);
        if (region.kind != RecordKind::Region || region.picture.isNull()) continue;
        const ProductDescriptor product = ProductDescriptor::Parse(region.partsInfo);
        if (product.number.empty()) continue;
        const Result<Laid> laid = LayAndMeasure(region, LaidFromMesh(scene, region),
                                                ReadPatternSettings(region.partsInfo), LaidSizeOf(region, product));
        if (!laid) continue;
        quote.regions.push_back(QuoteOf(region, i, product, laid->measure, laid->layout, options));
        if (quote.regions.back().amount)
            total += *quote.regions.back().amount;
        else
            totalKnown = false;
    }
    if (totalKnown) quote.total = total;
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
        out += ",\"pattern\":\"" + std::string(PatternWord(region.pattern)) + "\",\"area_m2\":" +
               Number(region.areaM2, 4) + ",\"laid\":" + std::to_string(region.laid) +
               ",\"waste\":" + Number(region.wastePercent, 2) + ",\"order\":" + std::to_string(region.order) +
               ",\"boxes\":" + (region.boxes ? std::to_string(*region.boxes) : "null") + ",\"unit\":\"" +
               std::string(PriceUnitWord(region.unit)) + "\",\"unit_price\":" + Number(region.unitPrice, 2) +
               ",\"amount\":" + (region.amount ? Number(*region.amount, 2) : "null") + "}";
    }
    out += "],\"total\":" + (quote.total ? Number(*quote.total, 2) : std::string("null")) + "}";
    return out;
}

std::optional<SchemeQuote> QuoteForReport(const Scene& scene, const std::filesystem::path& workspace) {
    SchemeQuote quote = QuoteScheme(scene, ReadQuoteSettings(workspace));
    if (quote.regions.empty()) return std::nullopt;
    return quote;
}

}  // namespace v2d
