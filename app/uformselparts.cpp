#include "app/uformselparts.h"

#include <QComboBox>
#include <QDoubleValidator>
#include <QLocale>
#include <QScrollBar>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QStyledItemDelegate>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/thumbnail_frame_delegate.h"
#include "app/uformhximage.h"
#include "app/uformsuperlogin.h"
#include "widgets/interface_language.h"
#include "widgets/user_prompts.h"
#include "widgets/widget_helpers.h"
#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "library/category_maintenance.h"
#include "library/product_maintenance.h"
#include "library/product_pictures.h"
#include "library/product_thumbnails.h"
#include "scene/model_file.h"

namespace v2d {

namespace {

constexpr int kIdRole = Qt::UserRole;
constexpr int kMainCategoryRole = Qt::UserRole + 1;
constexpr int kParentRole = Qt::UserRole + 2;
constexpr int kNameRole = Qt::UserRole + 1;    // list items: PartsName
constexpr int kNumberRole = Qt::UserRole + 2;  // list items: PartsNumber
constexpr int kKindRole = Qt::UserRole + 3;    // list items: PartsSubType
// How long typing pauses before the search runs.
constexpr int kSearchPauseMs = 250;

// The tree's kind filter for a browser mode; a product filed from the
// material editor is a material.
int KindFilterOf(int mode) {
    switch (mode) {
        case TFormSelParts::ChooseModel: return 1;
        case TFormSelParts::ChooseMaterial:
        case TFormSelParts::FileNewProduct: return 2;
        default: return 0;
    }
}

ProductKind KindOf(int partsSubType) { return partsSubType == 1 ? ProductKind::Model : ProductKind::Material; }

// Adds the nodes below `parent` (the root when null) and returns the item
// made for `wanted`, if it was among them.
QTreeWidgetItem* AddNodes(QTreeWidget* tree, QTreeWidgetItem* parent, const std::vector<CategoryNode>& nodes,
                          const CategoryNode* wanted) {
    QTreeWidgetItem* found = nullptr;
    for (const CategoryNode& n : nodes) {
        auto* item = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
        item->setText(0, FromUtf8(n.name));
        item->setData(0, kIdRole, qlonglong(n.id));
        item->setData(0, kMainCategoryRole, n.isMainCategory);
        item->setData(0, kParentRole, qlonglong(n.parentID));
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        if (&n == wanted) found = item;
        if (QTreeWidgetItem* below = AddNodes(tree, item, n.children, wanted)) found = below;
    }
    return found;
}

void SelectEntry(QComboBox* box, int64_t id) {
    const int index = box->findData(qlonglong(id));
    if (index >= 0) box->setCurrentIndex(index);
}

// Renaming a tree node in place asks the window first, and hands the new
// text to the window instead of writing it into the item.
class CategoryNameDelegate : public QStyledItemDelegate {
public:
    CategoryNameDelegate(TFormSelParts* form, QTreeWidget* tree) : QStyledItemDelegate(tree), form_(form), tree_(tree) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QTreeWidgetItem* node = tree_->itemFromIndex(index);
        if (node == nullptr || !form_->TreeViewPartsEditing(node)) return nullptr;
        return QStyledItemDelegate::createEditor(parent, option, index);
    }
    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (QTreeWidgetItem* node = tree_->itemFromIndex(index); node != nullptr && line != nullptr)
            form_->TreeViewPartsEdited(node, line->text());
    }

private:
    TFormSelParts* form_;
    QTreeWidget* tree_;
};

CategoryRef RefOf(const QTreeWidgetItem* node) {
    return {node->data(0, kMainCategoryRole).toBool(), node->data(0, kIdRole).toLongLong()};
}

// The pieces per box and the unit as the two fields show them.
void ShowPacking(QSpinBox* perBox, QComboBox* unit, int piecesPerBox, PriceUnit priceUnit) {
    perBox->setValue(piecesPerBox);
    unit->setCurrentIndex(std::max(0, unit->findData(static_cast<int>(priceUnit))));
}

PriceUnit UnitOf(const QComboBox* unit) { return static_cast<PriceUnit>(unit->currentData().toInt()); }

const QIcon& EmptyCellIcon() {
    static const QIcon icon(QPixmap::fromImage(MakeThumbnailCell(QImage())));
    return icon;
}

}  // namespace

