#include "layout/pattern_canvas.h"

#include "base/row_bands.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

namespace v2d {
namespace {

// Larger prepared tiles are drawn scaled straight from the product, cut to
// the canvas by the painter.
constexpr long long kLargestPreparedTile = 1LL << 24;

// Two channels in each 16-bit lane: red and blue, or alpha and green.
constexpr uint32_t kLanes = 0x00FF00FFu;

// A colour weighted by an 8-bit coverage, premultiplied, rounded as
// (channel × coverage + 127) / 255.
inline uint32_t Weighted(uint32_t rgb, uint32_t coverage) {
    const auto lanes = [coverage](uint32_t pair) {
        const uint32_t t = pair * coverage + 0x00800080u;
        return ((t + ((t >> 8) & kLanes)) >> 8) & kLanes;
    };
    return lanes(rgb & kLanes) | (lanes((rgb >> 8) & 0xFFu) << 8) | (coverage << 24);
}

// Channel by channel, at most 255.
inline uint32_t SaturatedSum(uint32_t a, uint32_t b) {
    const auto lanes = [](uint32_t x, uint32_t y) {
        const uint32_t sum = x + y;
        return (sum | (((sum >> 8) & 0x00010001u) * 0xFFu)) & kLanes;
    };
    return lanes(a & kLanes, b & kLanes) | (lanes((a >> 8) & kLanes, (b >> 8) & kLanes) << 8);
}

// A canvas coordinate within rounding of a whole pixel is that pixel's edge.
double Snapped(double v) {
    const double whole = std::round(v);
    return std::abs(v - whole) < 1e-6 ? whole : v;
}

// What of each pixel from `first` on the span [low, high) covers.
struct Span {
    long long first = 0, end = 0;    // the pixels touched
    double firstCover = 1, lastCover = 1, length = 0;

    Span(double low, double high) {
        low = Snapped(low), high = Snapped(high);
        length = high - low;
        first = static_cast<long long>(std::floor(low));
        end = std::max(first + 1, static_cast<long long>(std::ceil(high)));
        if (end - first == 1) {
            firstCover = lastCover = std::min(1.0, high - low);
        } else {
            firstCover = first + 1 - low;
            lastCover = high - (end - 1);
        }
    }
    long long size() const { return end - first; }
    // The span's own length in whole pixels, at most its size.
    int own() const { return static_cast<int>(std::clamp<long long>(std::llround(length), 1, size())); }
    double at(long long pixel) const { return pixel == first ? firstCover : pixel == end - 1 ? lastCover : 1.0; }
};

// The canvas while it is painted: each pixel holds the tiles' colours
// weighted by how much of it they cover (premultiplied) and the covered
// share. Tiles meet without overlapping, so the shares add up; what they
// leave over is joint.
class CoverageCanvas {
public:
    CoverageCanvas(int width, int height) : image_(width, height, QImage::Format_ARGB32_Premultiplied) {
        image_.fill(0);
    }
    bool isNull() const { return image_.isNull(); }
    QImage& image() { return image_; }

    // An opaque picture whose pixel (0, 0) lies on canvas pixel (x, y), its
    // first and last columns and rows covered as the spans say.
    void addCovered(const QImage& rgb, const Span& columns, const Span& rows) {
        const QRect cut = QRect(int(columns.first), int(rows.first), rgb.width(), rgb.height()) & image_.rect();
        if (cut.isEmpty()) return;
        const int shift = int(columns.first), last = int(columns.end) - 1;
        const auto cover8 = [](double cover) { return static_cast<uint32_t>(std::lround(cover * 255)); };
        const uint32_t firstColumn = cover8(columns.firstCover), lastColumn = cover8(columns.lastCover);
        for (int y = cut.top(); y <= cut.bottom(); ++y) {
            const auto* in = reinterpret_cast<const uint32_t*>(rgb.constScanLine(y - int(rows.first)));
            auto* out = reinterpret_cast<uint32_t*>(image_.scanLine(y));
            const uint32_t row = cover8(rows.at(y));
            const auto addOne = [&](int x, uint32_t column) {
                const uint32_t cover = (row * column + 127) / 255;
                if (cover == 255) out[x] = in[x - shift] | 0xFF000000u;
                else if (cover > 0) out[x] = SaturatedSum(out[x], Weighted(in[x - shift], cover));
            };
            int x = cut.left();
            if (x == shift) addOne(x++, firstColumn);
            const int lastWhole = std::min(cut.right(), last - 1);
            if (row == 255 && x <= lastWhole) {  // the bitmap is opaque RGB32
                std::memcpy(out + x, in + (x - shift), size_t(lastWhole - x + 1) * 4);
                x = lastWhole + 1;
            } else
                for (; x <= lastWhole; ++x) addOne(x, 255);
            if (x == last && x <= cut.right()) addOne(x, lastColumn);
        }
    }

