#include "library/sql_query.h"

namespace v2d {

void SqlQuery::Close() {
    statement_.reset();
    eof_ = true;
}

void SqlQuery::SetText(std::string text, std::vector<SqlValue> params) {
    Close();
    text_ = std::move(text);
    params_ = std::move(params);
}

Status SqlQuery::Open() {
    Close();
    Result<SqlStatement> prepared = connection_->prepare(text_);
    if (!prepared) return Error{prepared.error()};
    if (Status s = prepared->bindAll(params_); !s) return s;
    statement_.emplace(std::move(*prepared));
    return Step();
}

Status SqlQuery::Next() { return Eof() ? Status::Ok() : Step(); }

Status SqlQuery::Step() {
    Result<bool> row = statement_->step();
    if (!row) {
        Close();
        return Error{row.error()};
    }
    eof_ = !*row;
    return Status::Ok();
}

SqlField SqlQuery::FieldByName(std::string_view name) const {
    if (!statement_ || eof_) return SqlField(nullptr, -1);
    return SqlField(&*statement_, statement_->columnIndex(name));
}

}  // namespace v2d
