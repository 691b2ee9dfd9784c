#include "templates/template_pages.h"

#include <system_error>

#include "base/atomic_file.h"
#include "base/picture_codec.h"

namespace v2d {
namespace fs = std::filesystem;

namespace {
// Thumbnail files are small; anything larger is not one.
constexpr uint64_t kMaxThumbnailBytes = 32u << 20;
constexpr int kTileLongestSide = 200;
}  // namespace

std::string TemplateFileName(const TemplateRow& row) {
    return std::to_string(row.SampleCode ? *row.SampleCode : row.SampleID);
}

TemplateFiles TemplateFilesOf(const fs::path& programFolder, const std::string& name) {
    return TemplateFiles{programFolder / kTemplateSchemeFolder / (name + ".v2d"),
                         programFolder / kTemplateThumbnailFolder / (name + ".jpg")};
}

int TemplatePageCount(int64_t rows, int pageSize) {
    if (rows <= 0 || pageSize <= 0) return 0;
    return static_cast<int>((rows + pageSize - 1) / pageSize);
}

Result<TemplatePage> ReadTemplatePage(Db& dm, const TemplateFilter& filter, int page, int pageSize) {
    Result<int64_t> count = CountTemplates(dm, filter);
    if (!count) return Error{count.error()};
    TemplatePage result;
    result.page = page;
    result.pages = TemplatePageCount(*count, pageSize);
    if (*count == 0) return result;
    const int64_t skipped = (static_cast<int64_t>(page) - 1) * pageSize;
    if (page < 1 || *count < skipped + 1) {
        result.outcome = PageOutcome::Missing;
        return result;
    }
    Result<std::vector<TemplateRow>> rows = ReadTemplateRange(dm, filter, skipped, pageSize);
    if (!rows) return Error{rows.error()};
    result.outcome = PageOutcome::Shown;
    result.rows = std::move(*rows);
    return result;
}

QImage ReadTemplatePicture(const TemplatePictureJob& job) {
    if (!job.SamplePic.empty()) {
        QImage picture = DecodeJpegForSize(job.SamplePic, kTileLongestSide);
        return picture.isNull() ? DecodePicture(job.SamplePic) : picture;
    }
    std::error_code error;
    if (job.thumbnailFile.empty() || !fs::is_regular_file(job.thumbnailFile, error)) return {};
    const std::optional<Bytes> bytes = ReadWholeFile(job.thumbnailFile, kMaxThumbnailBytes);
    if (!bytes) return {};
    QImage picture = DecodeJpegForSize(*bytes, kTileLongestSide);
    return picture.isNull() ? DecodePicture(*bytes) : picture;
}

TemplatePictureLoader::TemplatePictureLoader(QObject* parent) : QObject(parent) {}

TemplatePictureLoader::~TemplatePictureLoader() { Stop(); }

int TemplatePictureLoader::Start(std::vector<TemplatePictureJob> jobs) {
    Stop();
    const int batch = ++batch_;
    worker_.Start([this, batch, jobs = std::move(jobs)](const CancelToken& cancel) {
        for (size_t i = 0; i < jobs.size(); ++i) {
            if (cancel.cancelled()) return;
            emit pictureReady(batch, static_cast<int>(i), ReadTemplatePicture(jobs[i]));
        }
    });
    return batch;
}

void TemplatePictureLoader::Stop() {
    worker_.Cancel();
    worker_.Wait();
}

void TemplatePictureLoader::Finish() { worker_.Wait(); }

}  // namespace v2d
