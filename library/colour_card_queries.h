#pragma once
// The colour cards of the product database: the thousand-colour paint card
// (TableColor, split into main, off-white "OW" and "A" series), the 300
// building colours (TableColor300) and the recommended colours
// (TableColorTj).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "library/data_module.h"

namespace v2d {

inline constexpr int kMaxASeriesColours = 744;

struct CardColour {
    int64_t ID = 0;
    std::string ColorNumber;
    std::string ColorName;
    int R = 0, G = 0, B = 0;
    // "0x" + upper-case hex of B, G, R: the colour's text on the card.
    std::string ColourText() const;
    // 0x00BBGGRR.
    uint32_t WindowsColour() const;
};

enum class ColourCardTable { Thousand, Building, Recommended };

// The colour text as an integer; white (0x00FFFFFF) when it does not convert.
uint32_t ColourTextToValue(const std::string& text);

// Thousand-colour card rows without "OW" or "A" in their number.
Result<std::vector<CardColour>> ReadMainColours(Db& dm);
// Numbers containing "OW" (the off-white rows).
Result<std::vector<CardColour>> ReadOffWhiteColours(Db& dm);
// Numbers containing "A", at most 744 rows.
Result<std::vector<CardColour>> ReadASeriesColours(Db& dm);
Result<std::vector<CardColour>> ReadBuildingColours(Db& dm);
Result<std::vector<CardColour>> ReadRecommendedColours(Db& dm);
// Looks a card number up in the thousand-colour or the building card.
Result<std::optional<CardColour>> FindCardColour(Db& dm, ColourCardTable table,
                                                 const std::string& number);

}  // namespace v2d
