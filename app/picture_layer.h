#pragma once
// One layer of the scene view: the composed scene (Image2) or the overlay
// (Image1, Image3), which shows its picture with white as the transparent key
// so only what was drawn on it covers the scene beneath.
#include <QImage>
#include <QPoint>
#include <QWidget>

namespace v2d {

class PictureLayer : public QWidget {
    Q_OBJECT
public:
    enum class Keying { Opaque, WhiteIsTransparent };
    PictureLayer(const QString& name, Keying keying, QWidget* parent);

    void setPicture(const QImage& picture);
    // The same picture with only `changed` drawn anew (a handle drag
    // redraws a small part of a large overlay many times a second).
    void setPicture(const QImage& picture, const QRect& changed);
    void clearPicture() { setPicture(QImage()); }
    // Lets go of the picture but keeps showing it, so its owner can draw on
    // it in place before handing it back with the changed area.
    void releasePicture() { picture_ = QImage(); }
    const QImage& picture() const { return picture_; }
    // The scene layer shows its picture at the view's zoom; the overlays
    // are drawn at the zoomed size already and keep 1.
    void setZoom(double zoom);

    // White pixels become fully transparent; every other pixel opaque.
    static QImage KeyOutWhite(const QImage& picture);

signals:
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint at);
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint at);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint at);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Keying keying_;
    double zoom_ = 1.0;
    QImage picture_;
    QImage shown_;  // the keyed copy for the overlay
};

}  // namespace v2d
