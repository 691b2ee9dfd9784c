#include "library/product_schema.h"

#include <initializer_list>
#include <string>

namespace v2d {

namespace {

// Identifiers are plain integers handed out as largest + 1 (GetNewID), so
// they are INTEGER PRIMARY KEY without AUTOINCREMENT. Templates are numbered
// by the database and never reuse a number, because the number names the
// template's files in temple/local and temple/TempData.
constexpr const char* kSchemaScript = R"SQL(
CREATE TABLE IF NOT EXISTS TableParts (
  PartsID     INTEGER PRIMARY KEY,
  PartsName   TEXT COLLATE NOCASE,
  PartsNumber TEXT COLLATE NOCASE,
  PartsSpecs  TEXT,
  PartsPrice  REAL DEFAULT 0,
  SalesID     INTEGER,
  MatTypeID   INTEGER,
  PSTypeID    INTEGER,
  CUintID     INTEGER,
  CompID      INTEGER,
  StyleID     INTEGER,
  PartsPerBox INTEGER DEFAULT 0,
  PartsUnit   TEXT DEFAULT 'piece',
  PatternRepeat INTEGER DEFAULT 0
);
CREATE INDEX IF NOT EXISTS TableParts_PSTypeID ON TableParts(PSTypeID, PartsID);
CREATE INDEX IF NOT EXISTS TableParts_PartsNumber ON TableParts(PartsNumber);
CREATE INDEX IF NOT EXISTS TableParts_PartsSpecs ON TableParts(PartsSpecs, PSTypeID);

CREATE TABLE IF NOT EXISTS TableSales (
  SalesID   INTEGER PRIMARY KEY,
  SalesName TEXT COLLATE NOCASE
);

CREATE TABLE IF NOT EXISTS TablePartsMasterType (
  PMTypeID   INTEGER PRIMARY KEY,
  PMTypeName TEXT COLLATE NOCASE,
  PMTypeMemo TEXT
);

CREATE TABLE IF NOT EXISTS TablePartsSubType (
  PSTypeID     INTEGER PRIMARY KEY,
  PSTypeName   TEXT COLLATE NOCASE,
  PSTypeMemo   TEXT,
  PartsSubType INTEGER,
  ParentID     INTEGER DEFAULT -1,
  PMTypeID     INTEGER
);

-- The unit a sub-category's new products are priced in (a PriceUnitWord);
-- a sub-category without a row prices per piece. A table of its own, so
-- TablePartsSubType keeps the columns its older writers fill.
CREATE TABLE IF NOT EXISTS TableSubTypeUnit (
  PSTypeID  INTEGER PRIMARY KEY,
  PartsUnit TEXT
);

CREATE TABLE IF NOT EXISTS TableMatType (
  MatTypeID   INTEGER PRIMARY KEY,
  MatTypeName TEXT COLLATE NOCASE,
  FanSheXiShu INTEGER DEFAULT 0
);

CREATE TABLE IF NOT EXISTS TableSample (
  SampleID   INTEGER PRIMARY KEY AUTOINCREMENT,
  SampleName TEXT COLLATE NOCASE,
  SampleCode INTEGER,
  SampleType INTEGER,
  StyleID    INTEGER,
  RoomTypeID INTEGER,
  SamplePic  BLOB,
  SampleData BLOB
);

CREATE TABLE IF NOT EXISTS TableStyle (
  StyleID   INTEGER PRIMARY KEY,
  StyleName TEXT COLLATE NOCASE
);

CREATE TABLE IF NOT EXISTS TableRoomType (
  RTypeID       INTEGER PRIMARY KEY,
  RTypeFatherID INTEGER,
  RTypeName     TEXT COLLATE NOCASE
);

CREATE TABLE IF NOT EXISTS TableColor (
  ID          INTEGER PRIMARY KEY,
  ColorNumber TEXT COLLATE NOCASE,
  ColorName   TEXT COLLATE NOCASE,
  R INTEGER, G INTEGER, B INTEGER
);
CREATE INDEX IF NOT EXISTS TableColor_ColorNumber ON TableColor(ColorNumber);

CREATE TABLE IF NOT EXISTS TableColor300 (
  ID          INTEGER PRIMARY KEY,
  ColorNumber TEXT COLLATE NOCASE,
  ColorName   TEXT COLLATE NOCASE,
  R INTEGER, G INTEGER, B INTEGER
);

CREATE TABLE IF NOT EXISTS TableColorTj (
  ID          INTEGER PRIMARY KEY,
  ColorNumber TEXT COLLATE NOCASE,
  ColorName   TEXT COLLATE NOCASE,
  R INTEGER, G INTEGER, B INTEGER
);

CREATE TABLE IF NOT EXISTS TableSuperUser (
  SUserID          INTEGER,
  SUserName        TEXT COLLATE NOCASE,
  SUserFullName    TEXT,
  SUserPassWord    TEXT,
  SUserDescription TEXT
);

CREATE TABLE IF NOT EXISTS TableUser (
  UserID       INTEGER PRIMARY KEY,
  UserName     TEXT COLLATE NOCASE,
  UserPassWord TEXT,
  UserPower    TEXT
);
)SQL";

struct NewColumn {
    const char* name;
    const char* definition;
};

// Adds the columns an older table lacks; a missing table is left to the script.
Status AddMissingColumns(const SqlDatabase& db, const char* table, std::initializer_list<NewColumn> columns) {
    if (!db.hasTable(table)) return Status::Ok();
    for (const NewColumn& c : columns)
        if (!db.hasColumn(table, c.name))
            if (Status s = db.execute(std::string("ALTER TABLE ") + table + " ADD " + c.name + " " + c.definition); !s)
                return s;
    return Status::Ok();
}

}  // namespace

Status CreateProductSchema(const SqlDatabase& db) {
    // One transaction: a half-made schema never stays behind, and the
    // tables cost one sync instead of one each.
    SqlTransaction transaction(db);
    if (!transaction.began()) return transaction.began();
    if (Status s = EnsureSampleColumns(db); !s) return s;
    if (Status s = EnsurePartsColumns(db); !s) return s;
    if (Status s = db.executeScript(kSchemaScript); !s) return s;
    return transaction.commit();
}

Status EnsureSampleColumns(const SqlDatabase& db) {
    return AddMissingColumns(db, "TableSample", {{"SampleCode", "INTEGER"}, {"SampleType", "INTEGER"}});
}

Status EnsurePartsColumns(const SqlDatabase& db) {
    return AddMissingColumns(db, "TableParts",
                             {{"PartsPerBox", "INTEGER DEFAULT 0"},
                              {"PartsUnit", "TEXT DEFAULT 'piece'"},
                              {"PatternRepeat", "INTEGER DEFAULT 0"}});
}

}  // namespace v2d
