// Update databases: files of the same form as the product database, dropped
// into updatedb/ and merged at start-up. One transaction covers a whole
// file, all or nothing; the scheme files of its templates go to
// temple/local and go again when the file is not taken.
#include <QString>

#include <algorithm>
#include <system_error>

#include "base/background_file_writer.h"
#include "base/picture_codec.h"
#include "library/data_module.h"
#include "library/pub_functions.h"
#include "library/sql_query.h"

namespace v2d {

namespace {

inline constexpr const char* kMsgUpdateNotMerged = "更新数据库没有合并：";

// Reads "SELECT * FROM table" of the update database: false when the file
// has no such table, the error when it cannot be read.
Result<bool> OpenBackupTable(const SqlDatabase& backup, SqlQuery& query, const char* table) {
    if (!backup.hasTable(table)) return false;
    query.SetText(std::string("SELECT * FROM ") + table);
    if (Status s = query.Open(); !s) return Error{s.error()};
    return true;
}

// True when the local table already holds an identifier >= id.
Result<bool> HasIdAtLeast(const SqlDatabase& db, const char* table, const char* column,
                          int64_t id) {
    Result<SqlStatement> s = db.prepare(std::string("select 1 from ") + table + " where " +
                                        column + ">=? limit 1");
    if (!s) return Error{s.error()};
    if (Status b = s->bindInt(1, id); !b) return Error{b.error()};
    return s->step();
}

// Copies the rows of a keyed table whose identifier is larger than every
// local one. Later rows see the rows taken before them, as each insert was
// posted on its own.
Result<int> MergeKeyedTable(const SqlDatabase& local, SqlQuery& backup, const char* table,
                            const char* key, const std::vector<const char*>& columns) {
    std::string insert = std::string("insert into ") + table + "(";
    std::string marks;
    for (size_t i = 0; i < columns.size(); ++i) {
        insert += (i ? "," : "") + std::string(columns[i]);
        marks += i ? ",?" : "?";
    }
    insert += ") values(" + marks + ")";

    int added = 0;
    for (; !backup.Eof(); ) {
        SqlField id = backup.FieldByName(key);
        if (id.exists() && !id.IsNull()) {
            Result<bool> taken = HasIdAtLeast(local, table, key, id.AsInteger());
            if (!taken) return Error{taken.error()};
            if (!*taken) {
                std::vector<SqlValue> values;
                for (const char* column : columns) {
                    SqlField f = backup.FieldByName(column);
                    values.push_back(std::string(column) == key ? SqlValue(id.AsInteger())
                                                                : f.AsValue());
                }
                if (Status s = local.execute(insert, values); !s) return Error{s.error()};
                ++added;
            }
        }
        if (Status s = backup.Next(); !s) return Error{s.error()};
    }
    return added;
}

// Adds every template row of the update file, whatever its number; its
// scheme goes to localFolder/<new SampleID>.v2d, written while the next row
// is read. The text of an error stops the merge.
std::optional<std::string> MergeTemplates(const SqlDatabase& local, SqlQuery& backup,
                                          const std::filesystem::path& localFolder, MergeReport& report,
                                          BackgroundFileWriter& files,
                                          std::vector<std::filesystem::path>& written) {
    Result<SqlStatement> insert = local.prepare(
        "insert into TableSample(StyleID,RoomTypeID,SampleName,SampleType,SamplePic) "
        "values(?,?,?,?,?)");
    if (!insert) return insert.error();
    for (; !backup.Eof();) {
        insert->reset();
        const char* copied[] = {"StyleID", "RoomTypeID", "SampleName", "SampleType", "SamplePic"};
        for (int i = 0; i < 5; ++i)
            if (Status s = insert->bind(i + 1, backup.FieldByName(copied[i]).AsValue()); !s) return s.error();
        if (Status s = insert->run(); !s) return s.error();
        const int64_t sampleId = local.lastInsertRowId();

        Blob scheme = backup.FieldByName("SampleData").AsBlob();
        if (!scheme.empty()) {
            std::error_code ec;
            std::filesystem::create_directories(localFolder, ec);
            const auto target = localFolder / (std::to_string(sampleId) + ".v2d");
            written.push_back(target);
            if (!files.Write(target, std::move(scheme))) break;  // Finish names the file that failed
        }
        ++report.templatesAdded;
        report.newSampleIDs.push_back(sampleId);
        if (Status s = backup.Next(); !s) return s.error();
    }
    return std::nullopt;
}

// A template row as the merge's refusal names it: its name, a long one cut.
std::string RowName(const std::string& name) {
    constexpr size_t kShown = 20;
    if (CharacterCount(name) <= kShown) return "模板“" + name + "”";
    size_t end = 0;
    for (size_t chars = 0; end < name.size(); ++end)
        if ((static_cast<unsigned char>(name[end]) & 0xC0) != 0x80 && chars++ == kShown) break;
    return "模板“" + name.substr(0, end) + "…”";
}

// Every template the file would install, read before any is: its name is a
// text the column holds, its picture a whole JPEG, its scheme one the
// program opens. The reason the first that is not fails, naming its row.
std::optional<std::string> CheckTemplates(SqlQuery& backup, const SchemeCheck& readsAsScheme) {
    for (; !backup.Eof();) {
        const SqlField nameField = backup.FieldByName("SampleName");
        const std::string name = nameField.AsString();
        if (!IsValidUtf8(name)) return "模板的名称" + std::string(kMsgNotUtf8);
        if (CharacterCount(name) > kTemplateNameLimit)
            return RowName(name) + "的名称超过 " + std::to_string(kTemplateNameLimit) + " 个字。";
        const Blob picture = backup.FieldByName("SamplePic").AsBlob();
        if (!picture.empty() && DecodeJpeg(picture, PictureCheck::Strict).isNull())
            return RowName(name) + "的缩略图不是完整的 JPEG 图片。";
        const Blob scheme = backup.FieldByName("SampleData").AsBlob();
        if (!scheme.empty() && !readsAsScheme(scheme)) return RowName(name) + "的方案文件读不出。";
        if (Status s = backup.Next(); !s) return s.error();
    }
    return std::nullopt;
}

// Keeps every page of a merge in memory until it commits, so a merge that
// is taken back leaves the database file exactly as it was.
class NoCacheSpill {
public:
    explicit NoCacheSpill(const SqlDatabase& db) : db_(db) { (void)db_.execute("PRAGMA cache_spill=OFF"); }
    ~NoCacheSpill() { (void)db_.execute("PRAGMA cache_spill=ON"); }
    NoCacheSpill(const NoCacheSpill&) = delete;
    NoCacheSpill& operator=(const NoCacheSpill&) = delete;

private:
    const SqlDatabase& db_;
};

void RemoveFiles(const std::vector<std::filesystem::path>& files) {
    for (const auto& f : files) {
        std::error_code ec;
        std::filesystem::remove(f, ec);
    }
}

}  // namespace

Result<MergeReport> TDataModule_Manager::MergeUpdateDatabase(const std::filesystem::path& file,
                                                              const SchemeCheck& readsAsScheme) {
    MergeReport report;
    Result<SqlDatabase> opened = SqlDatabase::Open(file, backupPassword_, OpenMode::ReadOnly);
    if (!opened) return report;  // another password or not a database: skipped silently
    // The update file's connection and its cursor live only for this merge;
    // the cursor goes first.
    const SqlDatabase DbConBackup = std::move(*opened);
    SqlQuery QyBackup(DbConBackup);

    // Nothing is installed before every template has been read.
    for (const char* table : {"TableStyle", "TableRoomType", "TableSample"})
        if (!DbConBackup.hasTable(table)) return report;
    if (Result<bool> found = OpenBackupTable(DbConBackup, QyBackup, "TableSample"); !found)
        return Error{kMsgUpdateNotMerged + file.string() + "，" + found.error()};
    const std::optional<std::string> unreadable = CheckTemplates(QyBackup, readsAsScheme);
    QyBackup.Close();
    if (unreadable) return Error{kMsgUpdateNotMerged + file.string() + "，" + *unreadable};

    const NoCacheSpill inMemory(ADOConnection1);
    SqlTransaction transaction(ADOConnection1);
    if (!transaction.began()) return Error{transaction.began().error()};
    std::vector<std::filesystem::path> written;
    BackgroundFileWriter files;
    // All or nothing: a file that lacks a table or fails part-way leaves
    // the database and the template folder as they were.
    auto takeBack = [&](std::optional<std::string> error) -> Result<MergeReport> {
        QyBackup.Close();
        files.Finish();
        RemoveFiles(written);
        if (error) return Error{kMsgUpdateNotMerged + file.string() + "，" + *error};
        return MergeReport{};
    };
    auto open = [&](const char* table) -> std::optional<Result<MergeReport>> {
        Result<bool> found = OpenBackupTable(DbConBackup, QyBackup, table);
        if (!found) return takeBack(found.error());
        if (!*found) return takeBack(std::nullopt);
        return std::nullopt;
    };

    if (auto stop = open("TableStyle")) return std::move(*stop);
    Result<int> styles =
        MergeKeyedTable(ADOConnection1, QyBackup, "TableStyle", "StyleID", {"StyleID", "StyleName"});
    if (!styles) return takeBack(styles.error());
    report.stylesAdded = *styles;

    if (auto stop = open("TableRoomType")) return std::move(*stop);
    Result<int> rooms = MergeKeyedTable(ADOConnection1, QyBackup, "TableRoomType", "RTypeID",
                                        {"RTypeID", "RTypeFatherID", "RTypeName"});
    if (!rooms) return takeBack(rooms.error());
    report.roomTypesAdded = *rooms;

    if (auto stop = open("TableSample")) return std::move(*stop);
    if (std::optional<std::string> error =
            MergeTemplates(ADOConnection1, QyBackup, programFolder_ / "temple" / "local", report, files, written))
        return takeBack(error);
    if (const std::optional<std::filesystem::path> failed = files.Finish())
        return takeBack("写文件失败。" + failed->string());
    QyBackup.Close();
    if (Status s = transaction.commit(); !s) return takeBack(s.error());
    report.merged = true;
    return report;
}

std::vector<std::filesystem::path> ListUpdateDatabases(const std::filesystem::path& folder) {
    struct Entry {
        std::filesystem::path path;
        std::filesystem::file_time_type time;
    };
    std::vector<Entry> entries;
    std::error_code ec;
    for (const auto& item : std::filesystem::directory_iterator(folder, ec)) {
        std::error_code itemError;
        if (!item.is_regular_file(itemError)) continue;
        // The folder came from a system whose file names ignore case.
        if (QString::fromStdString(item.path().extension().string()).toLower() != ".cdb") continue;
        entries.push_back({item.path(), item.last_write_time(itemError)});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.time != b.time) return a.time > b.time;
        return a.path.filename() < b.path.filename();
    });
    std::vector<std::filesystem::path> files;
    for (auto& e : entries) files.push_back(std::move(e.path));
    return files;
}

