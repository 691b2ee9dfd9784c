#include "app/hint_layer.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QWidget>

namespace v2d {

namespace {
constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextForceLeftToRight;
}  // namespace

HintText::HintText(QObject* parent) : QObject(parent) { setObjectName(QStringLiteral("LabelHelp")); }

HintLayer::HintLayer(QWidget& area) : QObject(&area), area_(area), label_(new HintText(this)) {
    setObjectName(QStringLiteral("PanelHelp"));
    setText(QString());
}

void HintLayer::setText(const QString& text) {
    const QRect before = covered();
    label_->text_ = text;
    const QFontMetrics metrics(area_.font());
    QSize drawn = metrics.boundingRect(QRect(0, 0, 2000, 2000), kTextFlags, text).size();
    if (text.isEmpty()) drawn.setWidth(metrics.averageCharWidth());  // as wide as a label without text
    size_ = drawn + QSize(2 * kMarginX, 2 * kMarginY);
    Repaint(before);
}

void HintLayer::setTextHidden(bool hidden) {
    const QRect before = covered();
    label_->hidden_ = hidden;
    Repaint(before);
}

void HintLayer::setVisible(bool visible) {
    const QRect before = covered();
    shown_ = visible;
    Repaint(before);
}

bool HintLayer::isVisible() const { return shown_ && area_.isVisible(); }

QRect HintLayer::covered() const { return shown_ ? Band() : QRect(); }

void HintLayer::Repaint(const QRect& before) { area_.update(before | covered()); }

void HintLayer::paint(QPainter& painter) const {
    if (!shown_) return;
    const QRect band = Band();
    painter.fillRect(band, Qt::white);
    if (label_->hidden_) return;
    QPalette palette = area_.palette();
    palette.setColor(QPalette::Window, Qt::white);
    area_.style()->drawItemText(&painter, band.adjusted(kMarginX, kMarginY, -kMarginX, -kMarginY), kTextFlags, palette,
                                area_.isEnabled(), label_->text_, QPalette::WindowText);
}

}  // namespace v2d
