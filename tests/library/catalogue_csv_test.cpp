#include <gtest/gtest.h>

#include "library/catalogue_csv.h"

namespace v2d {
namespace {

// Each bad row is named with its line and reason; the good rows stay usable.
TEST(CatalogueCsv, BadRowsAreRefusedWithTheirLine) {
    const std::string text = "file,name,number,price,unit,per_box,repeat\na.jpg,甲,N-1,1.5,平方米, 12\nb.jpg,\xC3\x28,N-2,1\n"
                             "c.jpg,丙,N-3,nan\nd.jpg,丁,N-1,2\ne.jpg," + std::string(5 << 20, 'x') + ",N-5,3\n"
                             "a.jpg,又,N-6,\nf.jpg,,,,桶\ng.jpg,,,,box,1.5\nh.jpg,,,,m2,-2\ni.jpg,,,,卷,,530\n"
                             "j.jpg,,,,roll,,-1\n";
    std::vector<std::string> problems;
    const Result<std::vector<CatalogueRow>> rows = ParseCatalogueCsv(text);
    for (const CatalogueRow& r : *rows) problems.push_back(r.problem);
    EXPECT_EQ(problems, (std::vector<std::string>{"", "第 3 行：文字不是 UTF-8 编码。", "第 4 行：价格“nan”不是数字。",
                                                  "第 5 行：产品编号“N-1”与第 2 行重复。", "第 6 行：文字超过 255 个字。",
                                                  "第 7 行：文件“a.jpg”与第 2 行重复。",
                                                  "第 8 行：计价单位“桶”不是 piece、m2、box、roll（片、平方米、箱、卷）之一。",
                                                  "第 9 行：每箱片数“1.5”不是 0 或正整数。", "第 10 行：每箱片数“-2”不是 0 或正整数。",
                                                  "", "第 12 行：花距“-1”不是 0 到 100000 的整数（毫米）。"}));
    EXPECT_TRUE((*rows)[0].piecesPerBox == 12 && (*rows)[0].unit == PriceUnit::SquareMetre);
    EXPECT_TRUE((*rows)[9].unit == PriceUnit::Roll && (*rows)[9].patternRepeat == 530);
    EXPECT_FALSE((*rows)[3].unit.has_value());  // not given: the category's
}

}  // namespace
}  // namespace v2d