TFormSelParts::TFormSelParts(Db& dm, UserPrompts& prompts, QString programFolder, QWidget* parent)
    : QDialog(parent), dm_(dm), prompts_(prompts), programFolder_(std::move(programFolder)) {
    setObjectName("FormSelParts");
    setWindowTitle(tr("选择家居产品"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFixedSize(640, 560);
    thumbnails_ = std::make_unique<ProductThumbnailLoader>(ProductPictureSource{ToPath(programFolder_), ReadModelPreview});
    connect(thumbnails_.get(), &ProductThumbnailLoader::thumbnailReady, this, &TFormSelParts::ThumbnailArrived);
    connect(thumbnails_.get(), &ProductThumbnailLoader::batchFinished, this,
            [this](int batch) { thumbnailsDone_ = thumbnailsDone_ || batch == thumbnails_->batch(); });
    BuildControls();
    BuildMaintenance();
    FormCreate();
}

// The worker goes first: it must not hand a cell to a list that is gone.
TFormSelParts::~TFormSelParts() { thumbnails_->Stop(); }

void TFormSelParts::BuildControls() {
    auto* column = new QVBoxLayout(this);
    auto* searchRow = new QHBoxLayout;
    EditSearch = Named(new QLineEdit(this), QStringLiteral("EditSearch"));
    EditSearch->setPlaceholderText(tr("名称、编号或品牌"));
    EditSearch->setClearButtonEnabled(true);
    EditSearch->setMaxLength(200);
    ComboBoxSize = Named(new QComboBox(this), QStringLiteral("ComboBoxSize"));
    ComboBoxSize->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto price = [this](const char* name) {
        auto* box = Named(new QLineEdit(this), QString::fromLatin1(name));
        box->setPlaceholderText(tr("不限"));  // empty: no bound
        auto* numbers = new QDoubleValidator(0, 1e9, 2, box);
        numbers->setNotation(QDoubleValidator::StandardNotation);
        numbers->setLocale(QLocale::c());
        box->setValidator(numbers);
        box->setFixedWidth(70);
        return box;
    };
    EditPriceMin = price("EditPriceMin");
    EditPriceMax = price("EditPriceMax");
    searchRow->addWidget(new QLabel(tr("搜索："), this));
    searchRow->addWidget(EditSearch, 1);
    searchRow->addWidget(new QLabel(tr("规格："), this));
    searchRow->addWidget(ComboBoxSize);
    searchRow->addWidget(new QLabel(tr("价格："), this));
    searchRow->addWidget(EditPriceMin);
    searchRow->addWidget(new QLabel(QStringLiteral("–"), this));
    searchRow->addWidget(EditPriceMax);
    column->addLayout(searchRow);
    auto* row = new QHBoxLayout;
    column->addLayout(row, 1);
    auto* group = new QGroupBox(tr("产品类别"), this);
    auto* groupColumn = new QVBoxLayout(group);
    TreeViewParts = Named(new QTreeWidget(group), QStringLiteral("TreeViewParts"));
    TreeViewParts->setHeaderHidden(true);
    // Deep trees scroll sideways rather than cutting the names short.
    TreeViewParts->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    TreeViewParts->header()->setStretchLastSection(false);
    TreeViewParts->setContextMenuPolicy(Qt::CustomContextMenu);
    groupColumn->addWidget(TreeViewParts);
    group->setFixedWidth(170);
    row->addWidget(group);

    auto* right = new QVBoxLayout;
    LabelSubName = Named(new QLabel(tr("当前类别："), this), QStringLiteral("LabelSubName"));
    right->addWidget(LabelSubName);
    ListView1 = Named(new QListWidget(this), QStringLiteral("ListView1"));
    ListView1->setViewMode(QListView::IconMode);
    ListView1->setIconSize(QSize(kThumbnailCellSide, kThumbnailCellSide));
    ListView1->setGridSize(QSize(kThumbnailCellSide + 16, kThumbnailCellSide + 34));
    ListView1->setResizeMode(QListView::Adjust);
    ListView1->setMovement(QListView::Static);
    ListView1->setUniformItemSizes(true);
    ListView1->setWordWrap(true);
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    right->addWidget(ListView1, 1);

    auto* details = new QHBoxLayout;
    auto* form = new QFormLayout;
    auto edit = [&](const char* name, const QString& label) {
        auto* made = Named(new QLineEdit(this), QString::fromLatin1(name));
        form->addRow(label, made);
        return made;
    };
    EditPartsName = edit("EditPartsName", tr("名称："));
    EditPartsNumber = edit("EditPartsNumber", tr("编号："));
    EditPartsSpecs = edit("EditPartsSpecs", tr("规格："));
    EditPartsPrice = edit("EditPartsPrice", tr("价格："));
    EditPartsNumber->setReadOnly(true);  // the key of the product's files: shown, never typed
    ComboBoxSales = Named(new QComboBox(this), QStringLiteral("ComboBoxSales"));
    ComboBoxMatType = Named(new QComboBox(this), QStringLiteral("ComboBoxMatType"));
    form->addRow(tr("商家："), ComboBoxSales);
    form->addRow(tr("材质："), ComboBoxMatType);
    SpinPartsPerBox = Named(new QSpinBox(this), QStringLiteral("SpinPartsPerBox"));
    SpinPartsPerBox->setRange(0, 9999);
    SpinPartsPerBox->setSpecialValueText(tr("未知"));
    ComboPartsUnit = Named(new QComboBox(this), QStringLiteral("ComboPartsUnit"));
    for (PriceUnit unit : kPriceUnits)
        ComboPartsUnit->addItem(ShownText(std::string(PriceUnitCaption(unit))), static_cast<int>(unit));
    SpinPatternRepeat = Named(new QSpinBox(this), QStringLiteral("SpinPatternRepeat"));
    SpinPatternRepeat->setRange(0, kMaxPatternRepeatMm);
    SpinPatternRepeat->setSpecialValueText(tr("无"));
    form->addRow(tr("每箱片数："), SpinPartsPerBox);
    form->addRow(tr("计价单位："), ComboPartsUnit);
    form->addRow(tr("花距(mm)："), SpinPatternRepeat);
    details->addLayout(form, 1);
    ImageParts = Named(new QLabel(this), QStringLiteral("ImageParts"));
    ImageParts->setFixedSize(150, 150);
    ImageParts->setFrameShape(QFrame::StyledPanel);
    ImageParts->setAlignment(Qt::AlignCenter);
    ImageParts->installEventFilter(this);
    details->addWidget(ImageParts);
    right->addLayout(details);

    auto* buttons = new QHBoxLayout;
    BitBtnAddParts = Named(new QPushButton(tr("添加产品"), this), QStringLiteral("BitBtnAddParts"));
    ButtonUpdate = Named(new QPushButton(tr("更新信息"), this), QStringLiteral("ButtonUpdate"));
    BitBtnSelect = Named(new QPushButton(tr("选定产品"), this), QStringLiteral("BitBtnSelect"));
    buttons->addStretch();
    BuildComparison(buttons);
    for (QPushButton* b : {BitBtnAddParts, ButtonUpdate, BitBtnSelect}) buttons->addWidget(b);
    right->addLayout(buttons);
    row->addLayout(right, 1);

    PopupMenu1 = Named(new QMenu(this), QStringLiteral("PopupMenu1"));
    PopupMenu2 = Named(new QMenu(this), QStringLiteral("PopupMenu2"));
    for (const char* text : {QT_TR_NOOP("添加大类"), QT_TR_NOOP("删除大类"), QT_TR_NOOP("添加次类"), QT_TR_NOOP("删除次类")})
        PopupMenu2->addAction(tr(text))->setObjectName(QString::fromUtf8(text));

    connect(TreeViewParts, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* node) { TreeViewPartsChange(node); });
    ListView1->setItemDelegate(new ThumbnailFrameDelegate(ListView1));
    // A click makes the item current before it selects it, so the details
    // follow the selection: the current item once it is selected, else the
    // last item that became selected.
    connect(ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                if (selected.isEmpty()) return;
                QListWidgetItem* item = ListView1->currentItem();
                if (item == nullptr || !item->isSelected()) item = ListView1->item(selected.indexes().last().row());
                ShowProductDetails(item);
            });
    connect(ListView1, &QListWidget::itemDoubleClicked, this, [this] {
        if (ProductBrowserMode == ChooseModel || ProductBrowserMode == ChooseMaterial) BitBtnSelectClick();
    });
    connect(BitBtnSelect, &QPushButton::clicked, this, &TFormSelParts::BitBtnSelectClick);

    // The search runs once the typing pauses; a filter changed by hand runs
    // it the same way, so a price typed digit by digit searches once.
    searchTimer_ = new QTimer(this);
    searchTimer_->setSingleShot(true);
    searchTimer_->setInterval(kSearchPauseMs);
    connect(searchTimer_, &QTimer::timeout, this, &TFormSelParts::EditSearchChange);
    const auto later = [this] { searchTimer_->start(); };
    connect(EditSearch, &QLineEdit::textChanged, this, later);
    connect(ComboBoxSize, &QComboBox::activated, this, later);
    connect(EditPriceMin, &QLineEdit::textChanged, this, later);
    connect(EditPriceMax, &QLineEdit::textChanged, this, later);
    // A click on the current node while searching lists that node again.
    connect(TreeViewParts, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node) {
        if (!EditSearch->text().trimmed().isEmpty()) ShowCategory(node);
    });
    // Near the end of the list the next page joins it.
    connect(ListView1->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (listMore_ && value >= ListView1->verticalScrollBar()->maximum() - ListView1->gridSize().height())
            AppendPage();
    });
}