    // A premultiplied picture with its top-left on canvas pixel (x, y), of
    // each row only the columns [first, end) that `drawn` holds.
    void addPremultiplied(const QImage& picture, const std::vector<std::pair<int, int>>& drawn, int x0, int y0) {
        const QRect cut = QRect(x0, y0, picture.width(), picture.height()) & image_.rect();
        for (int y = cut.top(); y <= cut.bottom(); ++y) {
            const auto* in = reinterpret_cast<const uint32_t*>(picture.constScanLine(y - y0));
            auto* out = reinterpret_cast<uint32_t*>(image_.scanLine(y));
            const auto [first, end] = drawn[size_t(y - y0)];
            for (int x = std::max(cut.left(), x0 + first); x < std::min(cut.right() + 1, x0 + end); ++x) {
                const uint32_t p = in[x - x0];
                if (p >= 0xFF000000u) out[x] = p;
                else if (p) out[x] = SaturatedSum(out[x], p);
            }
        }
    }

    // The finished canvas: the joint colour under what the tiles leave.
    QImage overJoint(QRgb joint) && {
        uint32_t shares[256];
        for (uint32_t rest = 0; rest < 256; ++rest) shares[rest] = Weighted(joint, rest);
        const int width = image_.width();
        uchar* const bits = image_.bits();  // detached once, before the bands share it
        const qsizetype stride = image_.bytesPerLine();
        ForEachRowBand(image_.height(), width, [&](int first, int end) {
            for (int y = first; y < end; ++y) {
                auto* row = reinterpret_cast<uint32_t*>(bits + y * stride);
                for (int x = 0; x < width; ++x) {
                    const uint32_t rest = 255 - (row[x] >> 24);
                    if (rest != 0) row[x] = SaturatedSum(row[x], shares[rest]) | 0xFF000000u;
                }
            }
        });
        image_.reinterpretAsFormat(QImage::Format_RGB32);
        return std::move(image_);
    }

private:
    QImage image_;
};

// The picture averaged along (dx, dy), a unit step in its pixels, over
// `length` pixels: what a canvas pixel squeezed that way covers of it.
// Samples are bilinear, the edges replicated; every pixel's samples lie at
// the same offsets, so their pixels and weights are gathered once.
QImage AveragedAlong(const QImage& rgb, double dx, double dy, double length) {
    const int n = static_cast<int>(std::lround(std::min(length, 64.0)));
    if (n <= 1) return rgb;
    struct Tap {
        int x, y;
        uint32_t weight;  // of 256 per sample
    };
    std::vector<Tap> taps;
    for (int i = 0; i < 2 * n; ++i) {
        const double t = (i - (2 * n - 1) / 2.0) * length / n, px = t * dx, py = t * dy;
        const double fx = std::floor(px), fy = std::floor(py), ax = px - fx, ay = py - fy;
        const double tent = 1 - std::abs(t) / length;
        const double weights[4] = {tent * (1 - ax) * (1 - ay), tent * ax * (1 - ay), tent * (1 - ax) * ay, tent * ax * ay};
        for (int k = 0; k < 4; ++k) {
            const Tap tap{static_cast<int>(fx) + (k & 1), static_cast<int>(fy) + (k >> 1),
                          static_cast<uint32_t>(std::lround(weights[k] * 256))};
            const auto same =
                std::find_if(taps.begin(), taps.end(), [&](const Tap& o) { return o.x == tap.x && o.y == tap.y; });
            if (same != taps.end()) same->weight += tap.weight;
            else if (tap.weight > 0) taps.push_back(tap);
        }
    }
    uint32_t total = 0;
    int pad = 0;
    for (const Tap& tap : taps) total += tap.weight, pad = std::max({pad, std::abs(tap.x), std::abs(tap.y)});
    // The picture with its edges repeated `pad` pixels out, so no tap needs a bound.
    const int w = rgb.width(), h = rgb.height(), pw = w + 2 * pad;
    std::vector<uint32_t> padded(static_cast<size_t>(pw) * static_cast<size_t>(h + 2 * pad));
    for (int y = 0; y < h + 2 * pad; ++y) {
        const auto* in = reinterpret_cast<const uint32_t*>(rgb.constScanLine(std::clamp(y - pad, 0, h - 1)));
        for (int x = 0; x < pw; ++x) padded[size_t(y) * pw + x] = in[std::clamp(x - pad, 0, w - 1)];
    }
    std::vector<std::pair<std::ptrdiff_t, uint32_t>> offsets;
    for (const Tap& tap : taps) offsets.emplace_back(std::ptrdiff_t(tap.y) * pw + tap.x, tap.weight);
    QImage averaged(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* out = reinterpret_cast<uint32_t*>(averaged.scanLine(y));
        const uint32_t* centre = padded.data() + size_t(y + pad) * pw + pad;
        for (int x = 0; x < w; ++x) {
            uint32_t blue = total / 2, green = total / 2, red = total / 2;
            for (const auto& [offset, weight] : offsets) {
                const uint32_t p = centre[x + offset];
                blue += (p & 0xFFu) * weight, green += ((p >> 8) & 0xFFu) * weight, red += ((p >> 16) & 0xFFu) * weight;
            }
            out[x] = 0xFF000000u | (red / total) << 16 | (green / total) << 8 | blue / total;
        }
    }
    return averaged;
}

// The product turned by a quarter turn multiple, resized to the tile's own
// w × h pixels (averaging what it reduces), its edge pixels repeated out to
// the span × rows it touches on the canvas: a tile's picture is not
// stretched by where it falls on the pixels.
class TileBitmaps {
public:
    explicit TileBitmaps(const QImage& product) : product_(product) {}

