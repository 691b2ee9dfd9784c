#pragma once
// One connection to an encrypted SQLCipher database file. Opening checks the
// key at once: SQLCipher only notices a wrong key at the first statement, so
// Open reads the schema before it reports success, and nothing is written
// to a file whose key did not fit.
#include <sqlite3.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

#include "library/sqlite_statement.h"
#include "base/result.h"

namespace v2d {

// The message when a file does not open with its password.
inline constexpr const char* kMsgDatabaseKey =
    "数据库打不开：密码不正确，或者文件不是产品数据库。";
inline constexpr const char* kMsgDatabaseMissing = "找不到产品数据库文件：";

enum class OpenMode {
    ReadWrite,        // the file must exist
    ReadOnly,         // the file must exist; nothing is ever written
    CreateIfMissing,  // a new file is created with the key
};

class SqlDatabase {
public:
    SqlDatabase() = default;
    ~SqlDatabase();
    SqlDatabase(SqlDatabase&& other) noexcept;
    SqlDatabase& operator=(SqlDatabase&& other) noexcept;
    SqlDatabase(const SqlDatabase&) = delete;
    SqlDatabase& operator=(const SqlDatabase&) = delete;

    static Result<SqlDatabase> Open(const std::filesystem::path& file, std::string_view key,
                                    OpenMode mode);

    bool isOpen() const { return db_ != nullptr; }
    void close();

    Result<SqlStatement> prepare(std::string_view sql) const;
    // Runs one statement with bound values.
    Status execute(std::string_view sql, std::initializer_list<SqlValue> values = {}) const;
    Status execute(std::string_view sql, std::span<const SqlValue> values) const;
    // Runs several statements without parameters (schema scripts).
    Status executeScript(std::string_view sql) const;

    bool hasTable(std::string_view table) const;
    bool hasColumn(std::string_view table, std::string_view column) const;

    int64_t lastInsertRowId() const { return sqlite3_last_insert_rowid(db_); }
    int changes() const { return sqlite3_changes(db_); }
    sqlite3* handle() const { return db_; }
    const std::filesystem::path& file() const { return file_; }

private:
    sqlite3* db_ = nullptr;
    std::filesystem::path file_;
};

// A transaction that rolls back unless committed.
class SqlTransaction {
public:
    explicit SqlTransaction(const SqlDatabase& db);
    ~SqlTransaction();
    SqlTransaction(const SqlTransaction&) = delete;
    SqlTransaction& operator=(const SqlTransaction&) = delete;

    const Status& began() const { return began_; }
    Status commit();

private:
    const SqlDatabase& db_;
    Status began_;
    bool open_ = false;
};

// True for a plain identifier ([A-Za-z_][A-Za-z0-9_]*), the only kind of
// table or column name that is ever put into statement text.
bool IsPlainIdentifier(std::string_view name);

}  // namespace v2d
