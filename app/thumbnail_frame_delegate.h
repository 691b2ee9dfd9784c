#pragma once
// Draws a thumbnail list's items without the style's selection tint: the
// picture keeps its own colours (a brown tile stays brown); a selected item
// shows a frame in the highlight colour around the picture and its caption
// marked as the style marks selected text.
#include <QStyledItemDelegate>

namespace v2d {

class ThumbnailFrameDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace v2d
