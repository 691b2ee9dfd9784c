#include "app/product_panel_widget.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDrag>
#include <QMimeData>
#include <QCheckBox>
#include <QDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QVBoxLayout>

#include "app/laying_pattern_box.h"
#include "layout/region_quote.h"
#include "library/product_descriptor.h"
#include "library/product.h"
#include "render/tiling.h"
#include "app/uformloadtype.h"
#include "app/uformselparts.h"
#include "app/scene_view.h"
#include "app/slider_gesture.h"
#include "app/track_bar_rules.h"
#include "app/outcome_prompt.h"
#include "app/window_job.h"
#include "widgets/user_prompts.h"
#include "widgets/widget_helpers.h"
#include "base/integer_text.h"
#include "document/scene_document.h"
#include "library/product_map.h"
#include "library/product_pictures.h"
#include "library/product_queries.h"
#include "library/pub_functions.h"
#include "scene/model_file.h"
#include "tools/Uformcolor.h"
#include "tools/colour_card_layout.h"
#include "tools/uformmatedit.h"

namespace v2d {

namespace {

// The product panel's descriptor before a product is chosen.
constexpr const char* kSampleProduct =
    "PartsName=布艺&PartsNumber=RY-043&PartsSpecs=600*600&PartsPrice=100.00&SalesName=维克赛尔样品";

// The picture the product panel shows before any product is chosen: a woven
// sample that matches the built-in sample product ("布艺").
QImage DesignTimeProductPicture() {
    QImage image(128, 128, QImage::Format_RGB32);
    image.fill(QColor(0xd9, 0xc7, 0xa8));
    QPainter p(&image);
    for (int i = 0; i < 128; i += 8) {
        p.fillRect(i, 0, 4, 128, QColor(0xc4, 0xae, 0x8a));
        p.fillRect(0, i, 128, 3, QColor(0xb8, 0x9f, 0x78, 160));
    }
    return image;
}

}  // namespace

ProductPanelWidget::ProductPanelWidget(SceneDocument& document, UserPrompts& prompts, QString programFolder,
                                       QWidget* parent)
    : QGroupBox(tr("当前产品"), parent),
      document_(document),
      prompts_(prompts),
      programFolder_(std::move(programFolder)) {
    setObjectName("PanelParts");
    auto* column = new QVBoxLayout(this);
    column->setSpacing(4);
    BuildCaptions(column);
    BuildSizes(column);
    BuildTone(column);
    BuildOptions(column);
    patternBox_ = new LayingPatternBox(prompts_, [this]() -> std::optional<uint32_t> {
        if (colourCards_ == nullptr || colourCards_->exec() != QDialog::Accepted) return std::nullopt;
        return colourCards_->pickedWindowsColour();
    }, this);
    column->addWidget(patternBox_);
    optionsRow_->insertWidget(3, patternBox_->randomTurnCheck());
    BuildColour(column);
    BuildApply(column);
    BuildProductButtons(column);
    ConnectControls();

    CurrentProduct sample = document_.product();
    sample.picture = DesignTimeProductPicture();
    sample.product = Product::Parse(kSampleProduct);
    document_.SetProduct(std::move(sample));
}

// --- Building -------------------------------------------------------------------

void ProductPanelWidget::BuildCaptions(QVBoxLayout* column) {
    auto* top = new QHBoxLayout;
    ImageParts = Named(new QLabel(this), QStringLiteral("ImageParts"));
    ImageParts->setFixedSize(96, 96);
    ImageParts->setFrameShape(QFrame::StyledPanel);
    ImageParts->setScaledContents(true);
    top->addWidget(ImageParts);
    auto* captions = new QVBoxLayout;
    LabelName = Named(new QLabel(tr("名称："), this), QStringLiteral("LabelName"));
    LabelNumber = Named(new QLabel(tr("编号："), this), QStringLiteral("LabelNumber"));
    LabelFact = Named(new QLabel(tr("销售商："), this), QStringLiteral("LabelFact"));
    LabelPrice = Named(new QLabel(tr("价格："), this), QStringLiteral("LabelPrice"));
    LabelPrice->hide();
    LabelQuote = Named(new QLabel(this), QStringLiteral("LabelQuote"));
    for (QLabel* label : {LabelName, LabelNumber, LabelFact, LabelPrice, LabelQuote}) {
        label->setWordWrap(true);
        captions->addWidget(label);
    }
    captions->addStretch();
    top->addLayout(captions, 1);
    column->addLayout(top);
}

void ProductPanelWidget::BuildSizes(QVBoxLayout* column) {
    auto* size = new QHBoxLayout;
    auto* sizeValidator = new QIntValidator(1, 1000000, this);
    EditPartsWidth = Named(new QLineEdit(QStringLiteral("600"), this), QStringLiteral("EditPartsWidth"));
    EditPartsHeight = Named(new QLineEdit(QStringLiteral("600"), this), QStringLiteral("EditPartsHeight"));
    size->addWidget(new QLabel(tr("宽(mm)"), this));
    size->addWidget(EditPartsWidth);
    size->addWidget(new QLabel(tr("高(mm)"), this));
    size->addWidget(EditPartsHeight);
    for (QLineEdit* edit : {EditPartsWidth, EditPartsHeight}) edit->setValidator(sizeValidator), edit->setMaximumWidth(60);
    column->addLayout(size);
}

void ProductPanelWidget::BuildTone(QVBoxLayout* column) {
    auto* sliders = new QGridLayout;
    TrackBarLight = Named(new QSlider(Qt::Horizontal, this), QStringLiteral("TrackBarLight"));
    TrackBarLight->setRange(-100, 400);
    EditLighten = Named(new QLineEdit(QStringLiteral("0"), this), QStringLiteral("EditLighten"));
    LabelReflect = Named(new QLabel(tr("反射"), this), QStringLiteral("LabelReflect"));
    TrackBarReflect = Named(new QSlider(Qt::Horizontal, this), QStringLiteral("TrackBarReflect"));
    TrackBarReflect->setRange(0, 100);
    EditReflect = Named(new QLineEdit(QStringLiteral("0"), this), QStringLiteral("EditReflect"));
    for (QLineEdit* edit : {EditLighten, EditReflect}) edit->setMaximumWidth(48);
    sliders->addWidget(new QLabel(tr("亮度调整"), this), 0, 0);
    sliders->addWidget(TrackBarLight, 0, 1);
    sliders->addWidget(EditLighten, 0, 2);
    sliders->addWidget(LabelReflect, 1, 0);
    sliders->addWidget(TrackBarReflect, 1, 1);
    sliders->addWidget(EditReflect, 1, 2);
    column->addLayout(sliders);
}

void ProductPanelWidget::BuildOptions(QVBoxLayout* column) {
    auto* checks = new QHBoxLayout;
    CheckBoxFit = Named(new QCheckBox(tr("整铺"), this), QStringLiteral("CheckBoxFit"));
    CheckBoxRot = Named(new QCheckBox(tr("转90度"), this), QStringLiteral("CheckBoxRot"));
    CheckBoxMirror = Named(new QCheckBox(tr("镜像"), this), QStringLiteral("CheckBoxMirror"));
    CheckBoxMix = Named(new QCheckBox(tr("叠加底图"), this), QStringLiteral("CheckBoxMix"));
    CheckBoxMix->setChecked(true);
    CheckBoxMix->hide();
    for (QCheckBox* box : {CheckBoxFit, CheckBoxRot, CheckBoxMirror, CheckBoxMix}) checks->addWidget(box);
    optionsRow_ = checks;
    column->addLayout(checks);
}

void ProductPanelWidget::BuildColour(QVBoxLayout* column) {
    auto* colour = new QHBoxLayout;
    colour->addWidget(new QLabel(tr("颜色"), this));
    ShapeColor = Named(new QFrame(this), QStringLiteral("ShapeColor"));
    ShapeColor->setFixedSize(28, 18);
    ShapeColor->setFrameShape(QFrame::Box);
    ShapeColor->setAutoFillBackground(true);
    QPalette fuchsia = ShapeColor->palette();
    fuchsia.setColor(QPalette::Window, QColor(0xff, 0x00, 0xff));
    ShapeColor->setPalette(fuchsia);
    colour->addWidget(ShapeColor);
    SButtonColor = MakeButton(QStringLiteral("SButtonColor"), tr("色卡"), this);
    colour->addWidget(SButtonColor);
    RadioButtonFront = Named(new QRadioButton(tr("前景色"), this), QStringLiteral("RadioButtonFront"));
    RadioButtonBack = Named(new QRadioButton(tr("环境色"), this), QStringLiteral("RadioButtonBack"));
    RadioButtonFront->setChecked(true);
    auto* colourMode = new QButtonGroup(this);
    colourMode->addButton(RadioButtonFront);
    colourMode->addButton(RadioButtonBack);
    colour->addWidget(RadioButtonFront);
    colour->addWidget(RadioButtonBack);
    colour->addStretch();
    column->addLayout(colour);
}

void ProductPanelWidget::BuildApply(QVBoxLayout* column) {
    BitBtnApply = MakeButton(QStringLiteral("BitBtnApply"), tr("开始铺贴"), this);
    BitBtnApply->setAutoRaise(false);
    BitBtnApply->setMinimumHeight(32);
    BitBtnApply->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    BitBtnApply->setEnabled(false);
    column->addWidget(BitBtnApply);
}

void ProductPanelWidget::BuildProductButtons(QVBoxLayout* column) {
    auto* row = new QHBoxLayout;
    BitBtnParts = MakeButton(QStringLiteral("BitBtnParts"), tr("选择材料"), this);
    BitBtnModel = MakeButton(QStringLiteral("BitBtnModel"), tr("选择模型"), this);
    BitBtnBzq = MakeButton(QStringLiteral("BitBtnBzq"), tr("花型编辑"), this);
    BitBtnCompareParts = MakeButton(QStringLiteral("BitBtnCompareParts"), tr("对比"), this);
    BitBtnCompareParts->setToolTip(tr("在选中的区域并排对比 2 到 4 种材料"));
    for (QToolButton* button : {BitBtnParts, BitBtnModel, BitBtnBzq, BitBtnCompareParts}) {
        button->setAutoRaise(false);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        row->addWidget(button);
    }
    column->addLayout(row);
}

void ProductPanelWidget::ConnectControls() {
    connect(BitBtnParts, &QToolButton::clicked, this, &ProductPanelWidget::BitBtnPartsClick);
    connect(BitBtnModel, &QToolButton::clicked, this, &ProductPanelWidget::BitBtnModelClick);
    connect(BitBtnApply, &QToolButton::clicked, this, &ProductPanelWidget::BitBtnApplyClick);
    connect(BitBtnBzq, &QToolButton::clicked, this, &ProductPanelWidget::BitBtnBzqClick);
    connect(BitBtnCompareParts, &QToolButton::clicked, this, &ProductPanelWidget::BitBtnComparePartsClick);
    connect(TrackBarLight, &QSlider::valueChanged, this, &ProductPanelWidget::TrackBarLightChange);
    connect(TrackBarReflect, &QSlider::valueChanged, this, &ProductPanelWidget::TrackBarReflectChange);
    MakeDragOneStep(TrackBarLight, document_);
    MakeDragOneStep(TrackBarReflect, document_);
    connect(EditLighten, &QLineEdit::textChanged, this, &ProductPanelWidget::EditLightenChange);
    connect(EditReflect, &QLineEdit::textChanged, this, &ProductPanelWidget::EditReflectChange);
    // EditLightenKeyPress / EditReflectKeyPress: digits (and "-" for brightness) only.
    EditLighten->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-0-9]*")), EditLighten));
    EditReflect->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), EditReflect));
    ShapeColor->setCursor(Qt::PointingHandCursor);
    connect(SButtonColor, &QToolButton::clicked, this, &ProductPanelWidget::SButtonColorClick);
    for (QObject* watched : std::initializer_list<QObject*>{ShapeColor, TrackBarLight, TrackBarReflect, ImageParts})
        watched->installEventFilter(this);

    // The document holds what the next laying lays; every control keeps it up
    // to date. The tone sliders move the count of tiles no more than the
    // colour does, so a slider drag does not measure the region again.
    for (QLineEdit* size : {EditPartsWidth, EditPartsHeight})
        connect(size, &QLineEdit::textChanged, this, &ProductPanelWidget::PublishLaying);
    for (QAbstractButton* option : std::initializer_list<QAbstractButton*>{CheckBoxFit, CheckBoxRot, CheckBoxMirror,
                                                                           RadioButtonBack, CheckBoxMix})
        connect(option, &QAbstractButton::toggled, this, &ProductPanelWidget::PublishLaying);
    for (QSlider* bar : {TrackBarLight, TrackBarReflect})
        connect(bar, &QSlider::valueChanged, this, &ProductPanelWidget::PublishControls);
    connect(patternBox_, &LayingPatternBox::changed, this, &ProductPanelWidget::PublishLaying);
    PublishLaying();
    connect(&document_, &SceneDocument::productChanged, this, &ProductPanelWidget::ShowProductPicture);
    connect(&document_, &SceneDocument::productChanged, this, &ProductPanelWidget::ShowMeasure);
    // The one place the panel learns what the scene holds: every edit, undo,
    // redo, history click and scene opened is announced here.
    connect(&document_, &SceneDocument::changed, this, &ProductPanelWidget::ShowFocusedRecord);
    connect(&document_, &SceneDocument::sceneReplaced, this, [this] { BitBtnApply->setEnabled(true); });
}

