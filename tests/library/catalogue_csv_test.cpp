#include <gtest/gtest.h>

#include "library/catalogue_csv.h"

namespace v2d {
namespace {

// Each bad row is named with its line and reason; the good rows stay usable.
TEST(CatalogueCsv, BadRowsAreRefusedWithTheirLine) {
    const std::string text = "file,name,number,price\na.jpg,甲,N-1,1.5\nb.jpg,\xC3\x28,N-2,1\nc.jpg,丙,N-3,nan\nd.jpg,丁,N-1,2\n"
                             "e.jpg," + std::string(5 << 20, 'x') + ",N-5,3\na.jpg,又,N-6,\n";
    std::vector<std::string> problems;
    const Result<std::vector<CatalogueRow>> rows = ParseCatalogueCsv(text);
    for (const CatalogueRow& r : *rows) problems.push_back(r.problem);
    EXPECT_EQ(problems, (std::vector<std::string>{"", "第 3 行：文字不是 UTF-8 编码。", "第 4 行：价格“nan”不是数字。",
                                                  "第 5 行：产品编号“N-1”与第 2 行重复。", "第 6 行：文字超过 255 个字。",
                                                  "第 7 行：文件“a.jpg”与第 2 行重复。"}));
}

// Pieces per box and the unit, as words or captions; a bad one is its row's problem.
TEST(CatalogueCsv, PackingColumnsAreOptional) {
    const Result<std::vector<CatalogueRow>> rows = ParseCatalogueCsv(
        "unit,file,per_box\nm2,a.jpg,12\n平方米,b.jpg,\n,c.jpg,1.5\nbox,d.jpg,-2\n桶,e.jpg,3\n箱,f.jpg, 4 \n");
    ASSERT_TRUE(rows.ok());
    std::vector<std::string> seen;
    for (const CatalogueRow& r : *rows)
        seen.push_back(r.problem.empty() ? std::to_string(r.piecesPerBox) + std::string(PriceUnitWord(r.unit)) : r.problem);
    EXPECT_EQ(seen, (std::vector<std::string>{"12m2", "0m2", "第 4 行：每箱片数“1.5”不是 0 或正整数。",
                                              "第 5 行：每箱片数“-2”不是 0 或正整数。",
                                              "第 6 行：计价单位“桶”不是 piece、m2、box（片、平方米、箱）之一。", "4box"}));
}

}  // namespace
}  // namespace v2d
