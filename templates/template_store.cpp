#include "templates/template_store.h"

#include <system_error>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "library/user_queries.h"
#include "scene/scheme_file.h"
#include "templates/template_pages.h"

namespace v2d {
namespace fs = std::filesystem;

namespace {
constexpr int kThumbnailQuality = 90;
constexpr const char* kMsgTemplateMissing = QT_TRANSLATE_NOOP("Messages", "该样板房不存在，可能数据文件丢失！");
}  // namespace

QImage TemplateThumbnail(const QImage& picture) {
    if (picture.isNull()) return {};
    return picture.scaled(kTemplateThumbnailSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

Result<int64_t> StoreTemplate(Db& dm, const fs::path& programFolder, const Scene& scene, const QImage& picture,
                              const NewTemplate& details) {
    // Everything that can fail without touching a file or the database first.
    Result<Bytes> scheme = SerializeScheme(scene);
    if (!scheme) return Error{scheme.error()};
    const std::optional<Bytes> thumbnail = EncodeJpeg(TemplateThumbnail(picture), kThumbnailQuality);
    if (!thumbnail) return Error{kMsgWriteFailed};
    std::error_code error;
    for (const char* folder : {kTemplateSchemeFolder, kTemplateThumbnailFolder}) {
        fs::create_directories(programFolder / folder, error);
        if (error) return Error{std::string(kMsgWriteFailed) + (programFolder / folder).string()};
    }

    SqlTransaction transaction(dm.connection());
    if (!transaction.began()) return transaction.began().failure();
    Result<int64_t> id = InsertTemplate(dm, details.name, details.roomTypeID, details.styleID);
    if (!id) return id.failure();
    const TemplateFiles files = TemplateFilesOf(programFolder, std::to_string(*id));
    auto removeFiles = [&] {
        fs::remove(files.scheme, error);
        fs::remove(files.thumbnail, error);
    };
    if (!WriteFileAtomically(files.scheme, *scheme) || !WriteFileAtomically(files.thumbnail, *thumbnail)) {
        removeFiles();
        return Error{std::string(kMsgWriteFailed) + files.scheme.parent_path().string()};
    }
    if (Status committed = transaction.commit(); !committed) {
        removeFiles();
        return committed.failure();
    }
    return *id;
}

Status RemoveTemplate(Db& dm, const fs::path& programFolder, int64_t sampleID) {
    Result<std::optional<TemplateRow>> row = ReadTemplate(dm, sampleID);
    if (!row) return row.failure();
    if (!row->has_value()) return Error{kMsgTemplateMissing};
    if (Status deleted = DeleteTemplate(dm, sampleID); !deleted) return deleted;
    // The row is gone first: a file that cannot be removed leaves litter, never
    // a listed template without its scheme.
    const TemplateFiles files = TemplateFilesOf(programFolder, TemplateFileName(**row));
    std::error_code error;
    fs::remove(files.thumbnail, error);
    fs::remove(files.scheme, error);
    return Status::Ok();
}

}  // namespace v2d