bool ProductPanelWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ImageParts && ImagePartsMouseEvent(event)) return true;
    if (watched == ShapeColor && event->type() == QEvent::MouseButtonPress) {
        ShapeColorMouseDown();
        return true;
    }
    // A drag on a track bar renders nothing while the button is held; once
    // the slider has taken the release, the handler runs for the final value.
    if ((watched == TrackBarLight || watched == TrackBarReflect) && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        QMetaObject::invokeMethod(
            this, [this, light = watched == TrackBarLight] { light ? TrackBarLightChange() : TrackBarReflectChange(); },
            Qt::QueuedConnection);
    }
    return QGroupBox::eventFilter(watched, event);
}

bool ProductPanelWidget::ImagePartsMouseEvent(QEvent* event) {
    const auto* mouse = dynamic_cast<const QMouseEvent*>(event);
    if (mouse == nullptr) return false;
    const QPoint at = mouse->position().toPoint();
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            if (mouse->button() == Qt::LeftButton) imagePartsPressedAt_ = at;
            return true;
        case QEvent::MouseButtonRelease:
            if (mouse->button() == Qt::LeftButton && imagePartsPressedAt_) {
                imagePartsPressedAt_.reset();
                ImagePartsClick();
            }
            return true;
        case QEvent::MouseMove: {
            // The product picture is dragged onto the scene to lay or place it.
            if (!imagePartsPressedAt_ || !mouse->buttons().testFlag(Qt::LeftButton) ||
                (at - *imagePartsPressedAt_).manhattanLength() < QApplication::startDragDistance())
                return true;
            imagePartsPressedAt_.reset();
            if (document_.product().picture.isNull()) return true;
            auto* drag = new QDrag(ImageParts);
            auto* data = new QMimeData;
            data->setData(QString::fromLatin1(kProductDragFormat), QByteArray());
            drag->setMimeData(data);
            drag->setPixmap(ImageParts->pixmap().scaled(48, 48, Qt::KeepAspectRatio));
            drag->exec(Qt::CopyAction);
            drag->deleteLater();
            return true;
        }
        default:
            return false;
    }
}

