#include <gtest/gtest.h>

#include <map>

#include "library/data_module.h"
#include "library/product_queries.h"
#include "tests/library/temp_workspace.h"

namespace v2d {
namespace {

using test::TempWorkspace;

TEST(DataModule, CreatesAnEncryptedDatabase) {
    TempWorkspace ws;
    { ASSERT_NE(ws.OpenModule(), nullptr); }
    const Blob head = test::ReadBytes(ws / "DB/PRODUCT.cdb");
    ASSERT_GE(head.size(), 16u);
    // A plain SQLite file starts with its name; an encrypted one does not.
    EXPECT_NE(std::string(head.begin(), head.begin() + 15), "SQLite format 3");
}

TEST(DataModule, WrongPasswordIsRefusedAndTheFileIsUntouched) {
    TempWorkspace ws;
    {
        auto dm = ws.OpenModule();
        ASSERT_NE(dm, nullptr);
        ASSERT_TRUE(dm->ExecSql("insert into TableSales(SalesID,SalesName) values(1,'x')").ok());
    }
    const auto file = ws / "DB/PRODUCT.cdb";
    const Blob before = test::ReadBytes(file);
    const auto timeBefore = std::filesystem::last_write_time(file);
    for (OpenMode mode : {OpenMode::ReadWrite, OpenMode::CreateIfMissing, OpenMode::ReadOnly}) {
        auto dm = TDataModule_Manager::DataModuleCreate(ws.path(), mode, "wrong password");
        ASSERT_FALSE(dm.ok());
        EXPECT_EQ(dm.error(), kMsgDatabaseKey);
    }
    EXPECT_EQ(test::ReadBytes(file), before);
    EXPECT_EQ(std::filesystem::last_write_time(file), timeBefore);
    EXPECT_FALSE(std::filesystem::exists(ws / "DB/PRODUCT.cdb-journal"));
    // The right password still opens it with its data.
    auto dm = TDataModule_Manager::DataModuleCreate(ws.path());
    ASSERT_TRUE(dm.ok()) << dm.error();
    auto sales = ReadSales(**dm);
    ASSERT_TRUE(sales.ok());
    ASSERT_EQ(sales->size(), 1u);
}

TEST(DataModule, FileThatIsNoDatabaseIsRefusedAndKept) {
    TempWorkspace ws;
    const Blob junk(5000, 0x41);
    test::WriteBytes(ws / "DB/PRODUCT.cdb", junk);
    auto dm = TDataModule_Manager::DataModuleCreate(ws.path());
    ASSERT_FALSE(dm.ok());
    EXPECT_EQ(dm.error(), kMsgDatabaseKey);
    EXPECT_EQ(test::ReadBytes(ws / "DB/PRODUCT.cdb"), junk);
}

TEST(DataModule, MissingDatabaseIsReportedWithoutCreatingOne) {
    TempWorkspace ws;
    auto dm = TDataModule_Manager::DataModuleCreate(ws.path());
    ASSERT_FALSE(dm.ok());
    EXPECT_NE(dm.error().find(kMsgDatabaseMissing), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(ws / "DB/PRODUCT.cdb"));
}

TEST(DataModule, ExecSqlOfAnEmptyStatementYieldsFalse) {
    TempWorkspace ws;
    auto dm = ws.OpenModule();
    Result<bool> r = dm->ExecSql("");
    ASSERT_TRUE(r.ok());
    EXPECT_FALSE(*r);
}

TEST(DataModule, ExecSqlReportsDatabaseErrors) {
    TempWorkspace ws;
    auto dm = ws.OpenModule();
    Result<bool> r = dm->ExecSql("insert into NoSuchTable values(1)");
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.error().find("NoSuchTable"), std::string::npos);
}

TEST(DataModule, GetNewIDIsLargestPlusOneAndOneOnAnEmptyTable) {
    TempWorkspace ws;
    auto dm = ws.OpenModule();
    EXPECT_EQ(*dm->GetNewID("TableParts", "PartsID"), 1);
    ASSERT_TRUE(dm->ExecSql("insert into TableParts(PartsID) values(?)", {SqlInt(9)}).ok());
    ASSERT_TRUE(dm->ExecSql("insert into TableParts(PartsID) values(?)", {SqlInt(5)}).ok());
    EXPECT_EQ(*dm->GetNewID("TableParts", "PartsID"), 10);
    EXPECT_FALSE(dm->QueryGetRowID.Active());
    EXPECT_FALSE(dm->GetNewID("TableParts; drop table TableParts", "PartsID").ok());
    EXPECT_FALSE(dm->GetNewID("TableParts", "PartsID)--").ok());
}

TEST(DataModule, QuerySelectReadingPattern) {
    TempWorkspace ws;
    auto dm = ws.OpenModule();
    EXPECT_EQ(dm->QuerySelect.Text(), "select * from TablePartsMasterType");
    for (int i = 1; i <= 3; ++i)
        ASSERT_TRUE(dm->ExecSql("insert into TableStyle(StyleID,StyleName) values(?,?)",
                                {SqlInt(i), SqlText("风格" + std::to_string(i))})
                        .ok());
    SqlQuery& q = dm->QuerySelect;
    if (q.Active()) q.Close();
    q.SetText("select * from TableStyle where StyleID>=? order by StyleID", {SqlInt(2)});
    ASSERT_TRUE(q.Open().ok());
    std::vector<std::string> names;
    while (!q.Eof()) {
        names.push_back(q.FieldByName("stylename").AsString());
        ASSERT_TRUE(q.Next().ok());
    }
    q.Close();
    EXPECT_EQ(names, (std::vector<std::string>{"风格2", "风格3"}));
    EXPECT_FALSE(q.Active());
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
            SqlQuery& q = dm->QuerySelect;
            q.SetText("select " + column + " from " + table + " where " + column + "=?", {SqlText(nasty)});
            ASSERT_TRUE(q.Open().ok());
            ASSERT_FALSE(q.Eof()) << table << "." << column;
            EXPECT_EQ(q.FieldByName(column).AsString(), nasty);
            q.Close();
            ++checked;
        }
    }
    EXPECT_EQ(checked, 25);
    EXPECT_TRUE(dm->connection().hasTable("TableParts"));
}

