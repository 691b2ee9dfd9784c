#pragma once
// The photo with the scheme's outlines over it, at a zoom: points, corners
// and the outline being clicked are drawn on top. It turns mouse input into
// the editor's operations and tells the window what changed.
#include <QPixmap>
#include <QWidget>

#include <functional>

#include "v2dtool/outline_editor.h"

namespace v2d::tool {

class OutlineCanvas : public QWidget {
    Q_OBJECT
public:
    explicit OutlineCanvas(OutlineEditor& editor, QWidget* parent = nullptr);

    // After the editor's photo was replaced.
    void PhotoChanged();
    double zoom() const { return zoom_; }
    void SetZoom(double zoom);
    int current() const { return current_; }
    void SetCurrent(int index);
    int selectedPoint() const { return selectedPoint_; }
    // How a click on the photo makes the draft: point by point, by smart
    // selection (Shift+click takes away), or the whole room from a click on
    // its floor (a click on a surface's draft picks it). Leaving a mode drops the drafts.
    enum class Mode { Select, Draw, Smart, Room };
    Mode mode() const { return mode_; }
    void SetMode(Mode mode);
    bool drawing() const { return mode_ != Mode::Select; }
    void SetDrawing(bool on) { SetMode(on ? Mode::Draw : Mode::Select); }
    // While on, a drag draws a line of known length; the draft stays.
    bool calibrating() const { return calibrating_; }
    void SetCalibrating(bool on);
    // The last calibration line, dashed, with its label.
    void SetCalibrationLine(V2d_Point a, V2d_Point b, const QString& label);
    // Photo pixel under a widget point.
    V2d_Point PhotoPoint(QPoint at) const;
    QPoint WidgetPoint(V2d_Point p) const;

signals:
    void changed();           // the outlines changed
    void currentChanged(int index);
    void finishRequested();   // a double click ends the outline being drawn
    void draftChanged();      // a smart click or a drag changed the draft
    void smartClicked(V2d_Point at, bool takeAway);  // a smart click asks for the surface under it
    void draftPicked();       // a click picked another of the room's drafts
    void roomClicked(V2d_Point floor);  // a click on the floor asks for the room
    void lineDrawn(V2d_Point a, V2d_Point b);  // a calibration line was released
    void failed(const QString& message);
    void panned(QPoint delta);
    void zoomRequested(int steps, QPoint at);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    enum class Drag { None, Point, Corner, Pan, DraftPoint, DraftCorner, Line };
    void Report(const Status& status);
    void PaintCorners(QPainter& painter, const Quad& corners) const;
    void PaintDraft(QPainter& painter) const;
    void PaintFoundDraft(QPainter& painter, const OutlineDraft& draft, bool current) const;
    bool GrabDraft(QPoint at);

    OutlineEditor& editor_;
    QPixmap pixmap_;
    double zoom_ = 1.0;
    int current_ = -1;
    int selectedPoint_ = -1;
    Mode mode_ = Mode::Select;
    bool calibrating_ = false;
    V2d_Point lineFrom_{}, lineTo_{};
    bool hasLine_ = false;
    QString lineLabel_;
    Drag drag_ = Drag::None;
    int dragIndex_ = -1;
    bool dragStarted_ = false;
    QPoint panFrom_;
};

}  // namespace v2d::tool