// --- What the document holds ------------------------------------------------------

void ProductPanelWidget::ShowProductPicture() { ImageParts->setPixmap(QPixmap::fromImage(document_.product().picture)); }

void ProductPanelWidget::ShowFocusedRecord(const SceneChange& change) {
    const V2dPolygon* record = document_.focusedRecord();
    if (change.touches(ChangeAspect::Selection)) BitBtnApply->setEnabled(record != nullptr);
    // A region laid with a product shows how it was laid, as the sliders show
    // its tone; a choice not laid yet stays until the selection or the laying changes.
    const bool laid = record != nullptr && record->kind == RecordKind::Region && !record->partsInfo.empty();
    if (laid && (change.touches(ChangeAspect::Selection) || change.touches(ChangeAspect::Picture)))
        patternBox_->setSettings(record->partsInfo.pattern());  // handed over and measured
    else if (change.aspects != ChangeAspects(ChangeAspect::Tone))  // a tone leaves the area and count as they are
        ShowMeasure();
    if (record == nullptr) return;
    // The values are shown, not applied: the record already has them.
    showingRecord_ = true;
    TrackBarReflect->setValue(record->reflect);
    FollowTrackBar(*EditReflect, TrackBarReflect->value());
    TrackBarLight->setValue(record->lighten);
    FollowTrackBar(*EditLighten, TrackBarLight->value());
    showingRecord_ = false;
    LabelReflect->setText(record->kind == RecordKind::PictureModel ? tr("透明") : tr("反射"));
}

