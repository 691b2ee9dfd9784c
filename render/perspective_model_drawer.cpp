#include "render/perspective_model_drawer.h"

#include <QPainter>

#include <algorithm>
#include <optional>

#include "base/picture_codec.h"
#include "render/picture_ops.h"
#include "render/region_drawing.h"
#include "render/shadow_mask.h"
#include "render/tone.h"
#include "scene/outline_geometry.h"

namespace v2d {
namespace {

int Scaled(int size, int percent) { return TruncToInt(0.01 * size * percent); }

// A model picture is never scaled past the largest picture a file may hold.
constexpr int64_t kLargestModelPixels = 50'000'000;
bool ModelSizeAllowed(int w, int h) { return PictureSizeAllowed(w, h) && int64_t(w) * h <= kLargestModelPixels; }


// The outline as drawn: mapped onto the corners when they differ from its box.
std::vector<V2d_Point> DrawnOutline(const V2dPolygon& model, const ImageOperations& ops) {
    if (CornersAreOutlineBox(model)) return model.points;
    return MappedOrAsGiven(ops.PsTransPoint(model.points, QuadOf(model.corners)), model.points);
}

// Where the picture's top-left goes: the box of the corners (or of the
// outline) plus the origin.
QPoint PictureModelOrigin(const V2dPolygon& model) {
    const PixelBox box = CornersAreOutlineBox(model) ? OutlineBox(model) : BoxOf(QuadOf(model.corners));
    return {SaturatedSum(box.minX, model.originX), SaturatedSum(box.minY, model.originY)};
}

// A picture model with a reflection shows the scene beneath it at that share.
QImage MixedWithScene(const QImage& picture, const QImage& scene, QPoint at, int reflect) {
    if (reflect <= 0) return picture;
    QImage mixed = ToRgb32(picture).copy();
    const double t = std::min(reflect, 100) * 0.01;
    const QRect overlap = ClippedRect(at.x(), at.y(), mixed.width(), mixed.height(), scene.rect());
    for (int y = overlap.top(); y <= overlap.bottom(); ++y) {
        const auto* under = reinterpret_cast<const QRgb*>(scene.constScanLine(y));
        auto* row = reinterpret_cast<QRgb*>(mixed.scanLine(y - at.y()));
        for (int x = overlap.left(); x <= overlap.right(); ++x) {
            QRgb& p = row[x - at.x()];
            const QRgb s = under[x];
            auto mix = [t](int scene, int own) { return static_cast<int>(scene * t + own * (1 - t)); };
            p = qRgb(mix(qRed(s), qRed(p)), mix(qGreen(s), qGreen(p)), mix(qBlue(s), qBlue(p)));
        }
    }
    return mixed;
}

// The picture's top-left at `at`; the outline moved by the model's origin.
void FillThroughOutline(const V2dPolygon& model, const std::vector<V2d_Point>& outline, const QImage& picture,
                        QPoint at, QImage& displayed, const QRect& clip) {
    if (picture.isNull() || outline.empty()) return;
    QBrush brush(picture);
    brush.setTransform(QTransform::fromTranslate(at.x(), at.y()));
    // Outline points name pixel centres.
    const QPointF offset(model.originX + 0.5, model.originY + 0.5);
    QPainter painter(&displayed);
    if (!clip.isNull()) painter.setClipRect(clip);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(brush);
    painter.drawPath(OutlinePath(outline, model.indexList, offset));
}

void CompositePictureModel(const V2dPolygon& model, const QImage& picture, QImage& displayed,
                           const DrawContext& context) {
    const QPoint at = PictureModelOrigin(model);
    FillThroughOutline(model, DrawnOutline(model, context.ops), MixedWithScene(picture, displayed, at, model.reflect),
                       at, displayed, context.clip);
}

// The outline as placed in the scene: drawn, then moved by the origin.
std::vector<V2d_Point> PlacedOutline(const V2dPolygon& model, const ImageOperations& ops) {
    std::vector<V2d_Point> outline = DrawnOutline(model, ops);
    for (V2d_Point& p : outline) p = {SaturatedSum(p.x, model.originX), SaturatedSum(p.y, model.originY)};
    return outline;
}

QRect RectOf(const PixelBox& box) {
    if (box.empty() || !WithinCoordinateLimit(box.minX) || !WithinCoordinateLimit(box.minY) ||
        !WithinCoordinateLimit(box.maxX) || !WithinCoordinateLimit(box.maxY))
        return {};
    return QRect(QPoint(box.minX, box.minY), QPoint(box.maxX, box.maxY));
}

QImage Brightened(const QImage& picture, int lighten) {
    if (lighten == 0 || lighten < -400 || lighten > 400) return picture;
    const double f = std::clamp(1 + lighten * 0.01, 0.0, 2.0);
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            auto channel = [f](int c) { return std::min(255, static_cast<int>(c * f)); };
            row[x] = qRgba(channel(qRed(row[x])), channel(qGreen(row[x])), channel(qBlue(row[x])), qAlpha(row[x]));
        }
    }
    return out;
}

}  // namespace

