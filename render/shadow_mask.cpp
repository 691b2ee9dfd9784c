#include "render/shadow_mask.h"

#include <QPainter>

#include <algorithm>
#include <cstring>

#include "render/picture_ops.h"
#include "render/tone.h"
#include "scene/outline_geometry.h"

namespace v2d {
namespace {

// Masks are made for outlines inside a scene; a hostile outline spanning
// millions of pixels gets none rather than a giant allocation.
constexpr int kLargestMaskSide = 20000;
constexpr int64_t kLargestMaskPixels = 24'000'000;
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
    const QImage blurred = ops.GaussBlurCV2(canvas, r, r);
    if (blurred.isNull()) return;
    picture = ResizePicture(blurred, picture.width(), picture.height());
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

void MultiplyByMask(QImage& target, QPoint at, const QImage& mask, double factor, const QRect& clip) {
    if (target.isNull() || mask.isNull()) return;
    QRect overlap = ClippedRect(at.x(), at.y(), mask.width(), mask.height(), target.rect());
    if (!clip.isNull()) overlap &= clip;
    if (overlap.isEmpty()) return;
    if (target.format() != QImage::Format_RGB32 && target.format() != QImage::Format_ARGB32)
        target = target.convertToFormat(QImage::Format_RGB32);
    const QImage patch = target.copy(overlap);
    // The overlap starts at or after `at`, within the mask.
    const QImage shaded = ApplyLightMap(patch, mask, overlap.x() - at.x(), overlap.y() - at.y(), factor);
    if (shaded.isNull()) return;
    for (int y = 0; y < overlap.height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(target.scanLine(overlap.y() + y)) + overlap.x();
        const auto* from = reinterpret_cast<const uint32_t*>(shaded.constScanLine(y));
        // The target's alpha stays: a cut-out part keeps its transparency.
        for (int x = 0; x < overlap.width(); ++x) row[x] = (row[x] & 0xFF000000u) | (from[x] & 0x00FFFFFFu);
    }
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

QImage CutoutShadowMask(const V2dPolygon& model, const ImageOperations& ops) {
    if (model.picture.isNull()) return {};
    const int s = std::clamp(model.shadowRadius, 0, kCutoutShadowRadiusCap);
    const int w = TruncToInt(0.01 * model.picture.width() * model.scaleX - s);
    const int h = TruncToInt(0.01 * model.picture.height() * model.scaleY - s);
    // A model smaller than its blur has no silhouette left to cast.
    if (!MaskSizeAllowed(int64_t(w) + 2 * s, int64_t(h) + 2 * s) || w <= 0 || h <= 0) return {};
    QImage canvas = WhiteCanvas(w + 2 * s, h + 2 * s, QImage::Format_ARGB32);
    if (canvas.isNull()) return {};
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(s, s, w, h), model.picture);
    }
    if (s < 1) return canvas.convertToFormat(QImage::Format_RGB32);
    return ops.GaussBlurCV2(canvas.convertToFormat(QImage::Format_RGB32), s, s);
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
