#include <gtest/gtest.h>

#include "library/pub_functions.h"

namespace v2d {
namespace {

TEST(GetParam, FindsTheSecondItem) {
    EXPECT_EQ(GetParam("PartsName=A&PartsNumber=B&SalesName=C", "PartsNumber"), "B");
}

TEST(GetParam, MissingKeyGivesEmptyText) {
    EXPECT_EQ(GetParam("PartsName=A&PartsNumber=B", "PartsSpecs"), "");
    EXPECT_EQ(GetParam("", "PartsName"), "");
}

TEST(GetParam, KeyFollowedByANumberMatches) {
    EXPECT_EQ(GetParam("PartsName2=沙发&PartsNumber=X", "PartsName"), "沙发");
    // A longer name that is not key + digits is another key.
    EXPECT_EQ(GetParam("PartsNameX=1&PartsName=2", "PartsName"), "2");
    // A prefix of the key is not the key.
    EXPECT_EQ(GetParam("Parts=1", "PartsName"), "");
}

TEST(GetParam, BlanksAroundTheNameAreIgnoredAndTheValueKeepsItsEquals) {
    EXPECT_EQ(GetParam("a=1& PartsSpecs =800*800", "PartsSpecs"), "800*800");
    EXPECT_EQ(GetParam("PicUrl=http://h/p?a=b", "PicUrl"), "http://h/p?a=b");
}

TEST(GetParam, FirstMatchingItemWins) {
    EXPECT_EQ(GetParam("PartsName=first&PartsName=second", "PartsName"), "first");
    EXPECT_EQ(GetParam("PartsName1=first&PartsName=second", "PartsName"), "first");
}

TEST(GetParam, ItemWithoutEqualsIsSkipped) {
    EXPECT_EQ(GetParam("PartsName&PartsName=x", "PartsName"), "x");
}

TEST(SplitText, KeepsEmptyPiecesAndTheLastOne) {
    EXPECT_EQ(SplitText("a,,b", ","), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitText("a,", ","), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(SplitText("", ","), (std::vector<std::string>{""}));
    EXPECT_EQ(SplitText("x&&y", "&&"), (std::vector<std::string>{"x", "y"}));
    std::vector<std::string> list{"old"};
    SplitText("1*2", "*", list);
    EXPECT_EQ(list, (std::vector<std::string>{"1", "2"}));
}

TEST(ParseProductSpecs, ThreePartsTakeWidthAndHeight) {
    const ProductSize s = ParseProductSpecs("800*400*12");
    EXPECT_EQ(s.width, 800);
    EXPECT_EQ(s.height, 400);
}

TEST(ParseProductSpecs, EmptyTextIsSixHundredSquare) {
    const ProductSize s = ParseProductSpecs("");
    EXPECT_EQ(s.width, 600);
    EXPECT_EQ(s.height, 600);
}

TEST(ParseProductSpecs, NonNumericFirstPiece) {
    const ProductSize s = ParseProductSpecs("abc*300");
    EXPECT_EQ(s.width, 600);
    EXPECT_EQ(s.height, 300);
}

TEST(ParseProductSpecs, NoStarGivesHeightSixHundred) {
    const ProductSize s = ParseProductSpecs("1200");
    EXPECT_EQ(s.width, 1200);
    EXPECT_EQ(s.height, 600);
}

TEST(ParseProductSpecs, FractionsAndOverflowAreNotNumbers) {
    EXPECT_EQ(ParseProductSpecs("600.5*300").width, 600);
    EXPECT_EQ(ParseProductSpecs("99999999999*300").width, 600);
    EXPECT_EQ(ParseProductSpecs(" 530 *10000").width, 530);
    EXPECT_EQ(ParseProductSpecs("530*10000").height, 10000);
}

TEST(Descriptor, KeysInTheProgramsOrder) {
    EXPECT_EQ(MaterialDescriptor("仿古砖", "F-1", "品牌", "600*600", "35"),
              "PartsName=仿古砖&PartsNumber=F-1&SalesName=品牌&PartsSpecs=600*600&FanSheXiShu=35");
    EXPECT_EQ(ModelDescriptor("沙发", "S-1", "b", "2000*900", "memo"),
              "PartsName=沙发&PartsNumber=S-1&SalesName=b&PartsSpecs=2000*900&PSTypeMemo=memo");
}

TEST(PubFunctions, ShortDatesHaveNoLeadingZeros) {
    EXPECT_EQ(FormatShortDate(2012, 3, 5), "2012-3-5");
    EXPECT_EQ(FormatShortDate(2026, 12, 31), "2026-12-31");
}

}  // namespace
}  // namespace v2d
