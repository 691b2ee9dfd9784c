#include <gtest/gtest.h>

#include "library/pub_functions.h"

namespace v2d {
namespace {

TEST(PubFunctions, GetParam) {
    const struct {
        const char* params;
        const char* key;
        const char* value;
    } cases[] = {
        {"PartsName=A&PartsNumber=B&SalesName=C", "PartsNumber", "B"},
        {"PartsName=A&PartsNumber=B", "PartsSpecs", ""},          // missing key
        {"", "PartsName", ""},
        {"PartsName2=沙发&PartsNumber=X", "PartsName", "沙发"},     // key + digits matches
        {"PartsNameX=1&PartsName=2", "PartsName", "2"},            // key + other text is another key
        {"Parts=1", "PartsName", ""},                              // a prefix is not the key
        {"a=1& PartsSpecs =800*800", "PartsSpecs", "800*800"},     // blanks round the name
        {"PicUrl=http://h/p?a=b", "PicUrl", "http://h/p?a=b"},     // the value keeps its '='
        {"PartsName=first&PartsName=second", "PartsName", "first"},
        {"PartsName1=first&PartsName=second", "PartsName", "first"},
        {"PartsName&PartsName=x", "PartsName", "x"},              // an item without '=' is skipped
    };
    for (const auto& c : cases) EXPECT_EQ(GetParam(c.params, c.key), c.value) << c.params << " / " << c.key;
}

TEST(PubFunctions, SplitTextKeepsEmptyPiecesAndTheLastOne) {
    EXPECT_EQ(SplitText("a,,b", ","), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitText("a,", ","), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(SplitText("", ","), (std::vector<std::string>{""}));
    EXPECT_EQ(SplitText("x&&y", "&&"), (std::vector<std::string>{"x", "y"}));
    std::vector<std::string> list{"old"};
    SplitText("1*2", "*", list);
    EXPECT_EQ(list, (std::vector<std::string>{"1", "2"}));
}

// Width and height in millimetres; what is no whole number counts as 600.
TEST(PubFunctions, ParseProductSpecs) {
    const struct {
        const char* specs;
        int width, height;
    } cases[] = {
        {"800*400*12", 800, 400}, {"", 600, 600},       {"abc*300", 600, 300},
        {"1200", 1200, 600},      {"600.5*300", 600, 300}, {"99999999999*300", 600, 300},
        {" 530 *10000", 530, 10000},
    };
    for (const auto& c : cases) {
        const ProductSize s = ParseProductSpecs(c.specs);
        EXPECT_EQ(s.width, c.width) << c.specs;
        EXPECT_EQ(s.height, c.height) << c.specs;
    }
}

TEST(PubFunctions, DescriptorsAndDates) {
    EXPECT_EQ(MaterialDescriptor("仿古砖", "F-1", "品牌", "600*600", "35"),
              "PartsName=仿古砖&PartsNumber=F-1&SalesName=品牌&PartsSpecs=600*600&FanSheXiShu=35");
    EXPECT_EQ(ModelDescriptor("沙发", "S-1", "b", "2000*900", "memo"),
              "PartsName=沙发&PartsNumber=S-1&SalesName=b&PartsSpecs=2000*900&PSTypeMemo=memo");
    EXPECT_EQ(FormatShortDate(2012, 3, 5), "2012-3-5");  // no leading zeros
    EXPECT_EQ(FormatShortDate(2026, 12, 31), "2026-12-31");
}

}  // namespace
}  // namespace v2d
