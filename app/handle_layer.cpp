#include "app/handle_layer.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QStyle>

namespace v2d {

namespace {
const char* const kNames[HandleLayer::kCount] = {"node1", "node2", "node3", "node4", "node5",
                                                 "node6", "node7", "node8", "NodeMove"};
const char* const kCaptions[HandleLayer::kCount] = {"1", "2", "3", "4", "5", "6", "7", "8", "m"};
constexpr Qt::CursorShape kCursors[HandleLayer::kCount] = {
    Qt::SizeFDiagCursor, Qt::SizeBDiagCursor, Qt::SizeFDiagCursor, Qt::SizeBDiagCursor, Qt::SizeVerCursor,
    Qt::SizeVerCursor,   Qt::SizeHorCursor,   Qt::SizeHorCursor,   Qt::SizeAllCursor};

bool TurnsCutOut(int k) { return k == 6 || k == 7; }
}  // namespace

HandleLayer::HandleLayer(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("Image3"));
    font_ = QApplication::font();
    font_.setPixelSize(8);
}

int HandleLayer::IndexOf(const QString& name) {
    for (int k = 0; k < kCount; ++k)
        if (name == QLatin1String(kNames[k])) return k;
    return -1;
}

QString HandleLayer::NameOf(int k) { return QString::fromLatin1(kNames[k]); }

void HandleLayer::moveAll(QPoint delta) {
    for (QPoint& at : at_) at += delta;
}

std::optional<int> HandleLayer::At(QPoint point) const {
    if (!shown_) return std::nullopt;
    for (int k = kCount - 1; k >= 0; --k)
        if (rect(k).contains(point)) return k;
    return std::nullopt;
}

Qt::CursorShape HandleLayer::cursor(int k) const {
    return turning_ && TurnsCutOut(k) ? Qt::PointingHandCursor : kCursors[k];
}

QString HandleLayer::Caption(int k) const {
    return turning_ && TurnsCutOut(k) ? QStringLiteral("r") : QString::fromLatin1(kCaptions[k]);
}

QRect HandleLayer::covered() const {
    QRect area;
    if (shown_)
        for (int k = 0; k < kCount; ++k) area |= rect(k);
    return area;
}

void HandleLayer::paint(QPainter& painter, const QPalette& palette) const {
    if (!shown_) return;
    painter.save();
    painter.setFont(font_);
    const QColor ink = palette.color(QPalette::WindowText);
    for (int k = 0; k < kCount; ++k) {
        const QRect box = rect(k);
        painter.fillRect(box, palette.window());
        painter.setPen(ink);
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        QApplication::style()->drawItemText(&painter, box.adjusted(1, 1, -1, -1), Qt::AlignCenter, palette, true,
                                            Caption(k), QPalette::WindowText);
    }
    painter.restore();
}

}  // namespace v2d
