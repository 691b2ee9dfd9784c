#include <gtest/gtest.h>

#include <chrono>

#include "library/data_module.h"
#include "library/product_queries.h"
#include "library/user_queries.h"
#include "tests/library/temp_workspace.h"

namespace v2d {
namespace {

using test::TempWorkspace;

std::vector<int64_t> StyleIDs(Db& dm) {
    std::vector<int64_t> ids;
    const std::vector<NamedID> styles = *ReadStyles(dm);
    for (const NamedID& s : styles) ids.push_back(s.id);
    std::sort(ids.begin(), ids.end());
    return ids;
}

void AddStyle(const SqlDatabase& db, int64_t id, const std::string& name) {
    ASSERT_TRUE(db.execute("insert into TableStyle(StyleID,StyleName) values(?,?)",
                           {SqlInt(id), SqlText(name)}).ok());
}

void AddTemplate(const SqlDatabase& db, const std::string& name, const Blob& data, const Blob& pic = {}) {
    ASSERT_TRUE(db.execute("insert into TableSample(SampleName,SampleType,StyleID,RoomTypeID,SamplePic,"
                           "SampleData) values(?,2,1,1,?,?)",
                           {SqlText(name), pic.empty() ? SqlValue() : SqlValue(pic),
                            data.empty() ? SqlValue() : SqlValue(data)}).ok());
}

TEST(MergeUpdate, OnlyStylesAboveEveryLocalOneAreTaken) {
    TempWorkspace ws;
    auto dm = ws.OpenModule();
    AddStyle(dm->connection(), 2, "现代");
    AddStyle(dm->connection(), 7, "欧式");
    const auto file = ws / "updatedb/u.cdb";
    {
        SqlDatabase up = test::MakeUpdateDatabase(file);
        AddStyle(up, 3, "三");
        AddStyle(up, 7, "七");
        AddStyle(up, 9, "九");
    }
    Result<MergeReport> r = dm->MergeUpdateDatabase(file);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_TRUE(r->merged);
    EXPECT_EQ(r->stylesAdded, 1);
    EXPECT_EQ(StyleIDs(*dm), (std::vector<int64_t>{2, 7, 9}));
    // Style 7 kept its local name.
    const std::vector<NamedID> styles = *ReadStyles(*dm);
    for (const NamedID& s : styles)
        if (s.id == 7) EXPECT_EQ(s.name, "欧式");
    EXPECT_FALSE(dm->DbConBackup.isOpen());
}

TEST(MergeUpdate, StylesAreReadInKeyOrderAndEachSeesTheOnesBefore) {
    TempWorkspace ws;
    auto dm = ws.OpenModule();
    AddStyle(dm->connection(), 7, "a");
    const auto file = ws / "updatedb/u.cdb";
    {
        SqlDatabase up = test::MakeUpdateDatabase(file);
        AddStyle(up, 9, "九");
        AddStyle(up, 8, "八");
    }
    // Rows come in key order from the update file: 8 is taken, then 9.
    ASSERT_TRUE(dm->MergeUpdateDatabase(file).ok());
    EXPECT_EQ(StyleIDs(*dm), (std::vector<int64_t>{7, 8, 9}));
}

TEST(MergeUpdate, RoomTypesFollowTheSameRule) {
    TempWorkspace ws;
    auto dm = ws.OpenModule();
    ASSERT_TRUE(dm->ExecSql("insert into TableRoomType(RTypeID,RTypeFatherID,RTypeName) values(5,0,'客厅')").ok());
    const auto file = ws / "updatedb/u.cdb";
    {
        SqlDatabase up = test::MakeUpdateDatabase(file);
        ASSERT_TRUE(up.execute("insert into TableRoomType values(4,0,'x'),(5,0,'y'),(6,5,'儿童房')").ok());
    }
    Result<MergeReport> r = dm->MergeUpdateDatabase(file);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r->roomTypesAdded, 1);
    auto rooms = *ReadRoomTypes(*dm);
    ASSERT_EQ(rooms.size(), 2u);
    EXPECT_EQ(rooms[1].id, 6);
    EXPECT_EQ(rooms[1].name, "儿童房");
}

TEST(MergeUpdate, TemplatesAreAlwaysAddedWithTheirSchemeFiles) {
    TempWorkspace ws;
    auto dm = ws.OpenModule();
    ASSERT_TRUE(InsertTemplate(*dm, "本地", 1, 1).ok());  // SampleID 1 exists locally
    const auto file = ws / "updatedb/u.cdb";
    const Blob scheme{'d', '2', 'v', '.', 13, 0, 0, 0, 0xFF};
    const Blob pic{0xFF, 0xD8, 0xFF, 0xD9};
    {
        SqlDatabase up = test::MakeUpdateDatabase(file);
        AddTemplate(up, "客厅 'A'", scheme, pic);
        AddTemplate(up, "没有方案", {});
    }
    Result<MergeReport> r = dm->MergeUpdateDatabase(file);
    ASSERT_TRUE(r.ok()) << r.error();
    ASSERT_EQ(r->newSampleIDs, (std::vector<int64_t>{2, 3}));
    EXPECT_EQ(test::ReadBytes(ws / "temple/local/2.v2d"), scheme);
    EXPECT_FALSE(std::filesystem::exists(ws / "temple/local/3.v2d"));
    auto templates = *ReadTemplates(*dm, std::nullopt, std::nullopt);
    ASSERT_EQ(templates.size(), 3u);
    EXPECT_EQ(templates[1].SampleName, "客厅 'A'");
    EXPECT_EQ(templates[1].SamplePic, pic);
    EXPECT_FALSE(templates[1].SampleCode.has_value());
    // Merging the same file again adds the templates once more.
    ASSERT_TRUE(dm->MergeUpdateDatabase(file).ok());
    EXPECT_EQ(ReadTemplates(*dm, std::nullopt, std::nullopt)->size(), 5u);
}

TEST(MergeUpdate, DeletedTemplateNumbersAreNotReused) {
    TempWorkspace ws;
    auto dm = ws.OpenModule();
    const int64_t first = *InsertTemplate(*dm, "a", 1, 1);
    ASSERT_TRUE(DeleteTemplate(*dm, first).ok());
    EXPECT_GT(*InsertTemplate(*dm, "b", 1, 1), first);
}

TEST(MergeUpdate, AnotherPasswordIsSkippedSilently) {
    TempWorkspace ws;
    auto dm = ws.OpenModule();
    const auto file = ws / "updatedb/other.cdb";
    {
        SqlDatabase up = test::MakeUpdateDatabase(file, "another password");
        ASSERT_TRUE(up.isOpen());
        AddStyle(up, 50, "x");
    }
    Result<MergeReport> r = dm->MergeUpdateDatabase(file);
    ASSERT_TRUE(r.ok());
    EXPECT_FALSE(r->merged);
    EXPECT_TRUE(StyleIDs(*dm).empty());
    EXPECT_FALSE(dm->DbConBackup.isOpen());
}

TEST(MergeUpdate, MissingTableStopsButKeepsEarlierRows) {
    TempWorkspace ws;
    auto dm = ws.OpenModule();
    const auto file = ws / "updatedb/partial.cdb";
    {
        auto up = SqlDatabase::Open(file, kProductDatabasePassword, OpenMode::CreateIfMissing);
        ASSERT_TRUE(up->execute("create table TableStyle(StyleID INTEGER, StyleName TEXT)").ok());
        ASSERT_TRUE(up->execute("insert into TableStyle values(4,'四')").ok());
    }
    Result<MergeReport> r = dm->MergeUpdateDatabase(file);
    ASSERT_TRUE(r.ok());
    EXPECT_FALSE(r->merged);
    EXPECT_EQ(r->stylesAdded, 1);
    EXPECT_EQ(StyleIDs(*dm), (std::vector<int64_t>{4}));
}

TEST(MergeUpdate, UpdateFileIsNotChanged) {
    TempWorkspace ws;
    auto dm = ws.OpenModule();
    const auto file = ws / "updatedb/u.cdb";
    { SqlDatabase up = test::MakeUpdateDatabase(file); AddStyle(up, 1, "a"); }
    const Blob before = test::ReadBytes(file);
    ASSERT_TRUE(dm->MergeUpdateDatabase(file).ok());
    EXPECT_EQ(test::ReadBytes(file), before);
}

TEST(MergeUpdateFolder, NewestFirstAndEveryFileDeleted) {
    TempWorkspace ws;
    auto dm = ws.OpenModule();
    const auto older = ws / "updatedb/older.cdb";
    const auto newer = ws / "updatedb/newer.CDB";
    const auto foreign = ws / "updatedb/foreign.cdb";
    { SqlDatabase up = test::MakeUpdateDatabase(older); AddStyle(up, 1, "旧"); AddTemplate(up, "旧模板", {1}); }
    { SqlDatabase up = test::MakeUpdateDatabase(newer); AddStyle(up, 1, "新"); AddTemplate(up, "新模板", {2}); }
    { SqlDatabase up = test::MakeUpdateDatabase(foreign, "xyz"); AddStyle(up, 99, "外"); }
    const auto now = std::filesystem::file_time_type::clock::now();
    std::filesystem::last_write_time(older, now - std::chrono::hours(2));
    std::filesystem::last_write_time(newer, now - std::chrono::hours(1));
    std::filesystem::last_write_time(foreign, now);
    test::WriteBytes(ws / "updatedb/readme.txt", {'x'});

    EXPECT_EQ(ListUpdateDatabases(ws / "updatedb"), (std::vector<std::filesystem::path>{foreign, newer, older}));
    UpdateFolderReport report = MergeUpdateFolder(*dm);
    EXPECT_TRUE(report.errors.empty());
    EXPECT_EQ(report.deleted, 3);
    EXPECT_FALSE(std::filesystem::exists(older));
    EXPECT_FALSE(std::filesystem::exists(newer));
    EXPECT_FALSE(std::filesystem::exists(foreign));
    EXPECT_TRUE(std::filesystem::exists(ws / "updatedb/readme.txt"));
    // The newer file was merged first, so style 1 carries its name.
    auto styles = *ReadStyles(*dm);
    ASSERT_EQ(styles.size(), 1u);
    EXPECT_EQ(styles[0].name, "新");
    auto templates = *ReadTemplates(*dm, std::nullopt, std::nullopt);
    ASSERT_EQ(templates.size(), 2u);
    EXPECT_EQ(templates[1].SampleName, "新模板");
    EXPECT_EQ(test::ReadBytes(ws / ("temple/local/" + std::to_string(templates[1].SampleID) + ".v2d")), Blob{2});
}

TEST(MergeUpdateFolder, MissingFolderIsNoError) {
    TempWorkspace ws;
    auto dm = ws.OpenModule();
    std::filesystem::remove_all(ws / "updatedb");
    UpdateFolderReport report = MergeUpdateFolder(*dm);
    EXPECT_TRUE(report.files.empty());
    EXPECT_EQ(report.deleted, 0);
}

}  // namespace
}  // namespace v2d