void ProductPanelWidget::LoadProduct(const ProductRow& row) {
    LabelName->setText(tr("名称：") + FromUtf8(row.PartsName));
    LabelNumber->setText(tr("编号：") + FromUtf8(row.PartsNumber));
    LabelPrice->setText(tr("价格：") + QString::number(row.PartsPrice, 'f', 2));
    LabelFact->setText(tr("品牌：") + FromUtf8(row.SalesName));
    CurrentProduct product = document_.product();
    product.model.reset();
    product.product =
        Product::Parse(ProductDescriptor::Product(row.PartsName, row.PartsNumber, row.SalesName, row.PartsSpecs)
                           .WithPricing(row.PartsPrice, row.PartsPerBox, row.PartsUnit, row.PatternRepeat)
                           .ToString());
    // The size edits follow the product, so the first tiling lays it at its
    // real size rather than at the panel's 600 x 600 (a wallpaper at its repeat).
    const ProductSize size = PictureSizeOf(row.PartsSpecs, row.PartsUnit, row.PatternRepeat);
    EditPartsWidth->setText(QString::number(size.width));
    EditPartsHeight->setText(QString::number(size.height));

    const QString maps = programFolder_ + "/product/maps/" + FromUtf8(row.PartsNumber);
    bool pictured = false;
    if (QFileInfo::exists(maps + ".h2d")) {
        auto map = LoadProductMap(ToPath(maps + ".h2d"));
        if (!map) {
            prompts_.Show(window(), FromUtf8(map.error()));
        } else {
            product.mapTolerance = map->tolerance;
            if (map->hasPicture()) product.picture = map->picture, pictured = true;
        }
    }
    QImage picture;
    if (!pictured && QFileInfo::exists(maps + ".jpg") && picture.load(maps + ".jpg", "JPG"))
        product.picture = picture.convertToFormat(QImage::Format_RGB32);
    document_.SetProduct(std::move(product));
}

