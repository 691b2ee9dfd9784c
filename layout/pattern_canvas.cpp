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

// Tiles at other turns: every tile of one turn has the same shape on the
// canvas, so each turn is drawn once per quarter-pixel phase, with smooth
// edges, and then only blended in at whole pixels.
class TurnedSprites {
public:
    static constexpr int kPhases = 4;
    struct Sprite {
        QImage image;
        int left = 0, top = 0;  // from the tile centre's whole pixel to the image's corner
    };

    TurnedSprites(const QImage& product, double tw, double th, double sx, double sy)
        : tw_(tw), th_(th), sx_(sx), sy_(sy) {
        const double scale = std::max(sx, sy);
        source_ = product.scaled(static_cast<int>(std::ceil(std::clamp(tw * scale, 1.0, 4096.0))),
                                 static_cast<int>(std::ceil(std::clamp(th * scale, 1.0, 4096.0))),
                                 Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }

    // Draws the tile straight onto the canvas, for sprites too large to keep.
    void draw(QPainter& painter, const PlacedTile& tile) const {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setTransform(QTransform().scale(sx_, sy_).translate(tile.x, tile.y).rotate(tile.turn));
        painter.drawImage(QRectF(-tw_ / 2, -th_ / 2, tw_, th_), source_);
        painter.restore();
    }

    // Null when the sprite would be too large.
    const Sprite* at(int turn, int phaseX, int phaseY) {
        Sprite& sprite = cache_[std::make_tuple(turn, phaseX, phaseY)];
        if (!sprite.image.isNull()) return &sprite;
        const double a = turn * 3.14159265358979323846 / 180, c = std::abs(std::cos(a)), s = std::abs(std::sin(a));
        const double halfX = (c * tw_ / 2 + s * th_ / 2) * sx_, halfY = (s * tw_ / 2 + c * th_ / 2) * sy_;
        const long long w = static_cast<long long>(std::ceil(2 * halfX)) + 3, h = static_cast<long long>(std::ceil(2 * halfY)) + 3;
        if (w * h > kLargestPreparedTile || w > 32767 || h > 32767) return nullptr;
        sprite.left = static_cast<int>(std::floor(halfX)) + 1;
        sprite.top = static_cast<int>(std::floor(halfY)) + 1;
        sprite.image = QImage(static_cast<int>(w), static_cast<int>(h), QImage::Format_ARGB32_Premultiplied);
        sprite.image.fill(Qt::transparent);
        QPainter painter(&sprite.image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        painter.setTransform(QTransform()
                                 .translate(sprite.left + (phaseX + 0.5) / kPhases, sprite.top + (phaseY + 0.5) / kPhases)
                                 .scale(sx_, sy_)
                                 .rotate(turn));
        painter.drawImage(QRectF(-tw_ / 2, -th_ / 2, tw_, th_), source_);
        return &sprite;
    }

private:
    double tw_, th_, sx_, sy_;
    QImage source_;
    std::map<std::tuple<int, int, int>, Sprite> cache_;
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
    TurnedSprites sprites(source, tw, th, sx, sy);

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
            sprites.draw(painter, tile);
            continue;
        }
        const double px = tile.x * sx, py = tile.y * sy;
        const double wholeX = std::floor(px), wholeY = std::floor(py);
        if (!(std::abs(wholeX) < 1e9 && std::abs(wholeY) < 1e9)) continue;
        const int phaseX = std::min(TurnedSprites::kPhases - 1, static_cast<int>((px - wholeX) * TurnedSprites::kPhases));
        const int phaseY = std::min(TurnedSprites::kPhases - 1, static_cast<int>((py - wholeY) * TurnedSprites::kPhases));
        if (const TurnedSprites::Sprite* sprite = sprites.at(tile.turn, phaseX, phaseY))
            painter.drawImage(QPoint(static_cast<int>(wholeX) - sprite->left, static_cast<int>(wholeY) - sprite->top),
                              sprite->image);
        else
            sprites.draw(painter, tile);
    }
    painter.end();
    return canvas;
}

}  // namespace v2d
