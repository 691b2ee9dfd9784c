#include "library/data_module.h"

#include <system_error>

#include "library/product_schema.h"

namespace v2d {

TDataModule_Manager::TDataModule_Manager(std::filesystem::path programFolder,
                                         SqlDatabase connection, std::string password)
    : ADOConnection1(std::move(connection)),
      programFolder_(std::move(programFolder)),
      backupPassword_(std::move(password)) {}

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
    return std::unique_ptr<TDataModule_Manager>(
        new TDataModule_Manager(programFolder, std::move(*db), std::string(password)));
}

Result<bool> TDataModule_Manager::ExecSql(std::string_view statement,
                                          std::vector<SqlValue> params) {
    if (statement.empty()) return false;
    if (QueryExec.Active()) QueryExec.Close();
    QueryExec.SetText(std::string(statement), std::move(params));
    if (Status s = QueryExec.ExecSQL(); !s) return Error{s.error()};
    return true;
}

Result<int64_t> TDataModule_Manager::GetNewID(std::string_view table, std::string_view column) {
    if (!IsPlainIdentifier(table) || !IsPlainIdentifier(column))
        return Error{"数据库错误：表名或列名不合法"};
    QueryGetRowID.SetText("select max(" + std::string(column) + ") as LastID from " +
                          std::string(table));
    Status opened = QueryGetRowID.Open();
    if (!opened) return Error{opened.error()};
    int64_t next = 1;
    SqlField last = QueryGetRowID.FieldByName("LastID");
    if (!QueryGetRowID.Eof() && !last.IsNull()) next = last.AsInteger() + 1;
    QueryGetRowID.Close();
    return next;
}

}  // namespace v2d
