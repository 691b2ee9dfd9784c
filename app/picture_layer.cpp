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

QRect PictureLayer::setPicture(const QImage& picture, std::optional<QRect> changed) {
    if (picture.cacheKey() == picture_.cacheKey() && picture.size() == picture_.size()) return {};
    if (picture.size() != picture_.size()) changed.reset();
    picture_ = picture;
    const QRect shown(QPoint(), shownSize());
    const QRect reach = changed ? Reach(*changed) : shown;
    if (zoom_ == 1.0 || picture_.isNull()) return reach;
    if (!changed) zoomed_ = QPixmap();
    if (!zoomed_.isNull()) stale_ |= reach;
    if (zoomed_.isNull() || !stale_.isEmpty()) rest_.start();
    return reach;
}

void PictureLayer::setZoom(double zoom) {
    if (zoom == zoom_ || !(zoom > 0)) return;
    zoom_ = zoom;
    zoomed_ = QPixmap();
    stale_ = QRect();
    settle();
}

QSize PictureLayer::shownSize() const { return picture_.size() * zoom_; }

QRect PictureLayer::Reach(const QRect& area) const {
    if (picture_.isNull() || area.isEmpty()) return {};
    const QSize shown = shownSize();
    const double sx = double(shown.width()) / picture_.width(), sy = double(shown.height()) / picture_.height();
    // The nearest pixel above 100 %, a smoothed pixel's neighbours below it.
    const int mx = 2 + int(std::ceil(sx)), my = 2 + int(std::ceil(sy));
    QRect reach(QPoint(int(std::floor(area.left() * sx)) - mx, int(std::floor(area.top() * sy)) - my),
                QPoint(int(std::ceil((area.right() + 1) * sx)) + mx, int(std::ceil((area.bottom() + 1) * sy)) + my));
    // A smoothed row is sampled from its left end on: a row begun further
    // right lands on other fractions of pixels, so smoothed rows are drawn whole.
    if (zoom_ < 1.0) reach.setLeft(0), reach.setRight(shown.width() - 1);
    return reach & QRect(QPoint(), shown);
}

void PictureLayer::settle() {
    rest_.stop();
    if (zoom_ == 1.0 || picture_.isNull()) return;
    if (zoomed_.isNull()) {
        QPixmap zoomed(shownSize());
        if (zoomed.isNull()) return;
        QPainter painter(&zoomed);
        DrawScaled(painter, QRect(QPoint(), zoomed.size()));
        painter.end();
        zoomed_ = std::move(zoomed);
    } else if (!stale_.isEmpty()) {
        QPainter painter(&zoomed_);
        DrawScaled(painter, stale_);
    }
    stale_ = QRect();
}

// The whole picture is drawn scaled into the layer's size, clipped to the
// exposed part: the zoomed copy, a part of it drawn again and a direct draw
// all give the same pixels.
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
    if (zoomed_.isNull()) return DrawScaled(painter, exposed);
    painter.drawPixmap(exposed.topLeft(), zoomed_, exposed);
    if (const QRect changing = exposed & stale_; !changing.isEmpty()) DrawScaled(painter, changing);
}

}  // namespace v2d
