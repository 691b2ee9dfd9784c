#include "app/picture_layer.h"

#include <QPainter>

#include <cmath>

namespace v2d {

namespace {
// A scene that has not changed for this long is taken as resting.
constexpr int kRestMs = 250;
}  // namespace

PictureLayer::PictureLayer(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("Image2"));
    rest_.setSingleShot(true);
    rest_.setInterval(kRestMs);
    connect(&rest_, &QTimer::timeout, this, [this] {
        settle();
        emit settled();
    });
}

void PictureLayer::setPicture(const QImage& picture) {
    if (picture.cacheKey() == picture_.cacheKey() && picture.size() == picture_.size()) return;
    picture_ = picture;
    zoomed_ = QPixmap();
    if (zoom_ != 1.0 && !picture_.isNull()) rest_.start();
}

void PictureLayer::setZoom(double zoom) {
    if (zoom == zoom_ || !(zoom > 0)) return;
    zoom_ = zoom;
    zoomed_ = QPixmap();
    settle();
}

QSize PictureLayer::shownSize() const { return picture_.size() * zoom_; }

void PictureLayer::settle() {
    rest_.stop();
    if (zoom_ == 1.0 || picture_.isNull() || !zoomed_.isNull()) return;
    QPixmap zoomed(shownSize());
    if (zoomed.isNull()) return;
    QPainter painter(&zoomed);
    DrawScaled(painter, QRect(QPoint(), zoomed.size()));
    painter.end();
    zoomed_ = std::move(zoomed);
}

// The whole picture is drawn scaled into the layer's size, clipped to the
// exposed part: the zoomed copy and a direct draw give the same pixels.
void PictureLayer::DrawScaled(QPainter& painter, const QRect& exposed) const {
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, zoom_ < 1.0);
    painter.setClipRect(exposed, Qt::IntersectClip);
    painter.drawImage(QRectF(QPointF(), QSizeF(shownSize())), picture_);
    painter.restore();
}

void PictureLayer::paint(QPainter& painter, const QRect& exposed, const QBrush& empty) const {
    if (picture_.isNull()) return painter.fillRect(exposed, empty);
    if (zoom_ == 1.0) return painter.drawImage(exposed.topLeft(), picture_, exposed);
    if (!zoomed_.isNull()) return painter.drawPixmap(exposed.topLeft(), zoomed_, exposed);
    DrawScaled(painter, exposed);
}

}  // namespace v2d