void TFormSelParts::FormCreate() {
    auto fill = [this](QComboBox* box, const auto& rows, auto id, auto name) {
        box->clear();
        if (!rows) {
            prompts_.Show(this, FromUtf8(rows.error()));
            return;
        }
        for (const auto& r : *rows) box->addItem(FromUtf8(r.*name), qlonglong(r.*id));
        if (box->count() > 0) box->setCurrentIndex(0);
    };
    fill(ComboBoxSales, ReadSales(dm_), &NamedID::id, &NamedID::name);
    fill(ComboBoxMatType, ReadMatTypes(dm_), &MatType::MatTypeID, &MatType::MatTypeName);
}

bool TFormSelParts::ShowInMode(int mode) {
    SetMode(mode);
    return exec() == QDialog::Accepted;
}

void TFormSelParts::SetMode(int mode) {
    const bool changed = mode != ProductBrowserMode;
    // The lists read the new mode's kind.
    ProductBrowserMode = mode;
    if (changed) {  // another kind has other sizes and prices
        ComboBoxSize->setCurrentIndex(0);
        const QSignalBlocker quietMin(EditPriceMin), quietMax(EditPriceMax);
        EditPriceMin->clear();
        EditPriceMax->clear();
    }
    if (changed && !RebuildTreeOnShow) {
        FillCategoryTree(TreeViewParts, KindFilterOf(mode));
        TreeViewParts->expandAll();
    }
}

void TFormSelParts::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TFormSelParts::FormShow() {
    // The sizes present may have changed since the last showing; a chosen
    // size that is gone lists without it.
    if (!FillSizes() && !RebuildTreeOnShow) EditSearchChange();
    if (RebuildTreeOnShow) {
        FillCategoryTree(TreeViewParts, KindFilterOf(ProductBrowserMode));
        TreeViewParts->expandAll();
        RebuildTreeOnShow = false;
    }
    const bool choosing = ProductBrowserMode == ChooseModel || ProductBrowserMode == ChooseMaterial;
    ListView1->setToolTip(choosing ? tr("双击将产品加入场景") : QString());
    BitBtnAddParts->setVisible(!choosing);
    ButtonUpdate->setVisible(ProductBrowserMode == Maintenance);
    BitBtnSelect->setVisible(choosing);
    BitBtnCompareAdd->setVisible(ProductBrowserMode == ChooseMaterial);
    BitBtnCompare->setVisible(ProductBrowserMode == ChooseMaterial);
    comparing_ = false;
    if (choosing) {
        for (QLineEdit* e : {EditPartsNumber, EditPartsSpecs, EditPartsPrice}) e->setReadOnly(true);
    } else {
        for (QLineEdit* e : {EditPartsName, EditPartsSpecs, EditPartsPrice}) e->setReadOnly(false);
    }
    ComboBoxSales->setEnabled(!choosing);
    ComboBoxMatType->setEnabled(!choosing);
    SpinPartsPerBox->setReadOnly(choosing);
    ComboPartsUnit->setEnabled(!choosing);
    SpinPatternRepeat->setReadOnly(choosing);
    ListView1->setEnabled(ProductBrowserMode != FileNewProduct);
    for (QWidget* w : std::initializer_list<QWidget*>{EditSearch, ComboBoxSize, EditPriceMin, EditPriceMax})
        w->setEnabled(ProductBrowserMode != FileNewProduct);
    ListView1->setDragDropMode(ProductBrowserMode == Maintenance ? QAbstractItemView::DragOnly
                                                                 : QAbstractItemView::NoDragDrop);
    if (!choosing) {
        const QString photo = programFolder_ + "/product/jpg/" + EditPartsNumber->text() + ".jpg";
        if (!EditPartsNumber->text().isEmpty() && QFileInfo::exists(photo)) {
            picture_ = DecodeJpeg(ReadWholeFile(ToPath(photo)).value_or(Bytes{}));
            ImageParts->setPixmap(QPixmap::fromImage(picture_).scaled(ImageParts->size(), Qt::KeepAspectRatio,
                                                                      Qt::SmoothTransformation));
        }
    }
    if (ProductBrowserMode == FileNewProduct) {
        TreeViewParts->expandAll();
        picture_ = newProduct_.picture;
        EditPartsName->setText(newProduct_.name);
        EditPartsNumber->setText(newProduct_.number);
        EditPartsSpecs->setText(newProduct_.specs);
        SelectEntry(ComboBoxSales, newProduct_.salesID);
        SelectEntry(ComboBoxMatType, newProduct_.matTypeID);
        EditPartsPrice->clear();
        ShowPacking(SpinPartsPerBox, ComboPartsUnit, 0, PriceUnit::Piece);
        ImageParts->setPixmap(QPixmap::fromImage(picture_).scaled(ImageParts->size(), Qt::KeepAspectRatio,
                                                                  Qt::SmoothTransformation));
    }
}

