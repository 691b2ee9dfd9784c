#include "library/product_maintenance.h"

#include <algorithm>
#include <memory>
#include <random>
#include <set>

#include "base/atomic_file.h"
#include "base/parallel_for.h"
#include "base/picture_codec.h"
#include "library/internal/read_rows.h"
#include "library/product_pictures.h"
#include "library/pub_functions.h"

namespace v2d {

namespace fs = std::filesystem;

namespace {

// Rows go in under one transaction per this many products: a bulk add does
// not sync the file once per row, and an error keeps what came before.
constexpr size_t kRowsPerTransaction = 64;
// Pictures are copied and thumbnailed this many at a time across the cores.
constexpr size_t kFilesPerRound = 16;
constexpr int kThumbnailQuality = 90;

std::string LowerExtension(const fs::path& file) {
    std::string ext = file.extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

bool SamePath(const fs::path& a, const fs::path& b) {
    std::error_code error;
    if (fs::exists(a, error) && fs::exists(b, error)) return fs::equivalent(a, b, error);
    return a.lexically_normal() == b.lexically_normal();
}

void RemoveQuietly(const fs::path& file) {
    std::error_code error;
    fs::remove(file, error);
}

// The picture files of one new product; on failure nothing of them stays.
struct PictureJob {
    ProductSource source;
    ProductRow row;
    std::vector<fs::path> written;
    std::string failure;
};

void WritePictures(const fs::path& folder, PictureJob& job) {
    const ProductPicturePaths paths = PicturePathsOf(folder, job.row.PartsNumber);
    const std::optional<Bytes> bytes = ReadWholeFile(job.source.file);
    if (!bytes) {
        job.failure = "文件打不开。";
        return;
    }
    // Strict: a cut or corrupt picture is refused before anything is filed.
    const QImage small = DecodeJpegForSize(*bytes, kProductThumbnailSide, PictureCheck::Strict);
    if (small.isNull()) {
        job.failure = SniffPicture(*bytes) == PictureKind::Jpeg ? kMsgPictureDamaged + job.source.file.filename().string()
                                                               : "不是jpg图片。";
        return;
    }
    const QImage thumbnail =
        small.scaled(kProductThumbnailSide, kProductThumbnailSide, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const std::optional<Bytes> thumbnailJpeg = EncodeJpeg(thumbnail, kThumbnailQuality);
    auto write = [&](const fs::path& target, const Bytes& data) {
        // Filing the editor's map: the source already is the target.
        if (SamePath(job.source.file, target)) return true;
        if (!WriteFileAtomically(target, data)) return false;
        job.written.push_back(target);
        return true;
    };
    if (!thumbnailJpeg || !write(paths.photo, *bytes) || !write(paths.mapJpeg, *bytes) ||
        !write(paths.thumbnail, *thumbnailJpeg)) {
        job.failure = "图片复制失败。";
        for (const fs::path& f : job.written) RemoveQuietly(f);
        job.written.clear();
    }
}

}  // namespace

int RandomNumberMiddle() {
    std::random_device device;
    return std::uniform_int_distribution<int>(0, 9999)(device);
}

bool IsSafeProductNumber(const std::string& number) {
    if (number.empty() || number == "." || number == "..") return false;
    return std::none_of(number.begin(), number.end(), [](char c) {
        return c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
}

std::string ProductNameOfFile(const fs::path& file) {
    const std::string name = file.filename().string();
    return name.substr(0, name.find('.'));
}

Status CheckMaterialSubCategory(Db& dm, int64_t psTypeID) {
    Result<std::optional<int>> kind = ReadSubCategoryKind(dm, psTypeID);
    if (!kind) return Error{kind.error()};
    if (!kind->has_value()) return Error{kMsgChooseSubCategoryFirst};
    if (**kind != static_cast<int>(ProductKind::Material)) return Error{kMsgMaterialCategoryOnly};
    return Status::Ok();
}

Status CheckJpegFiles(const std::vector<fs::path>& files) {
    for (const fs::path& f : files)
        if (LowerExtension(f) != ".jpg") return Error{kMsgJpegOnly};
    return Status::Ok();
}

Result<AddProductsReport> AddProducts(Db& dm, int64_t psTypeID, const std::vector<ProductSource>& sources,
                                      const NewProductFields& fields, int random, const AddProgress& progress) {
    if (Status target = CheckMaterialSubCategory(dm, psTypeID); !target) return target.failure();
    Result<int64_t> firstID = dm.GetNewID("TableParts", "PartsID");
    if (!firstID) return Error{firstID.error()};
    const fs::path folder = dm.programFolder();
    for (const char* sub : {"product/jpg", "product/maps", "product/xjpg"}) {
        std::error_code error;
        fs::create_directories(folder / sub, error);
    }

    // A product whose unit is not given is priced as its category's are.
    Result<PriceUnit> categoryUnit = ReadCategoryUnit(dm, psTypeID);
    if (!categoryUnit) return categoryUnit.failure();

    AddProductsReport report;
    std::set<std::string> numbers;  // of this run, each taken once
    std::unique_ptr<SqlTransaction> transaction;
    size_t rowsInTransaction = 0;
    for (size_t round = 0; round < sources.size(); round += kFilesPerRound) {
        const size_t end = std::min(sources.size(), round + kFilesPerRound);
        std::vector<PictureJob> jobs(end - round);
        for (size_t i = round; i < end; ++i) {
            PictureJob& job = jobs[i - round];
            job.source = sources[i];
            ProductRow& r = job.row;
            r.PartsID = *firstID + static_cast<int64_t>(i);
            r.PartsNumber = job.source.number.empty() ? std::to_string(r.PartsID) + "-" + std::to_string(random) +
                                                            "-" + std::to_string(i + 1)
                                                      : job.source.number;
            r.PartsName = job.source.name.empty() ? ProductNameOfFile(job.source.file) : job.source.name;
            r.PartsSpecs = job.source.specs;
            r.PartsPrice = job.source.price;
            r.PartsPerBox = std::max(0, job.source.piecesPerBox);
            r.PartsUnit = job.source.unit.value_or(*categoryUnit);
            r.PatternRepeat = std::clamp(job.source.patternRepeat, 0, kMaxPatternRepeatMm);
            r.CUintID = 4;
            r.CompID = 0;
            r.StyleID = 1;
            r.PSTypeID = psTypeID;
            r.SalesID = fields.SalesID;
            r.MatTypeID = fields.MatTypeID;
            if (!IsValidUtf8(r.PartsNumber) || !IsValidUtf8(r.PartsName) || !IsValidUtf8(r.PartsSpecs)) {
                job.failure = kMsgNotUtf8;
            } else if (!IsSafeProductNumber(r.PartsNumber)) {
                job.failure = kMsgNumberNotAFileName;
            } else if (!numbers.insert(r.PartsNumber).second) {
                job.failure = kMsgNumberTaken;  // its files would overwrite another's
            } else if (Result<std::optional<ProductRow>> taken = FindProductByNumber(dm, r.PartsNumber); !taken) {
                job.failure = taken.error();
            } else if (taken->has_value()) {
                job.failure = kMsgNumberTaken;
            }
        }
        ParallelFor(jobs.size(), [&](size_t i) {
            if (jobs[i].failure.empty()) WritePictures(folder, jobs[i]);
        });
        for (size_t i = 0; i < jobs.size(); ++i) {
            PictureJob& job = jobs[i];
            if (job.failure.empty()) {
                if (!transaction) {
                    transaction = std::make_unique<SqlTransaction>(dm.connection());
                    rowsInTransaction = 0;
                }
                if (Status inserted = InsertProduct(dm, job.row); !inserted) {
                    job.failure = inserted.error();
                    for (const fs::path& f : job.written) RemoveQuietly(f);
                } else if (++rowsInTransaction == kRowsPerTransaction) {
                    if (Status committed = transaction->commit(); !committed) return committed.failure();
                    transaction.reset();
                }
            }
            if (job.failure.empty())
                report.added.push_back({job.source.file, job.row});
            else
                report.failed.push_back({job.source.file, job.failure});
            if (progress) progress(round + i, sources.size(), report);
        }
    }
    if (transaction)
        if (Status committed = transaction->commit(); !committed) return committed.failure();
    return report;
}

std::string FailedProductLine(const FailedProduct& failed) {
    // A damaged picture's reason names the file already.
    if (failed.reason.starts_with(kMsgPictureDamaged)) return failed.reason;
    return failed.file.filename().string() + "：" + failed.reason;
}

std::string AddedMessage(const AddProductsReport& report) {
    // Nothing added: the reasons alone, without "0 个产品添加完毕！".
    std::string text = report.added.empty() && !report.failed.empty()
                           ? std::string()
                           : std::to_string(report.added.size()) + kMsgProductsAdded;
    for (const FailedProduct& f : report.failed) {
        if (!text.empty()) text += "\n";
        text += FailedProductLine(f);
    }
    return text;
}

Result<bool> UpdateProduct(Db& dm, int64_t partsID, const ProductCorrection& c) {
    if (c.PartsName.empty()) return Error{kMsgProductNameEmpty};
    if (c.PartsPerBox < 0) return Error{kMsgPiecesPerBoxNegative};
    if (c.PatternRepeat && (*c.PatternRepeat < 0 || *c.PatternRepeat > kMaxPatternRepeatMm))
        return Error{kMsgPatternRepeatOutOfRange};
    const SqlDatabase& db = dm.connection();
    if (Status done = db.execute("update TableParts set PartsName=?,PartsSpecs=?,PartsPrice=?,SalesID=?,MatTypeID=?,"
                                 "PartsPerBox=?,PartsUnit=?,PatternRepeat=coalesce(?,PatternRepeat) where PartsID=?",
                                 {SqlText(c.PartsName), SqlText(c.PartsSpecs), SqlValue(c.PartsPrice),
                                  SqlInt(c.SalesID), SqlInt(c.MatTypeID), SqlInt(c.PartsPerBox),
                                  SqlText(std::string(PriceUnitWord(c.PartsUnit))),
                                  c.PatternRepeat ? SqlInt(*c.PatternRepeat) : SqlValue(), SqlInt(partsID)});
        !done)
        return Error{done.error()};
    return db.changes() > 0;
}

Result<std::vector<std::string>> DeleteProducts(Db& dm, const std::vector<int64_t>& partsIDs) {
    const SqlDatabase& db = dm.connection();
    const fs::path folder = dm.programFolder();
    std::vector<std::string> cleared;
    for (int64_t id : partsIDs) {
        Result<std::vector<std::string>> numbers = ReadRows<std::string>(
            dm, "select PartsNumber from TableParts where PartsID=?", {SqlInt(id)},
            [](const SqlStatement& s) { return s.columnText(0); });
        if (!numbers) return Error{numbers.error()};
        if (Status deleted = db.execute("delete from TableParts where PartsID=?", {SqlInt(id)}); !deleted)
            return Error{deleted.error()};
        if (numbers->empty()) continue;
        const std::string& number = numbers->front();
        if (!IsSafeProductNumber(number)) continue;
        Result<std::vector<int64_t>> others = ReadRows<int64_t>(
            dm, "select count(*) from TableParts where PartsNumber=?", {SqlText(number)},
            [](const SqlStatement& s) { return s.columnInt(0); });
        if (!others) return Error{others.error()};
        if (!others->empty() && others->front() > 0) continue;
        const ProductPicturePaths paths = PicturePathsOf(folder, number);
        for (const fs::path& f : {paths.photo, paths.thumbnail, paths.mapJpeg}) RemoveQuietly(f);
        // A model's pictures: exactly number + one extension.
        std::error_code error;
        for (const fs::directory_entry& e : fs::directory_iterator(folder / "product/models", error)) {
            const fs::path name = e.path().filename();
            if (e.is_regular_file(error) && name.has_extension() && name.stem().string() == number)
                RemoveQuietly(e.path());
        }
        cleared.push_back(number);
    }
    return cleared;
}

Status MoveProducts(Db& dm, const std::vector<int64_t>& partsIDs, int64_t psTypeID, bool targetIsMainCategory) {
    if (targetIsMainCategory) return Error{kMsgNotIntoMainCategory};
    Result<std::optional<int>> kind = ReadSubCategoryKind(dm, psTypeID);
    if (!kind) return Error{kind.error()};
    if (!kind->has_value()) return Error{kMsgNotIntoMainCategory};
    SqlTransaction transaction(dm.connection());
    for (int64_t id : partsIDs)
        if (Status moved = dm.connection().execute("update TableParts set PSTypeID=? where PartsID=?",
                                                   {SqlInt(psTypeID), SqlInt(id)});
            !moved)
            return moved;
    return transaction.commit();
}

}  // namespace v2d
