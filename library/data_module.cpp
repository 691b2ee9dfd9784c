#include "library/data_module.h"

#include <system_error>

#include "library/internal/database_key.h"
#include "library/product_queries.h"
#include "library/product_schema.h"
#include "library/sql_query.h"

namespace v2d {

const char kProductDatabasePassword[] = "plantorquibeds";

TDataModule_Manager::TDataModule_Manager(std::filesystem::path programFolder,
                                         SqlDatabase connection, std::string password)
    : ADOConnection1(std::move(connection)),
      programFolder_(std::move(programFolder)),
      backupPassword_(std::move(password)),
      hasPartsPacking_(ADOConnection1.hasColumn("TableParts", "PartsPerBox") &&
                       ADOConnection1.hasColumn("TableParts", "PartsUnit")),
      hasPatternRepeat_(ADOConnection1.hasColumn("TableParts", "PatternRepeat")),
      hasCategoryUnit_(ADOConnection1.hasTable("TableSubTypeUnit")) {}

Result<std::unique_ptr<TDataModule_Manager>> TDataModule_Manager::DataModuleCreate(
    const std::filesystem::path& programFolder, OpenMode mode) {
    return DataModuleCreate(programFolder, mode, kProductDatabasePassword);
}

Result<std::unique_ptr<TDataModule_Manager>> TDataModule_Manager::DataModuleCreate(
    const std::filesystem::path& programFolder, OpenMode mode, std::string_view password) {
    const std::filesystem::path file = programFolder / kProductDatabaseFile;
    if (mode == OpenMode::CreateIfMissing) {
        std::error_code ec;
        std::filesystem::create_directories(file.parent_path(), ec);
    }
    Result<SqlDatabase> db = SqlDatabase::Open(file, password, mode);
    if (!db) return Error{db.error()};
    if (mode != OpenMode::ReadOnly)
        if (Status s = CreateProductSchema(*db); !s) return Error{s.error()};
    if (Status s = RegisterProductSizeFunction(*db); !s) return Error{s.error()};
    // Pages stay decrypted in memory once read (up to 64 MB, a catalogue of
    // several hundred thousand products), so a search that reads every
    // product decrypts each page once per run, not once per keystroke.
    if (Status s = db->execute("PRAGMA cache_size=-65536"); !s) return Error{s.error()};
    return std::unique_ptr<TDataModule_Manager>(
        new TDataModule_Manager(programFolder, std::move(*db), std::string(password)));
}

Result<bool> TDataModule_Manager::ExecSql(std::string_view statement,
                                          std::vector<SqlValue> params) {
    if (statement.empty()) return false;
    if (Status s = ADOConnection1.execute(statement, params); !s) return Error{s.error()};
    return true;
}

Result<int64_t> TDataModule_Manager::GetNewID(std::string_view table, std::string_view column) {
    if (!IsPlainIdentifier(table) || !IsPlainIdentifier(column))
        return Error{"数据库错误：表名或列名不合法"};
    SqlQuery query(ADOConnection1,
                   "select max(" + std::string(column) + ") as LastID from " + std::string(table));
    if (Status opened = query.Open(); !opened) return Error{opened.error()};
    const SqlField last = query.FieldByName("LastID");
    return query.Eof() || last.IsNull() ? int64_t{1} : last.AsInteger() + 1;
}

}  // namespace v2d
