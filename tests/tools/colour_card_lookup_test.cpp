#include <gtest/gtest.h>

#include "tests/library/temp_workspace.h"
#include "tests/tools/colour_card_fixture.h"
#include "tools/colour_card_lookup.h"

namespace v2d {
namespace {

using test::InsertColours;

class LookUpTest : public ::testing::Test {
protected:
    void SetUp() override {
        dm = ws.OpenModule();
        ASSERT_NE(dm, nullptr);
        ASSERT_TRUE(InsertColours(*dm, "TableColor",
                                  {{"1001", "", 10, 20, 30},
                                   {"OW01", "", 250, 248, 240},
                                   {"A005", "", 1, 2, 3},
                                   {"OWA9", "", 4, 5, 6},
                                   {"1002", "", 7, 8, 9}}).ok());
        ASSERT_TRUE(InsertColours(*dm, "TableColor300", {{"0101", "", 40, 50, 60}}).ok());
        ASSERT_TRUE(InsertColours(*dm, "TableColorTj", {{"T1", "象牙白", 255, 250, 240}}).ok());
    }
    std::string ErrorOf(ColourPage page, const std::string& text) {
        auto found = LookUpCardNumber(*dm, page, text);
        return found ? "found" : found.error();
    }
    test::TempWorkspace ws;
    std::unique_ptr<TDataModule_Manager> dm;
};

TEST_F(LookUpTest, EmptyNumberAsksForOneOnEveryPage) {
    for (ColourPage page : {ColourPage::Recommended, ColourPage::Thousand, ColourPage::Building}) {
        EXPECT_EQ(ErrorOf(page, ""), "请输入色卡号！");
        EXPECT_EQ(ErrorOf(page, "  \t"), "请输入色卡号！");
    }
}

TEST_F(LookUpTest, MissingNumbersNameTheirCard) {
    EXPECT_EQ(ErrorOf(ColourPage::Thousand, "9999"), "输入千色卡号不存在！");
    EXPECT_EQ(ErrorOf(ColourPage::Building, "9999"), "输入建筑色卡号不存在！");
    // Each page searches its own card only.
    EXPECT_EQ(ErrorOf(ColourPage::Thousand, "0101"), "输入千色卡号不存在！");
    EXPECT_EQ(ErrorOf(ColourPage::Building, "1001"), "输入建筑色卡号不存在！");
    // A quote is just a character of the number.
    EXPECT_EQ(ErrorOf(ColourPage::Thousand, "' or ''='"), "输入千色卡号不存在！");
    EXPECT_EQ(ErrorOf(ColourPage::Thousand, "1001' --"), "输入千色卡号不存在！");
}

TEST_F(LookUpTest, NumbersMatchWithoutRegardToCaseOrSurroundingBlanks) {
    auto found = LookUpCardNumber(*dm, ColourPage::Thousand, " ow01 ");
    ASSERT_TRUE(found) << found.error();
    ASSERT_TRUE(found->has_value());
    EXPECT_EQ((*found)->ColorNumber, "OW01");  // the card's spelling
    EXPECT_EQ(CardEntryColour(**found), QColor(250, 248, 240));
    auto building = LookUpCardNumber(*dm, ColourPage::Building, "0101");
    ASSERT_TRUE(building && building->has_value());
    EXPECT_EQ(CardEntryColour(**building), QColor(40, 50, 60));
    auto a = LookUpCardNumber(*dm, ColourPage::Thousand, "a005");
    ASSERT_TRUE(a && a->has_value());
    EXPECT_EQ((*a)->ColorNumber, "A005");
}

TEST_F(LookUpTest, TheRecommendedPageHasNoLookUp) {
    auto found = LookUpCardNumber(*dm, ColourPage::Recommended, "T1");
    ASSERT_TRUE(found);
    EXPECT_FALSE(found->has_value());
}

TEST_F(LookUpTest, ListsSplitTheThousandCardByNumber) {
    auto lists = LoadColourCardLists(*dm);
    ASSERT_TRUE(lists) << lists.error();
    auto numbers = [](const std::vector<CardColour>& list) {
        std::string out;
        for (const auto& c : list) out += c.ColorNumber + " ";
        return out;
    };
    EXPECT_EQ(numbers(lists->mainList), "1001 1002 ");
    // "OWA9" holds both marks: it is in both groups and not in the main rows.
    EXPECT_EQ(numbers(lists->offWhiteList), "OW01 OWA9 ");
    EXPECT_EQ(numbers(lists->aSeriesList), "A005 OWA9 ");
    EXPECT_EQ(numbers(lists->buildingList), "0101 ");
    ASSERT_EQ(lists->recommendedList.size(), 1u);
    EXPECT_EQ(lists->recommendedList[0].ColorName, "象牙白");
}

TEST_F(LookUpTest, DatabaseErrorsComeBackAsTheMessage) {
    ASSERT_TRUE(dm->ExecSql("drop table TableColor300").ok());
    auto lists = LoadColourCardLists(*dm);
    ASSERT_FALSE(lists);
    EXPECT_NE(lists.error().find("TableColor300"), std::string::npos) << lists.error();
    auto found = LookUpCardNumber(*dm, ColourPage::Building, "0101");
    ASSERT_FALSE(found);
    EXPECT_NE(found.error(), "输入建筑色卡号不存在！");
}

}  // namespace
}  // namespace v2d
