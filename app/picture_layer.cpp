#include "app/picture_layer.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace v2d {

namespace {
QRgb KeyedPixel(QRgb pixel) { return (pixel & 0x00FFFFFFu) == 0x00FFFFFFu ? 0u : (pixel | 0xFF000000u); }
}  // namespace

PictureLayer::PictureLayer(const QString& name, Keying keying, QWidget* parent)
    : QWidget(parent), keying_(keying) {
    setObjectName(name);
    // The scene covers every pixel of its layer; nothing beneath is painted.
    setAttribute(keying_ == Keying::WhiteIsTransparent ? Qt::WA_TranslucentBackground : Qt::WA_OpaquePaintEvent);
}

void PictureLayer::setPicture(const QImage& picture) {
    picture_ = picture;
    shown_ = keying_ == Keying::WhiteIsTransparent ? KeyOutWhite(picture) : picture;
    update();
}

void PictureLayer::setPicture(const QImage& picture, const QRect& changed) {
    if (keying_ != Keying::WhiteIsTransparent || shown_.size() != picture.size()) return setPicture(picture);
    picture_ = picture;
    const QRect area = changed & picture.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        auto* row = reinterpret_cast<QRgb*>(shown_.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x)
            row[x] = KeyedPixel(from[x]);
    }
    update(area);
}

QImage PictureLayer::KeyOutWhite(const QImage& picture) {
    if (picture.isNull()) return {};
    QImage keyed = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < keyed.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x)
            row[x] = KeyedPixel(row[x]);
    }
    return keyed;
}

void PictureLayer::setZoom(double zoom) {
    if (zoom == zoom_ || !(zoom > 0)) return;
    zoom_ = zoom;
    update();
}

// Only the exposed part is scaled, so a zoomed scene costs no copy of its own.
void PictureLayer::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (shown_.isNull()) {
        if (keying_ == Keying::Opaque) painter.fillRect(event->rect(), palette().window());
        return;
    }
    if (zoom_ == 1.0) return painter.drawImage(event->rect(), shown_, event->rect());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, zoom_ < 1.0);
    painter.setClipRect(event->rect());
    painter.drawImage(QRectF(rect()), shown_);  // the layer is the zoomed size: every pixel covered
}

void PictureLayer::mousePressEvent(QMouseEvent* event) {
    emit mouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

void PictureLayer::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(event->buttons(), event->modifiers(), event->position().toPoint());
}

void PictureLayer::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseUp(event->button(), event->modifiers(), event->position().toPoint());
}

}  // namespace v2d
