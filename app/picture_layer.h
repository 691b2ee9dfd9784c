#pragma once
// The scene layer of the view ("Image2"): the composed scene the document
// displays, drawn at the view's zoom. Away from 100 % the zoomed picture is
// kept whole and drawn once per zoom, so a repaint or a scroll is a copy of
// the visible part. A change of the scene redraws only the part of the copy
// the change reaches, once the scene has rested; until then that part is
// scaled directly from the picture at every repaint.
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QRect>
#include <QTimer>

#include <optional>

class QPainter;

namespace v2d {

class PictureLayer : public QObject {
    Q_OBJECT
public:
    explicit PictureLayer(QObject* parent);

    // A picture of another identity replaces the shown one; the same picture
    // again changes nothing. `changed` is the part of the picture (picture
    // pixels) that differs from the one shown before, nullopt when not
    // known; only that part of the zoomed copy is drawn again. Answers the
    // part of the layer (view pixels) that shows something else now.
    QRect setPicture(const QImage& picture, std::optional<QRect> changed = std::nullopt);
    const QImage& picture() const { return picture_; }
    void setZoom(double zoom);
    // The picture's size at the zoom, in view pixels.
    QSize shownSize() const;

    // Draws the part `exposed` of the zoomed picture (view pixels, relative
    // to the picture's top-left) with its top-left at the painter's origin;
    // without a picture the area takes `empty`.
    void paint(QPainter& painter, const QRect& exposed, const QBrush& empty) const;
    // Brings the zoomed copy up to date now if it is due (the benchmark and
    // the tests do not wait for the scene to rest).
    void settle();

signals:
    // The zoomed copy was drawn anew; the view repaints.
    void settled();

private:
    void DrawScaled(QPainter& painter, const QRect& exposed) const;
    // The view pixels of the zoomed picture that a change of `area` of the
    // picture may reach: scaling looks at neighbouring pixels too.
    QRect Reach(const QRect& area) const;

    QImage picture_;
    double zoom_ = 1.0;
    QPixmap zoomed_;  // null at 100 % and until the first copy is made
    QRect stale_;     // the part of zoomed_ that no longer shows picture_
    QTimer rest_;
};

}  // namespace v2d