void ProductPanelWidget::ShowChosenProduct(const ChosenProduct& chosen, QImage picture, Product chosenProduct,
                                           DragKind kind, std::optional<CarriedModel> model) {
    LabelName->setText(tr("名称：") + chosen.name);
    LabelNumber->setText(tr("编号：") + chosen.number);
    LabelPrice->setText(tr("价格：") + chosen.price);
    LabelFact->setText(tr("品牌：") + chosen.salesName);
    const ProductSize size = chosenProduct.pictureSize();
    EditPartsWidth->setText(QString::number(size.width));
    EditPartsHeight->setText(QString::number(size.height));
    CurrentProduct product = document_.product();
    product.picture = std::move(picture);
    product.product = std::move(chosenProduct);
    product.model = std::move(model);
    product.dragKind = kind;
    document_.SetProduct(std::move(product));
    const bool material = kind == DragKind::Material;
    BitBtnApply->setEnabled(material);
    emit productKindChosen(material);
    emit helpTextReady(tr("你可以拖拽产品图片到场景了"));
}

void ProductPanelWidget::BitBtnPartsClick() {
    if (materialsOnline_ && productIE_ != nullptr) {
        OnlineMaterialClick();
        return;
    }
    if (productBrowser_ == nullptr || !productBrowser_->ShowInMode(TFormSelParts::ChooseMaterial)) return;
    // The browser closed with "对比": the materials put aside go side by side.
    if (std::vector<ChosenProduct> compared = productBrowser_->TakeComparison(); !compared.empty()) {
        emit comparisonChosen(compared);
        return;
    }
    const ChosenProduct chosen = productBrowser_->Chosen();
    ShowChosenMaterial(chosen, MaterialOf(chosen));
}

