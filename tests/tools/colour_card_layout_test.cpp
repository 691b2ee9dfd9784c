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

struct Pick {
    QPoint at;
    const char* number;  // "none": a line, a blank cell or outside the picture
};

void ExpectPicks(const CardLayout& layout, std::initializer_list<Pick> picks) {
    for (const Pick& p : picks) {
        const std::optional<int> cell = layout.CellAt(p.at);
        EXPECT_EQ(cell ? layout.cells[size_t(*cell)].entry.ColorNumber : "none", p.number)
            << p.at.x() << "," << p.at.y();
    }
}

// At 775 pixels the thousand card has 24 x 10 cells on a 25 x 11 pitch:
// cell (i, j) paints x 25i..25i+23, y 11j..11j+9, down each column first.
TEST(ThousandCard, MainCellsHaveOnePixelLinesAndStopAt744) {
    const CardLayout few = LayoutThousandCard({775, 374}, Entries("M", 30), {}, {});
    ASSERT_EQ(few.cells.size(), 30u);
    EXPECT_EQ(few.cells[0].rect, QRect(0, 0, 24, 10));
    EXPECT_EQ(few.cells[1].rect, QRect(0, 11, 24, 10));
    EXPECT_EQ(few.cells[24].rect, QRect(25, 0, 24, 10));
    ExpectPicks(few, {{{0, 0}, "M0"},   {{23, 9}, "M0"},   {{24, 5}, "none"},  {{5, 10}, "none"},
                      {{24, 10}, "none"}, {{5, 11}, "M1"},   {{25, 0}, "M24"},   {{49, 0}, "none"},
                      {{30, 11}, "M25"}, {{30, 66}, "none"}, {{-1, 0}, "none"}, {{0, -1}, "none"}});
    const CardLayout full = LayoutThousandCard({775, 374}, Entries("M", 800), {}, {});
    ASSERT_EQ(full.cells.size(), 744u);
    // Entry 743: column 30, row 23 -> x 750..773, y 253..262; the last column is a line.
    EXPECT_EQ(full.cells.back().rect, QRect(750, 253, 24, 10));
    ExpectPicks(full, {{{773, 262}, "M743"}, {{750, 253}, "M743"}, {{774, 262}, "none"}, {{773, 263}, "none"},
                       {{775, 0}, "none"}, {{0, 374}, "none"}});
    // 61 / 31 - 1 = 0: no room for a cell; 62 / 31 - 1 = 1: one-pixel cells on a two-pixel pitch.
    EXPECT_TRUE(LayoutThousandCard({61, 374}, Entries("M", 5), {}, {}).cells.empty());
    const CardLayout tiny = LayoutThousandCard({62, 374}, Entries("M", 5), {}, {});
    ASSERT_EQ(tiny.cells.size(), 5u);
    ExpectPicks(tiny, {{{0, 0}, "M0"}, {{1, 0}, "none"}});
}

TEST(ThousandCard, OffWhiteCellsAreDoubleWidthAndClippedAtTheRightEdge) {
    const CardLayout layout = LayoutThousandCard({775, 374}, {}, Entries("OW", 186), {});
    // Off-white column i starts at 50i: columns 0..15 start inside 775.
    ASSERT_EQ(layout.cells.size(), 16u * 6u);
    EXPECT_EQ(layout.cells[0].rect, QRect(0, 264, 48, 10));
    EXPECT_EQ(layout.cells[6].rect, QRect(50, 264, 48, 10));
    // A two-pixel gap; column 15 runs 750..797, its visible part still picks.
    ExpectPicks(layout, {{{47, 264}, "OW0"}, {{48, 264}, "none"}, {{49, 264}, "none"}, {{50, 264}, "OW6"},
                         {{0, 319}, "OW5"}, {{774, 264}, "OW90"}, {{775, 264}, "none"}});
}

