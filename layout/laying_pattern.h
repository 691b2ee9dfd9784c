#pragma once
// How tiles are laid into a region: the pattern, the joints between them,
// random turns and where laying starts. A plain setting (straight, no joint,
// no turns, from the corner) lays exactly as edge-to-edge repetition does.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace v2d {

// The numbers are the panel's item indices and the descriptor's values.
enum class LayingPattern : int { Straight = 0, HalfOffset = 1, ThirdOffset = 2, Diagonal = 3, Herringbone = 4, BasketWeave = 5 };
enum class LayingOrigin : int { Corner = 0, Centre = 1 };

inline constexpr int kMaxJointMm = 20;

struct PatternSettings {
    LayingPattern pattern = LayingPattern::Straight;
    int jointMm = 0;                   // 0..kMaxJointMm
    uint32_t jointColour = 0x808080u;  // 0x00BBGGRR
    bool randomTurn = false;
    uint32_t seed = 0;                 // the turns' seed, stored so a scheme re-lays the same
    LayingOrigin origin = LayingOrigin::Corner;

    bool isPlain() const {
        return pattern == LayingPattern::Straight && jointMm == 0 && !randomTurn && origin == LayingOrigin::Corner;
    }
    friend bool operator==(const PatternSettings&, const PatternSettings&) = default;
};

inline constexpr LayingPattern kLayingPatterns[] = {LayingPattern::Straight,    LayingPattern::HalfOffset,
                                                    LayingPattern::ThirdOffset, LayingPattern::Diagonal,
                                                    LayingPattern::Herringbone, LayingPattern::BasketWeave};

// "直铺", "工字铺", "三分之一错缝", "斜铺", "人字铺", "编织铺".
constexpr std::string_view PatternCaption(LayingPattern pattern) {
    constexpr std::string_view captions[] = {"直铺", "工字铺", "三分之一错缝", "斜铺", "人字铺", "编织铺"};
    return captions[static_cast<int>(pattern)];
}

// straight, half, third, diagonal, herringbone, basket.
constexpr std::string_view PatternWord(LayingPattern pattern) {
    constexpr std::string_view words[] = {"straight", "half", "third", "diagonal", "herringbone", "basket"};
    return words[static_cast<int>(pattern)];
}

// A word of the command line ("brick" is the half offset too) or a caption.
constexpr std::optional<LayingPattern> ParsePatternWord(std::string_view word) {
    if (word == "brick") return LayingPattern::HalfOffset;
    for (LayingPattern pattern : kLayingPatterns)
        if (word == PatternWord(pattern) || word == PatternCaption(pattern)) return pattern;
    return std::nullopt;
}

}  // namespace v2d
