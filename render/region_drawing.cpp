#include "render/region_drawing.h"

#include <QBrush>
#include <QPainter>
#include <QTransform>

#include <algorithm>

#include "scene/outline_geometry.h"
#include "base/picture_codec.h"
#include "base/row_bands.h"

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

// Coordinates well inside what Qt's rasterizer takes without cutting the
// path first, before and after a view moves them.
constexpr double kPlainCoordinates = 32000;

bool WithinPlainCoordinates(const QRectF& r) {
    return r.left() > -kPlainCoordinates && r.top() > -kPlainCoordinates && r.right() < kPlainCoordinates &&
           r.bottom() < kPlainCoordinates;
}

// The path filled anti-aliased with the picture repeated from
// `textureOrigin`, within `clip` when it is not null.
void PaintOutline(QImage& device, const QPainterPath& path, const QImage& picture, QPoint textureOrigin,
                  const QRect& clip) {
    QBrush brush(picture);
    brush.setTransform(QTransform::fromTranslate(textureOrigin.x(), textureOrigin.y()));
    QPainter painter(&device);
    if (!clip.isNull()) painter.setClipRect(clip);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(brush);
    painter.drawPath(path);
}

void FillOutline(const V2dPolygon& record, const QImage& picture, QPoint textureOrigin, QImage& target,
                 const QRect& clip) {
    if (picture.isNull() || target.isNull() || record.points.empty() || !WithinDrawingRange(record)) return;
    const QPoint shift = record.kind == RecordKind::ShadowRegion ? QPoint(record.originX, record.originY) : QPoint();
    // Outline points name pixel centres; Qt's pixel (i, j) spans [i, i + 1).
    const QPointF offset(shift.x() + 0.5, shift.y() + 0.5);
    const QRectF reach = OutlinePath(record, offset).controlPointRect();
    QRect area = reach.toAlignedRect().adjusted(-1, -1, 1, 1) & target.rect();
    if (!clip.isNull()) area &= clip;
    if (area.isEmpty()) return;
    if (target.depth() != 32 || !WithinPlainCoordinates(reach.translated(-area.topLeft()))) {
        PaintOutline(target, OutlinePath(record, offset), picture, textureOrigin, area);
        return;
    }
    // Each band of the area is painted as a picture of its own over the
    // target's pixels, the outline and the texture moved by whole pixels:
    // the rasterizer then walks the band's rows alone (a painter clip does
    // not spare it the rest of a tall outline), and a whole-pixel move and
    // the picture's edges leave every pixel's coverage as it was. The bands
    // go over the cores.
    uchar* const bits = target.bits();  // detached once, before the bands share it
    const qsizetype stride = target.bytesPerLine();
    ForEachRowBand(area.height(), area.width(), [&](int first, int end) {
        const QRect band(area.left(), area.top() + first, area.width(), end - first);
        QImage view(bits + band.top() * stride + 4 * qsizetype(band.left()), band.width(), band.height(), stride,
                    target.format());
        // A path of its own: a shared one caches its bounds lazily.
        PaintOutline(view, OutlinePath(record, offset - QPointF(band.topLeft())), picture,
                     textureOrigin - band.topLeft(), {});
    });
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
