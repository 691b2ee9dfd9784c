#include "render/region_drawing.h"

#include <QBrush>
#include <QPainter>
#include <QTransform>

#include "scene/outline_geometry.h"
#include "base/picture_codec.h"

namespace v2d {

QPoint PictureOrigin(const V2dPolygon& record) {
    const PixelBox box = OutlineBox(record);
    QPoint origin(box.minX, box.minY);
    if (record.kind == kShadowRegion) origin += QPoint(record.originX, record.originY);
    return origin;
}

QRect DrawnBounds(const V2dPolygon& record) {
    const PixelBox box = OutlineBox(record);
    if (box.empty()) return {};
    const QPoint origin = PictureOrigin(record);
    return QRect(origin.x(), origin.y(), box.width(), box.height());
}

void DrawRegionPicture(const V2dPolygon& record, const QImage& picture, QImage& target, const QRect& clip) {
    if (picture.isNull() || target.isNull() || record.points.empty()) return;
    const QPoint origin = PictureOrigin(record);
    const QPoint shift = record.kind == kShadowRegion ? QPoint(record.originX, record.originY) : QPoint();
    // Outline points name pixel centres; Qt's pixel (i, j) spans [i, i + 1).
    const QPainterPath path = OutlinePath(record, QPointF(shift.x() + 0.5, shift.y() + 0.5));
    QBrush brush(picture);
    brush.setTransform(QTransform::fromTranslate(origin.x(), origin.y()));
    QPainter painter(&target);
    if (!clip.isNull()) painter.setClipRect(clip);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(brush);
    painter.drawPath(path);
}

}  // namespace v2d
