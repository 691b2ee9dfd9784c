#pragma once
// How a product is priced and boxed. The product table holds the unit, the
// pieces per box and a wallpaper's pattern repeat; a product laid into a
// region carries them in its descriptor under the keys below, so a scheme
// quotes without the database.
#include <array>
#include <optional>
#include <string_view>

namespace v2d {

// Roll: a wallpaper, whose PartsSpecs are the roll's width and length.
enum class PriceUnit { Piece, SquareMetre, Box, Roll };
inline constexpr std::array<PriceUnit, 4> kPriceUnits = {PriceUnit::Piece, PriceUnit::SquareMetre, PriceUnit::Box,
                                                         PriceUnit::Roll};

inline constexpr const char* kKeyPiecesPerBox = "PartsPerBox";   // whole pieces, > 0; missing: unknown
inline constexpr const char* kKeyPriceUnit = "PartsUnit";        // PriceUnitWord; missing: per piece
inline constexpr const char* kKeyPatternRepeat = "PatternRepeat";  // mm, > 0; missing: none
inline constexpr int kMaxPatternRepeatMm = 100000;
// The largest price per unit taken at its word, in yuan.
inline constexpr double kMaxUnitPrice = 1e8;

// The unit's word in files, the CSV and the command line.
constexpr std::string_view PriceUnitWord(PriceUnit unit) {
    switch (unit) {
        case PriceUnit::SquareMetre: return "m2";
        case PriceUnit::Box: return "box";
        case PriceUnit::Roll: return "roll";
        default: return "piece";
    }
}

// What the shop reads: "片", "平方米", "箱", "卷".
constexpr std::string_view PriceUnitCaption(PriceUnit unit) {
    switch (unit) {
        case PriceUnit::SquareMetre: return "平方米";
        case PriceUnit::Box: return "箱";
        case PriceUnit::Roll: return "卷";
        default: return "片";
    }
}

// The word or the caption; nothing for any other text.
constexpr std::optional<PriceUnit> ParsePriceUnit(std::string_view text) {
    for (PriceUnit unit : kPriceUnits)
        if (text == PriceUnitWord(unit) || text == PriceUnitCaption(unit)) return unit;
    return std::nullopt;
}

}  // namespace v2d
