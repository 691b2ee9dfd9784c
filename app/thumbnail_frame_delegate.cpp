#include "app/thumbnail_frame_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QRegion>

namespace v2d {

namespace {

// The frame's width; every item keeps this much room on each side for it.
constexpr int kFrame = 3;

}  // namespace

QSize ThumbnailFrameDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    return QStyledItemDelegate::sizeHint(option, index) + QSize(2 * kFrame, 2 * kFrame);
}

void ThumbnailFrameDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    QStyleOptionViewItem plain(option);
    initStyleOption(&plain, index);
    const bool selected = plain.state.testFlag(QStyle::State_Selected);
    plain.state &= ~QStyle::State_Selected;
    plain.rect = option.rect.adjusted(kFrame, kFrame, -kFrame, -kFrame);
    const QWidget* widget = option.widget;
    const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &plain, painter, widget);
    if (!selected) return;
    const QRect picture = style->subElementRect(QStyle::SE_ItemViewItemDecoration, &plain, widget);
    const QRegion frame = QRegion(picture.adjusted(-kFrame, -kFrame, kFrame, kFrame)) - QRegion(picture);
    const QBrush highlight = option.palette.brush(QPalette::Active, QPalette::Highlight);
    for (const QRect& part : frame) painter->fillRect(part, highlight);
}

}  // namespace v2d
