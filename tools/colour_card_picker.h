#pragma once
// The colour chosen in the colour-card window and how each kind of pick
// changes it: a cell of one of the two cards, one of the ten recommended
// swatches, or a card number looked up in the database.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/colour_card_layout.h"

namespace v2d {

// The window's pages, in the order of its tabs.
enum class ColourPage { Recommended = 0, Thousand = 1, Building = 2 };

inline constexpr int kSwatchCount = 10;
inline constexpr uint32_t kWhiteColour = 0x00FFFFFF;

struct Swatch {
    bool enabled = false;  // false: the table has fewer rows than swatches
    CardColour entry;
    QColor colour;
};

// The first ten recommended colours; swatches without a row stay disabled.
std::array<Swatch, kSwatchCount> BuildSwatches(const std::vector<CardColour>& recommended);

struct ColourChoice {
    bool chosen = false;            // false until the first pick
    uint32_t colour = kWhiteColour;  // 0x00BBGGRR
    std::string number;             // card number
    std::string name;               // colour name (recommended colours only)
};

class ColourCardPicker {
public:
    // A click on a card. Picks the cell under the point unless it is the one
    // already picked last on that card; true when the choice changed.
    bool PickCell(ColourPage card, const CardLayout& layout, QPoint point);
    // A click on swatch `index`; disabled or missing swatches pick nothing.
    bool PickSwatch(const std::array<Swatch, kSwatchCount>& swatches, int index);
    // A colour found by its card number.
    void PickLookedUp(const CardColour& entry);
    void ClearName() { choice_.name.clear(); }

    const ColourChoice& choice() const { return choice_; }

private:
    void Take(const CardColour& entry, const QColor& colour, std::string name);
    // The last picked cell of each card. Any pick from elsewhere forgets
    // them all, so the same cell picked again after it is taken again.
    std::array<std::optional<int>, 3> lastCell_;
    ColourChoice choice_;
};

}  // namespace v2d
