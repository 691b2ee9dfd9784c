#pragma once
// A new product database (or update database) written whole: the tables are
// made and `fill` writes into a new file beside the target inside one
// transaction; the file replaces the target only when all went well.
#include <filesystem>
#include <functional>

#include "library/sqlite_database.h"

namespace v2d {

Status CreateProductDatabaseFile(const std::filesystem::path& target,
                                 const std::function<Status(const SqlDatabase&)>& fill);

}  // namespace v2d
