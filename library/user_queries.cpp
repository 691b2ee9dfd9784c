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

Result<std::vector<TemplateRow>> ReadTemplates(Db& dm, std::optional<int64_t> styleID,
                                               std::optional<int64_t> roomTypeID) {
    std::string sql =
        "select SampleID,SampleName,SampleCode,SampleType,StyleID,RoomTypeID,SamplePic "
        "from TableSample where SampleType=2";
    std::vector<SqlValue> params;
    if (styleID) {
        sql += " and StyleID=?";
        params.push_back(SqlInt(*styleID));
    } else {
        sql += " and StyleID>-1";
    }
    if (roomTypeID) {
        sql += " and RoomTypeID=?";
        params.push_back(SqlInt(*roomTypeID));
    } else {
        sql += " and RoomTypeID>-1";
    }
    sql += " order by SampleID DESC";
    return ReadRows<TemplateRow>(dm, sql, std::move(params), [](const SqlStatement& s) {
        TemplateRow t;
        t.SampleID = s.columnInt(0);
        t.SampleName = s.columnText(1);
        if (!s.isNull(2) && !s.columnText(2).empty()) t.SampleCode = s.columnInt(2);
        t.SampleType = s.columnInt(3);
        t.StyleID = s.columnInt(4);
        t.RoomTypeID = s.columnInt(5);
        t.SamplePic = s.columnBlob(6);
        return t;
    });
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