void TFormSelParts::FillCategoryTree(QTreeWidget* tree, int kindFilter) {
    Result<std::vector<CategoryNode>> nodes = BuildCategoryTree(dm_, static_cast<CategoryFilter>(kindFilter));
    if (tree == TreeViewParts) {
        const QSignalBlocker quiet(EditSearch);
        EditSearch->clear();
    }
    QTreeWidgetItem* leaf = nullptr;
    {
        const QSignalBlocker quiet(tree);
        tree->clear();
        if (nodes) leaf = AddNodes(tree, nullptr, *nodes, FirstLeaf(*nodes));
    }
    if (!nodes) {
        prompts_.Show(this, FromUtf8(nodes.error()));
        return;
    }
    // The first leaf becomes current as a click would make it: its list fills.
    if (leaf != nullptr) tree->setCurrentItem(leaf);
}

void TFormSelParts::TreeViewPartsChange(QTreeWidgetItem* node) {
    if (node == nullptr) return;
    const bool subCategory = !node->data(0, kMainCategoryRole).toBool();
    const QList<QAction*> items = PopupMenu2->actions();  // 添加大类, 删除大类, 添加次类, 删除次类
    items[0]->setEnabled(!subCategory);
    items[1]->setEnabled(!subCategory);
    items[2]->setEnabled(true);
    items[3]->setEnabled(subCategory);
    ListView1->clearSelection();
    ShowCategory(node);
}

void TFormSelParts::ShowCategory(QTreeWidgetItem* node) {
    if (node == nullptr) return;
    {
        const QSignalBlocker quiet(EditSearch);  // browsing a category ends the search
        EditSearch->clear();
    }
    searchTimer_->stop();
    // A category with others below it lists theirs too, newest first.
    ProductScope scope{CurrentKind(), node->data(0, kIdRole).toLongLong(), node->data(0, kMainCategoryRole).toBool()};
    ShowProducts(scope, CurrentFilter(), tr("当前类别：") + node->text(0));
    // A product added here is priced as the category's are, unless told otherwise.
    if (!scope.mainCategory)
        if (Result<PriceUnit> unit = ReadCategoryUnit(dm_, *scope.category); unit)
            ShowPacking(SpinPartsPerBox, ComboPartsUnit, SpinPartsPerBox->value(), *unit);
    if (ListView1->count() > 0) ListView1->setCurrentRow(0);
}

void TFormSelParts::EditSearchChange() {
    searchTimer_->stop();
    const ProductFilter filter = CurrentFilter();
    if (filter.text.empty()) {
        if (QTreeWidgetItem* node = TreeViewParts->currentItem()) ShowCategory(node);
        return;
    }
    ShowProducts(ProductScope{CurrentKind(), std::nullopt, false}, filter,
                 tr("搜索结果：") + EditSearch->text().trimmed());
    if (ListView1->count() > 0) ListView1->setCurrentRow(0);
}

ProductFilter TFormSelParts::CurrentFilter() const {
    ProductFilter filter;
    filter.text = EditSearch->text().trimmed().toStdString();
    if (const QSize size = ComboBoxSize->currentData().toSize(); size.isValid())
        filter.size = ProductSize{size.width(), size.height()};
    for (auto [box, bound] : {std::pair{EditPriceMin, &filter.minPrice}, std::pair{EditPriceMax, &filter.maxPrice}}) {
        bool ok = false;
        const double price = box->text().trimmed().toDouble(&ok);
        if (ok) *bound = price;
    }
    return filter;
}

CategoryFilter TFormSelParts::CurrentKind() const { return static_cast<CategoryFilter>(KindFilterOf(ProductBrowserMode)); }

bool TFormSelParts::FillSizes() {
    Result<std::vector<ProductSize>> sizes = ReadProductSizes(dm_, CurrentKind());
    if (!sizes) {
        prompts_.Show(this, FromUtf8(sizes.error()));
        return true;
    }
    const QVariant chosen = ComboBoxSize->currentData();
    const QSignalBlocker quiet(ComboBoxSize);
    ComboBoxSize->clear();
    ComboBoxSize->addItem(tr("全部"));
    for (const ProductSize& size : *sizes)
        ComboBoxSize->addItem(QStringLiteral("%1×%2").arg(size.width).arg(size.height), QSize(size.width, size.height));
    const int index = chosen.isValid() ? ComboBoxSize->findData(chosen) : 0;
    ComboBoxSize->setCurrentIndex(std::max(0, index));
    return index >= 0;
}

