#include <gtest/gtest.h>

#include <chrono>

#include "base/picture_codec.h"
#include "library/data_module.h"
#include "library/internal/database_key.h"
#include "library/product_queries.h"
#include "library/user_queries.h"
#include "tests/library/temp_workspace.h"

namespace v2d {
namespace {

namespace fs = std::filesystem;
using test::MakeDatabaseFile;

class MergeUpdate : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(dm, nullptr); }
    std::vector<int64_t> StyleIDs() {
        std::vector<int64_t> ids;
        const std::vector<NamedID> styles = *ReadStyles(*dm);
        for (const NamedID& s : styles) ids.push_back(s.id);
        std::sort(ids.begin(), ids.end());
        return ids;
    }
    std::vector<TemplateRow> Templates() { return *ReadTemplates(*dm, std::nullopt, std::nullopt); }
    // The scheme reader lives above the library: here every scheme reads.
    const SchemeCheck anyScheme = [](std::span<const uint8_t>) { return true; };

    test::TempWorkspace ws;
    std::unique_ptr<TDataModule_Manager> dm = ws.OpenModule();
    const fs::path file = ws / "updatedb/u.cdb";
};

// Styles and room types are taken only above every local identifier, in
// the update file's key order, each seeing the ones taken before it.
TEST_F(MergeUpdate, KeyedRowsAboveEveryLocalOneAreTaken) {
    ASSERT_TRUE(dm->connection().executeScript(
        "insert into TableStyle values(2,'现代'),(7,'欧式');"
        "insert into TableRoomType(RTypeID,RTypeFatherID,RTypeName) values(5,0,'客厅')").ok());
    ASSERT_TRUE(MakeDatabaseFile(file, "insert into TableStyle values(3,'三'),(7,'七'),(9,'九'),(8,'八');"
                                       "insert into TableRoomType values(4,0,'x'),(5,0,'y'),(6,5,'儿童房')").ok());
    const Blob before = test::ReadBytes(file);
    Result<MergeReport> r = dm->MergeUpdateDatabase(file, anyScheme);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_TRUE(r->merged);
    EXPECT_EQ(r->stylesAdded, 2);
    EXPECT_EQ(r->roomTypesAdded, 1);
    EXPECT_EQ(StyleIDs(), (std::vector<int64_t>{2, 7, 8, 9}));
    const std::vector<NamedID> styles = *ReadStyles(*dm);
    EXPECT_EQ(styles[1].id, 7);
    EXPECT_EQ(styles[1].name, "欧式");  // kept its local name
    auto rooms = *ReadRoomTypes(*dm);
    ASSERT_EQ(rooms.size(), 2u);
    EXPECT_EQ(rooms[1].id, 6);
    EXPECT_EQ(rooms[1].name, "儿童房");
    EXPECT_EQ(test::ReadBytes(file), before);  // the update file is not changed
}

TEST_F(MergeUpdate, TemplatesAreAlwaysAddedWithTheirSchemeFiles) {
    ASSERT_TRUE(InsertTemplate(*dm, "本地", 1, 1).ok());  // SampleID 1 exists locally
    // Scheme bytes 'd2v.' 13 0 0 0 FF and a whole JPEG.
    const Blob jpeg = *EncodeJpeg(QImage(8, 8, QImage::Format_RGB32), 50);
    std::string hex;
    for (uint8_t b : jpeg) hex += "0123456789ABCDEF"[b >> 4], hex += "0123456789ABCDEF"[b & 15];
    ASSERT_TRUE(MakeDatabaseFile(file, "insert into TableSample(SampleName,SampleType,StyleID,RoomTypeID,SamplePic,"
                                       "SampleData) values('客厅 ''A''',2,1,1,x'" + hex + "',x'6432762E0D000000FF'),"
                                       "('没有方案',2,1,1,null,null)").ok());
    Result<MergeReport> r = dm->MergeUpdateDatabase(file, anyScheme);
    ASSERT_TRUE(r.ok()) << r.error();
    ASSERT_EQ(r->newSampleIDs, (std::vector<int64_t>{2, 3}));
    EXPECT_EQ(test::ReadBytes(ws / "temple/local/2.v2d"), (Blob{'d', '2', 'v', '.', 13, 0, 0, 0, 0xFF}));
    EXPECT_FALSE(fs::exists(ws / "temple/local/3.v2d"));
    auto templates = Templates();
    ASSERT_EQ(templates.size(), 3u);
    EXPECT_EQ(templates[1].SampleName, "客厅 'A'");
    EXPECT_EQ(templates[1].SamplePic, jpeg);
    EXPECT_FALSE(templates[1].SampleCode.has_value());
    // Merging the same file again adds the templates once more.
    ASSERT_TRUE(dm->MergeUpdateDatabase(file, anyScheme).ok());
    EXPECT_EQ(Templates().size(), 5u);
}