Product ProductPanelWidget::MaterialOf(const ChosenProduct& chosen) {
    return Product::Parse(ProductDescriptor::Material(chosen.name.toStdString(), chosen.number.toStdString(),
                                                      chosen.salesName.toStdString(), chosen.specs.toStdString(),
                                                      chosen.reflection.toStdString())
                              .WithPricing(chosen.price.toDouble(), chosen.piecesPerBox, chosen.unit, chosen.patternRepeat)
                              .ToString());
}

void ProductPanelWidget::BitBtnComparePartsClick() {
    if (document_.selection().selected.empty()) {
        prompts_.Show(window(), tr("请先选择要对比的区域。"));
        return;
    }
    emit helpTextReady(tr("在产品窗口中逐个“加入对比”，再点“对比”。"));
    BitBtnPartsClick();
}

void ProductPanelWidget::TakeComparedMaterial(const ChosenProduct& chosen) {
    ShowChosenMaterial(chosen, MaterialOf(chosen));
    BitBtnApplyClick();
}

void ProductPanelWidget::ShowChosenMaterial(const ChosenProduct& chosen, Product product) {
    CheckBoxFit->setChecked(false);
    // The product's own reflection moves the slider without rendering.
    setLoadingProduct(true);
    TrackBarReflect->setValue(StrictInteger(chosen.reflection).value_or(0));
    setLoadingProduct(false);
    EditReflect->setText(QString::number(TrackBarReflect->value()));
    ShowChosenProduct(chosen, chosen.picture, std::move(product), DragKind::Material);
}

void ProductPanelWidget::BitBtnModelClick() {
    if (loadType_ == nullptr || loadType_->exec() != QDialog::Accepted) return;
    if (loadType_->online()) {
        OnlineModelClick();
        return;
    }
    if (productBrowser_ == nullptr || !productBrowser_->ShowInMode(TFormSelParts::ChooseModel)) return;
    const ChosenProduct chosen = productBrowser_->Chosen();
    const ProductPicturePaths paths = PicturePathsOf(ToPath(programFolder_), chosen.number.toStdString());
    if (!QFileInfo::exists(QString::fromStdU16String(paths.model.u16string()))) {
        prompts_.Show(window(), QString::fromUtf8(kMsgModelMissing));
        return;
    }
    QImage preview;
    std::optional<CarriedModel> model;  // read for the preview: the drop reads it no more
    if (preview.load(QString::fromStdU16String(paths.thumbnail.u16string()), "JPG"))
        preview = preview.convertToFormat(QImage::Format_RGB32);
    else if ((model = CarriedModel::Read(paths.model)))
        preview = model->preview();
    else
        preview = ReadModelPreview(paths.model);
    ShowChosenProduct(chosen, preview,
                      Product::Parse(ProductDescriptor::Model(chosen.name.toStdString(), chosen.number.toStdString(),
                                                              chosen.salesName.toStdString(), chosen.specs.toStdString(),
                                                              chosen.subTypeMemo.toStdString())
                                         .WithPricing(chosen.price.toDouble(), 0, PriceUnit::Piece)
                                         .ToString()),
                      DragKind::Model, std::move(model));
}

