#pragma once
// The scene layer of the view ("Image2"): the composed scene the document
// displays, drawn at the view's zoom. Away from 100 % the zoomed picture is
// kept whole and drawn once per zoom and change, so a repaint or a scroll is
// a copy of the visible part; while the scene changes step by step (a handle
// being dragged) the visible part is scaled directly until it rests.
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QTimer>

class QPainter;

namespace v2d {

class PictureLayer : public QObject {
    Q_OBJECT
public:
    explicit PictureLayer(QObject* parent);

    // A picture of another identity replaces the zoomed copy; the same
    // picture again changes nothing.
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }
    void setZoom(double zoom);
    // The picture's size at the zoom, in view pixels.
    QSize shownSize() const;

    // Draws the part `exposed` of the zoomed picture (view pixels, relative
    // to the picture's top-left) with its top-left at the painter's origin;
    // without a picture the area takes `empty`.
    void paint(QPainter& painter, const QRect& exposed, const QBrush& empty) const;
    // Draws the zoomed copy now if it is due (the benchmark and the tests
    // do not wait for the scene to rest).
    void settle();

signals:
    // The zoomed copy was drawn anew; the view repaints.
    void settled();

private:
    void DrawScaled(QPainter& painter, const QRect& exposed) const;

    QImage picture_;
    double zoom_ = 1.0;
    QPixmap zoomed_;  // null at 100 % and while the scene is changing
    QTimer rest_;
};

}  // namespace v2d
