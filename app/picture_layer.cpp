#include "app/picture_layer.h"

#include <QMouseEvent>
#include <QPainter>

namespace v2d {

PictureLayer::PictureLayer(const QString& name, Keying keying, QWidget* parent)
    : QWidget(parent), keying_(keying) {
    setObjectName(name);
    if (keying_ == Keying::WhiteIsTransparent) setAttribute(Qt::WA_TranslucentBackground);
}

void PictureLayer::setPicture(const QImage& picture) {
    picture_ = picture;
    shown_ = keying_ == Keying::WhiteIsTransparent ? KeyOutWhite(picture) : picture;
    update();
}

QImage PictureLayer::KeyOutWhite(const QImage& picture) {
    if (picture.isNull()) return {};
    QImage keyed = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < keyed.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x)
            row[x] = (row[x] & 0x00FFFFFFu) == 0x00FFFFFFu ? 0u : (row[x] | 0xFF000000u);
    }
    return keyed;
}

void PictureLayer::paintEvent(QPaintEvent*) {
    if (shown_.isNull()) return;
    QPainter painter(this);
    painter.drawImage(0, 0, shown_);
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
