#include <gtest/gtest.h>

#include "tools/colour_card_picker.h"

namespace v2d {
namespace {

std::vector<CardColour> Entries(const std::string& prefix, int count, int red) {
    std::vector<CardColour> list;
    for (int k = 0; k < count; ++k) list.push_back({k + 1, prefix + std::to_string(k), "", red, k, 0});
    return list;
}

class PickerTest : public ::testing::Test {
protected:
    // Entry k of both cards sits at the same index; the colours differ.
    const CardLayout thousand = LayoutThousandCard({775, 374}, Entries("T", 40, 10), {}, {});
    const CardLayout building = LayoutBuildingCard({775, 372}, Entries("B", 40, 200));
    // Cell 3 of each card: thousand (0, 33..42), building (0, 93..122).
    const QPoint thousandCell3{5, 35};
    const QPoint buildingCell3{5, 95};
    ColourCardPicker picker;
};

TEST_F(PickerTest, ACellPickSetsColourAndNumberAndALineOrTheSameCellAgainChangesNothing) {
    EXPECT_FALSE(picker.choice().chosen);
    EXPECT_EQ(picker.choice().colour, kWhiteColour);
    ASSERT_TRUE(picker.PickCell(ColourPage::Thousand, thousand, thousandCell3));
    EXPECT_TRUE(picker.choice().chosen);
    EXPECT_EQ(picker.choice().number, "T3");
    EXPECT_EQ(picker.choice().colour, 0x0000030Au);  // R 10, G 3, B 0
    EXPECT_EQ(picker.choice().name, "");
    EXPECT_FALSE(picker.PickCell(ColourPage::Thousand, thousand, {24, 35}));
    EXPECT_FALSE(picker.PickCell(ColourPage::Thousand, thousand, {5, 43}));
    EXPECT_FALSE(picker.PickCell(ColourPage::Thousand, thousand, {6, 36}));
    EXPECT_EQ(picker.choice().number, "T3");
}

// Both cards once shared one "last picked" index, so cell k of one card was
// ignored right after cell k of the other.
TEST_F(PickerTest, TheSameCellIndexOnTheOtherCardIsPicked) {
    ASSERT_TRUE(picker.PickCell(ColourPage::Thousand, thousand, thousandCell3));
    ASSERT_TRUE(picker.PickCell(ColourPage::Building, building, buildingCell3));
    EXPECT_EQ(picker.choice().number, "B3");
    EXPECT_EQ(picker.choice().colour, 0x000003C8u);
    // And back again: the thousand card's own memory must not hold it back.
    ASSERT_TRUE(picker.PickCell(ColourPage::Thousand, thousand, thousandCell3));
    EXPECT_EQ(picker.choice().number, "T3");
}

TEST_F(PickerTest, ACellPickedBeforeASwatchOrLookUpCanBePickedAgain) {
    std::vector<CardColour> tj = {{1, "TJ1", "象牙白", 255, 250, 240}};
    const auto swatches = BuildSwatches(tj);
    ASSERT_TRUE(picker.PickCell(ColourPage::Thousand, thousand, thousandCell3));
    ASSERT_TRUE(picker.PickSwatch(swatches, 0));
    EXPECT_EQ(picker.choice().name, "象牙白");
    ASSERT_TRUE(picker.PickCell(ColourPage::Thousand, thousand, thousandCell3));
    EXPECT_EQ(picker.choice().number, "T3");
    EXPECT_EQ(picker.choice().name, "");
    picker.PickLookedUp({9, "T9", "", 1, 2, 3});
    EXPECT_EQ(picker.choice().colour, 0x00030201u);
    ASSERT_TRUE(picker.PickCell(ColourPage::Thousand, thousand, thousandCell3));
    EXPECT_EQ(picker.choice().number, "T3");
}

// With fewer rows than swatches the surplus ones once read past the list.
TEST(Swatches, TheFirstTenRowsFillTheSwatchesAndSurplusOnesAreDisabled) {
    std::vector<CardColour> tj;
    for (int k = 0; k < 12; ++k) tj.push_back({k, "N" + std::to_string(k), "名" + std::to_string(k), k, 0, 0});
    const auto full = BuildSwatches(tj);
    for (int k = 0; k < kSwatchCount; ++k) {
        EXPECT_TRUE(full[size_t(k)].enabled);
        EXPECT_EQ(full[size_t(k)].entry.ColorNumber, "N" + std::to_string(k));
        EXPECT_EQ(full[size_t(k)].colour, QColor(k, 0, 0));
    }
    const auto swatches = BuildSwatches({{1, "N1", "一", 1, 1, 1}, {2, "N2", "二", 2, 2, 2}});
    EXPECT_TRUE(swatches[0].enabled);
    EXPECT_TRUE(swatches[1].enabled);
    for (int k = 2; k < kSwatchCount; ++k) EXPECT_FALSE(swatches[size_t(k)].enabled);
    ColourCardPicker picker;
    for (int k : {2, 9, -1, 10}) EXPECT_FALSE(picker.PickSwatch(swatches, k)) << k;
    EXPECT_FALSE(picker.choice().chosen);
    ASSERT_TRUE(picker.PickSwatch(swatches, 1));
    EXPECT_EQ(picker.choice().number, "N2");
    EXPECT_EQ(picker.choice().name, "二");
    EXPECT_EQ(picker.choice().colour, 0x00020202u);
    const auto none = BuildSwatches({});
    for (const Swatch& s : none) EXPECT_FALSE(s.enabled);
}

}  // namespace
}  // namespace v2d