TEST(ThousandCard, ASeriesFillsRows30To33) {
    const CardLayout layout = LayoutThousandCard({775, 374}, Entries("M", 1), Entries("OW", 1), Entries("A", 200));
    ASSERT_EQ(layout.cells.size(), 1u + 1u + 124u);
    ExpectPicks(layout, {{{0, 330}, "A0"}, {{0, 363}, "A3"}, {{25, 330}, "A4"}, {{773, 372}, "A123"},
                         {{773, 373}, "none"}, {{0, 0}, "M0"}, {{0, 264}, "OW0"}});
}

// 775 x 372: 30 x 30 cells on a 31 pitch, 25 columns by 12 rows.
TEST(BuildingCard, TwentyFiveByTwelveCellsFilledColumnByColumn) {
    const CardLayout layout = LayoutBuildingCard({775, 372}, Entries("B", 320));
    ASSERT_EQ(layout.cells.size(), 300u);
    EXPECT_EQ(layout.cells[0].rect, QRect(0, 0, 30, 30));
    EXPECT_EQ(layout.cells[11].rect, QRect(0, 341, 30, 30));
    EXPECT_EQ(layout.cells[12].rect, QRect(31, 0, 30, 30));
    ExpectPicks(layout, {{{29, 29}, "B0"}, {{30, 29}, "none"}, {{29, 30}, "none"}, {{31, 31}, "B13"},
                         {{773, 370}, "B299"}, {{774, 370}, "none"}, {{773, 371}, "none"}});
    // Width and height give their own cell sizes: 500 / 25 - 1 = 19, 240 / 12 - 1 = 19.
    EXPECT_EQ(LayoutBuildingCard({500, 240}, Entries("B", 13)).cells[12].rect, QRect(20, 0, 19, 19));
    EXPECT_TRUE(LayoutBuildingCard({775, 23}, Entries("B", 3)).cells.empty());
}

TEST(CardPicture, CellsAreFilledAndFramedByLines) {
    const QImage card = PaintCard(LayoutBuildingCard({775, 372}, {{1, "X", "", 0x12, 0x34, 0x56},
                                                                   {2, "Y", "", 0xFE, 0x01, 0x80}}));
    ASSERT_EQ(card.size(), QSize(775, 372));
    const struct {
        QPoint at;
        QRgb colour;
    } pixels[] = {{{0, 0}, qRgb(0x12, 0x34, 0x56)}, {{29, 29}, qRgb(0x12, 0x34, 0x56)}, {{30, 0}, kCardLine},
                  {{0, 30}, kCardLine},  // between the two cells
                  {{0, 31}, qRgb(0xFE, 0x01, 0x80)}, {{0, 61}, kCardLine},
                  {{31, 0}, kCardBackground},  // no third entry
                  {{0, 62}, kCardBackground}};
    for (const auto& p : pixels) EXPECT_EQ(card.pixel(p.at), p.colour) << p.at.x() << "," << p.at.y();
}

TEST(CardColours, WindowsValuesAreBlueGreenRed) {
    EXPECT_EQ(QColorFromWindows(0x00563412u), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(WindowsFromQColor(QColor(0x12, 0x34, 0x56)), 0x00563412u);
    EXPECT_EQ(CardEntryColour({0, "", "", 0x12, 0x34, 0x56}), QColor(0x12, 0x34, 0x56));
    // Pure blue is dark (0.114 * 255), pure yellow light (0.886 * 255); the
    // threshold is 140000 / 1000 of 255.
    const struct {
        QColor background, text;
    } contrast[] = {{Qt::white, Qt::black},           {Qt::black, Qt::white},
                    {QColor(0, 0, 255), Qt::white},    {QColor(255, 255, 0), Qt::black},
                    {QColor(140, 140, 140), Qt::black}, {QColor(139, 139, 139), Qt::white}};
    for (const auto& c : contrast) EXPECT_EQ(ContrastingTextColour(c.background), c.text) << c.background.name().toStdString();
}

}  // namespace
}  // namespace v2d