// --- Reading the controls --------------------------------------------------------

ProductPanelState ProductPanelWidget::Controls() const {
    ProductPanelState panel;
    panel.widthMm = StrictInteger(EditPartsWidth->text()).value_or(0);
    panel.heightMm = StrictInteger(EditPartsHeight->text()).value_or(0);
    panel.lighten = TrackBarLight->value();
    panel.reflect = TrackBarReflect->value();
    panel.fit = CheckBoxFit->isChecked();
    panel.rotate = CheckBoxRot->isChecked();
    panel.mirror = CheckBoxMirror->isChecked();
    panel.colour = shapeColour();
    panel.ambientColour = RadioButtonBack->isChecked();
    panel.mixWithPhoto = CheckBoxMix->isChecked();
    panel.pattern = patternBox_->settings();
    return panel;
}

bool ProductPanelWidget::ProductSizesAreNumbers() {
    for (const QLineEdit* edit : {EditPartsWidth, EditPartsHeight}) {
        if (!StrictInteger(edit->text())) {
            prompts_.Show(window(), ConversionMessage(edit->text()));
            return false;
        }
    }
    return true;
}

uint32_t ProductPanelWidget::shapeColour() const {
    return WindowsFromQColor(ShapeColor->palette().color(QPalette::Window));
}

void ProductPanelWidget::setShapeColour(uint32_t windowsColour) {
    QPalette palette = ShapeColor->palette();
    palette.setColor(QPalette::Window, QColorFromWindows(windowsColour));
    ShapeColor->setPalette(palette);
    PublishControls();
}

void ProductPanelWidget::PublishControls() { document_.SetPanelControls(Controls()); }

void ProductPanelWidget::PublishLaying() {
    PublishControls();
    ShowMeasure();
}

// The focused region's area and the tiles (or a wallpaper's rolls) the panel
// would lay in it.
void ProductPanelWidget::ShowMeasure() {
    const V2dPolygon* region = document_.focusedRecord();
    const LayingSettings laying = document_.laying();
    QString text;
    if (region != nullptr && region->kind == RecordKind::Region && !laying.panel.isModelProduct) {
        const bool inRolls = laying.panel.product.unit() == PriceUnit::Roll;
        const Result<RegionMeasure> measure = inRolls
                                                  ? MeasureRegionInRolls(document_.scene(), *region, laying.panel.product)
                                                  : MeasurePanelLaying(document_.scene(), *region, laying.panel);
        if (measure)
            text = (inRolls ? tr("面积：%1 m²  约 %2 卷") : tr("面积：%1 m²  约 %2 片"))
                       .arg(measure->areaM2, 0, 'f', 2)
                       .arg(measure->laid);
    }
    LabelQuote->setText(text);
}

// --- Handlers ----------------------------------------------------------------------

// The layings are computed on the pool from the scene as it stands (the
// window holds its input meanwhile) and stored here in one edit; a cancelled
// laying stores nothing, so the scene and the history stay as they were.
void ProductPanelWidget::BitBtnApplyClick() {
    if (job_ == nullptr) return ApplyOnThisThread();
    if (job_->running() || !ProductSizesAreNumbers()) return;
    emit tilingStarted();
    auto plan = std::make_shared<TilingPlan>(document_.PlanTileSelection());
    if (plan->stopped || plan->noPhoto) return ShowTiling(document_.StoreTiling(std::move(*plan)));
    job_->Start(
        [this, plan](const Progress& progress, const CancelToken& cancel) {
            (void)LayPlannedRegions(document_.scene(), document_.renderer(), *plan, progress, cancel);
        },
        [this, plan](bool cancelled) {
            if (!cancelled) ShowTiling(document_.StoreTiling(std::move(*plan)));
        });
}

