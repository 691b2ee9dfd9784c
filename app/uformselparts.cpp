#include "app/uformselparts.h"

#include <QComboBox>
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
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/uformhximage.h"
#include "app/user_prompts.h"
#include "app/widget_helpers.h"
#include "base/atomic_file.h"
#include "base/picture_codec.h"
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
        if (&n == wanted) found = item;
        if (QTreeWidgetItem* below = AddNodes(tree, item, n.children, wanted)) found = below;
    }
    return found;
}

void SelectEntry(QComboBox* box, int64_t id) {
    const int index = box->findData(qlonglong(id));
    if (index >= 0) box->setCurrentIndex(index);
}

const QIcon& EmptyCellIcon() {
    static const QIcon icon(QPixmap::fromImage(MakeThumbnailCell(QImage())));
    return icon;
}

}  // namespace

TFormSelParts::TFormSelParts(Db& dm, UserPrompts& prompts, QString programFolder, QWidget* parent)
    : QDialog(parent), dm_(dm), prompts_(prompts), programFolder_(std::move(programFolder)) {
    setObjectName("FormSelParts");
    setWindowTitle(QStringLiteral("选择家居产品"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFixedSize(568, 524);
    thumbnails_ = std::make_unique<ProductThumbnailLoader>(ProductPictureSource{ToPath(programFolder_), ReadModelPreview});
    connect(thumbnails_.get(), &ProductThumbnailLoader::thumbnailReady, this, &TFormSelParts::ThumbnailArrived);
    connect(thumbnails_.get(), &ProductThumbnailLoader::batchFinished, this,
            [this](int batch) { thumbnailsDone_ = thumbnailsDone_ || batch == thumbnails_->batch(); });
    BuildControls();
    FormCreate();
}

// The worker goes first: it must not hand a cell to a list that is gone.
TFormSelParts::~TFormSelParts() { thumbnails_->Stop(); }

void TFormSelParts::BuildControls() {
    auto* row = new QHBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("产品类别"), this);
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
    LabelSubName = Named(new QLabel(QStringLiteral("当前类别："), this), QStringLiteral("LabelSubName"));
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
    EditPartsName = edit("EditPartsName", QStringLiteral("名称："));
    EditPartsNumber = edit("EditPartsNumber", QStringLiteral("编号："));
    EditPartsSpecs = edit("EditPartsSpecs", QStringLiteral("规格："));
    EditPartsPrice = edit("EditPartsPrice", QStringLiteral("价格："));
    ComboBoxSales = Named(new QComboBox(this), QStringLiteral("ComboBoxSales"));
    ComboBoxMatType = Named(new QComboBox(this), QStringLiteral("ComboBoxMatType"));
    form->addRow(QStringLiteral("商家："), ComboBoxSales);
    form->addRow(QStringLiteral("材质："), ComboBoxMatType);
    details->addLayout(form, 1);
    ImageParts = Named(new QLabel(this), QStringLiteral("ImageParts"));
    ImageParts->setFixedSize(150, 150);
    ImageParts->setFrameShape(QFrame::StyledPanel);
    ImageParts->setAlignment(Qt::AlignCenter);
    ImageParts->installEventFilter(this);
    details->addWidget(ImageParts);
    right->addLayout(details);

    auto* buttons = new QHBoxLayout;
    BitBtnAddParts = Named(new QPushButton(QStringLiteral("添加产品"), this), QStringLiteral("BitBtnAddParts"));
    ButtonUpdate = Named(new QPushButton(QStringLiteral("更新信息"), this), QStringLiteral("ButtonUpdate"));
    BitBtnSelect = Named(new QPushButton(QStringLiteral("选定产品"), this), QStringLiteral("BitBtnSelect"));
    buttons->addStretch();
    for (QPushButton* b : {BitBtnAddParts, ButtonUpdate, BitBtnSelect}) buttons->addWidget(b);
    right->addLayout(buttons);
    row->addLayout(right, 1);

    PopupMenu1 = Named(new QMenu(this), QStringLiteral("PopupMenu1"));
    PopupMenu2 = Named(new QMenu(this), QStringLiteral("PopupMenu2"));
    for (const char* text : {"添加大类", "删除大类", "添加次类", "删除次类"})
        PopupMenu2->addAction(QString::fromUtf8(text))->setObjectName(QString::fromUtf8(text));

    connect(TreeViewParts, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* node) { TreeViewPartsChange(node); });
    connect(ListView1, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item != nullptr && item->isSelected()) ShowProductDetails(item);
    });
    connect(ListView1, &QListWidget::itemDoubleClicked, this, [this] {
        if (ProductBrowserMode == ChooseModel || ProductBrowserMode == ChooseMaterial) BitBtnSelectClick();
    });
    connect(BitBtnSelect, &QPushButton::clicked, this, &TFormSelParts::BitBtnSelectClick);
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
    if (mode != ProductBrowserMode && !RebuildTreeOnShow) {
        FillCategoryTree(TreeViewParts, KindFilterOf(mode));
        TreeViewParts->expandAll();
    }
    ProductBrowserMode = mode;
    return exec() == QDialog::Accepted;
}

