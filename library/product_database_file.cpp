#include "library/product_database_file.h"

#include <system_error>

#include "library/internal/database_key.h"
#include "library/product_schema.h"

namespace v2d {

namespace fs = std::filesystem;

namespace {

// SQLite writes the file itself, so the bytes cannot go through an
// AtomicFileWriter; the same pattern by hand: a file beside the target,
// committed and closed, then renamed over it.
Status FillNewFile(const fs::path& building, const std::function<Status(const SqlDatabase&)>& fill) {
    Result<SqlDatabase> db = SqlDatabase::Open(building, kProductDatabasePassword, OpenMode::CreateIfMissing);
    if (!db) return Error{db.error()};
    if (Status s = CreateProductSchema(*db); !s) return s;
    SqlTransaction transaction(*db);
    if (!transaction.began()) return transaction.began();
    if (Status s = fill(*db); !s) return s;
    return transaction.commit();
}

}  // namespace

Status CreateProductDatabaseFile(const fs::path& target,
                                 const std::function<Status(const SqlDatabase&)>& fill) {
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    const fs::path building = fs::path(target.string() + ".new");
    fs::remove(building, ec);
    fs::remove(fs::path(building.string() + "-journal"), ec);
    if (Status filled = FillNewFile(building, fill); !filled) {
        fs::remove(building, ec);
        return filled;
    }
    fs::rename(building, target, ec);
    if (ec) {
        fs::remove(building, ec);
        return Error{"写文件失败。" + target.string()};
    }
    return Status::Ok();
}

}  // namespace v2d
