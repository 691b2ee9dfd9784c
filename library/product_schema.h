#pragma once
// The tables of the product database as the program reads and writes them.
// Texts are UTF-8; text columns that are looked up compare without case, as
// the older database engine did.
#include "library/sqlite_database.h"

namespace v2d {

// Creates every missing table (and index); existing tables are left alone.
Status CreateProductSchema(const SqlDatabase& db);

// Adds SampleCode and SampleType to an older TableSample that lacks them.
Status EnsureSampleColumns(const SqlDatabase& db);

// Adds PartsPerBox (0: unknown), PartsUnit (a PriceUnitWord, "piece" when
// missing) and PatternRepeat (millimetres, 0: none) to an older TableParts
// that lacks them. (A sub-category's unit is a row of TableSubTypeUnit,
// which the schema script adds to an older file.)
Status EnsurePartsColumns(const SqlDatabase& db);

}  // namespace v2d
