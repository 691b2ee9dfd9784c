#pragma once
// The data module: owns the connection to the product database that every
// window reads and writes through. Created once with the application, after
// the main window; lives until the end. Each call runs its own statement,
// so calls may nest.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "library/sqlite_database.h"
#include "base/cancel_token.h"
#include "base/progress.h"
#include "base/result.h"

namespace v2d {

inline constexpr const char* kProductDatabaseFile = "DB/PRODUCT.cdb";
inline constexpr const char* kUpdateFolder = "updatedb";

// The longest template name (characters) a merge takes, as the name column
// of the delivered database holds.
inline constexpr size_t kTemplateNameLimit = 255;

// Whether a scheme file held in memory opens as the program opens it; the
// scheme reader lives above the library, so the caller hands it in.
using SchemeCheck = std::function<bool(std::span<const uint8_t> scheme)>;

// What one update database brought.
struct MergeReport {
    bool merged = false;  // false: the file did not open with the password or lacked a table
    int stylesAdded = 0;
    int roomTypesAdded = 0;
    int templatesAdded = 0;
    std::vector<int64_t> newSampleIDs;  // in the order the rows were read
};

class TDataModule_Manager {
public:
    // DataModuleCreate: opens programFolder/DB/PRODUCT.cdb with the database
    // key. A file that does not open with it is refused with a message and
    // left untouched. CreateIfMissing makes a new, empty database (the
    // workspace generator); the program itself opens with ReadWrite.
    static Result<std::unique_ptr<TDataModule_Manager>> DataModuleCreate(
        const std::filesystem::path& programFolder, OpenMode mode = OpenMode::ReadWrite);
    // The same with another password (the update databases share it).
    static Result<std::unique_ptr<TDataModule_Manager>> DataModuleCreate(
        const std::filesystem::path& programFolder, OpenMode mode, std::string_view password);

    TDataModule_Manager(const TDataModule_Manager&) = delete;
    TDataModule_Manager& operator=(const TDataModule_Manager&) = delete;

    // A statement without result; an empty statement is not run and yields
    // false. Database errors come back as the error.
    Result<bool> ExecSql(std::string_view statement, std::vector<SqlValue> params = {});
    // Largest identifier of the column + 1; 1 for an empty table. Table and
    // column must be plain identifiers.
    Result<int64_t> GetNewID(std::string_view table, std::string_view column);
    // Merges one update database (styles and room types newer than every
    // local one, every template) in one transaction, all or nothing. A file
    // that cannot be opened with the password, or lacks one of the tables,
    // is skipped silently. Every template is read before any is installed:
    // a name longer than kTemplateNameLimit or not UTF-8, a thumbnail that
    // is not a whole JPEG or a scheme that `readsAsScheme` refuses stops the
    // merge with the row's name. That, a file that cannot be read to its
    // end, or rows or schemes that cannot be stored, come back as the error
    // and leave the database and temple/local as they were.
    Result<MergeReport> MergeUpdateDatabase(const std::filesystem::path& file, const SchemeCheck& readsAsScheme);

    const std::filesystem::path& programFolder() const { return programFolder_; }
    const SqlDatabase& connection() const { return ADOConnection1; }
    // Whether TableParts has PartsPerBox and PartsUnit: always after a
    // writable open, perhaps not for an older file opened read-only.
    bool hasPartsPacking() const { return hasPartsPacking_; }
    // Whether TableParts has PatternRepeat and the file TableSubTypeUnit, on
    // the same terms.
    bool hasPatternRepeat() const { return hasPatternRepeat_; }
    bool hasCategoryUnit() const { return hasCategoryUnit_; }

private:
    TDataModule_Manager(std::filesystem::path programFolder, SqlDatabase connection,
                        std::string password);

    SqlDatabase ADOConnection1;
    std::filesystem::path programFolder_;
    std::string backupPassword_;  // the update databases share the main password
    bool hasPartsPacking_ = false;
    bool hasPatternRepeat_ = false;
    bool hasCategoryUnit_ = false;
};

// The typed reads take the module under this short name.
using Db = TDataModule_Manager;

// What the start-up merge did with the update folder.
struct UpdateFolderReport {
    std::vector<std::filesystem::path> files;  // in merge order: newest first
    std::vector<MergeReport> reports;          // one per file
    std::vector<std::string> errors;           // insert errors, one text per failing file
    int deleted = 0;
    bool cancelled = false;  // the files after the last report were not reached
};

// The update databases of programFolder/updatedb in merge order: every
// "*.cdb", newest modification time first; equal times by name.
std::vector<std::filesystem::path> ListUpdateDatabases(const std::filesystem::path& folder);

// Start-up: merges every update database of the module's program folder,
// newest first, then deletes every "*.cdb" there that was merged or skipped;
// a file whose merge failed stays for another try. `cancel` is asked before
// each file: the files not reached stay, untouched, for the next start.
// `progress` moves as each file is done.
UpdateFolderReport MergeUpdateFolder(TDataModule_Manager& dm, const SchemeCheck& readsAsScheme,
                                     const CancelToken& cancel = {}, const Progress& progress = {});

}  // namespace v2d
