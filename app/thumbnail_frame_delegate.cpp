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
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    item.rect = option.rect.adjusted(kFrame, kFrame, -kFrame, -kFrame);
    const QWidget* widget = option.widget;
    const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    // The style lays the item out and draws its panel, its caption (marked
    // when selected) and its focus; the picture goes in here, untinted.
    const QIcon picture = item.icon;
    item.icon = QIcon();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
    const QRect at = style->subElementRect(QStyle::SE_ItemViewItemDecoration, &item, widget);
    picture.paint(painter, at, item.decorationAlignment,
                  item.state.testFlag(QStyle::State_Enabled) ? QIcon::Normal : QIcon::Disabled);
    if (!item.state.testFlag(QStyle::State_Selected)) return;
    const QRegion frame = QRegion(at.adjusted(-kFrame, -kFrame, kFrame, kFrame)) - QRegion(at);
    const QBrush highlight = option.palette.brush(QPalette::Active, QPalette::Highlight);
    for (const QRect& part : frame) painter->fillRect(part, highlight);
}

}  // namespace v2d
