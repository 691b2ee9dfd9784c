#include "render/shadow_mask.h"

#include <QPainter>

#include <algorithm>
#include <cstring>

#include "base/row_bands.h"
#include "render/banded_blur.h"
#include "render/picture_ops.h"
#include "render/tone.h"
#include "scene/outline_geometry.h"

namespace v2d {
namespace {

// Masks are made for outlines inside a scene; a hostile outline spanning
// millions of pixels gets none rather than a giant allocation.
constexpr int kLargestMaskSide = 20000;
constexpr int64_t kLargestMaskPixels = 24'000'000;
// A cut-out's mask up to this size is blurred in one piece.
constexpr int64_t kWholeBlurPixels = 4 * kBlurBandPixels;
bool MaskSizeAllowed(int64_t w, int64_t h) {
    return w >= 1 && h >= 1 && w <= kLargestMaskSide && h <= kLargestMaskSide && w * h <= kLargestMaskPixels;
}

QImage WhiteCanvas(int width, int height, QImage::Format format = QImage::Format_RGB32) {
    QImage canvas(width, height, format);
    if (!canvas.isNull()) canvas.fill(Qt::white);
    return canvas;
}

QColor ColourOf(uint32_t colour) { return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour)); }

}  // namespace

void BlurWithMargin(QImage& picture, int r, const ImageOperations& ops) {
    if (r < 1 || picture.isNull()) return;
    QImage canvas = WhiteCanvas(picture.width() + 2 * r, picture.height() + 2 * r);
    if (canvas.isNull()) return;
    {
        QPainter painter(&canvas);
        painter.drawImage(QPoint(r, r), picture);
    }
    if (!BlurInBands(canvas, r, r, ops)) return;
    picture = ResizePicture(canvas, picture.width(), picture.height());
}

QImage BuildShadowMask(const V2dPolygon& record, int size, uint32_t colour, const ImageOperations& ops) {
    const PixelBox box = OutlineBox(record);
    if (box.empty() || !MaskSizeAllowed(box.width(), box.height())) return {};
    QImage mask = WhiteCanvas(box.width(), box.height());
    if (mask.isNull()) return {};
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ColourOf(colour));
        // Points name pixel centres; the mask's pixel 0 is the box's left column.
        const QPointF offset(0.5 - box.minX, 0.5 - box.minY);
        if (record.kind == RecordKind::PictureModel) {
            for (const auto& ring : OutlineRings(record)) {
                QPolygonF polygon;
                for (const V2d_Point& p : ring) polygon << QPointF(p.x, p.y) + offset;
                painter.drawPolygon(polygon, Qt::OddEvenFill);
            }
        } else {
            painter.drawPath(OutlinePath(record, offset));
        }
    }
    BlurWithMargin(mask, size / 2, ops);
    return mask;
}

namespace {

// ApplyLightMap's multiply, in place, the rows' alpha kept. A mask is mostly
// runs of one colour: each run's level is worked out once, and a long run's
// colour gets a table of its 256 products, kept for the rows below.
class Darkener {
public:
    explicit Darkener(double factor) : factor_(factor) {}

    void Row(uint32_t* row, const uint32_t* mask, int count) {
        for (int x = 0; x < count; ++x) {
            const uint32_t colour = mask[x] & 0x00FFFFFFu;
            const uint32_t p = row[x];
            if (colour == tableColour_) {
                row[x] = (p & 0xFF000000u) | uint32_t(table_[(p >> 16) & 0xFF]) << 16 |
                         uint32_t(table_[(p >> 8) & 0xFF]) << 8 | table_[p & 0xFF];
                continue;
            }
            if (colour != lastColour_) {
                lastColour_ = colour;
                run_ = 0;
                level_ = LightLevel(colour, factor_);
            }
            if (++run_ == kRunWorthATable) {
                for (uint32_t c = 0; c < 256; ++c) table_[c] = static_cast<uint8_t>(LitChannel(c, level_));
                tableColour_ = colour;
            }
            row[x] = (p & 0xFF000000u) | LitChannel((p >> 16) & 0xFF, level_) << 16 |
                     LitChannel((p >> 8) & 0xFF, level_) << 8 | LitChannel(p & 0xFF, level_);
        }
    }

private:
    static constexpr int kRunWorthATable = 64;

    double factor_;
    // No mask colour has a fourth byte here, so these match none at first.
    uint32_t lastColour_ = 0xFFFFFFFFu, tableColour_ = 0xFFFFFFFFu;
    double level_ = 0;
    int run_ = 0;
    uint8_t table_[256] = {};
};

}  // namespace

void MultiplyByMask(QImage& target, QPoint at, const QImage& mask, double factor, const QRect& clip) {
    if (target.isNull() || mask.isNull()) return;
    QRect overlap = ClippedRect(at.x(), at.y(), mask.width(), mask.height(), target.rect());
    if (!clip.isNull()) overlap &= clip;
    if (overlap.isEmpty()) return;
    if (target.format() != QImage::Format_RGB32 && target.format() != QImage::Format_ARGB32)
        target = target.convertToFormat(QImage::Format_RGB32);
    const QImage light = ToRgb32(mask);
    if (light.isNull()) return;
    uchar* bits = target.bits();
    const qsizetype stride = target.bytesPerLine();
    // Each row of the overlap is darkened where it lies, over both cores; the
    // overlap starts at or after `at`, within the mask.
    ForEachRowBand(overlap.height(), overlap.width(), [&](int first, int end) {
        Darkener darkener(factor);
        for (int y = first; y < end; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(bits + (overlap.y() + y) * stride) + overlap.x();
            const auto* from = reinterpret_cast<const uint32_t*>(light.constScanLine(overlap.y() - at.y() + y));
            darkener.Row(row, from + (overlap.x() - at.x()), overlap.width());
        }
    });
}