UpdateFolderReport MergeUpdateFolder(TDataModule_Manager& dm, const SchemeCheck& readsAsScheme,
                                     const CancelToken& cancel, const Progress& progress) {
    UpdateFolderReport result;
    const std::filesystem::path folder = dm.programFolder() / kUpdateFolder;
    result.files = ListUpdateDatabases(folder);
    std::vector<std::filesystem::path> failed;  // and those not reached: they stay
    for (size_t i = 0; i < result.files.size(); ++i) {
        const std::filesystem::path& file = result.files[i];
        if (cancel.cancelled()) {
            result.cancelled = true;
            failed.insert(failed.end(), result.files.begin() + static_cast<std::ptrdiff_t>(i), result.files.end());
            break;
        }
        Result<MergeReport> merged = dm.MergeUpdateDatabase(file, readsAsScheme);
        if (merged) {
            result.reports.push_back(std::move(*merged));
        } else {
            result.reports.push_back({});
            result.errors.push_back(merged.error());
            failed.push_back(file);
        }
        if (progress) progress(static_cast<int>(100 * (i + 1) / result.files.size()));
    }
    // Every update file goes, merged or skipped, so none is merged twice; a
    // file that failed part-way was taken back and stays for another try.
    for (const auto& file : ListUpdateDatabases(folder)) {
        if (std::find(failed.begin(), failed.end(), file) != failed.end()) continue;
        std::error_code ec;
        if (std::filesystem::remove(file, ec)) ++result.deleted;
    }
    return result;
}

}  // namespace v2d
