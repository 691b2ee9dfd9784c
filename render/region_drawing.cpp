#include "render/region_drawing.h"

#include <QBrush>
#include <QPainter>
#include <QTransform>

#include <algorithm>

#include "scene/outline_geometry.h"
#include "base/picture_codec.h"

namespace v2d {

bool WithinDrawingRange(const V2dPolygon& record) {
    auto inside = [](const V2d_Point& p) { return WithinCoordinateLimit(p.x) && WithinCoordinateLimit(p.y); };
    if (!inside({record.originX, record.originY}) || !inside({record.shadowX, record.shadowY})) return false;
    if (!std::all_of(std::begin(record.corners), std::end(record.corners), inside)) return false;
    return std::all_of(record.points.begin(), record.points.end(), inside);
}

QPoint PictureOrigin(const V2dPolygon& record) {
    const PixelBox box = OutlineBox(record);
    if (record.kind != RecordKind::ShadowRegion) return {box.minX, box.minY};
    return {SaturatedSum(box.minX, record.originX), SaturatedSum(box.minY, record.originY)};
}

QRect DrawnBounds(const V2dPolygon& record) {
    const PixelBox box = OutlineBox(record);
    if (box.empty() || !WithinDrawingRange(record)) return {};
    const QPoint origin = PictureOrigin(record);
    return QRect(origin.x(), origin.y(), box.width(), box.height());
}

namespace {

void FillOutline(const V2dPolygon& record, const QImage& picture, QPoint textureOrigin, QImage& target,
                 const QRect& clip) {
    if (picture.isNull() || target.isNull() || record.points.empty() || !WithinDrawingRange(record)) return;
    const QPoint shift = record.kind == RecordKind::ShadowRegion ? QPoint(record.originX, record.originY) : QPoint();
    // Outline points name pixel centres; Qt's pixel (i, j) spans [i, i + 1).
    const QPainterPath path = OutlinePath(record, QPointF(shift.x() + 0.5, shift.y() + 0.5));
    QBrush brush(picture);
    brush.setTransform(QTransform::fromTranslate(textureOrigin.x(), textureOrigin.y()));
    QPainter painter(&target);
    if (!clip.isNull()) painter.setClipRect(clip);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(brush);
    painter.drawPath(path);
}

}  // namespace

void DrawRegionPicture(const V2dPolygon& record, const QImage& picture, QImage& target, const QRect& clip) {
    FillOutline(record, picture, PictureOrigin(record), target, clip);
}

void DrawRegionRows(const V2dPolygon& record, const QImage& rows, int firstRow, QImage& target, const QRect& clip) {
    const QPoint origin = PictureOrigin(record) + QPoint(0, firstRow);
    QRect band = QRect(0, origin.y(), target.width(), rows.height()) & target.rect();
    if (!clip.isNull()) band &= clip;
    if (!band.isEmpty()) FillOutline(record, rows, origin, target, band);
}

}  // namespace v2d
