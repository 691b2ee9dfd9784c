#include "library/sqlite_database.h"

#include <cctype>
#include <limits>
#include <system_error>

namespace v2d {

bool IsPlainIdentifier(std::string_view name) {
    if (name.empty()) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !(digit && i > 0)) return false;
    }
    return true;
}

SqlDatabase::~SqlDatabase() { close(); }

SqlDatabase::SqlDatabase(SqlDatabase&& other) noexcept
    : db_(other.db_), file_(std::move(other.file_)) {
    other.db_ = nullptr;
}

SqlDatabase& SqlDatabase::operator=(SqlDatabase&& other) noexcept {
    if (this != &other) {
        close();
        db_ = other.db_;
        file_ = std::move(other.file_);
        other.db_ = nullptr;
    }
    return *this;
}

void SqlDatabase::close() {
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
}

Result<SqlDatabase> SqlDatabase::Open(const std::filesystem::path& file, std::string_view key,
                                      OpenMode mode) {
    std::error_code ec;
    const bool exists = std::filesystem::is_regular_file(file, ec);
    if (!exists && mode != OpenMode::CreateIfMissing)
        return Error{std::string(kMsgDatabaseMissing) + file.string()};

    int flags = SQLITE_OPEN_FULLMUTEX;
    if (mode == OpenMode::ReadOnly)
        flags |= SQLITE_OPEN_READONLY;
    else
        flags |= SQLITE_OPEN_READWRITE;
    if (mode == OpenMode::CreateIfMissing) flags |= SQLITE_OPEN_CREATE;

    SqlDatabase db;
    db.file_ = file;
    const int rc = sqlite3_open_v2(file.string().c_str(), &db.db_, flags, nullptr);
    if (rc != SQLITE_OK) return Error{SqliteErrorText(db.db_, rc)};
    if (key.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
        return Error{kMsgDatabaseKey};
    if (sqlite3_key(db.db_, key.data(), static_cast<int>(key.size())) != SQLITE_OK)
        return Error{kMsgDatabaseKey};

    // The first read is where a wrong key shows (SQLITE_NOTADB). It writes
    // nothing, so a file that does not fit stays exactly as it was.
    {
        Result<SqlStatement> probe = db.prepare("select count(*) from sqlite_master");
        if (!probe) return Error{kMsgDatabaseKey};
        Result<bool> row = probe->step();
        if (!row) return Error{kMsgDatabaseKey};
    }

    sqlite3_busy_timeout(db.db_, 2000);
    if (mode != OpenMode::ReadOnly) {
        if (Status s = db.execute("PRAGMA foreign_keys = OFF"); !s) return Error{s.error()};
    }
    return db;
}

Result<SqlStatement> SqlDatabase::prepare(std::string_view sql) const {
    if (!db_) return Error{"数据库错误：数据库没有打开"};
    if (sql.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
        return Error{"数据库错误：语句太长"};
    sqlite3_stmt* handle = nullptr;
    const int rc =
        sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &handle, nullptr);
    if (rc != SQLITE_OK) {
        if (handle) sqlite3_finalize(handle);
        return Error{SqliteErrorText(db_, rc)};
    }
    if (!handle) return Error{"数据库错误：空语句"};
    return SqlStatement(db_, handle);
}

Status SqlDatabase::execute(std::string_view sql, std::initializer_list<SqlValue> values) const {
    return execute(sql, std::span<const SqlValue>(values.begin(), values.size()));
}

Status SqlDatabase::execute(std::string_view sql, std::span<const SqlValue> values) const {
    Result<SqlStatement> statement = prepare(sql);
    if (!statement) return Error{statement.error()};
    if (Status s = statement->bindAll(values); !s) return s;
    return statement->run();
}

Status SqlDatabase::executeScript(std::string_view sql) const {
    if (!db_) return Error{"数据库错误：数据库没有打开"};
    const std::string text(sql);
    char* message = nullptr;
    const int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &message);
    if (rc == SQLITE_OK) return Status::Ok();
    std::string error = std::string("数据库错误：") + (message ? message : sqlite3_errstr(rc));
    sqlite3_free(message);
    return Error{error};
}

bool SqlDatabase::hasTable(std::string_view table) const {
    Result<SqlStatement> s =
        prepare("select 1 from sqlite_master where type='table' and name=? collate nocase");
    if (!s || !s->bindText(1, table)) return false;
    Result<bool> row = s->step();
    return row && *row;
}

bool SqlDatabase::hasColumn(std::string_view table, std::string_view column) const {
    if (!IsPlainIdentifier(table)) return false;
    Result<SqlStatement> s = prepare("PRAGMA table_info(" + std::string(table) + ")");
    if (!s) return false;
    const int nameColumn = s->columnIndex("name");
    for (;;) {
        Result<bool> row = s->step();
        if (!row || !*row) return false;
        const std::string name = s->columnText(nameColumn);
        if (name.size() == column.size()) {
            bool same = true;
            for (size_t i = 0; i < name.size() && same; ++i)
                same = std::tolower(static_cast<unsigned char>(name[i])) ==
                       std::tolower(static_cast<unsigned char>(column[i]));
            if (same) return true;
        }
    }
}

SqlTransaction::SqlTransaction(const SqlDatabase& db) : db_(db) {
    began_ = db_.execute("BEGIN IMMEDIATE");
    open_ = began_.ok();
}

SqlTransaction::~SqlTransaction() {
    if (open_) (void)db_.execute("ROLLBACK");
}

Status SqlTransaction::commit() {
    if (!open_) return began_.ok() ? Status(Error{"数据库错误：事务已结束"}) : began_;
    Status s = db_.execute("COMMIT");
    if (s) open_ = false;
    return s;
}

}  // namespace v2d