int PictureModelShadowSize(int shadowRadius) {
    return std::clamp(shadowRadius, 0, 2 * kCutoutShadowRadiusCap + 1);
}

void CastShadow(const V2dPolygon& record, int size, uint32_t colour, QImage& target, int x, int y,
                const ImageOperations& ops) {
    MultiplyByMask(target, QPoint(x, y), BuildShadowMask(record, size, colour, ops));
}

QPoint CutoutShadowOrigin(const V2dPolygon& model) {
    return {SaturatedSum(model.originX, model.shadowX), SaturatedSum(model.originY, model.shadowY)};
}

namespace {

// The cut-out's silhouette size and blur: false when it casts no shadow.
bool CutoutShadowSize(const V2dPolygon& model, int& s, int& w, int& h) {
    if (model.picture.isNull()) return false;
    s = std::clamp(model.shadowRadius, 0, kCutoutShadowRadiusCap);
    w = TruncToInt(0.01 * model.picture.width() * model.scaleX - s);
    h = TruncToInt(0.01 * model.picture.height() * model.scaleY - s);
    // A model smaller than its blur has no silhouette left to cast.
    return MaskSizeAllowed(int64_t(w) + 2 * s, int64_t(h) + 2 * s) && w > 0 && h > 0;
}

// Rows [top, bottom) of the unblurred mask: the picture drawn on white.
QImage CutoutCanvasRows(const V2dPolygon& model, int s, int w, int h, int top, int bottom) {
    QImage canvas = WhiteCanvas(w + 2 * s, bottom - top, QImage::Format_ARGB32);
    if (canvas.isNull()) return {};
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        if (top != 0) painter.translate(0, -top);
        painter.drawImage(QRect(s, s, w, h), model.picture);
    }
    // Converted in place: the canvas is opaque, so the colours stay as drawn.
    return std::move(canvas).convertToFormat(QImage::Format_RGB32);
}

}  // namespace

QImage CutoutShadowMask(const V2dPolygon& model, const ImageOperations& ops) {
    int s = 0, w = 0, h = 0;
    if (!CutoutShadowSize(model, s, w, h)) return {};
    QImage mask = CutoutCanvasRows(model, s, w, h, 0, h + 2 * s);
    if (s < 1 || mask.isNull()) return mask;
    // A mask of a few bands is blurred whole: one call of the library, with
    // one copy of the mask beside it, instead of a call and two copies a band.
    if (int64_t(mask.width()) * mask.height() <= kWholeBlurPixels) return ops.GaussBlurCV2(mask, s, s);
    if (!BlurInBands(mask, s, s, ops)) return {};
    return mask;
}

int64_t CutoutShadowPixels(const V2dPolygon& model) {
    int s = 0, w = 0, h = 0;
    return CutoutShadowSize(model, s, w, h) ? (int64_t(w) + 2 * s) * (int64_t(h) + 2 * s) : 0;
}

void CastCutoutShadowInBands(const V2dPolygon& model, QImage& target, const ImageOperations& ops, const QRect& clip,
                             long long bandPixels) {
    int s = 0, w = 0, h = 0;
    if (!CutoutShadowSize(model, s, w, h)) return;
    const int height = h + 2 * s;
    const QPoint at = CutoutShadowOrigin(model);
    ForEachBlurBand(height, w + 2 * s, bandPixels, [&](int first, int end) {
        const QRect seen = ClippedRect(at.x(), int64_t(at.y()) + first, w + 2 * s, end - first, target.rect());
        if (seen.isEmpty() || (!clip.isNull() && !seen.intersects(clip))) return true;  // nothing to darken here
        const int top = std::max(0, first - s), bottom = std::min(height, end + s);
        QImage rows = CutoutCanvasRows(model, s, w, h, top, bottom);
        if (s >= 1 && !rows.isNull()) rows = ops.GaussBlurCV2(rows, s, s);
        if (rows.isNull()) return false;
        // Rows blurred with s rows of their neighbours match the whole mask's.
        const QImage band = rows.copy(0, first - top, rows.width(), end - first);
        MultiplyByMask(target, QPoint(at.x(), SaturatedSum(at.y(), first)), band, 1.0, clip);
        return true;
    });
}

QImage PictureModelShadowMask(const V2dPolygon& model, const std::vector<V2d_Point>& drawnOutline,
                              const ImageOperations& ops, QPoint& at) {
    V2dPolygon placed;
    placed.kind = model.kind;
    placed.points = drawnOutline;
    placed.indexList = model.indexList;
    const PixelBox box = OutlineBox(placed);
    at = QPoint(SaturatedSum(box.minX, model.shadowX), SaturatedSum(box.minY, model.shadowY));
    return BuildShadowMask(placed, PictureModelShadowSize(model.shadowRadius), model.shadowColor, ops);
}

}  // namespace v2d
