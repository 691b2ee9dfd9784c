#include <gtest/gtest.h>

#include <QCoreApplication>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "demo/demo_room.h"
#include "scene/scheme_file.h"
#include "templates/template_pages.h"
#include "templates/template_store.h"
#include "tests/library/temp_workspace.h"

namespace v2d {
namespace {
namespace fs = std::filesystem;

std::vector<int64_t> IDs(const std::vector<TemplateRow>& rows) {
    std::vector<int64_t> ids;
    for (const TemplateRow& r : rows) ids.push_back(r.SampleID);
    return ids;
}

class Templates : public ::testing::Test {
protected:
    void SetUp() override {
        dm_ = ws_.OpenModule();
        ASSERT_NE(dm_, nullptr);
        // 13 templates: style 1 for odd, 2 for even IDs; all of room 1.
        for (int i = 1; i <= 13; ++i) ASSERT_TRUE(InsertTemplate(*dm_, "T" + std::to_string(i), 1, 2 - i % 2).ok());
    }
    int64_t Rows() { return *CountTemplates(*dm_, {}); }

    test::TempWorkspace ws_;
    std::unique_ptr<TDataModule_Manager> dm_;
};

TEST_F(Templates, PagesNewestFirstWithFilters) {
    for (auto [rows, pages] : {std::pair{0, 0}, {1, 1}, {6, 1}, {7, 2}, {13, 3}}) EXPECT_EQ(TemplatePageCount(rows), pages);
    Result<TemplatePage> first = ReadTemplatePage(*dm_, {}, 1);
    ASSERT_TRUE(first.ok());
    EXPECT_EQ(first->outcome, PageOutcome::Shown);
    EXPECT_EQ(first->pages, 3);
    EXPECT_EQ(IDs(first->rows), (std::vector<int64_t>{13, 12, 11, 10, 9, 8}));
    EXPECT_EQ(IDs(ReadTemplatePage(*dm_, {}, 3)->rows), std::vector<int64_t>{1});
    EXPECT_EQ(ReadTemplatePage(*dm_, {}, 4)->outcome, PageOutcome::Missing);
    EXPECT_EQ(ReadTemplatePage(*dm_, {}, 0)->outcome, PageOutcome::Missing);
    Result<TemplatePage> even = ReadTemplatePage(*dm_, {int64_t{2}, int64_t{1}}, 1);
    EXPECT_EQ(even->pages, 1);
    EXPECT_EQ(IDs(even->rows), (std::vector<int64_t>{12, 10, 8, 6, 4, 2}));
    Result<TemplatePage> none = ReadTemplatePage(*dm_, {std::nullopt, int64_t{5}}, 1);
    EXPECT_EQ(none->outcome, PageOutcome::NoRows);
    EXPECT_TRUE(none->rows.empty());
}

TEST_F(Templates, FilesAreNamedByCodeOrIdentifier) {
    TemplateRow merged;
    merged.SampleID = 42;
    TemplateRow coded = merged;
    coded.SampleCode = 7;
    EXPECT_EQ(TemplateFileName(merged), "42");
    EXPECT_EQ(TemplateFileName(coded), "7");
    const TemplateFiles files = TemplateFilesOf("/w", "7");
    EXPECT_EQ(files.scheme, fs::path("/w/temple/local/7.v2d"));
    EXPECT_EQ(files.thumbnail, fs::path("/w/temple/TempData/7.jpg"));
}

TEST_F(Templates, PicturesComeFromTheRowThenTheFile) {
    QImage red(40, 30, QImage::Format_RGB32);
    red.fill(Qt::red);
    const Bytes jpeg = *EncodeJpeg(red, 90);
    ASSERT_TRUE(WriteFileAtomically(ws_ / "t.jpg", jpeg));
    EXPECT_EQ(ReadTemplatePicture({jpeg, {}}).size(), red.size());
    EXPECT_EQ(ReadTemplatePicture({{}, ws_ / "t.jpg"}).size(), red.size());
    EXPECT_TRUE(ReadTemplatePicture({{}, ws_ / "none.jpg"}).isNull());
    EXPECT_TRUE(ReadTemplatePicture({Bytes{1, 2, 3}, {}}).isNull());
}

TEST_F(Templates, StoredTemplateIsFirstAndWhole) {
    fs::remove_all(ws_ / "temple");  // the folders are made when missing
    const Scene room = demo::BuildDemoRoomScene(400, 300);
    Result<int64_t> id = StoreTemplate(*dm_, ws_.path(), room, room.background, {"", 1, 1});
    ASSERT_TRUE(id.ok()) << id.error();
    EXPECT_EQ(*id, 14);
    EXPECT_EQ(ReadTemplatePage(*dm_, {}, 1)->rows.front().SampleID, 14);
    EXPECT_EQ(ReadTemplatePage(*dm_, {}, 1)->rows.front().SampleName, "");
    Result<SchemeFile> scheme = ReadSchemeFile(ws_ / "temple/local/14.v2d");
    ASSERT_TRUE(scheme.ok());
    EXPECT_EQ(scheme->scene.count(), room.count());
    EXPECT_EQ(DecodeJpeg(test::ReadBytes(ws_ / "temple/TempData/14.jpg")).size(), QSize(200, 150));
}

TEST_F(Templates, FailedStoreLeavesNeitherRowNorFiles) {
    const Scene room = demo::BuildDemoRoomScene(400, 300);
    // The thumbnail's place is taken by a folder: the scheme was written, then goes again.
    fs::create_directories(ws_ / "temple/TempData/14.jpg/x");
    EXPECT_FALSE(StoreTemplate(*dm_, ws_.path(), room, room.background, {"n", 1, 1}).ok());
    EXPECT_EQ(Rows(), 13);
    EXPECT_FALSE(fs::exists(ws_ / "temple/local/14.v2d"));
    // A file where the scheme folder belongs.
    fs::remove_all(ws_ / "temple");
    ASSERT_TRUE(WriteFileAtomically(ws_ / "temple", Bytes{1}));
    EXPECT_FALSE(StoreTemplate(*dm_, ws_.path(), room, room.background, {"n", 1, 1}).ok());
    EXPECT_EQ(Rows(), 13);
}

TEST_F(Templates, RemovingDeletesTheTilesRowAndItsFilesOnly) {
    // Row 1 carries the code 5; row 5 has the code 9. Deleting row 1 must not
    // take row 5, though row 1's files are named 5.
    ASSERT_TRUE(dm_->connection().execute("update TableSample set SampleCode=5 where SampleID=1").ok());
    ASSERT_TRUE(dm_->connection().execute("update TableSample set SampleCode=9 where SampleID=5").ok());
    for (const char* name : {"5", "9"}) {
        const TemplateFiles files = TemplateFilesOf(ws_.path(), name);
        ASSERT_TRUE(WriteFileAtomically(files.scheme, Bytes{1}) && WriteFileAtomically(files.thumbnail, Bytes{1}));
    }
    ASSERT_TRUE(RemoveTemplate(*dm_, ws_.path(), 1).ok());
    EXPECT_FALSE(ReadTemplate(*dm_, 1)->has_value());
    EXPECT_TRUE(ReadTemplate(*dm_, 5)->has_value());
    EXPECT_FALSE(fs::exists(ws_ / "temple/local/5.v2d"));
    EXPECT_FALSE(fs::exists(ws_ / "temple/TempData/5.jpg"));
    EXPECT_TRUE(fs::exists(ws_ / "temple/local/9.v2d"));
    EXPECT_FALSE(RemoveTemplate(*dm_, ws_.path(), 1).ok());
    EXPECT_EQ(Rows(), 12);
}

}  // namespace
}  // namespace v2d
