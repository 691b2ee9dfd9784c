#pragma once
// Where each colour sits on the two printed cards and which one a click
// lands on. Cells are separated by one-pixel lines of the card's background;
// a click on such a line, or past the last cell, picks nothing.
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <optional>
#include <vector>

#include "library/colour_card_queries.h"

namespace v2d {

// Thousand-colour card: 31 columns; rows 0..23 hold the main list, 24..29
// the off-white list in double-width cells, 30..33 the A series.
inline constexpr int kThousandColumns = 31;
inline constexpr int kThousandCellHeight = 10;
inline constexpr int kMainFirstRow = 0;
inline constexpr int kMainRows = 24;
inline constexpr int kOffWhiteFirstRow = 24;
inline constexpr int kOffWhiteRows = 6;
inline constexpr int kASeriesFirstRow = 30;
inline constexpr int kASeriesRows = 4;
inline constexpr int kThousandRows = kASeriesFirstRow + kASeriesRows;

// 300-colour building card: 25 columns by 12 rows.
inline constexpr int kBuildingColumns = 25;
inline constexpr int kBuildingRows = 12;

// The pictures as the window shows them: 24 x 10 cells on the thousand
// card, 30 x 30 on the building card.
inline constexpr QSize kThousandCardSize{kThousandColumns * 25, kThousandRows * (kThousandCellHeight + 1)};
inline constexpr QSize kBuildingCardSize{kBuildingColumns * 31, kBuildingRows * 31};

// The card is white where it has no cells; the lines around cells are a
// light grey, so that the off-white cells stand apart from each other.
inline constexpr QRgb kCardBackground = 0xFFFFFFFF;
inline constexpr QRgb kCardLine = 0xFFD4D4D4;

// 0x00BBGGRR, the way colours travel between the windows.
QColor QColorFromWindows(uint32_t windowsColour);
uint32_t WindowsFromQColor(const QColor& colour);
// The colour a card entry is painted with: its colour text as a number,
// white when the text does not convert.
QColor CardEntryColour(const CardColour& entry);
// Black or white, whichever reads better on the background.
QColor ContrastingTextColour(const QColor& background);

struct CardCell {
    QRect rect;  // the painted pixels; the separating lines lie outside
    CardColour entry;
    QColor colour;
};

struct CardLayout {
    QSize size;
    std::vector<CardCell> cells;  // in drawing order

    // The first cell, in drawing order, whose painted pixels hold the point.
    std::optional<int> CellAt(QPoint point) const;
};

// Cell width = picture width / 31 - 1, height 10; lists fill column by
// column. Main entries past 31 x 24 are not drawn, nor off-white cells that
// start beyond the picture's right edge.
CardLayout LayoutThousandCard(QSize imageSize, const std::vector<CardColour>& mainList,
                              const std::vector<CardColour>& offWhiteList,
                              const std::vector<CardColour>& aSeriesList);
// Cell width = width / 25 - 1, height = height / 12 - 1, filled column by column.
CardLayout LayoutBuildingCard(QSize imageSize, const std::vector<CardColour>& buildingList);

// The card as a picture: background, a line around every cell, then every
// cell in its colour.
QImage PaintCard(const CardLayout& layout);

}  // namespace v2d
