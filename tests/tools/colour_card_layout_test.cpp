#include <gtest/gtest.h>

#include "tools/colour_card_layout.h"

namespace v2d {
namespace {

std::vector<CardColour> Entries(const std::string& prefix, int count) {
    std::vector<CardColour> list;
    for (int k = 0; k < count; ++k)
        list.push_back({k + 1, prefix + std::to_string(k), "", k % 256, (k * 3) % 256, 200});
    return list;
}

std::string NumberAt(const CardLayout& layout, QPoint p) {
    const std::optional<int> cell = layout.CellAt(p);
    return cell ? layout.cells[size_t(*cell)].entry.ColorNumber : "none";
}

// At 775 pixels the thousand card has 24 x 10 cells on a 25 x 11 pitch:
// cell (i, j) paints x 25i..25i+23, y 11j..11j+9.
TEST(ThousandCard, MainCellsRunDownEachColumnWithOnePixelLines) {
    const CardLayout layout = LayoutThousandCard({775, 374}, Entries("M", 30), {}, {});
    ASSERT_EQ(layout.cells.size(), 30u);
    EXPECT_EQ(layout.cells[0].rect, QRect(0, 0, 24, 10));
    EXPECT_EQ(layout.cells[1].rect, QRect(0, 11, 24, 10));
    EXPECT_EQ(layout.cells[24].rect, QRect(25, 0, 24, 10));
    EXPECT_EQ(NumberAt(layout, {0, 0}), "M0");
    EXPECT_EQ(NumberAt(layout, {23, 9}), "M0");
    EXPECT_EQ(NumberAt(layout, {24, 5}), "none");  // vertical line
    EXPECT_EQ(NumberAt(layout, {5, 10}), "none");  // horizontal line
    EXPECT_EQ(NumberAt(layout, {24, 10}), "none");  // where the lines cross
    EXPECT_EQ(NumberAt(layout, {5, 11}), "M1");
    EXPECT_EQ(NumberAt(layout, {25, 0}), "M24");
    EXPECT_EQ(NumberAt(layout, {49, 0}), "none");
    EXPECT_EQ(NumberAt(layout, {30, 11}), "M25");
    // Past the list's end the card is blank.
    EXPECT_EQ(NumberAt(layout, {30, 11 * 6}), "none");
}

TEST(ThousandCard, MainListStopsAt744AndTheLastCellIsPickable) {
    const CardLayout layout = LayoutThousandCard({775, 374}, Entries("M", 800), {}, {});
    ASSERT_EQ(layout.cells.size(), 744u);
    // Entry 743: column 30, row 23 -> x 750..773, y 253..262.
    EXPECT_EQ(layout.cells.back().rect, QRect(750, 253, 24, 10));
    EXPECT_EQ(NumberAt(layout, {773, 262}), "M743");
    EXPECT_EQ(NumberAt(layout, {750, 253}), "M743");
    EXPECT_EQ(NumberAt(layout, {774, 262}), "none");  // the picture's last column is a line
    EXPECT_EQ(NumberAt(layout, {773, 263}), "none");
}

TEST(ThousandCard, OffWhiteCellsAreDoubleWidthAndClippedAtTheRightEdge) {
    const CardLayout layout = LayoutThousandCard({775, 374}, {}, Entries("OW", 186), {});
    // Off-white column i starts at 50i: columns 0..15 start inside 775.
    ASSERT_EQ(layout.cells.size(), 16u * 6u);
    EXPECT_EQ(layout.cells[0].rect, QRect(0, 264, 48, 10));
    EXPECT_EQ(layout.cells[6].rect, QRect(50, 264, 48, 10));
    EXPECT_EQ(NumberAt(layout, {47, 264}), "OW0");
    EXPECT_EQ(NumberAt(layout, {48, 264}), "none");  // two-pixel gap
    EXPECT_EQ(NumberAt(layout, {49, 264}), "none");
    EXPECT_EQ(NumberAt(layout, {50, 264}), "OW6");
    EXPECT_EQ(NumberAt(layout, {0, 5 * 11 + 264}), "OW5");
    // Column 15 runs 750..797, past the picture; its visible part still picks.
    EXPECT_EQ(NumberAt(layout, {774, 264}), "OW90");
    EXPECT_EQ(NumberAt(layout, {775, 264}), "none");  // outside the picture
}

TEST(ThousandCard, ASeriesFillsRows30To33) {
    const CardLayout layout =
        LayoutThousandCard({775, 374}, Entries("M", 1), Entries("OW", 1), Entries("A", 200));
    ASSERT_EQ(layout.cells.size(), 1u + 1u + 124u);
    EXPECT_EQ(NumberAt(layout, {0, 330}), "A0");
    EXPECT_EQ(NumberAt(layout, {0, 363}), "A3");
    EXPECT_EQ(NumberAt(layout, {25, 330}), "A4");
    EXPECT_EQ(NumberAt(layout, {773, 372}), "A123");
    EXPECT_EQ(NumberAt(layout, {773, 373}), "none");
    EXPECT_EQ(NumberAt(layout, {0, 0}), "M0");
    EXPECT_EQ(NumberAt(layout, {0, 264}), "OW0");
}

TEST(ThousandCard, OutsideThePictureAndTooNarrowPicturesPickNothing) {
    const CardLayout layout = LayoutThousandCard({775, 374}, Entries("M", 744), {}, {});
    EXPECT_EQ(NumberAt(layout, {-1, 0}), "none");
    EXPECT_EQ(NumberAt(layout, {0, -1}), "none");
    EXPECT_EQ(NumberAt(layout, {775, 0}), "none");
    EXPECT_EQ(NumberAt(layout, {0, 374}), "none");
    // 61 / 31 - 1 = 0: no room for a cell.
    EXPECT_TRUE(LayoutThousandCard({61, 374}, Entries("M", 5), {}, {}).cells.empty());
    // 62 / 31 - 1 = 1: one-pixel cells on a two-pixel pitch.
    const CardLayout tiny = LayoutThousandCard({62, 374}, Entries("M", 5), {}, {});
    ASSERT_EQ(tiny.cells.size(), 5u);
    EXPECT_EQ(NumberAt(tiny, {0, 0}), "M0");
    EXPECT_EQ(NumberAt(tiny, {1, 0}), "none");
}

// 775 x 372: 30 x 30 cells on a 31 pitch, 25 columns by 12 rows.
TEST(BuildingCard, TwentyFiveByTwelveCellsFilledColumnByColumn) {
    const CardLayout layout = LayoutBuildingCard({775, 372}, Entries("B", 320));
    ASSERT_EQ(layout.cells.size(), 300u);
    EXPECT_EQ(layout.cells[0].rect, QRect(0, 0, 30, 30));
    EXPECT_EQ(layout.cells[11].rect, QRect(0, 341, 30, 30));
    EXPECT_EQ(layout.cells[12].rect, QRect(31, 0, 30, 30));
    EXPECT_EQ(NumberAt(layout, {29, 29}), "B0");
    EXPECT_EQ(NumberAt(layout, {30, 29}), "none");
    EXPECT_EQ(NumberAt(layout, {29, 30}), "none");
    EXPECT_EQ(NumberAt(layout, {31, 31}), "B13");
    EXPECT_EQ(NumberAt(layout, {773, 370}), "B299");
    EXPECT_EQ(NumberAt(layout, {774, 370}), "none");
    EXPECT_EQ(NumberAt(layout, {773, 371}), "none");
    // Width and height give their own cell sizes: 500 / 25 - 1 = 19, 240 / 12 - 1 = 19.
    EXPECT_EQ(LayoutBuildingCard({500, 240}, Entries("B", 13)).cells[12].rect, QRect(20, 0, 19, 19));
    EXPECT_TRUE(LayoutBuildingCard({775, 23}, Entries("B", 3)).cells.empty());
}

TEST(CardPicture, CellsAreFilledAndFramedByLines) {
    std::vector<CardColour> list = {{1, "X", "", 0x12, 0x34, 0x56}, {2, "Y", "", 0xFE, 0x01, 0x80}};
    const QImage card = PaintCard(LayoutBuildingCard({775, 372}, list));
    ASSERT_EQ(card.size(), QSize(775, 372));
    EXPECT_EQ(card.pixel(0, 0), qRgb(0x12, 0x34, 0x56));
    EXPECT_EQ(card.pixel(29, 29), qRgb(0x12, 0x34, 0x56));
    EXPECT_EQ(card.pixel(30, 0), kCardLine);
    EXPECT_EQ(card.pixel(0, 30), kCardLine);  // between the two cells
    EXPECT_EQ(card.pixel(0, 31), qRgb(0xFE, 0x01, 0x80));
    EXPECT_EQ(card.pixel(0, 61), kCardLine);  // below the second
    EXPECT_EQ(card.pixel(31, 0), kCardBackground);  // no third entry
    EXPECT_EQ(card.pixel(0, 62), kCardBackground);
}

TEST(CardColours, WindowsValuesAreBlueGreenRed) {
    EXPECT_EQ(QColorFromWindows(0x00563412u), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(WindowsFromQColor(QColor(0x12, 0x34, 0x56)), 0x00563412u);
    EXPECT_EQ(CardEntryColour({0, "", "", 0x12, 0x34, 0x56}), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(ContrastingTextColour(Qt::white), QColor(Qt::black));
    EXPECT_EQ(ContrastingTextColour(Qt::black), QColor(Qt::white));
    // Pure blue is dark (0.114 * 255), pure yellow light (0.886 * 255).
    EXPECT_EQ(ContrastingTextColour(QColor(0, 0, 255)), QColor(Qt::white));
    EXPECT_EQ(ContrastingTextColour(QColor(255, 255, 0)), QColor(Qt::black));
    // The threshold: 140000 / 1000 of 255.
    EXPECT_EQ(ContrastingTextColour(QColor(140, 140, 140)), QColor(Qt::black));
    EXPECT_EQ(ContrastingTextColour(QColor(139, 139, 139)), QColor(Qt::white));
}

}  // namespace
}  // namespace v2d
