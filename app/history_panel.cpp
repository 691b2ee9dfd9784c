#include "app/history_panel.h"

#include <QCoreApplication>
#include <QLabel>
#include <QUndoView>
#include <QVBoxLayout>

namespace v2d {

HistoryPanel::HistoryPanel(QUndoStack& history, QWidget* parent) : QWidget(parent) {
    setObjectName("PanelHistory");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto* caption = new QLabel(QCoreApplication::translate("HistoryPanel", "历史记录"), this);
    caption->setObjectName("LabelHistory");
    auto* steps = new QUndoView(&history, this);
    steps->setObjectName("ListViewHistory");
    steps->setEmptyLabel(QCoreApplication::translate("HistoryPanel", "打开时的场景"));
    // Five steps in view; on a short screen it gives way to the panel below.
    steps->setMinimumHeight(56);
    steps->setMaximumHeight(110);
    column->addWidget(caption);
    column->addWidget(steps);
}

}  // namespace v2d
