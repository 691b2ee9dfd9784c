#include <gtest/gtest.h>

#include "tests/library/temp_workspace.h"
#include "tests/tools/colour_card_fixture.h"
#include "tools/colour_card_lookup.h"

namespace v2d {
namespace {

class LookUpTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(dm, nullptr);
        ASSERT_TRUE(test::InsertColours(*dm, "TableColor", {{"1001", "", 10, 20, 30}, {"OW01", "", 250, 248, 240},
                                                            {"A005", "", 1, 2, 3}}).ok());
        ASSERT_TRUE(test::InsertColours(*dm, "TableColor300", {{"0101", "", 40, 50, 60}}).ok());
        ASSERT_TRUE(test::InsertColours(*dm, "TableColorTj", {{"T1", "象牙白", 255, 250, 240}}).ok());
    }
    std::string Find(ColourPage page, const std::string& text) {
        auto found = LookUpCardNumber(*dm, page, text);
        if (!found) return found.error();
        return found->has_value() ? (*found)->ColorNumber + " " + CardEntryColour(**found).name().toStdString() : "-";
    }
    test::TempWorkspace ws;
    std::unique_ptr<TDataModule_Manager> dm = ws.OpenModule();
};

// Each page searches its own card only; numbers match without regard to
// case or surrounding blanks and come back in the card's spelling.
TEST_F(LookUpTest, NumbersAndMessagesPerPage) {
    const struct {
        ColourPage page;
        const char* text;
        const char* result;
    } cases[] = {
        {ColourPage::Recommended, "", "请输入色卡号！"}, {ColourPage::Thousand, "  \t", "请输入色卡号！"},
        {ColourPage::Building, "", "请输入色卡号！"},
        {ColourPage::Thousand, "9999", "输入千色卡号不存在！"}, {ColourPage::Building, "9999", "输入建筑色卡号不存在！"},
        {ColourPage::Thousand, "0101", "输入千色卡号不存在！"}, {ColourPage::Building, "1001", "输入建筑色卡号不存在！"},
        {ColourPage::Thousand, "1001' --", "输入千色卡号不存在！"},
        {ColourPage::Thousand, " ow01 ", "OW01 #faf8f0"}, {ColourPage::Thousand, "a005", "A005 #010203"},
        {ColourPage::Building, "0101", "0101 #28323c"},
        {ColourPage::Recommended, "T1", "-"},  // the recommended page has no look-up
    };
    for (const auto& c : cases) EXPECT_EQ(Find(c.page, c.text), c.result) << int(c.page) << " " << c.text;
}

TEST_F(LookUpTest, ListsOfEveryCardAndDatabaseErrors) {
    auto lists = LoadColourCardLists(*dm);
    ASSERT_TRUE(lists) << lists.error();
    EXPECT_EQ(lists->mainList.size(), 1u);
    EXPECT_EQ(lists->offWhiteList.size(), 1u);
    EXPECT_EQ(lists->aSeriesList.size(), 1u);
    EXPECT_EQ(lists->buildingList.size(), 1u);
    ASSERT_EQ(lists->recommendedList.size(), 1u);
    EXPECT_EQ(lists->recommendedList[0].ColorName, "象牙白");
    ASSERT_TRUE(dm->ExecSql("drop table TableColor300").ok());
    lists = LoadColourCardLists(*dm);
    ASSERT_FALSE(lists);
    EXPECT_NE(lists.error().find("TableColor300"), std::string::npos) << lists.error();
    EXPECT_NE(Find(ColourPage::Building, "0101").find("TableColor300"), std::string::npos);
}

}  // namespace
}  // namespace v2d
