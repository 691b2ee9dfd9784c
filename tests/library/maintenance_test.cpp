#include <gtest/gtest.h>

#include <QImage>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "library/category_maintenance.h"
#include "library/product_maintenance.h"
#include "library/product_pictures.h"
#include "tests/library/temp_workspace.h"

// The cases spell only the fields they are about.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace v2d {
namespace {

namespace fs = std::filesystem;
using test::TempWorkspace;

class Maintenance : public ::testing::Test {
protected:
    void SetUp() override {
        dm = ws.OpenModule();
        ASSERT_NE(dm, nullptr);
        ASSERT_TRUE(dm->connection().executeScript(R"SQL(
insert into TablePartsMasterType values(1,'瓷砖','01'),(2,'空','02');
insert into TablePartsSubType values(10,'地砖','',2,-1,1),(11,'抛光砖','',2,10,1),(12,'沙发','',1,-1,1);
)SQL").ok());
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(qRgb(90, 120, 30));
        jpeg = *EncodeJpeg(picture, 90);
    }
    fs::path Picture(const std::string& name) {
        const fs::path p = ws / ("in/" + name);
        fs::create_directories(p.parent_path());
        EXPECT_TRUE(WriteFileAtomically(p, jpeg));
        return p;
    }
    std::vector<std::string> Column(const std::string& sql) {
        std::vector<std::string> out;
        auto s = dm->connection().prepare(sql);
        while (*s->step()) out.push_back(s->columnText(0));
        return out;
    }
    TempWorkspace ws;
    std::unique_ptr<TDataModule_Manager> dm;
    Bytes jpeg;
};

TEST_F(Maintenance, AddingNumbersTheBatchAndMakesThePictures) {
    std::vector<ProductSource> sources;
    for (const char* f : {"红砖.a.jpg", "b.jpg", "c.JPG"}) sources.push_back({Picture(f)});
    ASSERT_TRUE(CheckJpegFiles({"a.jpg", "b.JPG"}).ok());
    EXPECT_EQ(CheckJpegFiles({"a.jpg", "b.png"}).error(), kMsgJpegOnly);
    ASSERT_TRUE(InsertProduct(*dm, ProductRow{7, "旧", "old", "", 0, 1, 1, 10}).ok());

    auto report = AddProducts(*dm, 11, sources, {3, 4}, 4242);
    ASSERT_TRUE(report.ok()) << report.error();
    ASSERT_EQ(report->added.size(), 3u);
    EXPECT_EQ(Column("select PartsNumber from TableParts where PSTypeID=11 order by PartsID"),
              (std::vector<std::string>{"8-4242-1", "9-4242-2", "10-4242-3"}));
    EXPECT_EQ(report->added[0].row.PartsName, "红砖");
    EXPECT_EQ(AddedMessage(*report), "3 个产品添加完毕！");
    const ProductPicturePaths paths = PicturePathsOf(ws.path(), "9-4242-2");
    EXPECT_EQ(test::ReadBytes(paths.photo), jpeg);
    EXPECT_EQ(test::ReadBytes(paths.mapJpeg), jpeg);
    EXPECT_EQ(DecodeJpeg(test::ReadBytes(paths.thumbnail)).size(), QSize(100, 100));

    // Filing the editor's map: the source is the maps copy itself and stays whole.
    const fs::path map = PicturePathsOf(ws.path(), "ED-1").mapJpeg;
    ASSERT_TRUE(WriteFileAtomically(map, jpeg));
    ASSERT_EQ(AddProducts(*dm, 11, {{map, "新材料", "ED-1"}}, {}, 1)->added.size(), 1u);
    EXPECT_EQ(test::ReadBytes(map), jpeg);
    EXPECT_EQ(test::ReadBytes(PicturePathsOf(ws.path(), "ED-1").photo), jpeg);

    // A product without a unit is priced as its category's are; a nested
    // sub-category starts with its parent's unit, and a deleted one's goes.
    ASSERT_TRUE(dm->ExecSql("insert into TableSubTypeUnit values(11,'roll')").ok());
    std::vector<ProductSource> wallpaper = {{Picture("w.jpg"), "纸", "W-1", "530*10000"},
                                            {Picture("t.jpg"), "砖", "T-1", "300*300", 5, 10, PriceUnit::Box}};
    wallpaper[0].patternRepeat = 640;
    ASSERT_EQ(AddProducts(*dm, 11, wallpaper, {}, 1)->added.size(), 2u);
    EXPECT_EQ(Column("select PartsUnit||PatternRepeat from TableParts where PartsNumber in ('W-1','T-1') order by PartsID"),
              (std::vector<std::string>{"roll640", "box0"}));
    const Result<SubCategory> nested = AddSubCategory(*dm, {false, 11});
    ASSERT_TRUE(nested.ok()) << nested.error();
    EXPECT_EQ(*ReadCategoryUnit(*dm, nested->PSTypeID), PriceUnit::Roll);
    ASSERT_TRUE(DeleteSubCategory(*dm, {false, nested->PSTypeID}).ok());
    EXPECT_TRUE(Column("select PartsUnit from TableSubTypeUnit where PSTypeID=" + std::to_string(nested->PSTypeID)).empty());

    // Only material sub-categories take products.
    EXPECT_EQ(AddProducts(*dm, 12, sources, {}, 1).error(), kMsgMaterialCategoryOnly);
    EXPECT_EQ(AddProducts(*dm, 99, sources, {}, 1).error(), kMsgChooseSubCategoryFirst);
}

TEST_F(Maintenance, HostileNamesAndNumbersStayValuesAndInsideTheFolders) {
    const fs::path broken = ws / "in/broken.jpg";
    fs::create_directories(broken.parent_path());
    ASSERT_TRUE(WriteFileAtomically(broken, Bytes{1, 2, 3}));
    const fs::path cut = ws / "in/cut.jpg";
    ASSERT_TRUE(WriteFileAtomically(cut, std::span(jpeg).first(jpeg.size() / 2)));
    const std::string quote = "x'); drop table TableParts; --";
    std::vector<ProductSource> sources = {
        {Picture("q.jpg"), quote, "1'or'1%", "60\"*60", 2},
        {Picture("g.jpg"), "\xE9\xBE\x98", "../../evil"},  // a GBK-only character, a path out
        {Picture("s.jpg"), "s", "a/b"},
        {broken, "b"},
        {cut, "c"},
        {Picture("ok.jpg"), "好", "ok"},
    };
    auto report = AddProducts(*dm, 10, sources, {}, 1);
    ASSERT_TRUE(report.ok()) << report.error();
    ASSERT_EQ(report->added.size(), 2u);
    ASSERT_EQ(report->failed.size(), 4u);
    EXPECT_EQ(report->failed[0].reason, kMsgNumberNotAFileName);
    EXPECT_EQ(AddedMessage(*report), "2 个产品添加完毕！\ng.jpg：产品编号不能含有路径符号。\ns.jpg："
                                     "产品编号不能含有路径符号。\nbroken.jpg：不是jpg图片。\n图片文件已损坏：cut.jpg");
    // The cut picture left no copy and no thumbnail; alone, it is all the message says.
    for (const char* folder : {"product/jpg", "product/maps", "product/xjpg"})
        EXPECT_EQ(std::distance(fs::directory_iterator(ws / folder), fs::directory_iterator()), 2) << folder;
    EXPECT_EQ(AddedMessage(*AddProducts(*dm, 10, {{cut}}, {}, 1)), "图片文件已损坏：cut.jpg");
    EXPECT_EQ(Column("select count(*) from TableParts"), std::vector<std::string>{"2"});
    EXPECT_EQ(Column("select PartsName from TableParts where PartsNumber='1''or''1%'"),
              std::vector<std::string>{quote});
    EXPECT_FALSE(fs::exists(ws / "../evil.jpg"));
    EXPECT_FALSE(fs::exists(ws / "product/jpg/a"));
    EXPECT_FALSE(fs::exists(ws / "product/jpg/broken.jpg"));

    // Corrections go to the selected row, by identifier, and report misses.
    const int64_t id = report->added[0].row.PartsID;
    EXPECT_TRUE(*UpdateProduct(*dm, id, {"新'名", "1*1", 9.5, 2, 3, 12, PriceUnit::SquareMetre}));
    EXPECT_EQ(Column("select PartsName||PartsSpecs||PartsNumber||PartsPerBox||PartsUnit from TableParts where PartsID=" +
                     std::to_string(id)),
              std::vector<std::string>{"新'名1*11'or'1%12m2"});
    EXPECT_EQ(UpdateProduct(*dm, id, {"n", "", 0, 0, 0, -1}).error(), kMsgPiecesPerBoxNegative);
    EXPECT_EQ(UpdateProduct(*dm, id, {"n", "", 0, 0, 0, 0, PriceUnit::Roll, -5}).error(), kMsgPatternRepeatOutOfRange);
    ASSERT_TRUE(*UpdateProduct(*dm, id, {"新'名", "530*10000", 9.5, 2, 3, 0, PriceUnit::Roll, 530}));
    ASSERT_TRUE(*UpdateProduct(*dm, id, {"新'名", "530*10000", 9.5, 2, 3, 0, PriceUnit::Roll}));  // the repeat kept
    EXPECT_EQ(Column("select PatternRepeat from TableParts where PartsID=" + std::to_string(id)),
              std::vector<std::string>{"530"});
    EXPECT_FALSE(*UpdateProduct(*dm, 999, {"n"}));
    EXPECT_EQ(UpdateProduct(*dm, id, {""}).error(), kMsgProductNameEmpty);
    EXPECT_FALSE(IsSafeProductNumber(".."));
    EXPECT_FALSE(IsSafeProductNumber("a\\b"));
    EXPECT_TRUE(IsSafeProductNumber("A-1.5%"));
}

TEST_F(Maintenance, DeletingRemovesOnlyTheNumbersOwnFiles) {
    auto report = AddProducts(*dm, 10, {{Picture("a.jpg"), "a", "A*"}, {Picture("b.jpg"), "b", "A*"},
                                        {Picture("c.jpg"), "c", "A"}},
                              {}, 1);
    // A number taken earlier in the run would share its files: refused.
    ASSERT_EQ(report->added.size(), 2u);
    EXPECT_EQ(report->failed.at(0).reason, kMsgNumberTaken);
    EXPECT_EQ(AddProducts(*dm, 10, {{Picture("d.jpg"), "d", "A"}}, {}, 1)->failed.at(0).reason, kMsgNumberTaken);
    ProductRow older;  // a row of an older database that shares "A*"
    older.PartsID = 100;
    older.PartsNumber = "A*";
    ASSERT_TRUE(InsertProduct(*dm, older).ok());
    fs::create_directories(ws / "product/models");
    for (const char* f : {"A.png", "A.b.png", "AB.png", "A*.png"}) ASSERT_TRUE(WriteFileAtomically(ws / ("product/models/" + std::string(f)), jpeg));
    ASSERT_TRUE(WriteFileAtomically(ws / "product/maps/A.h2d", jpeg));
    const int64_t first = report->added[0].row.PartsID;
    // "A*" is still used by the second row: its files stay.
    EXPECT_TRUE(DeleteProducts(*dm, {first})->empty());
    EXPECT_TRUE(fs::exists(ws / "product/jpg/A*.jpg"));
    EXPECT_EQ(*DeleteProducts(*dm, {100, first + 2}), (std::vector<std::string>{"A*", "A"}));
    for (const char* gone : {"product/jpg/A.jpg", "product/xjpg/A.jpg", "product/maps/A.jpg", "product/models/A.png",
                             "product/models/A*.png", "product/jpg/A*.jpg"})
        EXPECT_FALSE(fs::exists(ws / gone)) << gone;
    for (const char* kept : {"product/models/A.b.png", "product/models/AB.png", "product/maps/A.h2d"})
        EXPECT_TRUE(fs::exists(ws / kept)) << kept;
    EXPECT_TRUE(Column("select PartsID from TableParts").empty());
}

TEST_F(Maintenance, MovingAndCategoriesAskTheDatabase) {
    auto report = AddProducts(*dm, 11, {{Picture("a.jpg")}}, {}, 1);
    const int64_t id = report->added[0].row.PartsID;
    EXPECT_EQ(MoveProducts(*dm, {id}, 1, true).error(), kMsgNotIntoMainCategory);
    ASSERT_TRUE(MoveProducts(*dm, {id}, 10, false).ok());
    EXPECT_EQ(Column("select PSTypeID from TableParts"), std::vector<std::string>{"10"});

    // Sub-category 10 has a nested child and a product: the child is named first.
    EXPECT_EQ(DeleteSubCategory(*dm, {false, 10}).error(), kMsgSubCategoryHasChildren);
    EXPECT_EQ(DeleteSubCategory(*dm, {true, 10}).error(), kMsgChooseSubCategoryNode);
    ASSERT_TRUE(DeleteSubCategory(*dm, {false, 11}).ok());
    EXPECT_EQ(DeleteSubCategory(*dm, {false, 10}).error(), kMsgSubCategoryHasProducts);
    EXPECT_EQ(DeleteMainCategory(*dm, {true, 1}).error(), kMsgMainCategoryHasSubCategories);
    EXPECT_EQ(DeleteMainCategory(*dm, {false, 2}).error(), kMsgChooseMainCategoryNode);
    ASSERT_TRUE(DeleteMainCategory(*dm, {true, 2}).ok());

    auto main = AddMainCategory(*dm);
    ASSERT_TRUE(main.ok());
    EXPECT_EQ(main->PMTypeID, 2);
    EXPECT_EQ(main->PMTypeName, kNewMainCategoryName);
    auto nested = AddSubCategory(*dm, {false, 10});
    ASSERT_TRUE(nested.ok());
    EXPECT_EQ(nested->PSTypeID, 13);
    EXPECT_EQ(nested->ParentID, 10);
    EXPECT_EQ(nested->PMTypeID, 1);
    EXPECT_EQ(AddSubCategory(*dm, {true, 2})->ParentID, -1);

    EXPECT_EQ(RenameCategory(*dm, {false, 13}, "").error(), kMsgCategoryNameEmpty);
    EXPECT_EQ(*StoredCategoryName(*dm, {false, 13}), kNewSubCategoryName);
    ASSERT_TRUE(RenameCategory(*dm, {true, 2}, "石'材").ok());
    EXPECT_EQ(*StoredCategoryName(*dm, {true, 2}), "石'材");
}

}  // namespace
}  // namespace v2d
