#include "layout/pattern_canvas.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace v2d {
namespace {

// Larger prepared tiles are drawn scaled straight from the product, cut to
// the canvas by the painter.
constexpr long long kLargestPreparedTile = 1LL << 24;

// The product turned by a quarter turn multiple, resized to w × h pixels.
class TileBitmaps {
public:
    explicit TileBitmaps(const QImage& product) : product_(product) {}

    const QImage& at(int turn, int w, int h) {
        QImage& bitmap = cache_[std::make_tuple(turn, w, h)];
        if (bitmap.isNull())
            bitmap = product_.transformed(QTransform().rotate(turn))
                         .scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                         .convertToFormat(QImage::Format_RGB32);
        return bitmap;
    }

private:
    const QImage& product_;
    std::map<std::tuple<int, int, int>, QImage> cache_;
};

}  // namespace

QImage PaintPatternCanvas(const TileLayout& layout, const QImage& product, int width, int height,
                          uint32_t jointColour) {
    if (product.isNull() || width < 1 || height < 1 || !(layout.regionWidth > 0 && layout.regionHeight > 0))
        return {};
    QImage canvas(width, height, QImage::Format_RGB32);
    if (canvas.isNull()) return {};
    canvas.fill(qRgb(jointColour & 0xFF, (jointColour >> 8) & 0xFF, (jointColour >> 16) & 0xFF));
    const double sx = width / layout.regionWidth, sy = height / layout.regionHeight;
    const double tw = layout.tileWidth, th = layout.tileHeight;
    const QImage source = product.convertToFormat(QImage::Format_RGB32);
    TileBitmaps bitmaps(source);
    // Turned tiles are drawn from one copy near their size on the canvas.
    QImage turnedSource;

    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const PlacedTile& tile : layout.tiles) {
        if (tile.turn % 90 == 0) {
            // Quarter turns land on whole pixels, so the joints keep sharp edges.
            const bool across = tile.turn % 180 != 0;
            const double halfX = (across ? th : tw) / 2, halfY = (across ? tw : th) / 2;
            const long long x0 = std::llround((tile.x - halfX) * sx), x1 = std::llround((tile.x + halfX) * sx);
            const long long y0 = std::llround((tile.y - halfY) * sy), y1 = std::llround((tile.y + halfY) * sy);
            const long long w = std::max(1LL, x1 - x0), h = std::max(1LL, y1 - y0);
            if (x0 >= width || y0 >= height || x0 + w <= 0 || y0 + h <= 0) continue;
            if (w * h <= kLargestPreparedTile && w < 32768 && h < 32768) {
                painter.drawImage(QPoint(static_cast<int>(x0), static_cast<int>(y0)),
                                  bitmaps.at(tile.turn, static_cast<int>(w), static_cast<int>(h)));
                continue;
            }
        }
        if (turnedSource.isNull()) {
            const double scale = std::max(sx, sy);
            const double w = std::clamp(tw * scale, 1.0, 4096.0), h = std::clamp(th * scale, 1.0, 4096.0);
            turnedSource = source.scaled(static_cast<int>(std::ceil(w)), static_cast<int>(std::ceil(h)),
                                         Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, tile.turn % 90 != 0);
        painter.setTransform(QTransform().scale(sx, sy).translate(tile.x, tile.y).rotate(tile.turn));
        painter.drawImage(QRectF(-tw / 2, -th / 2, tw, th), turnedSource);
        painter.restore();
    }
    painter.end();
    return canvas;
}

}  // namespace v2d
