#pragma once
// How a product is priced and boxed. The product table holds the unit and
// the pieces per box; a product laid into a region carries them in its
// descriptor under the keys below, so a scheme quotes without the database.
#include <optional>
#include <string_view>

namespace v2d {

enum class PriceUnit { Piece, SquareMetre, Box };

inline constexpr const char* kKeyPiecesPerBox = "PartsPerBox";  // whole pieces, > 0; missing: unknown
inline constexpr const char* kKeyPriceUnit = "PartsUnit";       // PriceUnitWord; missing: per piece

// The unit's word in files, the CSV and the command line.
constexpr std::string_view PriceUnitWord(PriceUnit unit) {
    switch (unit) {
        case PriceUnit::SquareMetre: return "m2";
        case PriceUnit::Box: return "box";
        default: return "piece";
    }
}

// What the shop reads: "片", "平方米", "箱".
constexpr std::string_view PriceUnitCaption(PriceUnit unit) {
    switch (unit) {
        case PriceUnit::SquareMetre: return "平方米";
        case PriceUnit::Box: return "箱";
        default: return "片";
    }
}

// The word or the caption; nothing for any other text.
constexpr std::optional<PriceUnit> ParsePriceUnit(std::string_view text) {
    for (PriceUnit unit : {PriceUnit::Piece, PriceUnit::SquareMetre, PriceUnit::Box})
        if (text == PriceUnitWord(unit) || text == PriceUnitCaption(unit)) return unit;
    return std::nullopt;
}

}  // namespace v2d
