#include <gtest/gtest.h>

#include <map>

#include "library/data_module.h"
#include "library/internal/database_key.h"
#include "library/product_queries.h"
#include "library/sql_query.h"
#include "tests/library/temp_workspace.h"

namespace v2d {
namespace {

namespace fs = std::filesystem;
using test::TempWorkspace;

TEST(DataModule, IsEncryptedAndAWrongPasswordOrNoDatabaseIsRefusedWithTheFileUntouched) {
    TempWorkspace ws;
    const auto file = ws / "DB/PRODUCT.cdb";
    // A missing database is reported, not made.
    EXPECT_NE(TDataModule_Manager::DataModuleCreate(ws.path()).error().find(kMsgDatabaseMissing), std::string::npos);
    EXPECT_FALSE(fs::exists(file));
    {
        auto dm = ws.OpenModule();
        ASSERT_NE(dm, nullptr);
        ASSERT_TRUE(dm->ExecSql("insert into TableSales(SalesID,SalesName) values(1,'x')").ok());
    }
    const Blob before = test::ReadBytes(file);
    // A plain SQLite file starts with its name; an encrypted one does not.
    ASSERT_GE(before.size(), 16u);
    EXPECT_NE(std::string(before.begin(), before.begin() + 15), "SQLite format 3");
    const auto timeBefore = fs::last_write_time(file);
    for (OpenMode mode : {OpenMode::ReadWrite, OpenMode::CreateIfMissing, OpenMode::ReadOnly}) {
        auto dm = TDataModule_Manager::DataModuleCreate(ws.path(), mode, "wrong password");
        ASSERT_FALSE(dm.ok());
        EXPECT_EQ(dm.error(), kMsgDatabaseKey);
    }
    EXPECT_EQ(test::ReadBytes(file), before);
    EXPECT_EQ(fs::last_write_time(file), timeBefore);
    EXPECT_FALSE(fs::exists(ws / "DB/PRODUCT.cdb-journal"));
    {  // The right password still opens it with its data.
        auto dm = TDataModule_Manager::DataModuleCreate(ws.path());
        ASSERT_TRUE(dm.ok()) << dm.error();
        EXPECT_EQ(ReadSales(**dm)->size(), 1u);
    }
    // A file that is no database at all is refused the same way and kept.
    const Blob junk(5000, 0x41);
    ASSERT_TRUE(WriteFileAtomically(file, junk));
    EXPECT_EQ(TDataModule_Manager::DataModuleCreate(ws.path()).error(), kMsgDatabaseKey);
    EXPECT_EQ(test::ReadBytes(file), junk);
}

TEST(DataModule, ExecSqlAndGetNewID) {
    TempWorkspace ws;
    auto dm = ws.OpenModule();
    Result<bool> empty = dm->ExecSql("");  // not run
    ASSERT_TRUE(empty.ok());
    EXPECT_FALSE(*empty);
    Result<bool> broken = dm->ExecSql("insert into NoSuchTable values(1)");
    ASSERT_FALSE(broken.ok());
    EXPECT_NE(broken.error().find("NoSuchTable"), std::string::npos);

    EXPECT_EQ(*dm->GetNewID("TableParts", "PartsID"), 1);
    ASSERT_TRUE(dm->ExecSql("insert into TableParts(PartsID,PartsName) values(?,'九')", {SqlInt(9)}).ok());
    ASSERT_TRUE(dm->ExecSql("insert into TableParts(PartsID,PartsName) values(?,'五')", {SqlInt(5)}).ok());
    EXPECT_EQ(*dm->GetNewID("TableParts", "PartsID"), 10);
    EXPECT_FALSE(dm->GetNewID("TableParts; drop table TableParts", "PartsID").ok());
    EXPECT_FALSE(dm->GetNewID("TableParts", "PartsID)--").ok());
    // A query walks its rows; field names ignore case.
    SqlQuery q(dm->connection());
    q.SetText("select * from TableParts where PartsID>=? order by PartsID", {SqlInt(2)});
    ASSERT_TRUE(q.Open().ok());
    std::vector<std::string> names;
    while (!q.Eof()) {
        names.push_back(q.FieldByName("partsname").AsString());
        ASSERT_TRUE(q.Next().ok());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"五", "九"}));
}

