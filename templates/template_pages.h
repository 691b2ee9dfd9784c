#pragma once
// The local template browser without its window: the templates' file
// names, one page of the browser's order, and a loader that decodes a page's
// thumbnails on the thread pool so the page can be shown at once.
#include <QImage>
#include <QObject>

#include <filesystem>
#include <string>
#include <vector>

#include "base/thread_pool.h"
#include "library/user_queries.h"

namespace v2d {

inline constexpr int kTemplatePageSize = 6;
inline constexpr const char* kTemplateSchemeFolder = "temple/local";
inline constexpr const char* kTemplateThumbnailFolder = "temple/TempData";

// A template's files are named by its SampleCode when it has one, else by its
// SampleID (rows merged from an update database have no code).
std::string TemplateFileName(const TemplateRow& row);

struct TemplateFiles {
    std::filesystem::path scheme;     // temple/local/<name>.v2d
    std::filesystem::path thumbnail;  // temple/TempData/<name>.jpg
};
TemplateFiles TemplateFilesOf(const std::filesystem::path& programFolder, const std::string& name);

// Whole pages for this many rows (13 rows of 6 make 3 pages).
int TemplatePageCount(int64_t rows, int pageSize = kTemplatePageSize);

enum class PageOutcome {
    Shown,    // the page exists; `rows` holds its templates
    NoRows,   // nothing matches the filters
    Missing,  // the page lies beyond the last one (or before the first)
};

struct TemplatePage {
    PageOutcome outcome = PageOutcome::NoRows;
    int page = 0;   // the page asked for
    int pages = 0;  // page count of the matching rows
    std::vector<TemplateRow> rows;
};

// ShowPage's query: the matching templates newest first, only page `page`'s
// rows read.
Result<TemplatePage> ReadTemplatePage(Db& dm, const TemplateFilter& filter, int page,
                                      int pageSize = kTemplatePageSize);

// A tile's picture: the JPEG in SamplePic when the row has one, else the
// thumbnail file when it exists.
struct TemplatePictureJob {
    Blob SamplePic;
    std::filesystem::path thumbnailFile;
};
// Null when there is no picture or it does not decode.
QImage ReadTemplatePicture(const TemplatePictureJob& job);

// Decodes one page's pictures at a time on the pool and hands each back
// through pictureReady (queued to the receiver's thread). A new page, or the
// loader's end, stops and joins the worker first.
class TemplatePictureLoader : public QObject {
    Q_OBJECT
public:
    explicit TemplatePictureLoader(QObject* parent = nullptr);
    ~TemplatePictureLoader() override;
    // The page's number; pictures of older pages carry theirs.
    int Start(std::vector<TemplatePictureJob> jobs);
    void Stop();
    // Waits until the current page's pictures are all handed over.
    void Finish();
    int batch() const { return batch_; }

signals:
    void pictureReady(int batch, int index, const QImage& picture);

private:
    int batch_ = 0;
    PoolTask worker_;  // last: it goes first, while the rest is still there
};

}  // namespace v2d
