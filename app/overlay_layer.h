#pragma once
// The overlay of the view ("Image1", the layer the mouse handlers are named
// after): the selection's outline, a model's frame and the rubber band, kept
// as vectors and painted over the scene at every repaint.
#include <QImage>
#include <QObject>
#include <QPainterPath>
#include <QPolygonF>
#include <QSize>

#include <optional>

class QPainter;

namespace v2d {

class OverlayLayer : public QObject {
    Q_OBJECT
public:
    explicit OverlayLayer(QObject* parent);

    // Cleared, nothing shows and picture() is null; started, it is empty.
    void clear();
    void start(QSize zoomedSize);
    bool shown() const { return shown_; }

    // What start() began is drawn on: the record's outline in picture
    // coordinates, drawn at the zoom.
    void setOutline(QPainterPath outline, double zoom);
    // The frame and the band in view coordinates of the zoomed picture.
    void setFrame(QPolygonF frame);
    void setBand(QPolygonF band);
    // The view area (zoomed picture coordinates) the marks cover.
    QRect covered() const;

    // With the painter's origin at the picture's top-left.
    enum class Edges { Smooth, Pixel };
    void paint(QPainter& painter, Edges edges) const;
    // What the overlay covers, drawn on white at the zoomed picture's size
    // with whole pixels; null while cleared.
    QImage picture() const;
    // The same on a transparent ground: only what was drawn covers the scene.
    QImage coverage() const;

private:
    QImage Drawn(QColor ground) const;

    bool shown_ = false;
    QSize size_;
    double zoom_ = 1.0;
    std::optional<QPainterPath> outline_;
    std::optional<QPolygonF> frame_;
    std::optional<QPolygonF> band_;
};

}  // namespace v2d