// Every text column of every table, with a value that would break a
// statement built by concatenation.
TEST(DataModule, QuotesAndChineseSurviveInEveryTextColumn) {
    TempWorkspace ws;
    auto dm = ws.OpenModule();
    const std::string nasty = "O'Brien \"引号\" 仿古砖'); drop table TableParts; --";
    std::map<std::string, std::vector<std::string>> textColumns;
    {
        Result<SqlStatement> tables =
            dm->connection().prepare("select name from sqlite_master where type='table' and name like 'Table%'");
        ASSERT_TRUE(tables.ok());
        while (*tables->step()) {
            const std::string table = tables->columnText(0);
            Result<SqlStatement> info = dm->connection().prepare("PRAGMA table_info(" + table + ")");
            while (*info->step())
                if (info->columnText(2) == "TEXT") textColumns[table].push_back(info->columnText(1));
        }
    }
    ASSERT_GE(textColumns.size(), 13u);
    int checked = 0;
    for (const auto& [table, columns] : textColumns) {
        for (const std::string& column : columns) {
            ASSERT_TRUE(dm->ExecSql("delete from " + table).ok());
            ASSERT_TRUE(dm->ExecSql("insert into " + table + "(" + column + ") values(?)", {SqlText(nasty)}).ok())
                << table << "." << column;
            SqlQuery q(dm->connection());
            q.SetText("select " + column + " from " + table + " where " + column + "=?", {SqlText(nasty)});
            ASSERT_TRUE(q.Open().ok());
            ASSERT_FALSE(q.Eof()) << table << "." << column;
            EXPECT_EQ(q.FieldByName(column).AsString(), nasty);
            ++checked;
        }
    }
    EXPECT_EQ(checked, 27);  // TableSubTypeUnit.PartsUnit too
    EXPECT_TRUE(dm->connection().hasTable("TableParts"));
}

// An older database reads as it is when opened read-only, and gains the
// template and packing columns when the program opens it.
TEST(DataModule, OlderTablesGainTheirColumns) {
    TempWorkspace ws;
    {
        auto db = SqlDatabase::Open(ws / "DB/PRODUCT.cdb", kProductDatabasePassword, OpenMode::CreateIfMissing);
        ASSERT_TRUE(db.ok());
        ASSERT_TRUE(db->executeScript(
                          "create table TableSample(SampleID INTEGER PRIMARY KEY AUTOINCREMENT, SampleName TEXT, StyleID, "
                          "RoomTypeID, SamplePic BLOB, SampleData BLOB); create table TableParts(PartsID INTEGER PRIMARY KEY, "
                          "PartsName, PartsNumber, PartsSpecs, PartsPrice, SalesID, MatTypeID, PSTypeID, CUintID, CompID, "
                          "StyleID); insert into TableParts values(3,'旧砖','OLD-3','600*600',12.5,1,1,7,4,0,1)")
                        .ok());
    }
    for (OpenMode mode : {OpenMode::ReadOnly, OpenMode::ReadWrite}) {
        auto dm = TDataModule_Manager::DataModuleCreate(ws.path(), mode);
        ASSERT_TRUE(dm.ok()) << dm.error();
        EXPECT_EQ((*dm)->connection().hasColumn("TableSample", "SampleCode"), mode == OpenMode::ReadWrite);
        EXPECT_EQ((*dm)->connection().hasColumn("TableParts", "PartsUnit"), mode == OpenMode::ReadWrite);
        EXPECT_EQ((*dm)->connection().hasColumn("TableParts", "PatternRepeat"), mode == OpenMode::ReadWrite);
        EXPECT_EQ((*dm)->connection().hasTable("TableSubTypeUnit"), mode == OpenMode::ReadWrite);
        Result<std::optional<ProductRow>> old = FindProductByNumber(**dm, "OLD-3");
        ASSERT_TRUE(old.ok() && old->has_value()) << (old.ok() ? "none" : old.error());
        EXPECT_TRUE((*old)->PartsPrice == 12.5 && (*old)->PartsPerBox == 0 && (*old)->PartsUnit == PriceUnit::Piece &&
                    (*old)->PatternRepeat == 0);
        EXPECT_EQ(*ReadCategoryUnit(**dm, 7), PriceUnit::Piece);
    }
}

TEST(ProductDatabaseFile, IsWrittenWholeOrNotAtAll) {
    TempWorkspace ws;
    const auto file = ws / "DB/PRODUCT.cdb";
    ASSERT_TRUE(test::MakeDatabaseFile(file, "insert into TableSales values(1,'东鹏')").ok());
    const Blob written = test::ReadBytes(file);
    // A fill that fails leaves the old file as it was and nothing beside it.
    Status failed = test::MakeDatabaseFile(file, "insert into TableSales values(2,'马可'); insert into Nowhere values(1)");
    ASSERT_FALSE(failed.ok());
    EXPECT_NE(failed.error().find("Nowhere"), std::string::npos);
    EXPECT_EQ(test::ReadBytes(file), written);
    EXPECT_EQ(std::distance(fs::directory_iterator(ws / "DB"), fs::directory_iterator()), 1);
    // The data module opens it with its key, schema and rows in place.
    auto dm = TDataModule_Manager::DataModuleCreate(ws.path(), OpenMode::ReadOnly);
    ASSERT_TRUE(dm.ok()) << dm.error();
    ASSERT_EQ(ReadSales(**dm)->size(), 1u);
    EXPECT_EQ((*ReadSales(**dm))[0].name, "东鹏");
}

}  // namespace
}  // namespace v2d
