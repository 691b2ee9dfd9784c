#pragma once
// A prepared SQLCipher statement: parameters are bound, never spliced into
// the text, and columns are read by type. The handle is finalised by the
// destructor.
#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/result.h"

namespace v2d {

using Blob = std::vector<uint8_t>;

// A value bound to a parameter or copied between databases.
using SqlValue = std::variant<std::monostate, int64_t, double, std::string, Blob>;

// Builds an SqlValue from ints without narrowing surprises.
inline SqlValue SqlInt(int64_t v) { return SqlValue(v); }
inline SqlValue SqlText(std::string v) { return SqlValue(std::move(v)); }

class SqlStatement {
public:
    SqlStatement() = default;
    SqlStatement(sqlite3* db, sqlite3_stmt* handle) : db_(db), handle_(handle) {}
    ~SqlStatement();
    SqlStatement(SqlStatement&& other) noexcept;
    SqlStatement& operator=(SqlStatement&& other) noexcept;
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    bool valid() const { return handle_ != nullptr; }

    // Parameters count from 1, as in SQLite.
    Status bind(int index, const SqlValue& value);
    Status bindAll(std::span<const SqlValue> values);
    Status bindNull(int index);
    Status bindInt(int index, int64_t value);
    Status bindDouble(int index, double value);
    Status bindText(int index, std::string_view value);
    Status bindBlob(int index, std::span<const uint8_t> value);
    // Copies a column of another statement with its own type.
    Status bindColumnOf(int index, const SqlStatement& source, int column);

    // Steps once: true with a row, false when done.
    Result<bool> step();
    // Steps until done; for statements without result rows.
    Status run();
    void reset();

    int columnCount() const;
    std::string columnName(int column) const;
    // Index of a column by name (compared without case), or -1.
    int columnIndex(std::string_view name) const;

    bool isNull(int column) const;
    int64_t columnInt(int column) const;
    double columnDouble(int column) const;
    std::string columnText(int column) const;  // UTF-8; empty for NULL
    Blob columnBlob(int column) const;
    SqlValue columnValue(int column) const;

    sqlite3_stmt* handle() const { return handle_; }

private:
    Status check(int rc) const;
    void finalize();

    sqlite3* db_ = nullptr;
    sqlite3_stmt* handle_ = nullptr;
};

// The database's own wording of its last error, for messages.
std::string SqliteErrorText(sqlite3* db, int rc);

}  // namespace v2d
