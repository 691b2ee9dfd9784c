#include "layout/pattern_descriptor.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "base/gbk_text.h"
#include "base/integer_text.h"
#include "library/pub_functions.h"

namespace v2d {
namespace {

constexpr const char* kKeyPattern = "LayPattern";
constexpr const char* kKeyJointWidth = "JointWidth";
constexpr const char* kKeyJointColour = "JointColor";
constexpr const char* kKeyTurnSeed = "TurnSeed";
constexpr const char* kKeyOrigin = "LayOrigin";
constexpr const char* kKeySize = "LaySize";
constexpr const char* kLayingKeys[] = {kKeyPattern, kKeyJointWidth, kKeyJointColour, kKeyTurnSeed, kKeyOrigin, kKeySize};

std::optional<long long> NumberOf(std::string_view descriptor, const char* key) {
    return ParseWholeNumber(GetParam(descriptor, key));
}

}  // namespace

PatternSettings ReadPatternSettings(std::string_view descriptor) {
    PatternSettings settings;
    // A number without a row is kept as read (held within int): laying or
    // quoting it is refused rather than taken for a straight laying.
    if (const auto pattern = NumberOf(descriptor, kKeyPattern))
        settings.pattern = static_cast<LayingPattern>(
            std::clamp<long long>(*pattern, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    if (const auto joint = NumberOf(descriptor, kKeyJointWidth))
        settings.jointMm = static_cast<int>(std::clamp<long long>(*joint, 0, kMaxJointMm));
    if (const auto colour = NumberOf(descriptor, kKeyJointColour); colour && *colour >= 0)
        settings.jointColour = static_cast<uint32_t>(*colour & 0xFFFFFF);
    if (const auto seed = NumberOf(descriptor, kKeyTurnSeed); seed && *seed >= 0 && *seed <= 0xFFFFFFFFLL) {
        settings.randomTurn = true;
        settings.seed = static_cast<uint32_t>(*seed);
    }
    if (NumberOf(descriptor, kKeyOrigin) == 1) settings.origin = LayingOrigin::Centre;
    return settings;
}

std::optional<LaidSize> ReadLaidSize(std::string_view descriptor) {
    const std::vector<std::string> sides = SplitText(GetParam(descriptor, kKeySize), "*");
    if (sides.size() != 2) return std::nullopt;
    const std::optional<int> width = ParseInt(sides[0]), height = ParseInt(sides[1]);
    if (!width || !height || *width <= 0 || *height <= 0) return std::nullopt;
    return LaidSize{*width, *height};
}

std::string WithPatternSettings(std::string_view descriptor, const PatternSettings& settings, LaidSize size,
                                size_t byteLimit) {
    std::string items;
    if (!settings.isPlain()) {
        items = std::string("&") + kKeyPattern + "=" + std::to_string(static_cast<int>(settings.pattern)) + "&" +
                kKeyJointWidth + "=" + std::to_string(std::clamp(settings.jointMm, 0, kMaxJointMm)) + "&" +
                kKeyJointColour + "=" + std::to_string(settings.jointColour & 0xFFFFFF);
        if (settings.randomTurn) items += std::string("&") + kKeyTurnSeed + "=" + std::to_string(settings.seed);
        items += std::string("&") + kKeyOrigin + "=" + std::to_string(static_cast<int>(settings.origin));
        if (size.width > 0 && size.height > 0)
            items += std::string("&") + kKeySize + "=" + std::to_string(size.width) + "*" + std::to_string(size.height);
    }
    const std::string kept = WithoutParams(descriptor, kLayingKeys);
    if (items.empty()) return std::string(Utf8Prefix(kept, byteLimit));
    if (kept.empty()) items.erase(0, 1);
    const size_t room = byteLimit == std::string::npos ? kept.size() : byteLimit - std::min(byteLimit, items.size());
    return std::string(Utf8Prefix(kept, room)) + items;
}

}  // namespace v2d
