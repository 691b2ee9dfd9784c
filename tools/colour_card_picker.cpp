#include "tools/colour_card_picker.h"

namespace v2d {

std::array<Swatch, kSwatchCount> BuildSwatches(const std::vector<CardColour>& recommended) {
    std::array<Swatch, kSwatchCount> swatches{};
    for (size_t i = 0; i < swatches.size() && i < recommended.size(); ++i)
        swatches[i] = {true, recommended[i], CardEntryColour(recommended[i])};
    return swatches;
}

void ColourCardPicker::Take(const CardColour& entry, const QColor& colour, std::string name) {
    lastCell_.fill(std::nullopt);
    choice_.chosen = true;
    choice_.colour = WindowsFromQColor(colour);
    choice_.number = entry.ColorNumber;
    choice_.name = std::move(name);
}

bool ColourCardPicker::PickCell(ColourPage card, const CardLayout& layout, QPoint point) {
    const std::optional<int> cell = layout.CellAt(point);
    if (!cell) return false;
    std::optional<int>& last = lastCell_[size_t(card)];
    if (last == cell) return false;
    const CardCell& picked = layout.cells[size_t(*cell)];
    Take(picked.entry, picked.colour, {});
    lastCell_[size_t(card)] = cell;
    return true;
}

bool ColourCardPicker::PickSwatch(const std::array<Swatch, kSwatchCount>& swatches, int index) {
    if (index < 0 || index >= kSwatchCount || !swatches[size_t(index)].enabled) return false;
    const Swatch& swatch = swatches[size_t(index)];
    Take(swatch.entry, swatch.colour, swatch.entry.ColorName);
    return true;
}

void ColourCardPicker::PickLookedUp(const CardColour& entry) {
    Take(entry, CardEntryColour(entry), {});
}

}  // namespace v2d
