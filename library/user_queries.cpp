#include "library/user_queries.h"

#include "library/internal/read_rows.h"

namespace v2d {

Result<std::optional<std::string>> ReadSuperUserPassword(Db& dm) {
    Result<SqlStatement> s = dm.connection().prepare("select SUserPassWord from TableSuperUser");
    if (!s) return Error{s.error()};
    Result<bool> row = s->step();
    if (!row) return Error{row.error()};
    if (!*row) return std::optional<std::string>();
    return std::optional<std::string>(s->columnText(0));
}

Status CreateSuperUser(Db& dm, const std::string& password) {
    return dm.connection().execute(
        "insert into TableSuperUser(SUserID,SUserName,SUserFullName,SUserPassWord,"
        "SUserDescription) values(?,?,'',?,'')",
        {SqlInt(kAdministratorID), SqlText(kAdministratorName), SqlText(password)});
}

Result<std::optional<UserRow>> FindUser(Db& dm, const std::string& userName) {
    Result<SqlStatement> s = dm.connection().prepare(
        "select UserID,UserPassWord,UserPower from TableUser where UserName=?");
    if (!s) return Error{s.error()};
    if (Status b = s->bindText(1, userName); !b) return Error{b.error()};
    Result<bool> row = s->step();
    if (!row) return Error{row.error()};
    if (!*row) return std::optional<UserRow>();
    return std::optional<UserRow>(UserRow{s->columnInt(0), s->columnText(1), s->columnText(2)});
}

namespace {

constexpr const char* kTemplateColumns =
    "select SampleID,SampleName,SampleCode,SampleType,StyleID,RoomTypeID,SamplePic from TableSample ";

// The browser's conditions: its own kind, and each filter or "any" (> -1).
std::string TemplateConditions(const TemplateFilter& filter, std::vector<SqlValue>& params) {
    std::string sql = "where SampleType=2";
    if (filter.styleID) {
        sql += " and StyleID=?";
        params.push_back(SqlInt(*filter.styleID));
    } else {
        sql += " and StyleID>-1";
    }
    if (filter.roomTypeID) {
        sql += " and RoomTypeID=?";
        params.push_back(SqlInt(*filter.roomTypeID));
    } else {
        sql += " and RoomTypeID>-1";
    }
    return sql;
}

TemplateRow ReadTemplateColumns(const SqlStatement& s) {
    TemplateRow t;
    t.SampleID = s.columnInt(0);
    t.SampleName = s.columnText(1);
    if (!s.isNull(2) && !s.columnText(2).empty()) t.SampleCode = s.columnInt(2);
    t.SampleType = s.columnInt(3);
    t.StyleID = s.columnInt(4);
    t.RoomTypeID = s.columnInt(5);
    t.SamplePic = s.columnBlob(6);
    return t;
}

}  // namespace

Result<std::vector<TemplateRow>> ReadTemplates(Db& dm, std::optional<int64_t> styleID,
                                               std::optional<int64_t> roomTypeID) {
    return ReadTemplateRange(dm, TemplateFilter{styleID, roomTypeID}, 0, -1);
}

Result<int64_t> CountTemplates(Db& dm, const TemplateFilter& filter) {
    std::vector<SqlValue> params;
    const std::string sql = "select count(*) from TableSample " + TemplateConditions(filter, params);
    Result<std::vector<int64_t>> count =
        ReadRows<int64_t>(dm, sql, std::move(params), [](const SqlStatement& s) { return s.columnInt(0); });
    if (!count) return Error{count.error()};
    return count->empty() ? 0 : count->front();
}

Result<std::vector<TemplateRow>> ReadTemplateRange(Db& dm, const TemplateFilter& filter, int64_t offset,
                                                   int64_t limit) {
    std::vector<SqlValue> params;
    std::string sql = kTemplateColumns + TemplateConditions(filter, params) + " order by SampleID DESC limit ? offset ?";
    params.push_back(SqlInt(limit));
    params.push_back(SqlInt(offset));
    return ReadRows<TemplateRow>(dm, sql, std::move(params), ReadTemplateColumns);
}

Result<std::optional<TemplateRow>> ReadTemplate(Db& dm, int64_t sampleID) {
    Result<std::vector<TemplateRow>> rows = ReadRows<TemplateRow>(
        dm, std::string(kTemplateColumns) + "where SampleID=?", {SqlInt(sampleID)}, ReadTemplateColumns);
    if (!rows) return Error{rows.error()};
    if (rows->empty()) return std::optional<TemplateRow>();
    return std::optional<TemplateRow>(std::move(rows->front()));
}

Result<int64_t> InsertTemplate(Db& dm, const std::string& name, int64_t roomTypeID,
                               int64_t styleID, const Blob& samplePic) {
    Status s = dm.connection().execute(
        "insert into TableSample(SampleName,SampleType,RoomTypeID,StyleID,SamplePic) "
        "values(?,?,?,?,?)",
        {SqlText(name), SqlInt(kLocalTemplateType), SqlInt(roomTypeID), SqlInt(styleID),
         samplePic.empty() ? SqlValue() : SqlValue(samplePic)});
    if (!s) return Error{s.error()};
    return dm.connection().lastInsertRowId();
}

Status DeleteTemplate(Db& dm, int64_t sampleID) {
    return dm.connection().execute("delete from TableSample where SampleID=?", {SqlInt(sampleID)});
}

}  // namespace v2d
