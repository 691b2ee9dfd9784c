#pragma once
// How tiles are laid into a region: the pattern, the joints between them,
// random turns and where laying starts. A plain setting (straight, no joint,
// no turns, from the corner) lays exactly as edge-to-edge repetition does.
#include <cstdint>

namespace v2d {

// The numbers are the descriptor's values; the pattern table
// (pattern_table.h) has a row for each. A number no row has stands for a
// pattern this build does not know: it is kept as read and laying it is
// refused.
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

}  // namespace v2d