TEST(DataModule, SchemaHasEveryColumnTheProgramUses) {
    TempWorkspace ws;
    auto dm = ws.OpenModule();
    const std::map<std::string, std::vector<std::string>> expected{
        {"TableParts", {"PartsID", "PartsName", "PartsNumber", "PartsSpecs", "PartsPrice", "SalesID",
                        "MatTypeID", "PSTypeID", "CUintID", "CompID", "StyleID"}},
        {"TableSales", {"SalesID", "SalesName"}},
        {"TablePartsMasterType", {"PMTypeID", "PMTypeName", "PMTypeMemo"}},
        {"TablePartsSubType", {"PSTypeID", "PSTypeName", "PSTypeMemo", "PartsSubType", "ParentID", "PMTypeID"}},
        {"TableMatType", {"MatTypeID", "MatTypeName", "FanSheXiShu"}},
        {"TableSample", {"SampleID", "SampleName", "SampleCode", "SampleType", "StyleID", "RoomTypeID",
                         "SamplePic", "SampleData"}},
        {"TableStyle", {"StyleID", "StyleName"}},
        {"TableRoomType", {"RTypeID", "RTypeFatherID", "RTypeName"}},
        {"TableColor", {"ID", "ColorNumber", "ColorName", "R", "G", "B"}},
        {"TableColor300", {"ColorNumber", "R", "G", "B"}},
        {"TableColorTj", {"ColorNumber", "ColorName", "R", "G", "B"}},
        {"TableSuperUser", {"SUserID", "SUserName", "SUserFullName", "SUserPassWord", "SUserDescription"}},
        {"TableUser", {"UserID", "UserName", "UserPassWord", "UserPower"}},
    };
    for (const auto& [table, columns] : expected)
        for (const auto& column : columns)
            EXPECT_TRUE(dm->connection().hasColumn(table, column)) << table << "." << column;
}

TEST(DataModule, LookedUpTextComparesWithoutCase) {
    TempWorkspace ws;
    auto dm = ws.OpenModule();
    ProductRow row;
    row.PartsID = 1;
    row.PartsNumber = "AB-600";
    ASSERT_TRUE(InsertProduct(*dm, row).ok());
    auto found = FindProductByNumber(*dm, "ab-600");
    ASSERT_TRUE(found.ok());
    ASSERT_TRUE(found->has_value());
    EXPECT_EQ((*found)->PartsNumber, "AB-600");
}

TEST(DataModule, OlderTemplateTableGainsItsColumns) {
    TempWorkspace ws;
    {
        auto db = SqlDatabase::Open(ws / "DB/PRODUCT.cdb", kProductDatabasePassword, OpenMode::CreateIfMissing);
        ASSERT_TRUE(db.ok());
        ASSERT_TRUE(db->execute("create table TableSample(SampleID INTEGER PRIMARY KEY AUTOINCREMENT, "
                                "SampleName TEXT, StyleID INTEGER, RoomTypeID INTEGER, SamplePic BLOB, "
                                "SampleData BLOB)")
                        .ok());
    }
    auto dm = TDataModule_Manager::DataModuleCreate(ws.path());
    ASSERT_TRUE(dm.ok()) << dm.error();
    EXPECT_TRUE((*dm)->connection().hasColumn("TableSample", "SampleCode"));
    EXPECT_TRUE((*dm)->connection().hasColumn("TableSample", "SampleType"));
}

}  // namespace
}  // namespace v2d
