#include "app/region_list_widget.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "app/widget_helpers.h"
#include "document/scene_document.h"

namespace v2d {

RegionListWidget::RegionListWidget(SceneDocument& document, QWidget* parent)
    : QGroupBox(QStringLiteral("装饰部位"), parent), document_(document) {
    setObjectName("GroupBoxPoly");
    auto* column = new QVBoxLayout(this);
    ListBoxPoly = Named(new QListWidget(this), QStringLiteral("ListBoxPoly"));
    ListBoxPoly->setSelectionMode(QAbstractItemView::ExtendedSelection);
    column->addWidget(ListBoxPoly);
    auto* buttons = new QHBoxLayout;
    SpeedButtonClear = MakeButton(QStringLiteral("SpeedButtonClear"), QStringLiteral("取消选择"), this);
    SpeedButtonClear->setAutoRaise(false);
    CheckBoxHelp = Named(new QCheckBox(QStringLiteral("隐藏提示"), this), QStringLiteral("CheckBoxHelp"));
    buttons->addWidget(SpeedButtonClear);
    buttons->addStretch();
    buttons->addWidget(CheckBoxHelp);
    column->addLayout(buttons);

    connect(ListBoxPoly, &QListWidget::itemClicked, this, &RegionListWidget::ListBoxPolyClick);
    connect(SpeedButtonClear, &QToolButton::clicked, this, &RegionListWidget::SpeedButtonClearClick);
    connect(CheckBoxHelp, &QCheckBox::clicked, this, &RegionListWidget::CheckBoxHelpClick);
    connect(&document_, &SceneDocument::sceneReplaced, this, &RegionListWidget::RefreshRegionList);
    connect(&document_, &SceneDocument::listChanged, this, &RegionListWidget::RefreshRegionList);
    connect(&document_, &SceneDocument::selectionChanged, this, &RegionListWidget::ShowSelection);
}

void RegionListWidget::ListBoxPolyClick() {
    std::vector<int> rows;
    for (const QListWidgetItem* item : ListBoxPoly->selectedItems()) rows.push_back(ListBoxPoly->row(item));
    std::sort(rows.begin(), rows.end());
    document_.SelectFromList(ListBoxPoly->currentRow(), std::move(rows));
}

void RegionListWidget::SpeedButtonClearClick() { document_.ClearSelection(); }

void RegionListWidget::CheckBoxHelpClick() { emit hintsHiddenChanged(CheckBoxHelp->isChecked()); }

void RegionListWidget::RefreshRegionList() {
    const Scene& scene = document_.scene();
    {
        const QSignalBlocker quiet(ListBoxPoly);
        if (ListBoxPoly->count() != scene.count()) {
            ListBoxPoly->clear();
            for (int i = 0; i < scene.count(); ++i) ListBoxPoly->addItem(QString());
        }
        for (int i = 0; i < scene.count(); ++i) ListBoxPoly->item(i)->setText(FromUtf8(scene.ListText(i)));
    }
    ShowSelection();
}

void RegionListWidget::ShowSelection() {
    const QSignalBlocker quiet(ListBoxPoly);
    const RegionSelection& selection = document_.selection();
    const int count = ListBoxPoly->count();
    ListBoxPoly->clearSelection();
    ListBoxPoly->setCurrentRow(selection.focused < count ? selection.focused : -1, QItemSelectionModel::NoUpdate);
    for (int i : selection.selected)
        if (i >= 0 && i < count) ListBoxPoly->item(i)->setSelected(true);
}

}  // namespace v2d
