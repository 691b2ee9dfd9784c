#pragma once
// The laying patterns the program knows, one row each: everything else
// (the panel's combo, the descriptor's "LayPattern", the command line's
// --pattern, the quote's allowance and "pattern" word, the laying itself)
// reads this table. A new pattern is a new row and its lattice function.
#include <cstddef>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "layout/laying_pattern.h"
#include "layout/pattern_lattice.h"

namespace v2d {

struct PatternRow {
    LayingPattern pattern;     // its number in descriptors and the panel's item data
    std::string_view word;     // the command line's word, "Waste_<word>" and the quote's "pattern"
    std::string_view alias;    // another word the command line takes for it, or empty
    std::string_view caption;  // the panel's item, also taken on the command line
    double wastePercent;       // the quote's allowance where the shop sets none
    LatticeFunction lattice;
};

inline constexpr PatternRow kPatternTable[] = {
    {LayingPattern::Straight, "straight", "", "直铺", 5, StraightLattice},
    {LayingPattern::HalfOffset, "half", "brick", "工字铺", 8, HalfOffsetLattice},
    {LayingPattern::ThirdOffset, "third", "", "三分之一错缝", 8, ThirdOffsetLattice},
    {LayingPattern::Diagonal, "diagonal", "", "斜铺", 15, DiagonalLattice},
    {LayingPattern::Herringbone, "herringbone", "", "人字铺", 15, HerringboneLattice},
    {LayingPattern::BasketWeave, "basket", "", "编织铺", 15, BasketWeaveLattice},
};
inline constexpr size_t kPatternCount = std::size(kPatternTable);

// Files keep the number and the command line the words: no two rows share either.
constexpr bool PatternRowsAreDistinct() {
    for (size_t i = 0; i < kPatternCount; ++i)
        for (size_t j = i + 1; j < kPatternCount; ++j)
            if (kPatternTable[i].pattern == kPatternTable[j].pattern || kPatternTable[i].word == kPatternTable[j].word ||
                kPatternTable[i].caption == kPatternTable[j].caption)
                return false;
    return true;
}
static_assert(PatternRowsAreDistinct(), "each pattern row needs a number, a word and a caption of its own");

// A pattern's position in the table; nothing for a number no row has (one
// read from a file written by a build that knows more patterns).
constexpr std::optional<size_t> PatternIndex(LayingPattern pattern) {
    for (size_t i = 0; i < kPatternCount; ++i)
        if (kPatternTable[i].pattern == pattern) return i;
    return std::nullopt;
}
constexpr const PatternRow* PatternRowOf(LayingPattern pattern) {
    const std::optional<size_t> index = PatternIndex(pattern);
    return index ? &kPatternTable[*index] : nullptr;
}

// A command-line word, its alias or a caption.
constexpr std::optional<LayingPattern> ParsePatternWord(std::string_view word) {
    for (const PatternRow& row : kPatternTable)
        if (word == row.word || (!row.alias.empty() && word == row.alias) || word == row.caption) return row.pattern;
    return std::nullopt;
}

// The words in table order: "straight, half, third, diagonal, herringbone or
// basket" for a message, "straight|half|…|basket" with "|" for both for a usage line.
inline std::string PatternWordList(std::string_view between = ", ", std::string_view beforeLast = " or ") {
    std::string list;
    for (size_t i = 0; i < kPatternCount; ++i)
        list += std::string(i == 0 ? "" : i + 1 == kPatternCount ? beforeLast : between) +
                std::string(kPatternTable[i].word);
    return list;
}

}  // namespace v2d
