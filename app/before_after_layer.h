#pragma once
// "原图对比": the photo as it was beside the scene as laid, one picture split
// by an upright line the person drags (or the split slider moves). Left of
// the line the photo, right of it the scene; the line, its grip and the two
// captions are drawn over both.
#include <QObject>

class QPainter;
class QImage;
class QRect;

namespace v2d {

class PictureLayer;

class BeforeAfterLayer : public QObject {
    Q_OBJECT
public:
    explicit BeforeAfterLayer(QObject* parent);

    bool active() const { return active_; }
    void setActive(bool active) { active_ = active; }
    // The line's place as a share of the picture's width, 0..1.
    double split() const { return split_; }
    void setSplit(double split);
    // The photo, at the view's zoom.
    void setPhoto(const QImage& photo);
    void setZoom(double zoom);
    // The split line's x in view pixels of a picture `width` wide.
    int splitX(int width) const;

    // Over the scene already painted, with the painter's origin at the
    // picture's top-left: the photo left of the line, then the marks.
    void paint(QPainter& painter, const QRect& exposed, int pictureWidth, int pictureHeight) const;

private:
    PictureLayer* photo_;
    bool active_ = false;
    double split_ = 0.5;
};

}  // namespace v2d
