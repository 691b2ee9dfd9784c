#include <gtest/gtest.h>

#include "library/product_descriptor.h"
#include "library/pub_functions.h"

namespace v2d {
namespace {

// The descriptor reads each key as GetParam does and writes back what it read.
TEST(ProductDescriptor, ReadsAsGetParamAndWritesBackWhatItRead) {
    const struct {
        const char* text;
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
        {"&&PartsSpecs=600x600&", "PartsSpecs", "600x600"},        // empty items
        {"=v&PSTypeName=窗帘&Pattern=人字&Joint=2", "Joint", "2"},  // keys the program does not know
        {"PSTypeMemo=&FanSheXiShu=35&PartsPrice=9.50", "FanSheXiShu", "35"},
    };
    const char* keys[] = {"PartsName", "PartsNumber", "SalesName", "PartsSpecs", "FanSheXiShu",
                          "PSTypeMemo", "PartsPrice",  "PSTypeName", "PicUrl"};
    for (const auto& c : cases) {
        EXPECT_EQ(GetParam(c.text, c.key), c.value) << c.text;
        const ProductDescriptor d = ProductDescriptor::Parse(c.text);
        EXPECT_EQ(d.Value(c.key), c.value) << c.text;
        EXPECT_EQ(d.ToString(), c.text);
        const std::string fields[] = {d.name,        d.number, d.salesName,   d.specs, d.reflection,
                                      d.subTypeMemo, d.price,  d.subTypeName, d.picUrl};
        for (size_t k = 0; k < std::size(keys); ++k) EXPECT_EQ(fields[k], GetParam(c.text, keys[k])) << c.text;
    }
    ProductDescriptor d = ProductDescriptor::Parse("PartsName2=A&Pattern=人字&PartsName=B");
    d.name = "新";
    d.specs = "800*800";
    EXPECT_EQ(d.ToString(), "PartsName2=新&Pattern=人字&PartsName=B&PartsSpecs=800*800");
    EXPECT_EQ(d.size().width, 800);
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
    EXPECT_EQ(ProductDescriptor::Material("仿古砖", "F-1", "品牌", "600*600", "35").ToString(),
              "PartsName=仿古砖&PartsNumber=F-1&SalesName=品牌&PartsSpecs=600*600&FanSheXiShu=35");
    EXPECT_EQ(ProductDescriptor::Model("沙发", "S-1", "", "2000*900", "memo").ToString(),
              "PartsName=沙发&PartsNumber=S-1&SalesName=&PartsSpecs=2000*900&PSTypeMemo=memo");
    EXPECT_EQ(FormatShortDate(2012, 3, 5), "2012-3-5");  // no leading zeros
    EXPECT_EQ(FormatShortDate(2026, 12, 31), "2026-12-31");
}

}  // namespace
}  // namespace v2d