    const QImage& at(int turn, int w, int h, int spanW, int spanH) {
        QImage& bitmap = cache_[std::make_tuple(turn, w, h, spanW, spanH)];
        if (!bitmap.isNull()) return bitmap;
        if (w != spanW || h != spanH) {
            const QImage& own = at(turn, w, h, w, h);
            bitmap = QImage(spanW, spanH, QImage::Format_RGB32);
            const int left = (spanW - w) / 2, top = (spanH - h) / 2;
            for (int y = 0; y < spanH; ++y) {
                const auto* in = reinterpret_cast<const uint32_t*>(own.constScanLine(std::clamp(y - top, 0, h - 1)));
                auto* out = reinterpret_cast<uint32_t*>(bitmap.scanLine(y));
                for (int x = 0; x < spanW; ++x) out[x] = in[std::clamp(x - left, 0, w - 1)];
            }
            return bitmap;
        }
        bitmap = product_.transformed(QTransform().rotate(turn))
                     .scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                     .convertToFormat(QImage::Format_RGB32);
        return bitmap;
    }

private:
    const QImage& product_;
    std::map<std::tuple<int, int, int, int, int>, QImage> cache_;
};

// Tiles at other turns: every tile of one turn has the same shape on the
// canvas, so each turn is drawn once per eighth-pixel phase, with its edges'
// coverage, and then only added in at whole pixels. The product is reduced
// (averaging) to the canvas's finer scale before it is turned; where the
// canvas is coarser one way, the turned product is first averaged along what
// that way's pixels cover of it, so no stripe of its picture is picked up at
// a stride.
class TurnedSprites {
public:
    static constexpr int kPhases = 8;
    struct Sprite {
        QImage image;  // premultiplied
        std::vector<std::pair<int, int>> drawn;  // per row, the columns not transparent
        int left = 0, top = 0;  // from the tile centre's whole pixel to the image's corner
    };

