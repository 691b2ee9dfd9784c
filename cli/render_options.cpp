#include "cli/render_options.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>

#include "base/integer_text.h"
#include "cli/command_support.h"
#include "library/product_descriptor.h"
#include "library/pub_functions.h"
#include "library/product_map.h"
#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "layout/pattern_table.h"

namespace v2d::cli {
namespace {

bool ParseIntInto(const std::string& text, int& value) {
    const std::optional<int> parsed = v2d::ParseInt(text);
    if (parsed) value = *parsed;
    return parsed.has_value();
}

}  // namespace

bool ParseSize(const std::string& text, int& w, int& h) {
    const size_t x = text.find_first_of("xX*");
    return x != std::string::npos && ParseIntInto(text.substr(0, x), w) && ParseIntInto(text.substr(x + 1), h) && w > 0 &&
           h > 0;
}

Status WriteRendering(const QImage& picture, const std::filesystem::path& path) {
    if (picture.isNull()) return Error{"the scheme has no background picture"};
    // Encoded straight into the file as the rows are compressed: no copy of the whole JPEG in memory.
    AtomicFileWriter file(path);
    if (!file.isOpen()) return Error{"cannot write " + path.string()};
    const bool encoded = EncodeJpeg(picture, kRenderingQuality, [&file](std::span<const uint8_t> chunk) { return file.write(chunk); });
    if (!encoded && !file.failed()) return Error{"cannot encode the rendering"};
    if (!encoded || !file.commit()) return Error{"cannot write " + path.string()};
    return Status::Ok();
}

bool ParseColour(const std::string& text, uint32_t& colour) {
    std::string digits = text;
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits = digits.substr(2);
        base = 16;
    }
    unsigned long long v = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), v, base);
    if (error != std::errc() || end != digits.data() + digits.size() || digits.empty() || v > 0xFFFFFF) return false;
    colour = static_cast<uint32_t>(v);
    return true;
}

std::optional<V2d_Point> ParsePoint(const std::string& text) {
    const std::vector<std::string> pieces = SplitText(text, ",");
    if (pieces.size() != 2) return std::nullopt;
    const std::optional<int> x = v2d::ParseInt(pieces[0]), y = v2d::ParseInt(pieces[1]);
    if (!x || !y) return std::nullopt;
    return V2d_Point{*x, *y};
}

