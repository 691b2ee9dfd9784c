#pragma once
// A query object on a connection, used the way every window reads: close it
// if active, set its text (and bound values), open, walk the rows, close.
// Values from users and files go in as bound parameters ("?"), never as
// part of the text.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/sqlite_database.h"

namespace v2d {

// One column of the current row.
class SqlField {
public:
    SqlField(const SqlStatement* statement, int column) : statement_(statement), column_(column) {}
    bool exists() const { return column_ >= 0; }
    bool IsNull() const { return !statement_ || statement_->isNull(column_); }
    std::string AsString() const { return statement_ ? statement_->columnText(column_) : ""; }
    int64_t AsInteger() const { return statement_ ? statement_->columnInt(column_) : 0; }
    double AsFloat() const { return statement_ ? statement_->columnDouble(column_) : 0.0; }
    Blob AsBlob() const { return statement_ ? statement_->columnBlob(column_) : Blob{}; }
    SqlValue AsValue() const { return statement_ ? statement_->columnValue(column_) : SqlValue{}; }

private:
    const SqlStatement* statement_;
    int column_;
};

class SqlQuery {
public:
    explicit SqlQuery(const SqlDatabase& connection, std::string designText = {})
        : connection_(&connection), text_(std::move(designText)) {}

    bool Active() const { return statement_.has_value(); }
    void Close();
    void SetText(std::string text, std::vector<SqlValue> params = {});
    const std::string& Text() const { return text_; }

    // Prepares, binds and moves to the first row.
    Status Open();
    bool Eof() const { return !statement_ || eof_; }
    Status Next();

    SqlField FieldByName(std::string_view name) const;

private:
    Status Step();  // to the next row; Eof() after the last

    const SqlDatabase* connection_;
    std::string text_;
    std::vector<SqlValue> params_;
    std::optional<SqlStatement> statement_;
    bool eof_ = true;
};

}  // namespace v2d
