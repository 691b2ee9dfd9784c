#include "library/product_thumbnails.h"

#include <QPainter>

#include <algorithm>
#include <system_error>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "library/product_map.h"
#include "library/product_pictures.h"

namespace v2d {

namespace {

constexpr int kMinimumSide = 2;

bool Exists(const std::filesystem::path& file) {
    std::error_code ec;
    return std::filesystem::is_regular_file(file, ec);
}

// Files named by the number take the name when a product has no number.
std::string FileStem(const ThumbnailJob& product) {
    return product.PartsNumber.empty() ? product.PartsName : product.PartsNumber;
}

QImage ReadJpeg(const std::filesystem::path& file, int longestSide) {
    const std::optional<Bytes> bytes = ReadWholeFile(file);
    if (!bytes) return {};
    return longestSide > 0 ? DecodeJpegForSize(*bytes, longestSide) : DecodeJpeg(*bytes);
}

Result<QImage> ReadMap(const std::filesystem::path& file, int longestSide) {
    Result<ProductMap> map = LoadProductMap(file, longestSide);
    if (!map) return Error{map.error()};
    return map->picture;
}

QImage ReadModelPreviewOf(const ProductPictureSource& source, const std::filesystem::path& model) {
    if (!source.modelPreview || !Exists(model)) return {};
    return source.modelPreview(model);
}

}  // namespace

CellFit FitIntoCell(QSize picture, QSize cell) {
    if (picture.isEmpty() || cell.isEmpty()) return {};
    const double r = double(picture.width()) / picture.height();
    const double R = double(cell.width()) / cell.height();
    int width = cell.width(), height = cell.height();
    if (r > R) height = static_cast<int>(cell.width() / r);
    else if (r < R) width = static_cast<int>(cell.height() * r);
    width = std::max(width, kMinimumSide);
    height = std::max(height, kMinimumSide);
    return {static_cast<int>((cell.width() - width) * 0.5), static_cast<int>((cell.height() - height) * 0.5), width,
            height};
}

QImage MakeThumbnailCell(const QImage& picture, QSize cell) {
    QImage out(cell, QImage::Format_RGB32);
    out.fill(Qt::white);
    const CellFit fit = FitIntoCell(picture.size(), cell);
    if (fit.width == 0) return out;
    QPainter p(&out);
    p.drawImage(fit.left, fit.top,
                picture.scaled(fit.width, fit.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return out;
}

Result<QImage> ReadThumbnailPicture(const ProductPictureSource& source, const ThumbnailJob& product,
                                    int longestSide) {
    const std::filesystem::path xjpg = PicturePathsOf(source.programFolder, FileStem(product)).thumbnail;
    if (Exists(xjpg)) return ReadJpeg(xjpg, longestSide);
    const ProductPicturePaths paths = PicturePathsOf(source.programFolder, product.PartsNumber);
    if (product.kind == ProductKind::Model) return ReadModelPreviewOf(source, paths.model);
    if (!Exists(paths.map)) return QImage();
    return ReadMap(paths.map, longestSide);
}

Result<QImage> ReadDetailsPicture(const ProductPictureSource& source, const ThumbnailJob& product) {
    const ProductPicturePaths paths = PicturePathsOf(source.programFolder, product.PartsNumber);
    if (Exists(paths.photo)) return ReadJpeg(paths.photo, 0);
    if (product.kind == ProductKind::Model) {
        if (Exists(paths.thumbnail)) return ReadJpeg(paths.thumbnail, 0);
        return ReadModelPreviewOf(source, paths.model);
    }
    const std::filesystem::path map = PicturePathsOf(source.programFolder, FileStem(product)).map;
    if (Exists(map)) {
        Result<QImage> picture = ReadMap(map, 0);
        if (!picture || !picture->isNull()) return picture;
    }
    if (Exists(paths.mapJpeg)) return ReadJpeg(paths.mapJpeg, 0);
    return QImage();
}

ProductThumbnailLoader::ProductThumbnailLoader(ProductPictureSource source, QObject* parent)
    : QObject(parent), source_(std::move(source)) {}

ProductThumbnailLoader::~ProductThumbnailLoader() { Stop(); }

void ProductThumbnailLoader::Stop() {
    worker_.Cancel();
    worker_.Wait();
}

void ProductThumbnailLoader::Finish() { worker_.Wait(); }

int ProductThumbnailLoader::Start(std::vector<ThumbnailJob> jobs) {
    Stop();
    const int batch = ++batch_;
    worker_.Start([this, batch, jobs = std::move(jobs)](const CancelToken& cancel) { Run(cancel, batch, jobs); });
    return batch;
}

void ProductThumbnailLoader::Run(const CancelToken& cancel, int batch, const std::vector<ThumbnailJob>& jobs) {
    for (size_t i = 0; i < jobs.size(); ++i) {
        if (cancel.cancelled()) return;
        Result<QImage> picture = ReadThumbnailPicture(source_, jobs[i]);
        const QString message = picture ? QString() : QString::fromStdString(picture.error());
        emit thumbnailReady(batch, static_cast<int>(i), MakeThumbnailCell(picture ? *picture : QImage()), message);
    }
    emit batchFinished(batch);
}

}  // namespace v2d
