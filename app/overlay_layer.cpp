#include "app/overlay_layer.h"

#include <QPainter>

namespace v2d {

namespace {
const QColor kOutlineColour(0xFF, 0xFF, 0x00);    // the program's 0x00FFFF, yellow
const QColor kModelFrameColour(0xFF, 0x00, 0xFF);  // magenta
}  // namespace

OverlayLayer::OverlayLayer(QObject* parent) : QObject(parent) { setObjectName(QStringLiteral("Image1")); }

void OverlayLayer::clear() {
    shown_ = false;
    outline_.reset();
    frame_.reset();
    band_.reset();
}

void OverlayLayer::start(QSize zoomedSize) {
    clear();
    size_ = zoomedSize;
    shown_ = !zoomedSize.isEmpty();
}

void OverlayLayer::setOutline(QPainterPath outline, double zoom) {
    outline_ = std::move(outline);
    zoom_ = zoom;
}

void OverlayLayer::setFrame(QPolygonF frame) { frame_ = std::move(frame); }
void OverlayLayer::setBand(QPolygonF band) { band_ = std::move(band); }

QRect OverlayLayer::covered() const {
    QRectF area;
    if (outline_) area |= QRectF(outline_->boundingRect().topLeft() * zoom_, outline_->boundingRect().size() * zoom_);
    if (frame_) area |= frame_->boundingRect();
    if (band_) area |= band_->boundingRect();
    return area.toAlignedRect().adjusted(-2, -2, 2, 2);
}

void OverlayLayer::paint(QPainter& painter, Edges edges) const {
    if (!shown_) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, edges == Edges::Smooth);
    painter.setBrush(Qt::NoBrush);
    // Whole-pixel lines cover the pixel right of and below their points;
    // smooth ones go through its centre to cover the same pixel.
    const QPointF centre = edges == Edges::Smooth ? QPointF(0.5, 0.5) : QPointF();
    if (outline_) {
        QPen pen(kOutlineColour, 1);
        pen.setCosmetic(true);  // one pixel at every zoom
        painter.setPen(pen);
        painter.save();
        painter.translate(centre);
        painter.scale(zoom_, zoom_);
        painter.drawPath(*outline_);
        painter.restore();
    }
    if (frame_) {
        painter.setPen(QPen(kModelFrameColour, 1));
        painter.drawPolygon(*frame_);
    }
    if (band_) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawPolygon(band_->translated(centre));
    }
    painter.restore();
}

QImage OverlayLayer::Drawn(QColor ground) const {
    if (!shown_) return {};
    QImage drawn(size_, QImage::Format_ARGB32);
    drawn.fill(ground);
    QPainter painter(&drawn);
    paint(painter, Edges::Pixel);
    return drawn;
}

QImage OverlayLayer::picture() const { return Drawn(Qt::white); }
QImage OverlayLayer::coverage() const { return Drawn(Qt::transparent); }

}  // namespace v2d