void TFormSelParts::FillProductList(int64_t psTypeID, QListWidget* list) {
    if (list != ListView1) return;
    ProductFilter filter = CurrentFilter();
    filter.text.clear();
    ShowProducts(ProductScope{CurrentKind(), psTypeID, false}, filter, LabelSubName->text());
}

void TFormSelParts::ShowProducts(const ProductScope& scope, const ProductFilter& filter, const QString& heading) {
    thumbnails_->Stop();
    ListView1->clear();
    ClearDetails();
    LabelSubName->setText(heading);
    listScope_ = scope;
    listFilter_ = filter;
    listLastID_ = 0;
    listMore_ = false;
    thumbnailBase_ = thumbnailsMade_ = 0;
    AppendPage();
}

void TFormSelParts::AppendPage() {
    Result<ProductPage> page = ReadProductPage(dm_, listScope_, listFilter_, listLastID_);
    listMore_ = false;
    if (!page) {
        thumbnailsDone_ = true;
        prompts_.Show(this, FromUtf8(page.error()));
        return;
    }
    for (const ProductRow& r : page->rows) {
        auto* item = new QListWidgetItem(EmptyCellIcon(), FromUtf8(r.PartsName).trimmed(), ListView1);
        item->setData(kIdRole, qlonglong(r.PartsID));
        item->setData(kNameRole, FromUtf8(r.PartsName));
        item->setData(kNumberRole, FromUtf8(r.PartsNumber));
        // A product whose sub-category is gone shows as a material.
        item->setData(kKindRole, r.PartsSubType == 1 ? 1 : 2);
    }
    if (!page->rows.empty()) listLastID_ = page->rows.back().PartsID;
    listMore_ = page->more && !page->rows.empty();
    StartThumbnails();
}

void TFormSelParts::StartThumbnails() {
    std::vector<ThumbnailJob> jobs;
    for (int i = thumbnailsMade_; i < ListView1->count(); ++i) {
        const QListWidgetItem* item = ListView1->item(i);
        jobs.push_back({item->data(kNameRole).toString().toStdString(), item->data(kNumberRole).toString().toStdString(),
                        KindOf(item->data(kKindRole).toInt())});
    }
    thumbnails_->Stop();
    thumbnailBase_ = thumbnailsMade_;
    thumbnailsDone_ = jobs.empty();
    if (!jobs.empty()) thumbnails_->Start(std::move(jobs));
}

void TFormSelParts::ThumbnailArrived(int batch, int index, const QImage& cell, const QString& message) {
    const int row = thumbnailBase_ + index;
    if (batch != thumbnails_->batch() || row >= ListView1->count()) return;
    if (!message.isEmpty()) prompts_.Show(this, message);
    ListView1->item(row)->setIcon(QIcon(QPixmap::fromImage(cell)));
    thumbnailsMade_ = row + 1;
}

