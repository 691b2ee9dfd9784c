#include "app/comparison_view.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QWheelEvent>

#include <algorithm>

#include "widgets/widget_helpers.h"

namespace v2d {

namespace {
const QColor kBack(0x3c, 0x40, 0x46);
constexpr int kTitleHeight = 34;
constexpr int kMargin = 8;
}  // namespace

ComparisonView::ComparisonView(QWidget& area) : QWidget(&area) {
    setObjectName(QStringLiteral("PanelCompare"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    ButtonCancel = Named(new QPushButton(tr("取消对比"), this), QStringLiteral("ButtonCancelCompare"));
    connect(ButtonCancel, &QPushButton::clicked, this, [this] { Close(-1); });
    area.installEventFilter(this);
    setGeometry(area.rect());
    hide();
}

void ComparisonView::ShowGrid(QImage grid, std::vector<QRect> cells) {
    grid_ = std::move(grid);
    cells_ = std::move(cells);
    hovered_ = -1;
    setGeometry(parentWidget()->rect());
    show();
    raise();
    setFocus(Qt::OtherFocusReason);
    update();
}

bool ComparisonView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

QRect ComparisonView::GridArea() const {
    const QRect room = rect().adjusted(kMargin, kTitleHeight, -kMargin, -kMargin);
    if (grid_.isNull() || room.width() <= 0 || room.height() <= 0) return {};
    const QSize fitted = grid_.size().scaled(room.size(), Qt::KeepAspectRatio);
    return QRect(room.topLeft() + QPoint((room.width() - fitted.width()) / 2, (room.height() - fitted.height()) / 2),
                 fitted);
}

QRect ComparisonView::shownCell(int index) const {
    if (index < 0 || index >= static_cast<int>(cells_.size()) || grid_.isNull()) return {};
    const QRect area = GridArea();
    const double sx = double(area.width()) / grid_.width(), sy = double(area.height()) / grid_.height();
    const QRect& cell = cells_[static_cast<size_t>(index)];
    return QRect(QPoint(area.left() + int(cell.left() * sx), area.top() + int(cell.top() * sy)),
                 QSize(int(cell.width() * sx), int(cell.height() * sy)));
}

int ComparisonView::CellAt(QPoint at) const {
    for (int i = 0; i < static_cast<int>(cells_.size()); ++i)
        if (shownCell(i).contains(at)) return i;
    return -1;
}

void ComparisonView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBack);
    painter.setPen(Qt::white);
    const QRect title(kMargin, 0, width() - 3 * kMargin - ButtonCancel->width(), kTitleHeight);
    painter.drawText(title, Qt::AlignVCenter | Qt::AlignLeft, tr("点击一种产品，把它铺入场景；Esc 取消对比"));
    if (grid_.isNull()) return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(GridArea(), grid_);
    if (hovered_ >= 0) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0xff, 0xb0, 0x20), 3));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(shownCell(hovered_).adjusted(1, 1, -2, -2));
    }
}

void ComparisonView::resizeEvent(QResizeEvent*) {
    ButtonCancel->adjustSize();
    ButtonCancel->move(width() - kMargin - ButtonCancel->width(), (kTitleHeight - ButtonCancel->height()) / 2);
}

void ComparisonView::mousePressEvent(QMouseEvent* event) { event->accept(); }

void ComparisonView::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

void ComparisonView::wheelEvent(QWheelEvent* event) { event->accept(); }

void ComparisonView::mouseMoveEvent(QMouseEvent* event) {
    const int cell = CellAt(event->position().toPoint());
    setCursor(cell >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
    if (cell != hovered_) hovered_ = cell, update();
}

void ComparisonView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) return Close(-1);
    if (event->button() != Qt::LeftButton) return;
    if (const int cell = CellAt(event->position().toPoint()); cell >= 0) Close(cell);
}

void ComparisonView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) return Close(-1);
    QWidget::keyPressEvent(event);
}

void ComparisonView::Close(int picked) {
    hide();
    grid_ = QImage();
    cells_.clear();
    if (picked >= 0)
        emit this->picked(picked);
    else
        emit cancelled();
}

}  // namespace v2d