void TFormSelParts::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TFormSelParts::FormShow() {
    if (RebuildTreeOnShow) {
        FillCategoryTree(TreeViewParts, KindFilterOf(ProductBrowserMode));
        TreeViewParts->expandAll();
        RebuildTreeOnShow = false;
    }
    const bool choosing = ProductBrowserMode == ChooseModel || ProductBrowserMode == ChooseMaterial;
    ListView1->setToolTip(choosing ? QStringLiteral("双击将产品加入场景") : QString());
    BitBtnAddParts->setVisible(!choosing);
    ButtonUpdate->setVisible(ProductBrowserMode == Maintenance);
    BitBtnSelect->setVisible(choosing);
    if (choosing) {
        for (QLineEdit* e : {EditPartsNumber, EditPartsSpecs, EditPartsPrice}) e->setReadOnly(true);
    } else {
        for (QLineEdit* e : {EditPartsName, EditPartsSpecs, EditPartsPrice}) e->setReadOnly(false);
    }
    ComboBoxSales->setEnabled(!choosing);
    ComboBoxMatType->setEnabled(!choosing);
    ListView1->setEnabled(ProductBrowserMode != FileNewProduct);
    if (!choosing) {
        const QString photo = programFolder_ + "/product/jpg/" + EditPartsNumber->text() + ".jpg";
        if (!EditPartsNumber->text().isEmpty() && QFileInfo::exists(photo)) {
            picture_ = DecodeJpeg(ReadWholeFile(ToPath(photo)).value_or(Bytes{}));
            ImageParts->setPixmap(QPixmap::fromImage(picture_).scaled(ImageParts->size(), Qt::KeepAspectRatio,
                                                                      Qt::SmoothTransformation));
        }
    }
    if (ProductBrowserMode == FileNewProduct) TreeViewParts->expandAll();
}

void TFormSelParts::FillCategoryTree(QTreeWidget* tree, int kindFilter) {
    Result<std::vector<CategoryNode>> nodes = BuildCategoryTree(dm_, static_cast<CategoryFilter>(kindFilter));
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
    if (subCategory) {
        FillProductList(node->data(0, kIdRole).toLongLong(), ListView1);
        LabelSubName->setText(QStringLiteral("当前类别：") + node->text(0));
    } else {
        thumbnails_->Stop();
        ListView1->clear();
    }
    if (ListView1->count() > 0) ListView1->setCurrentRow(0);
}

void TFormSelParts::FillProductList(int64_t psTypeID, QListWidget* list) {
    thumbnails_->Stop();
    list->clear();
    ClearDetails();
    Result<std::optional<int>> kind = ReadSubCategoryKind(dm_, psTypeID);
    Result<std::vector<ProductRow>> rows = ReadProductList(dm_, psTypeID);
    if (!kind || !rows) {
        prompts_.Show(this, FromUtf8(!kind ? kind.error() : rows.error()));
        return;
    }
    const ProductKind productKind = KindOf(kind->value_or(2));
    std::vector<ThumbnailJob> jobs;
    jobs.reserve(rows->size());
    for (const ProductRow& r : *rows) {
        auto* item = new QListWidgetItem(EmptyCellIcon(), FromUtf8(r.PartsName).trimmed(), list);
        item->setData(kIdRole, qlonglong(r.PartsID));
        item->setData(kNameRole, FromUtf8(r.PartsName));
        item->setData(kNumberRole, FromUtf8(r.PartsNumber));
        jobs.push_back({r.PartsName, r.PartsNumber, productKind});
    }
    thumbnailsDone_ = jobs.empty();
    if (!jobs.empty()) thumbnails_->Start(std::move(jobs));
}

void TFormSelParts::ThumbnailArrived(int batch, int index, const QImage& cell, const QString& message) {
    if (batch != thumbnails_->batch() || index >= ListView1->count()) return;
    if (!message.isEmpty()) prompts_.Show(this, message);
    ListView1->item(index)->setIcon(QIcon(QPixmap::fromImage(cell)));
}

bool TFormSelParts::WaitForThumbnails(int timeoutMs) {
    QElapsedTimer waited;
    waited.start();
    while (!thumbnailsDone_ && waited.elapsed() < timeoutMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents();
    return thumbnailsDone_;
}

void TFormSelParts::ClearDetails() {
    SelectedPartsID.clear();
    for (QLineEdit* e : {EditPartsName, EditPartsNumber, EditPartsSpecs, EditPartsPrice}) e->clear();
    picture_ = QImage();
    ImageParts->clear();
}

void TFormSelParts::ShowProductDetails(QListWidgetItem* item) {
    if (item == nullptr) return;
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

void TFormSelParts::BitBtnSelectClick() {
    if (SelectedItem() == nullptr || EditPartsNumber->text().isEmpty()) {
        prompts_.Show(this, QStringLiteral("请选择产品。"));
        return;
    }
    if (picture_.isNull()) {
        prompts_.Show(this, QStringLiteral("没有产品图片。"));
        return;
    }
    Result<std::optional<ProductChoice>> choice = ReadProductChoice(dm_, EditPartsNumber->text().toStdString());
    if (!choice) {
        prompts_.Show(this, FromUtf8(choice.error()));
        return;
    }
    const ProductChoice chosen = choice->value_or(ProductChoice{});
    SelectedReflection = FromUtf8(chosen.FanSheXiShu);
    SelectedSubTypeMemo = FromUtf8(chosen.PSTypeMemo);
    accept();
}

ChosenProduct TFormSelParts::Chosen() const {
    return {EditPartsName->text(), EditPartsNumber->text(), EditPartsSpecs->text(), EditPartsPrice->text(),
            ComboBoxSales->currentText(), picture_, SelectedReflection, SelectedSubTypeMemo};
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
    return QDialog::eventFilter(watched, event);
}

}  // namespace v2d