bool TFormSelParts::WaitForThumbnails(int timeoutMs) {
    QElapsedTimer waited;
    waited.start();
    while (!thumbnailsDone_ && waited.elapsed() < timeoutMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents();
    return thumbnailsDone_;
}

void TFormSelParts::ClearDetails() {
    // Filing a new product: its details stay while the user picks a category.
    if (ProductBrowserMode == FileNewProduct && isVisible()) return;
    SelectedPartsID.clear();
    for (QLineEdit* e : {EditPartsName, EditPartsNumber, EditPartsSpecs, EditPartsPrice}) e->clear();
    ShowPacking(SpinPartsPerBox, ComboPartsUnit, 0, PriceUnit::Piece);
    SpinPatternRepeat->setValue(0);
    picture_ = QImage();
    ImageParts->clear();
}

void TFormSelParts::ShowProductDetails(QListWidgetItem* item) {
    if (item == nullptr || (ProductBrowserMode == FileNewProduct && isVisible())) return;
    SelectedPartsID = QString::number(item->data(kIdRole).toLongLong());
    Result<std::optional<ProductRow>> row = ReadProductDetails(dm_, item->data(kIdRole).toLongLong());
    if (!row) {
        prompts_.Show(this, FromUtf8(row.error()));
        return;
    }
    if (!row->has_value()) return;
    const ProductRow& r = **row;
    EditPartsName->setText(FromUtf8(r.PartsName));
    SelectEntry(ComboBoxSales, r.SalesID);
    SelectEntry(ComboBoxMatType, r.MatTypeID);
    EditPartsNumber->setText(FromUtf8(r.PartsNumber));
    EditPartsSpecs->setText(FromUtf8(r.PartsSpecs));
    EditPartsPrice->setText(QString::number(r.PartsPrice, 'f', 2));
    ShowPacking(SpinPartsPerBox, ComboPartsUnit, r.PartsPerBox, r.PartsUnit);
    SpinPatternRepeat->setValue(r.PatternRepeat);
    ShowDetailsPicture(r);
}

void TFormSelParts::ShowDetailsPicture(const ProductRow& row) {
    Result<QImage> picture = ReadDetailsPicture(ProductPictureSource{ToPath(programFolder_), ReadModelPreview},
                                                {row.PartsName, row.PartsNumber, KindOf(row.PartsSubType)});
    if (!picture) prompts_.Show(this, FromUtf8(picture.error()));
    picture_ = picture ? *picture : QImage();
    if (picture_.isNull()) {
        ImageParts->clear();
        return;
    }
    ImageParts->setPixmap(
        QPixmap::fromImage(picture_).scaled(ImageParts->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

QListWidgetItem* TFormSelParts::SelectedItem() const {
    for (int i = 0; i < ListView1->count(); ++i)
        if (ListView1->item(i)->isSelected()) return ListView1->item(i);
    return nullptr;
}

bool TFormSelParts::ReadSelectedChoice() {
    if (SelectedItem() == nullptr || EditPartsNumber->text().isEmpty()) {
        prompts_.Show(this, tr("请选择产品。"));
        return false;
    }
    if (picture_.isNull()) {
        prompts_.Show(this, tr("没有产品图片。"));
        return false;
    }
    Result<std::optional<ProductChoice>> choice = ReadProductChoice(dm_, EditPartsNumber->text().toStdString());
    if (!choice) {
        prompts_.Show(this, FromUtf8(choice.error()));
        return false;
    }
    const ProductChoice chosen = choice->value_or(ProductChoice{});
    SelectedReflection = FromUtf8(chosen.FanSheXiShu);
    SelectedSubTypeMemo = FromUtf8(chosen.PSTypeMemo);
    return true;
}

void TFormSelParts::BitBtnSelectClick() {
    if (ReadSelectedChoice()) accept();
}

ChosenProduct TFormSelParts::Chosen() const {
    return {EditPartsName->text(), EditPartsNumber->text(), EditPartsSpecs->text(), EditPartsPrice->text(),
            ComboBoxSales->currentText(), picture_, SelectedReflection, SelectedSubTypeMemo, 0, 0,
            SpinPartsPerBox->value(), UnitOf(ComboPartsUnit), SpinPatternRepeat->value()};
}

void TFormSelParts::ImagePartsDblClick() {
    const QString number = EditPartsNumber->text();
    const QString photo = programFolder_ + "/product/jpg/" + number + ".jpg";
    if (number.isEmpty() || photoWindow_ == nullptr || !QFileInfo::exists(photo)) return;
    photoWindow_->ShowPhoto(DecodeJpeg(ReadWholeFile(ToPath(photo)).value_or(Bytes{})));
}

bool TFormSelParts::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ImageParts && event->type() == QEvent::MouseButtonDblClick) {
        ImagePartsDblClick();
        return true;
    }
    if (watched == TreeViewParts->viewport() && ProductBrowserMode == Maintenance) {
        // Dragging over the tree is always accepted; the drop decides.
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (drag->source() == ListView1) drag->acceptProposedAction();
            return true;
        }
        if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            if (drop->source() == ListView1) {
                // A copy for the list's own drag: it must not take the items
                // out itself. The move is asked about once the drag is over.
                drop->setDropAction(Qt::CopyAction);
                drop->accept();
                const QPoint at = drop->position().toPoint();
                QTimer::singleShot(0, this, [this, at] { TreeViewPartsDragDrop(TreeViewParts->itemAt(at)); });
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// --- Maintenance --------------------------------------------------------------

void TFormSelParts::BuildMaintenance() {
    TreeViewParts->setItemDelegate(new CategoryNameDelegate(this, TreeViewParts));
    TreeViewParts->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    TreeViewParts->setAcceptDrops(true);
    TreeViewParts->viewport()->setAcceptDrops(true);
    ListView1->setDefaultDropAction(Qt::CopyAction);
    TreeViewParts->viewport()->installEventFilter(this);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    PopupMenu1->addAction(tr("删除产品"))->setObjectName("N1");
    const QList<QAction*> items = PopupMenu2->actions();  // 添加大类, 删除大类, 添加次类, 删除次类
    connect(items[0], &QAction::triggered, this, &TFormSelParts::NAddMtypeClick);
    connect(items[1], &QAction::triggered, this, &TFormSelParts::NDelMtypeClick);
    connect(items[2], &QAction::triggered, this, &TFormSelParts::NAddStypeClick);
    connect(items[3], &QAction::triggered, this, &TFormSelParts::NDelStypeClick);
    connect(PopupMenu1->actions().front(), &QAction::triggered, this, &TFormSelParts::N1Click);
    connect(TreeViewParts, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        if (ProductBrowserMode == Maintenance) PopupMenu2->exec(TreeViewParts->viewport()->mapToGlobal(at));
    });
    connect(ListView1, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        if (ProductBrowserMode == Maintenance && SelectedItem() != nullptr)
            PopupMenu1->exec(ListView1->viewport()->mapToGlobal(at));
    });
    connect(BitBtnAddParts, &QPushButton::clicked, this, &TFormSelParts::BitBtnAddPartsClick);
    connect(ButtonUpdate, &QPushButton::clicked, this, &TFormSelParts::ButtonUpdateClick);
}

// Every change of existing data asks for the administrator's login first.
bool TFormSelParts::HasRights(const QString& refusal) { return CheckRights(this, dm_, prompts_, refusal); }

QTreeWidgetItem* TFormSelParts::AddTreeItem(QTreeWidgetItem* parent, const QString& name, int64_t id,
                                            bool mainCategory, int64_t parentID) {
    auto* item = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(TreeViewParts);
    item->setText(0, name);
    item->setData(0, kIdRole, qlonglong(id));
    item->setData(0, kMainCategoryRole, mainCategory);
    item->setData(0, kParentRole, qlonglong(parentID));
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    return item;
}

void TFormSelParts::RefreshCurrentList() { ShowProducts(listScope_, listFilter_, LabelSubName->text()); }

void TFormSelParts::PrepareNewProduct(const QImage& picture, const QString& name, const QString& number,
                                      const QString& specs, int64_t salesID, int64_t matTypeID) {
    newProduct_ = ChosenProduct{};
    newProduct_.name = name;
    newProduct_.number = number;
    newProduct_.specs = specs;
    newProduct_.picture = picture;
    newProduct_.salesID = salesID;
    newProduct_.matTypeID = matTypeID;
}

void TFormSelParts::BitBtnAddPartsClick() {
    if (ProductBrowserMode != Maintenance && ProductBrowserMode != FileNewProduct) return;
    QTreeWidgetItem* node = TreeViewParts->currentItem();
    if (node == nullptr) return prompts_.Show(this, QString::fromUtf8(kMsgChooseSubCategoryFirst));
    if (node->data(0, kMainCategoryRole).toBool()) return prompts_.Show(this, QString::fromUtf8(kMsgChooseSubCategory));
    const int64_t psTypeID = node->data(0, kIdRole).toLongLong();
    if (Status target = CheckMaterialSubCategory(dm_, psTypeID); !target)
        return prompts_.Show(this, FromUtf8(target.error()));
    const QString priceText = EditPartsPrice->text().trimmed();
    bool priceOk = true;
    const double price = priceText.isEmpty() ? 0.0 : priceText.toDouble(&priceOk);
    if (!priceOk) return prompts_.Show(this, tr("“%1”不是有效的数值。").arg(priceText));

    std::vector<ProductSource> sources;
    if (ProductBrowserMode == FileNewProduct) {
        if (picture_.isNull()) return prompts_.Show(this, tr("请选择产品图片。"));
        const std::string number = EditPartsNumber->text().toStdString();
        if (number.empty()) return prompts_.Show(this, tr("产品编号不能为空。"));
        if (!IsSafeProductNumber(number)) return prompts_.Show(this, QString::fromUtf8(kMsgNumberNotAFileName));
        const std::filesystem::path map = PicturePathsOf(ToPath(programFolder_), number).mapJpeg;
        std::error_code error;
        std::filesystem::create_directories(map.parent_path(), error);
        const std::optional<Bytes> jpeg = EncodeJpeg(picture_, 100);
        if (!jpeg || !WriteFileAtomically(map, *jpeg))
            return prompts_.Show(this, tr("图片保存失败。"));
        ProductSource source;
        source.file = map;
        source.name = EditPartsName->text().toStdString();
        source.number = number;
        sources.push_back(std::move(source));
    } else {
        const QStringList files = prompts_.OpenFileNames(
            this, programFolder_,
            tr("请选择图片文件 (*.jpg *.jpeg);;请选择图片文件 (*.jpg)"));
        if (files.isEmpty()) return;
        std::vector<std::filesystem::path> paths;
        for (const QString& f : files) paths.push_back(ToPath(f));
        if (Status jpegs = CheckJpegFiles(paths); !jpegs) return prompts_.Show(this, FromUtf8(jpegs.error()));
        for (const std::filesystem::path& p : paths) {
            ProductSource source;
            source.file = p;
            sources.push_back(std::move(source));
        }
    }
    for (ProductSource& source : sources) {
        source.specs = EditPartsSpecs->text().toStdString();
        source.price = price;
        source.piecesPerBox = SpinPartsPerBox->value();
        source.unit = UnitOf(ComboPartsUnit);
        source.patternRepeat = SpinPatternRepeat->value();
    }
    const int random = RandomNumberMiddle();
    const NewProductFields fields{ComboBoxSales->currentData().toLongLong(), ComboBoxMatType->currentData().toLongLong()};
    Result<AddProductsReport> report =
        AddProducts(dm_, psTypeID, sources, fields, random, [this](size_t, size_t, const AddProductsReport& soFar) {
            if (soFar.added.empty()) return;
            EditPartsNumber->setText(FromUtf8(soFar.added.back().row.PartsNumber));
            EditPartsName->setText(FromUtf8(soFar.added.back().row.PartsName));
        });
    if (!report) return prompts_.Show(this, FromUtf8(report.error()));
    // The refilled list clears the details; the last new product's name and
    // number and the typed size, price and packing stay for the next pictures.
    const QStringList typed{EditPartsName->text(), EditPartsNumber->text(), EditPartsSpecs->text(),
                            EditPartsPrice->text()};
    const int typedPerBox = SpinPartsPerBox->value();
    const PriceUnit typedUnit = UnitOf(ComboPartsUnit);
    const int typedRepeat = SpinPatternRepeat->value();
    FillProductList(psTypeID, ListView1);
    ShowPacking(SpinPartsPerBox, ComboPartsUnit, typedPerBox, typedUnit);
    SpinPatternRepeat->setValue(typedRepeat);
    EditPartsName->setText(typed[0]);
    EditPartsNumber->setText(typed[1]);
    EditPartsSpecs->setText(typed[2]);
    EditPartsPrice->setText(typed[3]);
    prompts_.Show(this, FromUtf8(AddedMessage(*report)));
    if (ProductBrowserMode == FileNewProduct && !report->added.empty()) accept();
}

void TFormSelParts::ButtonUpdateClick() {
    if (!HasRights(QString::fromUtf8(kMsgNoUpdateRights))) return;
    QListWidgetItem* item = SelectedItem();
    if (item == nullptr || SelectedPartsID.isEmpty())
        return prompts_.Show(this, QString::fromUtf8(kMsgChooseLibraryProduct));
    if (EditPartsName->text().isEmpty()) return prompts_.Show(this, QString::fromUtf8(kMsgProductNameEmpty));
    if (EditPartsNumber->text().isEmpty()) return prompts_.Show(this, QString::fromUtf8(kMsgProductNumberEmpty));
    bool priceOk = true;
    const double price = EditPartsPrice->text().trimmed().isEmpty() ? 0.0 : EditPartsPrice->text().toDouble(&priceOk);
    if (!priceOk) return prompts_.Show(this, tr("“%1”不是有效的数值。").arg(EditPartsPrice->text()));
    const ProductCorrection correction{EditPartsName->text().toStdString(), EditPartsSpecs->text().toStdString(), price,
                                       ComboBoxSales->currentData().toLongLong(),
                                       ComboBoxMatType->currentData().toLongLong(), SpinPartsPerBox->value(),
                                       UnitOf(ComboPartsUnit), SpinPatternRepeat->value()};
    Result<bool> updated = UpdateProduct(dm_, SelectedPartsID.toLongLong(), correction);
    if (!updated) return prompts_.Show(this, FromUtf8(updated.error()));
    if (!*updated) return prompts_.Show(this, QString::fromUtf8(kMsgProductGone));
    item->setText(EditPartsName->text().trimmed());
    item->setData(kNameRole, EditPartsName->text());
    // The number is the key of the product's files: it stays as stored.
    const QString number = item->data(kNumberRole).toString();
    EditPartsNumber->setText(number);
    EditPartsPrice->setText(QString::number(price, 'f', 2));
    prompts_.Show(this, number + QString::fromUtf8(kMsgUpdated));
}

void TFormSelParts::N1Click() {
    if (!HasRights(QString::fromUtf8(kMsgNoDeleteRights))) return;
    if (prompts_.Ask(this, QString::fromUtf8(kAskDeleteProducts)) != PromptAnswer::Yes) return;
    std::vector<int64_t> ids;
    std::vector<QListWidgetItem*> items;
    for (int i = 0; i < ListView1->count(); ++i)
        if (ListView1->item(i)->isSelected()) {
            items.push_back(ListView1->item(i));
            ids.push_back(ListView1->item(i)->data(kIdRole).toLongLong());
        }
    Result<std::vector<std::string>> deleted = DeleteProducts(dm_, ids);
    if (!deleted) prompts_.Show(this, FromUtf8(deleted.error()));
    RefreshCurrentList();
}

void TFormSelParts::TreeViewPartsDragDrop(QTreeWidgetItem* target) {
    if (target == nullptr || SelectedItem() == nullptr) return;
    if (target->data(0, kMainCategoryRole).toBool())
        return prompts_.Show(this, QString::fromUtf8(kMsgNotIntoMainCategory));
    // Moving changes the stored products like every other upkeep.
    if (!HasRights(QString::fromUtf8(kMsgNoUpdateRights))) return;
    if (prompts_.Ask(this, QString::fromUtf8(kAskMoveProducts)) != PromptAnswer::Yes) return;
    std::vector<int64_t> ids;
    for (int i = 0; i < ListView1->count(); ++i)
        if (ListView1->item(i)->isSelected()) ids.push_back(ListView1->item(i)->data(kIdRole).toLongLong());
    if (Status moved = MoveProducts(dm_, ids, target->data(0, kIdRole).toLongLong(), false); !moved)
        prompts_.Show(this, FromUtf8(moved.error()));
    RefreshCurrentList();
}

void TFormSelParts::NAddMtypeClick() {
    if (!HasRights(QString::fromUtf8(kMsgNoCategoryRights))) return;
    Result<MainCategory> made = AddMainCategory(dm_);
    if (!made) return prompts_.Show(this, FromUtf8(made.error()));
    TreeViewParts->setCurrentItem(AddTreeItem(nullptr, FromUtf8(made->PMTypeName), made->PMTypeID, true, -1));
}

void TFormSelParts::NDelMtypeClick() {
    if (!HasRights(QString::fromUtf8(kMsgNoCategoryRights))) return;
    QTreeWidgetItem* node = TreeViewParts->currentItem();
    if (node == nullptr) return prompts_.Show(this, QString::fromUtf8(kMsgChooseMainCategoryNode));
    if (Status deleted = DeleteMainCategory(dm_, RefOf(node)); !deleted)
        return prompts_.Show(this, FromUtf8(deleted.error()));
    delete node;
}

void TFormSelParts::NAddStypeClick() {
    if (!HasRights(QString::fromUtf8(kMsgNoCategoryRights))) return;
    QTreeWidgetItem* node = TreeViewParts->currentItem();
    if (node == nullptr) return prompts_.Show(this, QString::fromUtf8(kMsgChooseNode));
    Result<SubCategory> made = AddSubCategory(dm_, RefOf(node));
    if (!made) return prompts_.Show(this, FromUtf8(made.error()));
    QTreeWidgetItem* child = AddTreeItem(node, FromUtf8(made->PSTypeName), made->PSTypeID, false, made->ParentID);
    node->setExpanded(true);
    TreeViewParts->setCurrentItem(child);
}

void TFormSelParts::NDelStypeClick() {
    if (!HasRights(QString::fromUtf8(kMsgNoCategoryRights))) return;
    QTreeWidgetItem* node = TreeViewParts->currentItem();
    if (node == nullptr) return prompts_.Show(this, QString::fromUtf8(kMsgChooseSubCategoryNode));
    if (Status deleted = DeleteSubCategory(dm_, RefOf(node)); !deleted)
        return prompts_.Show(this, FromUtf8(deleted.error()));
    delete node;
}

bool TFormSelParts::TreeViewPartsEditing(QTreeWidgetItem* node) {
    return node != nullptr && ProductBrowserMode == Maintenance && HasRights(QString::fromUtf8(kMsgNoCategoryRights));
}

void TFormSelParts::TreeViewPartsEdited(QTreeWidgetItem* node, const QString& text) {
    const CategoryRef ref = RefOf(node);
    if (Status renamed = RenameCategory(dm_, ref, text.toStdString()); !renamed) {
        prompts_.Show(this, FromUtf8(renamed.error()));
        Result<std::string> stored = StoredCategoryName(dm_, ref);
        if (stored) node->setText(0, FromUtf8(*stored));
        return;
    }
    node->setText(0, text);
    if (node == TreeViewParts->currentItem() && !ref.isMainCategory)
        LabelSubName->setText(tr("当前类别：") + text);
}

}  // namespace v2d
