#include "app/before_after_layer.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "app/picture_layer.h"

namespace v2d {

namespace {
constexpr int kGripRadius = 14;
constexpr int kCaptionMargin = 10;

void DrawCaption(QPainter& painter, const QString& text, QPoint corner, bool alignRight) {
    const QFontMetrics metrics(painter.font());
    const QSize size(metrics.horizontalAdvance(text) + 16, metrics.height() + 8);
    const QRect box(alignRight ? corner - QPoint(size.width(), 0) : corner, size);
    QPainterPath pill;
    pill.addRoundedRect(box, 6, 6);
    painter.fillPath(pill, QColor(0, 0, 0, 150));
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, text);
}
}  // namespace

BeforeAfterLayer::BeforeAfterLayer(QObject* parent) : QObject(parent), photo_(new PictureLayer(this)) {
    setObjectName(QStringLiteral("ImageBefore"));
    photo_->setObjectName(QStringLiteral("ImageBeforePhoto"));
}

void BeforeAfterLayer::setSplit(double split) { split_ = std::clamp(std::isfinite(split) ? split : 0.5, 0.0, 1.0); }

void BeforeAfterLayer::setPhoto(const QImage& photo) { (void)photo_->setPicture(photo); }

void BeforeAfterLayer::setZoom(double zoom) { photo_->setZoom(zoom); }

int BeforeAfterLayer::splitX(int width) const { return static_cast<int>(std::lround(split_ * width)); }

void BeforeAfterLayer::paint(QPainter& painter, const QRect& exposed, int pictureWidth, int pictureHeight) const {
    if (!active_) return;
    const int x = splitX(pictureWidth);
    if (const QRect left = exposed & QRect(0, 0, x, pictureHeight); !left.isEmpty()) {
        painter.save();
        painter.setClipRect(left, Qt::IntersectClip);
        photo_->paint(painter, left, Qt::black);
        painter.restore();
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 0, 0, 90), 4));
    painter.drawLine(QPointF(x, 0), QPointF(x, pictureHeight));
    painter.setPen(QPen(Qt::white, 2));
    painter.drawLine(QPointF(x, 0), QPointF(x, pictureHeight));
    const QPointF grip(x, pictureHeight / 2.0);
    painter.setBrush(Qt::white);
    painter.setPen(QPen(QColor(0, 0, 0, 120), 1));
    painter.drawEllipse(grip, kGripRadius, kGripRadius);
    painter.setBrush(QColor(60, 60, 60));
    painter.setPen(Qt::NoPen);
    for (const int side : {-1, 1}) {  // two arrowheads: the line moves both ways
        const QPolygonF head({grip + QPointF(side * 9, 0), grip + QPointF(side * 3, -5), grip + QPointF(side * 3, 5)});
        painter.drawPolygon(head);
    }
    DrawCaption(painter, QCoreApplication::translate("SceneView", "原图"), QPoint(kCaptionMargin, kCaptionMargin), false);
    DrawCaption(painter, QCoreApplication::translate("SceneView", "效果"), QPoint(pictureWidth - kCaptionMargin, kCaptionMargin), true);
    painter.restore();
}

}  // namespace v2d
