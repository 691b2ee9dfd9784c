#include "library/sqlite_statement.h"

#include <QString>

#include <limits>

namespace v2d {

std::string SqliteErrorText(sqlite3* db, int rc) {
    const char* text = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    return std::string("数据库错误：") + (text ? text : sqlite3_errstr(rc));
}

SqlStatement::~SqlStatement() { finalize(); }

SqlStatement::SqlStatement(SqlStatement&& other) noexcept : db_(other.db_), handle_(other.handle_) {
    other.handle_ = nullptr;
}

SqlStatement& SqlStatement::operator=(SqlStatement&& other) noexcept {
    if (this != &other) {
        finalize();
        db_ = other.db_;
        handle_ = other.handle_;
        other.handle_ = nullptr;
    }
    return *this;
}

void SqlStatement::finalize() {
    if (handle_) sqlite3_finalize(handle_);
    handle_ = nullptr;
}

Status SqlStatement::check(int rc) const {
    if (rc == SQLITE_OK) return Status::Ok();
    return Error{SqliteErrorText(db_, rc)};
}

Status SqlStatement::bindNull(int index) { return check(sqlite3_bind_null(handle_, index)); }

Status SqlStatement::bindInt(int index, int64_t value) {
    return check(sqlite3_bind_int64(handle_, index, value));
}

Status SqlStatement::bindDouble(int index, double value) {
    return check(sqlite3_bind_double(handle_, index, value));
}

Status SqlStatement::bindText(int index, std::string_view value) {
    if (value.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
        return Error{"数据库错误：文本太长"};
    return check(sqlite3_bind_text(handle_, index, value.data(), static_cast<int>(value.size()),
                                   SQLITE_TRANSIENT));
}

Status SqlStatement::bindBlob(int index, std::span<const uint8_t> value) {
    if (value.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
        return Error{"数据库错误：数据太长"};
    // A zero-length blob is bound as an empty blob, not as NULL.
    if (value.empty()) return check(sqlite3_bind_zeroblob(handle_, index, 0));
    return check(sqlite3_bind_blob(handle_, index, value.data(), static_cast<int>(value.size()),
                                   SQLITE_TRANSIENT));
}

Status SqlStatement::bind(int index, const SqlValue& value) {
    struct Visitor {
        SqlStatement& s;
        int i;
        Status operator()(std::monostate) { return s.bindNull(i); }
        Status operator()(int64_t v) { return s.bindInt(i, v); }
        Status operator()(double v) { return s.bindDouble(i, v); }
        Status operator()(const std::string& v) { return s.bindText(i, v); }
        Status operator()(const Blob& v) { return s.bindBlob(i, v); }
    };
    return std::visit(Visitor{*this, index}, value);
}

Status SqlStatement::bindAll(std::span<const SqlValue> values) {
    if (static_cast<int>(values.size()) != sqlite3_bind_parameter_count(handle_))
        return Error{"数据库错误：参数个数不符"};
    for (size_t i = 0; i < values.size(); ++i)
        if (Status s = bind(static_cast<int>(i) + 1, values[i]); !s) return s;
    return Status::Ok();
}

Status SqlStatement::bindColumnOf(int index, const SqlStatement& source, int column) {
    return check(sqlite3_bind_value(handle_, index, sqlite3_column_value(source.handle_, column)));
}

Result<bool> SqlStatement::step() {
    const int rc = sqlite3_step(handle_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    return Error{SqliteErrorText(db_, rc)};
}

Status SqlStatement::run() {
    for (;;) {
        Result<bool> row = step();
        if (!row) return Error{row.error()};
        if (!*row) return Status::Ok();
    }
}

void SqlStatement::reset() {
    sqlite3_reset(handle_);
    sqlite3_clear_bindings(handle_);
}

int SqlStatement::columnCount() const { return sqlite3_column_count(handle_); }

std::string SqlStatement::columnName(int column) const {
    const char* name = sqlite3_column_name(handle_, column);
    return name ? name : "";
}

int SqlStatement::columnIndex(std::string_view name) const {
    const QString wanted = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    for (int i = 0; i < columnCount(); ++i)
        if (QString::fromUtf8(columnName(i)).compare(wanted, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

bool SqlStatement::isNull(int column) const {
    return column < 0 || sqlite3_column_type(handle_, column) == SQLITE_NULL;
}

int64_t SqlStatement::columnInt(int column) const {
    if (column < 0) return 0;
    // Text that holds a number reads as that number, as Jet's fields did.
    if (sqlite3_column_type(handle_, column) == SQLITE_TEXT) {
        bool ok = false;
        const qlonglong v = QString::fromUtf8(columnText(column)).trimmed().toLongLong(&ok);
        return ok ? v : 0;
    }
    return sqlite3_column_int64(handle_, column);
}

double SqlStatement::columnDouble(int column) const {
    return column < 0 ? 0.0 : sqlite3_column_double(handle_, column);
}

std::string SqlStatement::columnText(int column) const {
    if (column < 0) return {};
    const auto* text = sqlite3_column_text(handle_, column);
    if (!text) return {};
    return std::string(reinterpret_cast<const char*>(text),
                       static_cast<size_t>(sqlite3_column_bytes(handle_, column)));
}

Blob SqlStatement::columnBlob(int column) const {
    if (column < 0) return {};
    const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(handle_, column));
    const int size = sqlite3_column_bytes(handle_, column);
    if (!data || size <= 0) return {};
    return Blob(data, data + size);
}

SqlValue SqlStatement::columnValue(int column) const {
    if (column < 0) return std::monostate{};
    switch (sqlite3_column_type(handle_, column)) {
        case SQLITE_INTEGER: return sqlite3_column_int64(handle_, column);
        case SQLITE_FLOAT: return sqlite3_column_double(handle_, column);
        case SQLITE_TEXT: return columnText(column);
        case SQLITE_BLOB: return columnBlob(column);
        default: return std::monostate{};
    }
}

}  // namespace v2d
