#include "v2dtool/outline_canvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QWheelEvent>

#include <cmath>
#include <span>
#include <utility>

#include "scene/outline_geometry.h"

namespace v2d::tool {
namespace {

constexpr int kGrabDistance = 6;  // screen pixels
const QColor kCurrent(255, 220, 0), kEditable(0, 200, 255), kOther(170, 170, 170), kCorner(255, 0, 255);

bool Near(QPoint a, QPoint b) { return std::abs(a.x() - b.x()) <= kGrabDistance && std::abs(a.y() - b.y()) <= kGrabDistance; }

// Where a surface's name goes: the middle of its box, else the first point
// inside the area along the box's middle row.
QPoint LabelPoint(const QPainterPath& area) {
    const QRectF box = area.boundingRect();
    for (int step = 0; step <= 16; ++step) {
        const double offset = (step % 2 ? 1 : -1) * ((step + 1) / 2) / 16.0;
        const QPointF at(box.center().x() + offset * box.width(), box.center().y());
        if (area.contains(at)) return at.toPoint();
    }
    return box.center().toPoint();
}

}  // namespace

OutlineCanvas::OutlineCanvas(OutlineEditor& editor, QWidget* parent) : QWidget(parent), editor_(editor) {
    setObjectName("Canvas");
    setMouseTracking(false);
    setFocusPolicy(Qt::StrongFocus);
}

void OutlineCanvas::PhotoChanged() {
    pixmap_ = QPixmap::fromImage(editor_.photo());
    current_ = -1;
    selectedPoint_ = -1;
    hasLine_ = false;
    SetZoom(zoom_);
}

void OutlineCanvas::SetZoom(double zoom) {
    zoom_ = std::clamp(zoom, 0.02, 8.0);
    const QSize size = editor_.photo().size() * zoom_;
    setFixedSize(size.isEmpty() ? QSize(1, 1) : size);
    update();
}

void OutlineCanvas::SetCurrent(int index) {
    current_ = editor_.IsEditable(index) ? index : -1;
    selectedPoint_ = -1;
    update();
    emit currentChanged(current_);
}

void OutlineCanvas::SetMode(Mode mode) {
    if (mode != mode_) editor_.CancelDraft();
    mode_ = mode;
    setCursor(calibrating_ || mode != Mode::Select ? Qt::CrossCursor : Qt::ArrowCursor);
    update();
}

void OutlineCanvas::SetCalibrating(bool on) {
    calibrating_ = on;
    SetMode(mode_);
}

void OutlineCanvas::SetCalibrationLine(V2d_Point a, V2d_Point b, const QString& label) {
    lineFrom_ = a, lineTo_ = b, hasLine_ = true;
    lineLabel_ = label;
    update();
}

V2d_Point OutlineCanvas::PhotoPoint(QPoint at) const {
    return {static_cast<int32_t>(std::floor(at.x() / zoom_)), static_cast<int32_t>(std::floor(at.y() / zoom_))};
}

QPoint OutlineCanvas::WidgetPoint(V2d_Point p) const {
    return QPoint(static_cast<int>((p.x + 0.5) * zoom_), static_cast<int>((p.y + 0.5) * zoom_));
}

void OutlineCanvas::Report(const Status& status) {
    if (!status) emit failed(QString::fromStdString(status.error()));
}

void OutlineCanvas::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect exposed = event->rect();
    if (!pixmap_.isNull()) {
        // Only the exposed part of a large photo is scaled.
        const QRectF source(exposed.x() / zoom_, exposed.y() / zoom_, exposed.width() / zoom_, exposed.height() / zoom_);
        painter.drawPixmap(QRectF(exposed), pixmap_, source);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const Scene& scene = editor_.scene();
    auto polygonOf = [this](const std::vector<V2d_Point>& points, V2d_Point shift) {
        QPolygon polygon;
        for (const V2d_Point& p : points) polygon << WidgetPoint({p.x + shift.x, p.y + shift.y});
        return polygon;
    };
    for (int i = 0; i < scene.count(); ++i) {
        const V2dPolygon& r = *scene.at(i);
        const V2d_Point shift = r.kind == RecordKind::ShadowRegion ? V2d_Point{r.originX, r.originY} : V2d_Point{};
        const QColor colour = i == current_ ? kCurrent : editor_.IsEditable(i) ? kEditable : kOther;
        painter.setPen(QPen(colour, i == current_ ? 2 : 1, editor_.IsEditable(i) ? Qt::SolidLine : Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        for (const auto& ring : OutlineRings(r))
            painter.drawPolygon(polygonOf(std::vector<V2d_Point>(ring.begin(), ring.end()), shift));
    }
    if (current_ >= 0 && current_ < scene.count()) {
        const V2dPolygon& r = *scene.at(current_);
        const V2d_Point shift = r.kind == RecordKind::ShadowRegion ? V2d_Point{r.originX, r.originY} : V2d_Point{};
        for (int k = 0; k < r.pointCount(); ++k) {
            const QPoint at = WidgetPoint({r.points[size_t(k)].x + shift.x, r.points[size_t(k)].y + shift.y});
            painter.setPen(Qt::black);
            painter.setBrush(k == selectedPoint_ ? QColor(Qt::red) : kCurrent);
            painter.drawRect(at.x() - 3, at.y() - 3, 6, 6);
        }
        PaintCorners(painter, QuadOf(r.corners));
    }
    PaintDraft(painter);
    if (hasLine_) {
        const QPoint a = WidgetPoint(lineFrom_), b = WidgetPoint(lineTo_);
        for (const auto& [colour, width] : {std::pair{QColor(Qt::white), 4}, std::pair{QColor(0, 120, 255), 2}}) {
            painter.setPen(QPen(colour, width, width == 4 ? Qt::SolidLine : Qt::DashLine));
            painter.drawLine(a, b);
        }
        if (!lineLabel_.isEmpty()) {
            const QPoint mid = (a + b) / 2 + QPoint(6, -6);
            const QRect box = painter.fontMetrics().boundingRect(lineLabel_).translated(mid).adjusted(-3, -2, 3, 2);
            painter.fillRect(box, QColor(255, 255, 255, 220));
            painter.setPen(Qt::black);
            painter.drawText(mid, lineLabel_);
        }
    }
}

void OutlineCanvas::PaintCorners(QPainter& painter, const Quad& corners) const {
    QPolygon quad;
    for (const V2d_Point& c : corners) quad << WidgetPoint(c);
    painter.setPen(QPen(kCorner, 1, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(quad);
    for (int c = 0; c < 4; ++c) {
        painter.setPen(Qt::black);
        painter.setBrush(kCorner);
        painter.drawRect(quad[c].x() - 4, quad[c].y() - 4, 8, 8);
        painter.drawText(quad[c] + QPoint(6, -6), QString::number(c + 1));
    }
}

void OutlineCanvas::PaintDraft(QPainter& painter) const {
    const std::vector<V2d_Point>& draft = editor_.draft();
    if (draft.empty()) return;
    if (editor_.draftEnds().empty()) {  // clicked by hand: open until finished
        QPolygon line;
        for (const V2d_Point& p : draft) line << WidgetPoint(p);
        painter.setPen(QPen(Qt::red, 2));
        painter.drawPolyline(line);
        painter.setBrush(Qt::red);
        for (const V2d_Point& p : draft) painter.drawEllipse(WidgetPoint(p), 3, 3);
        return;
    }
    const std::vector<OutlineDraft>& drafts = editor_.drafts();
    for (int i = 0; i < static_cast<int>(drafts.size()); ++i)
        if (i != editor_.currentDraft()) PaintFoundDraft(painter, drafts[size_t(i)], false);
    PaintFoundDraft(painter, drafts[size_t(editor_.currentDraft())], true);  // on top
}

void OutlineCanvas::PaintFoundDraft(QPainter& painter, const OutlineDraft& draft, bool current) const {
    QPainterPath area;
    area.setFillRule(Qt::OddEvenFill);
    for (const auto& ring : OutlineRings(draft.points, draft.ends)) {
        QPolygon polygon;
        for (const V2d_Point& p : ring) polygon << WidgetPoint(p);
        area.addPolygon(polygon);
    }
    const QColor line = current ? QColor(Qt::red) : QColor(255, 140, 0);
    painter.fillPath(area, current ? QColor(255, 0, 0, 50) : QColor(255, 140, 0, 25));
    painter.setPen(QPen(line, current ? 2 : 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(area);
    if (!draft.name.empty()) {  // a room's surface says which it is
        const QString name = QString::fromStdString(draft.name);
        const QPoint at = LabelPoint(area) - QPoint(painter.fontMetrics().horizontalAdvance(name) / 2, 0);
        const QRect box = painter.fontMetrics().boundingRect(name).translated(at).adjusted(-4, -2, 4, 2);
        painter.fillRect(box, current ? QColor(255, 255, 255, 230) : QColor(255, 255, 255, 160));
        painter.setPen(line);
        painter.drawText(at, name);
    }
    if (!current) return;
    painter.setPen(Qt::black);
    for (int k = 0; k < static_cast<int>(draft.points.size()); ++k) {
        const QPoint at = WidgetPoint(draft.points[size_t(k)]);
        painter.setBrush(drag_ == Drag::DraftPoint && k == dragIndex_ ? QColor(Qt::red) : kCurrent);
        painter.drawRect(at.x() - 2, at.y() - 2, 5, 5);
    }
    if (draft.corners) PaintCorners(painter, *draft.corners);
}

bool OutlineCanvas::GrabDraft(QPoint at) {
    if (const std::optional<Quad>& corners = editor_.draftCorners())
        for (int c = 0; c < 4; ++c)
            if (Near(at, WidgetPoint((*corners)[size_t(c)]))) {
                drag_ = Drag::DraftCorner, dragIndex_ = c, dragStarted_ = false;
                return true;
            }
    const std::vector<V2d_Point>& draft = editor_.draft();
    for (int k = 0; k < static_cast<int>(draft.size()); ++k)
        if (Near(at, WidgetPoint(draft[size_t(k)]))) {
            drag_ = Drag::DraftPoint, dragIndex_ = k, dragStarted_ = false;
            return true;
        }
    return false;
}

void OutlineCanvas::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && event->modifiers() & Qt::AltModifier)) {
        drag_ = Drag::Pan;
        panFrom_ = event->globalPosition().toPoint();
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    if (calibrating_) {
        drag_ = Drag::Line;
        SetCalibrationLine(PhotoPoint(at), PhotoPoint(at), QString());
        return;
    }
    if (mode_ == Mode::Smart) {
        if (!GrabDraft(at)) emit smartClicked(PhotoPoint(at), event->modifiers() & Qt::ShiftModifier);
        return;
    }
    if (mode_ == Mode::Room) {
        if (GrabDraft(at)) return;
        const int picked = editor_.DraftAt(PhotoPoint(at));
        if (picked < 0) return emit roomClicked(PhotoPoint(at));
        editor_.SelectDraft(picked);
        update();
        emit draftPicked();
        return;
    }
    if (mode_ == Mode::Draw) {
        Report(editor_.AddDraftPoint(PhotoPoint(at)));
        update();
        return;
    }
    const Scene& scene = editor_.scene();
    if (current_ >= 0 && current_ < scene.count()) {
        const V2dPolygon& r = *scene.at(current_);
        for (int c = 0; c < 4; ++c)
            if (Near(at, WidgetPoint(r.corners[c]))) {
                drag_ = Drag::Corner, dragIndex_ = c, dragStarted_ = false;
                return;
            }
        const V2d_Point shift = r.kind == RecordKind::ShadowRegion ? V2d_Point{r.originX, r.originY} : V2d_Point{};
        for (int k = 0; k < r.pointCount(); ++k)
            if (Near(at, WidgetPoint({r.points[size_t(k)].x + shift.x, r.points[size_t(k)].y + shift.y}))) {
                drag_ = Drag::Point, dragIndex_ = k, dragStarted_ = false;
                selectedPoint_ = k;
                update();
                return;
            }
    }
    SetCurrent(editor_.RegionAt(PhotoPoint(at)));
}

void OutlineCanvas::mouseMoveEvent(QMouseEvent* event) {
    if (drag_ == Drag::Pan) {
        const QPoint now = event->globalPosition().toPoint();
        emit panned(now - panFrom_);
        panFrom_ = now;
        return;
    }
    V2d_Point p = PhotoPoint(event->position().toPoint());
    if (drag_ == Drag::Line) return SetCalibrationLine(lineFrom_, p, QString());
    if (drag_ == Drag::DraftPoint || drag_ == Drag::DraftCorner) {
        if (drag_ == Drag::DraftPoint)
            p = {std::clamp(p.x, 0, editor_.photo().width() - 1), std::clamp(p.y, 0, editor_.photo().height() - 1)};
        const Status moved = drag_ == Drag::DraftCorner ? editor_.MoveDraftCorner(dragIndex_, p, !dragStarted_)
                                                        : editor_.MoveDraftPoint(dragIndex_, p, !dragStarted_);
        if (moved) dragStarted_ = true;
        update();
        return;
    }
    if (drag_ == Drag::None || current_ < 0) return;
    Status moved;
    if (drag_ == Drag::Corner) {
        moved = editor_.MoveCorner(current_, dragIndex_, p, !dragStarted_);
    } else {
        const V2dPolygon& r = *editor_.scene().at(current_);
        if (r.kind == RecordKind::ShadowRegion) p = {p.x - r.originX, p.y - r.originY};
        p.x = std::clamp(p.x, 0, editor_.photo().width() - 1);
        p.y = std::clamp(p.y, 0, editor_.photo().height() - 1);
        moved = editor_.MovePoint(current_, dragIndex_, p, !dragStarted_);
    }
    if (moved) dragStarted_ = true;
    update();
}

void OutlineCanvas::mouseReleaseEvent(QMouseEvent* event) {
    const bool edited = dragStarted_;
    const Drag drag = std::exchange(drag_, Drag::None);
    dragStarted_ = false;
    if (drag == Drag::Line) {
        lineTo_ = PhotoPoint(event->position().toPoint());
        if (!(lineTo_ == lineFrom_)) emit lineDrawn(lineFrom_, lineTo_);
        return;
    }
    if (drag == Drag::DraftPoint || drag == Drag::DraftCorner) {
        update();
        if (edited) emit draftChanged();
        return;
    }
    if (edited) emit changed();
}

void OutlineCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
    if (drawing() && !calibrating_ && event->button() == Qt::LeftButton) emit finishRequested();
}

void OutlineCanvas::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) return QWidget::wheelEvent(event);
    emit zoomRequested(event->angleDelta().y() > 0 ? 1 : -1, event->position().toPoint());
    event->accept();
}

}  // namespace v2d::tool
