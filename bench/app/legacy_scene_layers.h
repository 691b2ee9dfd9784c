#pragma once
// The scene view as it was drawn before it painted vectors, kept only to be
// measured against: three stacked picture widgets (the scene, and twice the
// zoom-sized overlay with white keyed out pixel by pixel) in a panel, the
// outline drawn into the overlay bitmap.
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>

namespace v2d::bench {

class LegacyLayer : public QWidget {
public:
    LegacyLayer(bool keyed, QWidget* parent) : QWidget(parent), keyed_(keyed) {
        setAttribute(keyed ? Qt::WA_TranslucentBackground : Qt::WA_OpaquePaintEvent);
    }
    void setPicture(const QImage& picture) {
        shown_ = keyed_ ? KeyOutWhite(picture) : picture;
        update();
    }
    void setZoom(double zoom) { zoom_ = zoom; }

    static QImage KeyOutWhite(const QImage& picture) {
        QImage keyed = picture.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < keyed.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(keyed.scanLine(y));
            for (int x = 0; x < keyed.width(); ++x)
                row[x] = (row[x] & 0x00FFFFFFu) == 0x00FFFFFFu ? 0u : (row[x] | 0xFF000000u);
        }
        return keyed;
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        if (zoom_ == 1.0) return painter.drawImage(event->rect(), shown_, event->rect());
        painter.setRenderHint(QPainter::SmoothPixmapTransform, zoom_ < 1.0);
        painter.setClipRect(event->rect());
        painter.drawImage(QRectF(rect()), shown_);
    }

private:
    bool keyed_;
    double zoom_ = 1.0;
    QImage shown_;
};

// PanelBack of the given size with the picture panel centred or at the top-left.
class LegacySceneView : public QWidget {
public:
    LegacySceneView(const QImage& scene, QSize visible) {
        resize(visible);
        setAutoFillBackground(true);
        panel_ = new QWidget(this);
        panel_->setAutoFillBackground(true);
        scene_ = new LegacyLayer(false, panel_);
        overlayUnder_ = new LegacyLayer(true, panel_);
        overlay_ = new LegacyLayer(true, panel_);
        scene_->setPicture(scene);
        picture_ = scene.size();
    }
    void setZoom(double zoom) {
        zoom_ = zoom;
        const QSize shown = picture_ * zoom;
        panel_->resize(shown + QSize(2, 2));
        for (LegacyLayer* layer : {scene_, overlayUnder_, overlay_}) layer->setGeometry(1, 1, shown.width(), shown.height());
        scene_->setZoom(zoom);
        const QSize room = size() - panel_->size();
        panel_->move(std::max(0, room.width() / 2), std::max(0, room.height() / 2));
    }
    // A record's outline as the overlay bitmap held it.
    void showOutline(const QPainterPath& outline) {
        QImage overlay(picture_ * zoom_, QImage::Format_RGB32);
        overlay.fill(Qt::white);
        {
            QPainter painter(&overlay);
            QPen pen(QColor(255, 255, 0), 1);
            pen.setCosmetic(true);
            painter.setPen(pen);
            painter.scale(zoom_, zoom_);
            painter.drawPath(outline);
        }
        overlayUnder_->setPicture(overlay);
        overlay_->setPicture(overlay);
    }

private:
    QWidget* panel_;
    LegacyLayer* scene_;
    LegacyLayer* overlayUnder_;
    LegacyLayer* overlay_;
    QSize picture_;
    double zoom_ = 1.0;
};

}  // namespace v2d::bench
