#include "render/model_drawer.h"

#include <QPainter>

#include "scene/outline_geometry.h"
#include "base/picture_codec.h"
#include "render/region_drawing.h"

namespace v2d {
namespace {

void DrawModelPicture(const V2dPolygon& model, const QImage& picture, QImage& displayed) {
    if (picture.isNull() || model.group) return;
    if (model.kind == RecordKind::CutOutModel) {
        QPainter painter(&displayed);
        painter.drawImage(QPoint(model.originX, model.originY), picture);
        return;
    }
    // A picture model: through its outline, at the outline's box plus origin.
    const PixelBox box = OutlineBox(model);
    const QPainterPath path = OutlinePath(model, QPointF(model.originX + 0.5, model.originY + 0.5));
    QBrush brush(picture);
    brush.setTransform(QTransform::fromTranslate(box.minX + model.originX, box.minY + model.originY));
    QPainter painter(&displayed);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(brush);
    painter.drawPath(path);
}

}  // namespace

void QuickModelDrawer::RenderModel(const V2dPolygon& model, QImage& displayed, const DrawContext& context) {
    if (model.group) return;
    if (context.CacheOf(model).isNull()) context.KeepCache(model, model.picture);
    QuickDrawModel(model, displayed, context);
}

void QuickModelDrawer::QuickDrawModel(const V2dPolygon& model, QImage& displayed, const DrawContext& context) {
    const QImage& cached = context.CacheOf(model);
    DrawModelPicture(model, cached.isNull() ? model.picture : cached, displayed);
}

}  // namespace v2d
