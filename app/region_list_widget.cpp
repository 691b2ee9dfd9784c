#include "app/region_list_widget.h"

#include <QCheckBox>
#include <QDropEvent>
#include <QMenu>
#include <QHBoxLayout>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "widgets/widget_helpers.h"
#include "document/scene_document.h"

namespace v2d {

RegionListWidget::RegionListWidget(SceneDocument& document, QWidget* parent)
    : QGroupBox(tr("装饰部位"), parent), document_(document) {
    setObjectName("GroupBoxPoly");
    auto* column = new QVBoxLayout(this);
    ListBoxPoly = Named(new QListWidget(this), QStringLiteral("ListBoxPoly"));
    ListBoxPoly->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // The list starts drags of its own items; where they land is the document's business.
    ListBoxPoly->setDragEnabled(true);
    ListBoxPoly->setDragDropMode(QAbstractItemView::DragDrop);
    ListBoxPoly->viewport()->setAcceptDrops(true);
    ListBoxPoly->viewport()->installEventFilter(this);
    auto* listMenu = Named(new QMenu(ListBoxPoly), QStringLiteral("PopupMenu1"));
    listMenu->addAction(tr("删除装饰边缘线"), this, &RegionListWidget::N1Click)->setObjectName("N1");
    ListBoxPoly->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListBoxPoly, &QWidget::customContextMenuRequested, listMenu,
            [this, listMenu](QPoint at) { listMenu->popup(ListBoxPoly->viewport()->mapToGlobal(at)); });
    column->addWidget(ListBoxPoly);
    auto* buttons = new QHBoxLayout;
    SpeedButtonClear = MakeButton(QStringLiteral("SpeedButtonClear"), tr("取消选择"), this);
    SpeedButtonClear->setAutoRaise(false);
    CheckBoxHelp = Named(new QCheckBox(tr("隐藏提示"), this), QStringLiteral("CheckBoxHelp"));
    buttons->addWidget(SpeedButtonClear);
    buttons->addStretch();
    buttons->addWidget(CheckBoxHelp);
    column->addLayout(buttons);

    connect(ListBoxPoly, &QListWidget::itemClicked, this, &RegionListWidget::ListBoxPolyClick);
    // A click on the list's empty part deselects everything: so does the document.
    connect(ListBoxPoly, &QListWidget::itemSelectionChanged, this, [this] {
        if (ListBoxPoly->selectedItems().isEmpty()) ListBoxPolyClick();
    });
    connect(SpeedButtonClear, &QToolButton::clicked, this, &RegionListWidget::SpeedButtonClearClick);
    connect(CheckBoxHelp, &QCheckBox::clicked, this, &RegionListWidget::CheckBoxHelpClick);
    connect(&document_, &SceneDocument::sceneReplaced, this, &RegionListWidget::RefreshRegionList);
    connect(&document_, &SceneDocument::changed, this, &RegionListWidget::ShowChange);
}

void RegionListWidget::ListBoxPolyClick() {
    std::vector<int> rows;
    for (const QListWidgetItem* item : ListBoxPoly->selectedItems()) rows.push_back(ListBoxPoly->row(item));
    std::sort(rows.begin(), rows.end());
    document_.SelectFromList(ListBoxPoly->currentRow(), std::move(rows));
}

void RegionListWidget::SpeedButtonClearClick() { document_.ClearSelection(); }

void RegionListWidget::CheckBoxHelpClick() { emit hintsHiddenChanged(CheckBoxHelp->isChecked()); }

void RegionListWidget::N1Click() {
    document_.DropCurrentRecord();
    emit outlineRemoved();
}

void RegionListWidget::ListBoxPolyDragDrop(int row) {
    if (Outcome moved = document_.MoveRecord(ListBoxPoly->currentRow(), row); moved.refused())
        emit refused(FromUtf8(moved.error()));
}

bool RegionListWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched != ListBoxPoly->viewport()) return QGroupBox::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
            static_cast<QDropEvent*>(event)->acceptProposedAction();  // ListBoxPolyDragOver accepts every drag
            return true;
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (drop->source() == ListBoxPoly) {
                const QListWidgetItem* under = ListBoxPoly->itemAt(drop->position().toPoint());
                ListBoxPolyDragDrop(under ? ListBoxPoly->row(under) : -1);
            }
            drop->setDropAction(Qt::IgnoreAction);  // the items are the document's to move
            drop->accept();
            return true;
        }
        default:
            return QGroupBox::eventFilter(watched, event);
    }
}

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

void RegionListWidget::ShowChange(const SceneChange& change) {
    if (change.touches(ChangeAspect::Order)) {
        RefreshRegionList();
        return;
    }
    // Only names can change a row's text; tone and pictures leave the rows be.
    const Scene& scene = document_.scene();
    const QSignalBlocker quiet(ListBoxPoly);
    for (const V2dPolygon* record : change.records) {
        const int row = scene.IndexOf(record->id);  // the row of the record, by its identity
        if (row >= 0 && row < ListBoxPoly->count()) ListBoxPoly->item(row)->setText(FromUtf8(scene.ListText(row)));
    }
    if (change.touches(ChangeAspect::Selection)) ShowSelection();
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
