#pragma once
// The product browser's pictures: which file a product's thumbnail and its
// details picture come from, the fit of a picture into a thumbnail cell, and
// a loader that makes a list's thumbnails on the thread pool so the list can
// be used while they arrive.
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/result.h"
#include "base/thread_pool.h"
#include "library/product_queries.h"

namespace v2d {

inline constexpr int kThumbnailCellSide = 80;

// Where a picture lands in its cell: the size (aspect kept, neither side
// below 2 pixels) and the top-left corner, fractions dropped. An empty
// picture lands nowhere (all zero).
struct CellFit {
    int left = 0, top = 0, width = 0, height = 0;
};
CellFit FitIntoCell(QSize picture, QSize cell = {kThumbnailCellSide, kThumbnailCellSide});

// A white cell with the picture drawn fitted into it; a null picture gives
// the empty cell.
QImage MakeThumbnailCell(const QImage& picture, QSize cell = {kThumbnailCellSide, kThumbnailCellSide});

// The library reads no model files itself; the caller hands in the reader
// of a model file's preview.
using ModelPreviewReader = std::function<QImage(const std::filesystem::path&)>;

struct ProductPictureSource {
    std::filesystem::path programFolder;
    ModelPreviewReader modelPreview;  // may be empty: models then have no preview
};

// What a list item needs for its thumbnail.
struct ThumbnailJob {
    std::string PartsName;
    std::string PartsNumber;
    ProductKind kind = ProductKind::Material;
};

// The thumbnail's picture: product/xjpg/<number>.jpg (the name when the
// number is empty), else a material's .h2d map or a model's preview. Null
// when there is none; an unreadable map comes back as its message.
Result<QImage> ReadThumbnailPicture(const ProductPictureSource& source, const ThumbnailJob& product,
                                    int longestSide = kThumbnailCellSide);

// The details picture: product/jpg/<number>.jpg, else for a material the
// .h2d map (the name when the number is empty), then the maps .jpg; for a
// model the xjpg thumbnail, then the model file's preview.
Result<QImage> ReadDetailsPicture(const ProductPictureSource& source, const ThumbnailJob& product);

// Makes the thumbnail cells of one list at a time as a job on the pool and
// hands each back, in list order, through thumbnailReady (queued to the
// receiver's thread). Starting a new list or destroying the loader cancels
// the job and waits for it first.
class ProductThumbnailLoader : public QObject {
    Q_OBJECT
public:
    explicit ProductThumbnailLoader(ProductPictureSource source, QObject* parent = nullptr);
    ~ProductThumbnailLoader() override;

    // Returns the number of this list; cells of older lists that are still
    // queued carry their own number and are to be ignored.
    int Start(std::vector<ThumbnailJob> jobs);
    // Stops the worker and joins it.
    void Stop();
    // Joins the worker once it has made every cell of its list.
    void Finish();
    int batch() const { return batch_; }

signals:
    // `message` is a map's error text, else empty; `cell` is then the empty cell.
    void thumbnailReady(int batch, int index, const QImage& cell, const QString& message);
    void batchFinished(int batch);

private:
    void Run(const CancelToken& cancel, int batch, const std::vector<ThumbnailJob>& jobs);

    ProductPictureSource source_;
    int batch_ = 0;
    PoolTask worker_;  // last: it goes first, while the rest is still there
};

}  // namespace v2d