QImage PictureModelImage(const V2dPolygon& model, const ImageOperations& ops) {
    if (model.picture.isNull()) return {};
    QImage picture = model.toneEnabled && !model.sourcePicture.isNull()
                         ? ApplyLightMap(model.picture, model.sourcePicture, 0, 0, 1 + 0.01 * model.lighten)
                         : QImage(model.picture);
    if (!CornersAreOutlineBox(model)) picture = ops.Transform(picture, QuadOf(model.corners));
    if (!picture.isNull() && (model.scaleX != 100 || model.scaleY != 100)) {
        const int w = Scaled(picture.width(), model.scaleX), h = Scaled(picture.height(), model.scaleY);
        picture = ModelSizeAllowed(w, h) ? ResizePicture(picture, w, h) : QImage();
    }
    return picture;
}

void DrawCutoutModel(const V2dPolygon& model, QImage& displayed, const QRect& clip) {
    if (model.picture.isNull() || !WithinDrawingRange(model)) return;
    // However small its scale, a cut-out keeps a pixel each way.
    const int w = std::max(1, Scaled(model.picture.width(), model.scaleX));
    const int h = std::max(1, Scaled(model.picture.height(), model.scaleY));
    if (!ModelSizeAllowed(w, h)) return;
    QPainter painter(&displayed);
    if (!clip.isNull()) painter.setClipRect(clip);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(model.originX, model.originY, w, h), Brightened(model.picture, model.lighten));
}

void DrawPartPictures(QImage& canvas, QPoint canvasOrigin, const std::vector<const V2dPolygon*>& parts,
                      Picture V2dPolygon::*picture) {
    QPainter painter(&canvas);
    const QPointF offset(-canvasOrigin.x(), -canvasOrigin.y());
    for (const V2dPolygon* part : parts) {
        const QImage& image = part->*picture;
        if (image.isNull() || part->points.empty() || !WithinDrawingRange(*part)) continue;
        const PixelBox box = OutlineBox(*part);
        painter.save();
        painter.setClipPath(OutlinePath(*part, offset));
        painter.drawImage(QPointF(box.minX - canvasOrigin.x(), box.minY - canvasOrigin.y()), image);
        painter.restore();
    }
}

void PerspectiveModelDrawer::CastShadowOf(const V2dPolygon& model, QImage& displayed, const DrawContext& context) {
    if (!model.castShadow || !WithinDrawingRange(model)) return;
    if (model.kind == RecordKind::CutOutModel)
        return shadows_.CastCutoutShadow(model, displayed, context.ops, context.clip);
    shadows_.CastPictureModelShadow(model, PlacedOutline(model, context.ops), displayed, context.ops, context.clip);
}

QRect PerspectiveModelDrawer::DrawnArea(const V2dPolygon& model, const DrawContext& context) {
    if (model.group || !WithinDrawingRange(model)) return {};
    QRect area;
    int margin = 0;
    if (model.kind == RecordKind::CutOutModel) {
        if (model.picture.isNull()) return {};
        const int w = std::max(1, Scaled(model.picture.width(), model.scaleX));
        const int h = std::max(1, Scaled(model.picture.height(), model.scaleY));
        if (!ModelSizeAllowed(w, h)) return {};
        area = QRect(model.originX, model.originY, w, h);
        margin = kCutoutShadowRadiusCap;
    } else {
        area = RectOf(BoxOf(PlacedOutline(model, context.ops)));
    }
    if (model.castShadow && !area.isEmpty())
        area |= area.translated(model.shadowX, model.shadowY).adjusted(-margin, -margin, margin, margin);
    return area.adjusted(-1, -1, 1, 1);
}

void PerspectiveModelDrawer::RenderModel(const V2dPolygon& model, QImage& displayed, const DrawContext& context) {
    if (model.group || !WithinDrawingRange(model)) return;
    CastShadowOf(model, displayed, context);
    if (model.kind == RecordKind::CutOutModel) {
        DrawCutoutModel(model, displayed, context.clip);
        return;
    }
    QImage picture = PictureModelImage(model, context.ops);
    CompositePictureModel(model, picture, displayed, context);
    context.KeepCache(model, std::move(picture));
}

void PerspectiveModelDrawer::QuickDrawModel(const V2dPolygon& model, QImage& displayed, const DrawContext& context) {
    if (model.group || !WithinDrawingRange(model)) return;
    CastShadowOf(model, displayed, context);
    if (model.kind == RecordKind::CutOutModel) {
        DrawCutoutModel(model, displayed, context.clip);
        return;
    }
    const QImage& cached = context.CacheOf(model);
    CompositePictureModel(model, cached.isNull() ? model.picture : cached, displayed, context);
}

QImage PerspectiveModelDrawer::PartsPicture(const V2dPolygon& owner, const DrawContext& context,
                                            const LaidPart& laid) const {
    std::vector<const V2dPolygon*> parts = context.scene.GroupMembers(&owner);
    if (parts.empty() || owner.picture.isNull() || !WithinDrawingRange(owner)) return {};
    const PixelBox box = OutlineBox(owner);
    QImage picture = owner.picture.copy();
    // The laid part stands in as a copy carrying its new picture.
    std::optional<V2dPolygon> laidPart;
    if (auto at = std::find(parts.begin(), parts.end(), laid.part); laid.part && at != parts.end()) {
        laidPart = *laid.part;
        laidPart->picture = laid.picture;
        *at = &*laidPart;
    }
    // Each part's shadow falls on the parts drawn before it.
    for (const V2dPolygon* part : parts) {
        if (!WithinDrawingRange(*part)) continue;
        CastPartShadow(*part, owner, picture, context.ops);
        DrawPartPictures(picture, QPoint(box.minX, box.minY), {part}, &V2dPolygon::picture);
    }
    return picture;
}

}  // namespace v2d