    TurnedSprites(const QImage& product, double tw, double th, double sx, double sy)
        : tw_(tw), th_(th), sx_(sx), sy_(sy), fine_(std::max(sx, sy)) {
        source_ = product.scaled(static_cast<int>(std::ceil(std::clamp(tw * fine_, 1.0, 4096.0))),
                                 static_cast<int>(std::ceil(std::clamp(th * fine_, 1.0, 4096.0))),
                                 Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }

    // Adds the tile straight onto the canvas, for tiles too large to keep.
    void draw(QImage& canvas, const PlacedTile& tile) {
        QPainter painter(&canvas);
        painter.setCompositionMode(QPainter::CompositionMode_Plus);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        painter.setTransform(QTransform().scale(sx_, sy_).translate(tile.x, tile.y).rotate(tile.turn));
        painter.drawImage(QRectF(-tw_ / 2, -th_ / 2, tw_, th_), sourceFor(tile.turn));
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
        painter.drawImage(QRectF(-tw_ / 2, -th_ / 2, tw_, th_), sourceFor(turn));
        painter.end();
        for (int y = 0; y < sprite.image.height(); ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(sprite.image.constScanLine(y));
            int first = 0, end = sprite.image.width();
            while (first < end && row[first] == 0) ++first;
            while (end > first && row[end - 1] == 0) --end;
            sprite.drawn.emplace_back(first, end);
        }
        return &sprite;
    }

private:
    // The source averaged along the canvas's coarser axis as the turn lays
    // it on the product: one canvas pixel that way spans fine / coarse of
    // the source's pixels.
    const QImage& sourceFor(int turn) {
        QImage& averaged = averaged_[turn];
        if (!averaged.isNull()) return averaged;
        const double a = turn * 3.14159265358979323846 / 180, c = std::cos(a), s = std::sin(a);
        averaged = sx_ < sy_ ? AveragedAlong(source_, c, -s, sy_ / sx_) : AveragedAlong(source_, s, c, sx_ / sy_);
        return averaged;
    }

    double tw_, th_, sx_, sy_, fine_;
    QImage source_;
    std::map<int, QImage> averaged_;
    std::map<std::tuple<int, int, int>, Sprite> cache_;
};

}  // namespace

QImage PaintPatternCanvas(const TileLayout& layout, const QImage& product, int width, int height,
                          uint32_t jointColour) {
    if (product.isNull() || width < 1 || height < 1 || !(layout.regionWidth > 0 && layout.regionHeight > 0))
        return {};
    CoverageCanvas canvas(width, height);
    if (canvas.isNull()) return {};
    const double sx = width / layout.regionWidth, sy = height / layout.regionHeight;
    const double tw = layout.tileWidth, th = layout.tileHeight;
    const QImage source = product.convertToFormat(QImage::Format_RGB32);
    TileBitmaps bitmaps(source);
    TurnedSprites sprites(source, tw, th, sx, sy);

    for (const PlacedTile& tile : layout.tiles) {
        if (tile.turn % 90 == 0) {
            // Quarter turns keep the canvas's pixel grid: whole pixels inside,
            // the edges by how much of their pixels they cover.
            const bool across = tile.turn % 180 != 0;
            const double halfX = (across ? th : tw) / 2, halfY = (across ? tw : th) / 2;
            const Span columns((tile.x - halfX) * sx, (tile.x + halfX) * sx);
            const Span rows((tile.y - halfY) * sy, (tile.y + halfY) * sy);
            const long long w = columns.size(), h = rows.size();
            if (columns.first >= width || rows.first >= height || columns.end <= 0 || rows.end <= 0) continue;
            if (w * h <= kLargestPreparedTile && w < 32768 && h < 32768) {
                canvas.addCovered(bitmaps.at(tile.turn, columns.own(), rows.own(), static_cast<int>(w), static_cast<int>(h)),
                                  columns, rows);
                continue;
            }
            sprites.draw(canvas.image(), tile);
            continue;
        }
        const double px = tile.x * sx, py = tile.y * sy;
        const double wholeX = std::floor(px), wholeY = std::floor(py);
        if (!(std::abs(wholeX) < 1e9 && std::abs(wholeY) < 1e9)) continue;
        const int phaseX = std::min(TurnedSprites::kPhases - 1, static_cast<int>((px - wholeX) * TurnedSprites::kPhases));
        const int phaseY = std::min(TurnedSprites::kPhases - 1, static_cast<int>((py - wholeY) * TurnedSprites::kPhases));
        if (const TurnedSprites::Sprite* sprite = sprites.at(tile.turn, phaseX, phaseY))
            canvas.addPremultiplied(sprite->image, sprite->drawn, static_cast<int>(wholeX) - sprite->left,
                                    static_cast<int>(wholeY) - sprite->top);
        else
            sprites.draw(canvas.image(), tile);
    }
    return std::move(canvas).overJoint(qRgb(jointColour & 0xFF, (jointColour >> 8) & 0xFF, (jointColour >> 16) & 0xFF));
}

}  // namespace v2d