// A merge that fails part-way is taken back whole: the database file is
// byte for byte as before, the schemes written go, the update file stays.
TEST_F(MergeUpdate, FailedMergeIsTakenBackWhole) {
    ASSERT_TRUE(MakeDatabaseFile(file, "insert into TableStyle values(5,'五');"
                                       "insert into TableSample(SampleName,SampleType,StyleID,RoomTypeID,SampleData)"
                                       " values('甲',2,1,1,x'01'),('乙',2,1,1,x'02')").ok());
    fs::create_directories(ws / "temple/local/2.v2d");  // a folder where the second scheme goes
    const Blob before = test::ReadBytes(ws / kProductDatabaseFile);
    UpdateFolderReport report = MergeUpdateFolder(*dm, anyScheme);
    ASSERT_EQ(report.errors.size(), 1u);
    EXPECT_EQ(report.errors[0], "更新数据库没有合并：" + file.string() + "，写文件失败。" +
                                    (ws / "temple/local/2.v2d").string());
    EXPECT_TRUE(Templates().empty());
    EXPECT_TRUE(StyleIDs().empty());
    EXPECT_FALSE(fs::exists(ws / "temple/local/1.v2d"));
    EXPECT_TRUE(fs::exists(file));
    EXPECT_EQ(report.deleted, 0);
    EXPECT_EQ(test::ReadBytes(ws / kProductDatabaseFile), before);
}

// A file of another password, or without one of the tables, is skipped
// silently and nothing of it is taken.
TEST_F(MergeUpdate, AnotherPasswordOrAMissingTableStopsQuietly) {
    for (const char* password : {"another password", kProductDatabasePassword}) {
        fs::remove(file);
        {
            auto up = SqlDatabase::Open(file, password, OpenMode::CreateIfMissing);
            ASSERT_TRUE(up.ok());
            ASSERT_TRUE(up->executeScript("create table TableStyle(StyleID INTEGER, StyleName TEXT);"
                                          "insert into TableStyle values(4,'四')").ok());
        }
        Result<MergeReport> r = dm->MergeUpdateDatabase(file, anyScheme);
        ASSERT_TRUE(r.ok()) << r.error();
        EXPECT_FALSE(r->merged);
        EXPECT_TRUE(StyleIDs().empty());
    }
}

TEST_F(MergeUpdate, FolderIsMergedNewestFirstAndEveryFileDeleted) {
    const auto older = ws / "updatedb/older.cdb";
    const auto newer = ws / "updatedb/newer.CDB";
    const auto foreign = ws / "updatedb/foreign.cdb";
    const char* templateRow = "insert into TableSample(SampleName,SampleType,StyleID,RoomTypeID,SampleData) values";
    ASSERT_TRUE(MakeDatabaseFile(older, std::string("insert into TableStyle values(1,'旧');") + templateRow +
                                            "('旧模板',2,1,1,x'01')").ok());
    ASSERT_TRUE(MakeDatabaseFile(newer, std::string("insert into TableStyle values(1,'新');") + templateRow +
                                            "('新模板',2,1,1,x'02')").ok());
    { auto up = SqlDatabase::Open(foreign, "xyz", OpenMode::CreateIfMissing); ASSERT_TRUE(up->execute("create table t(a)").ok()); }
    const auto now = fs::file_time_type::clock::now();
    fs::last_write_time(older, now - std::chrono::hours(2));
    fs::last_write_time(newer, now - std::chrono::hours(1));
    fs::last_write_time(foreign, now);
    ASSERT_TRUE(WriteFileAtomically(ws / "updatedb/readme.txt", Blob{'x'}));

    EXPECT_EQ(ListUpdateDatabases(ws / "updatedb"), (std::vector<fs::path>{foreign, newer, older}));
    UpdateFolderReport report = MergeUpdateFolder(*dm, anyScheme);
    EXPECT_TRUE(report.errors.empty());
    EXPECT_EQ(report.deleted, 3);
    for (const auto& f : {older, newer, foreign}) EXPECT_FALSE(fs::exists(f)) << f;
    EXPECT_TRUE(fs::exists(ws / "updatedb/readme.txt"));
    // The newer file was merged first, so style 1 carries its name.
    auto styles = *ReadStyles(*dm);
    ASSERT_EQ(styles.size(), 1u);
    EXPECT_EQ(styles[0].name, "新");
    auto templates = Templates();
    ASSERT_EQ(templates.size(), 2u);
    EXPECT_EQ(templates[1].SampleName, "新模板");
    EXPECT_EQ(test::ReadBytes(ws / ("temple/local/" + std::to_string(templates[1].SampleID) + ".v2d")), Blob{2});
    // Without the folder there is nothing to do.
    fs::remove_all(ws / "updatedb");
    report = MergeUpdateFolder(*dm, anyScheme);
    EXPECT_TRUE(report.files.empty());
    EXPECT_EQ(report.deleted, 0);
}

}  // namespace
}  // namespace v2d