Result<RenderOptions> ParseRenderOptions(const Args& args) {
    RenderOptions o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto next = [&](std::string& into) {
            if (i + 1 >= args.size()) return false;
            into = args[++i];
            return true;
        };
        std::string value;
        if (a == "-o" || a == "--output") {
            if (!next(o.output)) return Error{a + " needs a file"};
        } else if (a == "--product") {
            if (!next(o.product)) return Error{"--product needs a file"};
        } else if (a == "--products") {
            if (!next(o.productsDir)) return Error{"--products needs a folder"};
        } else if (a == "--regions") {
            if (!next(o.regions)) return Error{"--regions needs a list"};
        } else if (a == "--save") {
            if (!next(o.save)) return Error{"--save needs a file"};
        } else if (a == "--size") {
            if (!next(value) || !ParseSize(value, o.widthMm, o.heightMm)) return Error{"--size needs WxH in millimetres"};
        } else if (a == "--lighten") {
            int v = 0;
            if (!next(value) || !ParseIntInto(value, v) || v < -100 || v > 400) return Error{"--lighten needs -100..400"};
            o.lighten = v;
        } else if (a == "--reflect") {
            int v = 0;
            if (!next(value) || !ParseIntInto(value, v) || v < 0 || v > 100) return Error{"--reflect needs 0..100"};
            o.reflect = v;
        } else if (a == "--light") {
            LightMode mode = LightMode::Photo;
            if (!next(value) || !ParseLightModeWord(value, mode)) return Error{"--light needs photo or room"};
            o.light = mode;
        } else if (a == "--colour" || a == "--color") {
            uint32_t c = 0;
            if (!next(value) || !ParseColour(value, c)) return Error{"--colour needs 0xBBGGRR"};
            o.colour = c;
        } else if (a == "--relief") {
            if (!next(value) || (value != "raised" && value != "sunken")) return Error{"--relief needs raised or sunken"};
            o.effect.shown = true;
            o.effect.bump = value == "raised" ? ReliefChoice::Raised : ReliefChoice::Sunken;
        } else if (a == "--relief-strength") {
            int v = 0;
            if (!next(value) || !ParseIntInto(value, v) || v < 100 || v > 300)
                return Error{"--relief-strength needs 100..300"};
            o.effect.strength = v;
        } else if (a == "--offset") {
            const std::optional<V2d_Point> shift = next(value) ? ParsePoint(value) : std::nullopt;
            if (!shift || std::abs(shift->x) > 100 || std::abs(shift->y) > 100)
                return Error{"--offset needs DX,DY in -100..100 per cent of a tile"};
            o.effect.shown = true;
            o.effect.offsetX = shift->x;
            o.effect.offsetY = shift->y;
        } else if (a == "--pattern") {
            const std::optional<LayingPattern> pattern = next(value) ? ParsePatternWord(value) : std::nullopt;
            if (!pattern) return Error{"--pattern needs " + PatternWordList()};
            o.pattern.pattern = *pattern;
        } else if (a == "--joint") {
            int v = 0;
            if (!next(value) || !ParseIntInto(value, v) || v < 0 || v > kMaxJointMm)
                return Error{"--joint needs 0.." + std::to_string(kMaxJointMm) + " millimetres"};
            o.pattern.jointMm = v;
        } else if (a == "--joint-colour" || a == "--joint-color") {
            if (!next(value) || !ParseColour(value, o.pattern.jointColour)) return Error{a + " needs 0xBBGGRR"};
        } else if (a == "--random-turn") {
            const std::optional<long long> seed = next(value) ? v2d::ParseWholeNumber(value) : std::nullopt;
            if (!seed || *seed < 0 || *seed > 0xFFFFFFFFLL) return Error{"--random-turn needs a seed 0..4294967295"};
            o.pattern.randomTurn = true;
            o.pattern.seed = static_cast<uint32_t>(*seed);
        } else if (a == "--origin") {
            if (!next(value) || (value != "corner" && value != "centre" && value != "center"))
                return Error{"--origin needs corner or centre"};
            o.pattern.origin = value == "corner" ? LayingOrigin::Corner : LayingOrigin::Centre;
        } else if (a == "--mirror") {
            o.mirror = true;
        } else if (a == "--rotate") {
            o.rotate = true;
        } else if (a == "--fit") {
            o.fit = true;
        } else if (Status operand = TakeOperand(a, o.scheme, "unexpected argument " + a); !operand.ok()) {
            return operand.failure();
        }
    }
    if (o.scheme.empty()) return Error{"no scheme file given"};
    if (o.output.empty()) return Error{"no output given (-o)"};
    return o;
}

Result<std::vector<int>> ResolveRegions(const Scene& scene, const std::string& list) {
    std::vector<int> regions;
    for (const std::string& raw : SplitText(list, ",")) {
        const std::string token = raw;
        if (token.empty()) continue;
        int found = -1;
        for (int i = 0; i < scene.count() && found < 0; ++i)
            if (scene.at(i)->name == token || scene.ListText(i) == token) found = i;
        const std::optional<int> position = v2d::ParseInt(token);
        if (found < 0 && position && *position >= 0 && *position < scene.count()) found = *position;
        if (found < 0) return Error{"no region \"" + token + "\" in the scheme"};
        regions.push_back(found);
    }
    if (regions.empty()) return Error{"--regions names no region"};
    return regions;
}

Result<ProductPanelState> LoadProductPanel(const std::string& file, const RenderOptions& options) {
    const std::filesystem::path path(file);
    ProductPanelState panel;
    std::string extension = path.extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == ".h2d") {
        Result<ProductMap> map = LoadProductMap(path);
        if (!map) return Error{map.error()};
        panel.picture = map->picture;
    } else {
        std::optional<Bytes> bytes = ReadWholeFile(path);
        if (!bytes) return Error{"cannot read " + file};
        panel.picture = DecodePicture(*bytes);
    }
    if (panel.picture.isNull()) return Error{file + ": not a picture"};
    const std::string stem = path.stem().string();
    panel.widthMm = options.widthMm;
    panel.heightMm = options.heightMm;
    panel.product = Product::Parse(
        ProductDescriptor::Product(stem, stem, "", std::to_string(options.widthMm) + "*" + std::to_string(options.heightMm))
            .ToString());
    panel.mirror = options.mirror;
    panel.rotate = options.rotate;
    panel.fit = options.fit;
    panel.pattern = options.pattern;
    if (options.colour) {
        panel.colour = *options.colour;
        panel.ambientColour = true;  // with a product the colour tints the tiling
    }
    return panel;
}

}  // namespace v2d::cli
