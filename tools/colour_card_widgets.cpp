#include "tools/colour_card_widgets.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace v2d {

ColourSwatchWidget::ColourSwatchWidget(QWidget* parent) : QWidget(parent) {}

void ColourSwatchWidget::setBrushColour(const QColor& colour) {
    brush_ = colour;
    update();
}

void ColourSwatchWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect box = rect().adjusted(0, 0, -1, -1);
    painter.setPen(palette().color(QPalette::Dark));
    if (isEnabled()) {
        painter.setBrush(brush_);
    } else {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(palette().color(QPalette::Mid), 1, Qt::DashLine));
    }
    painter.drawRect(box);
}

void ColourSwatchWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit pressed();
    QWidget::mousePressEvent(event);
}

ColourCardImage::ColourCardImage(QSize size, QWidget* parent) : QWidget(parent) {
    setFixedSize(size);
    setCard(CardLayout{size, {}}, false);
}

void ColourCardImage::setCard(CardLayout layout, bool numbered) {
    layout_ = std::move(layout);
    picture_ = PaintCard(layout_);
    if (numbered) {
        QPainter painter(&picture_);
        QFont font = this->font();
        font.setPixelSize(9);
        painter.setFont(font);
        const QFontMetrics metrics(font);
        for (const CardCell& cell : layout_.cells) {
            const QString number = QString::fromStdString(cell.entry.ColorNumber);
            if (metrics.horizontalAdvance(number) > cell.rect.width() - 2 ||
                metrics.height() > cell.rect.height())
                continue;
            painter.setPen(ContrastingTextColour(cell.colour));
            painter.drawText(cell.rect, Qt::AlignCenter, number);
        }
    }
    update();
}

bool ColourCardImage::event(QEvent* event) {
    // The hint, headed by the number of the cell under the mouse.
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        QString text = toolTip();
        if (const std::optional<int> cell = layout_.CellAt(help->pos()))
            text = QString::fromStdString(layout_.cells[size_t(*cell)].entry.ColorNumber) + "\n" +
                   text;
        QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

void ColourCardImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
}

void ColourCardImage::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit pressed(event->position().toPoint());
    QWidget::mousePressEvent(event);
}

void ColourCardImage::mouseDoubleClickEvent(QMouseEvent* event) {
    // Not handed on as a second press: the first click already picked.
    if (event->button() == Qt::LeftButton) emit doubleClicked(event->position().toPoint());
}

}  // namespace v2d
