// quote SCHEME.v2d [--waste PCT] [--per-box N]: what the scheme's laid
// regions and placed models take to buy, each in its product's unit, as
// JSON, with the workspace's waste allowances.
#include <charconv>
#include <cmath>
#include <cstdio>

#include "base/integer_text.h"
#include "cli/command_support.h"
#include "cli/commands.h"
#include "layout/region_quote.h"
#include "scene/scheme_file.h"

namespace v2d::cli {
namespace {

constexpr const char* kUsage = "usage: vexel2d-cli quote SCHEME.v2d [--waste PCT] [--per-box N]\n";

std::optional<double> ParsePercent(const std::string& text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) || value < 0 || value > 100)
        return std::nullopt;
    return value;
}

}  // namespace

int RunQuote(const Args& args, const std::filesystem::path& workspace) {
    std::string scheme;
    QuoteOptions options = ReadQuoteSettings(workspace);
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--waste") {
            const std::optional<double> waste = hasValue ? ParsePercent(args[++i]) : std::nullopt;
            if (!waste) return std::fprintf(stderr, "vexel2d-cli quote: --waste needs 0..100 per cent\n%s", kUsage), 2;
            options.wastePercent = waste;
        } else if (a == "--per-box") {
            const std::optional<long long> n = hasValue ? ParseWholeNumber(args[++i]) : std::nullopt;
            if (!n || *n < 1 || *n > 100000)
                return std::fprintf(stderr, "vexel2d-cli quote: --per-box needs 1..100000 pieces\n%s", kUsage), 2;
            options.piecesPerBox = static_cast<int>(*n);
        } else if (a.empty() || a[0] == '-' || !scheme.empty()) {
            return std::fprintf(stderr, "vexel2d-cli quote: unexpected argument %s\n%s", a.c_str(), kUsage), 2;
        } else {
            scheme = a;
        }
    }
    if (scheme.empty()) return std::fputs(kUsage, stderr), 2;
    Result<SchemeFile> file = ReadSchemeFile(scheme);
    if (!file) return Fail("quote", scheme + ": " + file.error());
    std::printf("%s\n", QuoteJson(QuoteScheme(file->scene, options)).c_str());
    return 0;
}

}  // namespace v2d::cli