void ProductPanelWidget::ApplyOnThisThread() {
    if (!ProductSizesAreNumbers()) return;
    emit tilingStarted();
    ShowTiling(document_.TileSelection());
}

void ProductPanelWidget::ShowTiling(const Outcome& result) {
    if (ShowOutcome(prompts_, window(), result)) return;
    if (!result.hint.empty()) emit helpTextReady(FromUtf8(result.hint));
}

void ProductPanelWidget::ImagePartsClick() {
    // A model's preview is no pattern to recolour.
    if (document_.product().dragKind == DragKind::Model) return;
    EditProductPicture(std::nullopt);
}

void ProductPanelWidget::BitBtnBzqClick() {
    const CurrentProduct& product = document_.product();
    if (product.picture.isNull() || product.dragKind == DragKind::Model) {
        prompts_.Show(window(), QString::fromUtf8(kMsgChooseMaterialFirst));
        return;
    }
    EditProductPicture(product.mapTolerance);
}

void ProductPanelWidget::EditProductPicture(std::optional<int> tolerance) {
    if (materialEditor_ == nullptr || document_.product().picture.isNull()) return;
    materialEditor_->OpenOn(document_.product().picture, tolerance);
    if (materialEditor_->exec() != QDialog::Accepted) return;
    CurrentProduct product = document_.product();
    product.picture = materialEditor_->Edited();
    document_.SetProduct(std::move(product));
    if (!document_.selection().selected.empty()) BitBtnApplyClick();
}

bool ProductPanelWidget::LayProductInRectangle(QPoint start, QPoint end, const V2dPolygon* region) {
    if (region == nullptr || !ProductSizesAreNumbers()) return false;
    ShowOutcome(prompts_, window(),
                document_.LayProductInRectangle(region, V2d_Point{start.x(), start.y()}, V2d_Point{end.x(), end.y()}));
    return true;
}

void ProductPanelWidget::TrackBarLightChange() {
    const int position = TrackBarLight->value();
    FollowTrackBar(*EditLighten, position);
    if (!showingRecord_ && ActsOnChange(*TrackBarLight, *EditLighten))
        ShowOutcome(prompts_, window(), document_.SetLighten(position));
}

void ProductPanelWidget::EditLightenChange() {
    if (showingRecord_ || !EditLighten->hasFocus()) return;
    TrackBarLight->setValue(StrictInteger(EditLighten->text()).value_or(0));
}

void ProductPanelWidget::TrackBarReflectChange() {
    if (loadingProduct_) return;
    const int position = TrackBarReflect->value();
    FollowTrackBar(*EditReflect, position);
    if (!showingRecord_ && ActsOnChange(*TrackBarReflect, *EditReflect))
        ShowOutcome(prompts_, window(), document_.SetReflect(position));
}

void ProductPanelWidget::EditReflectChange() {
    if (showingRecord_ || !EditReflect->hasFocus()) return;
    const std::optional<int> value = StrictInteger(EditReflect->text());
    if (!value) {
        prompts_.Show(window(), ConversionMessage(EditReflect->text()));
        return;
    }
    TrackBarReflect->setValue(*value);
}

// The colour dialog and the colour cards paint the selected regions with
// "前景色"; with "环境色" the colour only waits for the next tiling.
void ProductPanelWidget::ShapeColorMouseDown() {
    const std::optional<QColor> chosen = prompts_.ChooseColour(window(), QColorFromWindows(shapeColour()));
    if (!chosen) return;
    setShapeColour(WindowsFromQColor(*chosen));
    ShowOutcome(prompts_, window(), document_.PaintSelection(shapeColour()));
}

void ProductPanelWidget::SButtonColorClick() {
    if (colourCards_ == nullptr || colourCards_->exec() != QDialog::Accepted) return;
    const std::optional<uint32_t> picked = colourCards_->pickedWindowsColour();
    if (!picked) return;
    setShapeColour(*picked);
    ShowOutcome(prompts_, window(), document_.PaintFromColourCard(*picked));
}

}  // namespace v2d
