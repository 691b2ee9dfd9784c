#include <gtest/gtest.h>

#include "library/catalogue_csv.h"

namespace v2d {
namespace {

// Each bad row is named with its line and reason; the good rows stay usable.
TEST(CatalogueCsv, BadRowsAreRefusedWithTheirLine) {
    const std::string text = "file,name,number,price\n"
                             "a.jpg,甲,N-1,1.5\n"
                             "b.jpg,\xC3\x28,N-2,1\n"
                             "c.jpg,丙,N-3,nan\n"
                             "d.jpg,丁,N-1,2\n"
                             "e.jpg," + std::string(5 << 20, 'x') + ",N-5,3\n"
                             "a.jpg,又,N-6,\n"
                             "f.jpg,戊,N-7,-inf\n";
    Result<std::vector<CatalogueRow>> rows = ParseCatalogueCsv(text);
    ASSERT_TRUE(rows.ok()) << rows.error();
    std::vector<std::string> problems;
    for (const CatalogueRow& r : *rows) problems.push_back(r.problem);
    EXPECT_EQ(problems, (std::vector<std::string>{
                            "", "第 3 行：文字不是 UTF-8 编码。", "第 4 行：价格“nan”不是数字。",
                            "第 5 行：产品编号“N-1”与第 2 行重复。", "第 6 行：文字超过 255 个字。",
                            "第 7 行：文件“a.jpg”与第 2 行重复。", "第 8 行：价格“-inf”不是数字。"}));
    EXPECT_EQ((*rows)[0].price, 1.5);
    EXPECT_EQ(ParseCatalogueCsv("name\nx\n").error(), "CSV 文件格式不正确：标题行没有“file”列。");
}

}  // namespace
}  // namespace v2d
