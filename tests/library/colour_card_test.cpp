#include <gtest/gtest.h>

#include "library/colour_card_queries.h"
#include "tests/library/temp_workspace.h"

namespace v2d {
namespace {

using test::TempWorkspace;

TEST(ColourCard, TextIsBlueGreenRedInUpperCaseHex) {
    CardColour c;
    c.R = 0x12;
    c.G = 0xAB;
    c.B = 0x0F;
    EXPECT_EQ(c.ColourText(), "0x0FAB12");
    EXPECT_EQ(c.WindowsColour(), 0x000FAB12u);
    EXPECT_EQ(ColourTextToValue("0xZZ"), 0x00FFFFFFu);
    EXPECT_EQ(ColourTextToValue(""), 0x00FFFFFFu);
}

TEST(ColourCard, OffWhiteAndASeriesAreSplitFromTheMainList) {
    TempWorkspace ws;
    auto dm = ws.OpenModule();
    ASSERT_TRUE(dm->connection().executeScript(R"SQL(
insert into TableColor(ID,ColorNumber,R,G,B) values(1,'1001',1,2,3),(2,'OW01',250,250,240),
  (3,'A001',9,9,9),(4,'OWA1',5,5,5),(5,'1002',7,8,9),(6,'a77',1,1,1);
)SQL").ok());
    auto numbers = [](const std::vector<CardColour>& list) {
        std::vector<std::string> out;
        for (const auto& c : list) out.push_back(c.ColorNumber);
        return out;
    };
    EXPECT_EQ(numbers(*ReadMainColours(*dm)), (std::vector<std::string>{"1001", "1002"}));
    EXPECT_EQ(numbers(*ReadOffWhiteColours(*dm)), (std::vector<std::string>{"OW01", "OWA1"}));
    // LIKE ignores case, as the older engine did.
    EXPECT_EQ(numbers(*ReadASeriesColours(*dm)), (std::vector<std::string>{"A001", "OWA1", "a77"}));
}

TEST(ColourCard, ASeriesReadsAtMost744Rows) {
    TempWorkspace ws;
    auto dm = ws.OpenModule();
    SqlTransaction t(dm->connection());
    for (int i = 0; i < 800; ++i)
        ASSERT_TRUE(dm->connection().execute("insert into TableColor(ColorNumber,R,G,B) values(?,0,0,0)",
                                             {SqlText("A" + std::to_string(i))}).ok());
    ASSERT_TRUE(t.commit().ok());
    EXPECT_EQ(ReadASeriesColours(*dm)->size(), 744u);
}

TEST(ColourCard, NumberLookupPerCardWithBoundText) {
    TempWorkspace ws;
    auto dm = ws.OpenModule();
    ASSERT_TRUE(dm->connection().executeScript(
        "insert into TableColor(ColorNumber,R,G,B) values('1001',10,20,30);"
        "insert into TableColor300(ColorNumber,R,G,B) values('0101',40,50,60);"
        "insert into TableColorTj(ColorNumber,ColorName,R,G,B) values('T1','象牙白',255,250,240);").ok());
    auto thousand = FindCardColour(*dm, ColourCardTable::Thousand, "1001");
    ASSERT_TRUE(thousand->has_value());
    EXPECT_EQ((*thousand)->ColourText(), "0x1E140A");
    EXPECT_FALSE(FindCardColour(*dm, ColourCardTable::Thousand, "0101")->has_value());
    EXPECT_TRUE(FindCardColour(*dm, ColourCardTable::Building, "0101")->has_value());
    EXPECT_FALSE(FindCardColour(*dm, ColourCardTable::Building, "' or ''='")->has_value());
    auto tj = *ReadRecommendedColours(*dm);
    ASSERT_EQ(tj.size(), 1u);
    EXPECT_EQ(tj[0].ColorName, "象牙白");
}

}  // namespace
}  // namespace v2d
