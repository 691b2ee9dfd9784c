#include "tools/Uformcolor.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "tools/colour_card_widgets.h"
#include "widgets/interface_language.h"

namespace v2d {

namespace {

constexpr const char* kCardHint = QT_TRANSLATE_NOOP("Messages", "点击选择颜色，双击选定并退出");
// The note as the memo's lines were written; shown as one wrapped text.
constexpr std::array<const char*, 5> kMemoLines = {
    "提示：由于显示器色彩与实", "际颜", "色可能有程度不等色差，准", "确颜", "色以实际色卡为准"};
constexpr QSize kSwatchSize{132, 126};

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

}  // namespace

TFormColor::TFormColor(QWidget* parent) : QDialog(parent) {
    setObjectName("FormColor");
    setWindowTitle(tr("电子色卡-色彩选择"));
    setModal(true);

    Image1 = new ColourCardImage(kThousandCardSize);
    Image1->setObjectName("Image1");
    Image1->setToolTip(ShownText(kCardHint));
    Image2 = new ColourCardImage(kBuildingCardSize);
    Image2->setObjectName("Image2");
    Image2->setToolTip(ShownText(kCardHint));
    connect(Image1, &ColourCardImage::pressed, this, &TFormColor::Image1MouseDown);
    connect(Image2, &ColourCardImage::pressed, this, &TFormColor::Image2MouseDown);
    connect(Image1, &ColourCardImage::doubleClicked, this,
            [this](QPoint p) { Image1DblClick(ColourPage::Thousand, p); });
    connect(Image2, &ColourCardImage::doubleClicked, this,
            [this](QPoint p) { Image1DblClick(ColourPage::Building, p); });

    PageControl1 = new QTabWidget;
    PageControl1->setObjectName("PageControl1");
    QWidget* page1 = BuildRecommendedPage();
    QWidget* page2 = BuildCardPage(Image1);
    QWidget* page3 = BuildCardPage(Image2);
    page1->setObjectName("TabSheet1");
    page2->setObjectName("TabSheet2");
    page3->setObjectName("TabSheet3");
    PageControl1->addTab(page1, tr("推荐流行色"));
    PageControl1->addTab(page2, tr("涂料千色卡"));
    PageControl1->addTab(page3, tr("300中国建筑色卡"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addWidget(BuildBottomPanel());
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ShowChoice();
}

QWidget* TFormColor::BuildRecommendedPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setHorizontalSpacing(18);
    grid->setVerticalSpacing(4);
    for (int i = 0; i < kSwatchCount; ++i) {
        auto* swatch = new ColourSwatchWidget;
        swatch->setObjectName(QString("ShapeColor%1").arg(i + 1));
        swatch->setFixedSize(kSwatchSize);
        swatch->setEnabled(false);
        connect(swatch, &ColourSwatchWidget::pressed, this, [this, i] { ShapeColor1MouseDown(i); });
        auto* label = new QLabel;
        label->setObjectName(QString("ColorNameText%1").arg(i + 1));
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setFixedWidth(kSwatchSize.width());
        label->setWordWrap(true);
        label->setMinimumHeight(label->fontMetrics().height() * 2);
        const int row = (i / 5) * 2, column = i % 5;
        grid->addWidget(swatch, row, column);
        grid->addWidget(label, row + 1, column);
        ShapeColorN[size_t(i)] = swatch;
        ColorNameTextN[size_t(i)] = label;
    }
    grid->setRowStretch(4, 1);
    return page;
}

QWidget* TFormColor::BuildCardPage(ColourCardImage* image) {
    auto* page = new QWidget;
    auto* box = new QVBoxLayout(page);
    box->addWidget(image, 0, Qt::AlignLeft | Qt::AlignTop);
    box->addStretch(1);
    return page;
}

QWidget* TFormColor::BuildBottomPanel() {
    auto* panel = new QWidget;
    panel->setObjectName("Panel1");
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);

    ShapeColor = new ColourSwatchWidget;
    ShapeColor->setObjectName("ShapeColor");
    ShapeColor->setFixedSize(72, 44);
    row->addWidget(ShapeColor);

    auto* numberLabel = new QLabel(tr("色号:"));
    numberLabel->setObjectName("LabelColorNumber");
    row->addWidget(numberLabel);
    EditColorNumber = new QLineEdit;
    EditColorNumber->setObjectName("EditColorNumber");
    EditColorNumber->setFixedWidth(120);
    connect(EditColorNumber, &QLineEdit::returnPressed, this, &TFormColor::EditColorNumberKeyPress);
    numberLabel->setBuddy(EditColorNumber);
    row->addWidget(EditColorNumber);

    // Plain buttons: Enter in the number box looks up, it does not close.
    SpeedButton1 = new QPushButton(tr("选定"));
    SpeedButton1->setObjectName("SpeedButton1");
    SpeedButton1->setAutoDefault(false);
    connect(SpeedButton1, &QPushButton::clicked, this, &TFormColor::SpeedButton1Click);
    row->addWidget(SpeedButton1);
    SpeedButton2 = new QPushButton(tr("确定"));
    SpeedButton2->setObjectName("SpeedButton2");
    SpeedButton2->setAutoDefault(false);
    SpeedButton2->hide();
    CheckBoxClear = new QCheckBox(tr("清除旧材料"));
    CheckBoxClear->setObjectName("CheckBoxClear");
    CheckBoxClear->hide();
    row->addWidget(SpeedButton2);
    row->addWidget(CheckBoxClear);
    row->addStretch(1);

    Memo1 = new QPlainTextEdit;
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setFocusPolicy(Qt::NoFocus);
    QString note;
    for (const char* line : kMemoLines) note += QString::fromUtf8(line);
    Memo1->setPlainText(ShownText(note));
    // Two lines, no scroll bar: the whole note stays in view.
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int margins = int(Memo1->document()->documentMargin() * 2) + Memo1->frameWidth() * 2;
    Memo1->setFixedSize(380, Memo1->fontMetrics().lineSpacing() * 2 + margins + 4);
    row->addWidget(Memo1);
    return panel;
}

Status TFormColor::FormCreate(Db& dm) {
    dm_ = &dm;
    Result<ColourCardLists> lists = LoadColourCardLists(dm);
    if (!lists) return Error{lists.error()};
    Image1->setCard(LayoutThousandCard(Image1->size(), lists->mainList, lists->offWhiteList,
                                       lists->aSeriesList),
                    false);
    Image2->setCard(LayoutBuildingCard(Image2->size(), lists->buildingList), true);
    swatches_ = BuildSwatches(lists->recommendedList);
    for (size_t i = 0; i < swatches_.size(); ++i) {
        const Swatch& swatch = swatches_[i];
        ShapeColorN[i]->setEnabled(swatch.enabled);
        ShapeColorN[i]->setBrushColour(swatch.enabled ? swatch.colour : QColor(Qt::white));
        ShapeColorN[i]->setToolTip(swatch.enabled ? Text(swatch.entry.ColorNumber) : QString());
        ColorNameTextN[i]->setEnabled(swatch.enabled);
        ColorNameTextN[i]->setText(swatch.enabled ? Text(swatch.entry.ColorName) : QString());
    }
    return Status::Ok();
}

void TFormColor::ShowChoice() {
    const ColourChoice& choice = picker_.choice();
    ShapeColor->setBrushColour(QColorFromWindows(choice.colour));
    EditColorNumber->setText(Text(choice.number));
}

void TFormColor::ShowMessage(const QString& text) {
    if (messageSink_) {
        messageSink_(text);
        return;
    }
    QMessageBox::information(this, windowTitle(), ShownText(text));
}

void TFormColor::Image1MouseDown(QPoint point) {
    if (picker_.PickCell(ColourPage::Thousand, Image1->cardLayout(), point)) ShowChoice();
}

void TFormColor::Image2MouseDown(QPoint point) {
    if (picker_.PickCell(ColourPage::Building, Image2->cardLayout(), point)) ShowChoice();
}

void TFormColor::Image1DblClick(ColourPage card, QPoint point) {
    // Only a double click on a cell closes; one on a separating line is a miss.
    const ColourCardImage* image = card == ColourPage::Building ? Image2 : Image1;
    if (!image->cardLayout().CellAt(point)) return;
    if (picker_.PickCell(card, image->cardLayout(), point)) ShowChoice();
    picker_.ClearName();
    accept();
}

void TFormColor::ShapeColor1MouseDown(int index) {
    if (picker_.PickSwatch(swatches_, index)) ShowChoice();
}

void TFormColor::SpeedButton1Click() { accept(); }

void TFormColor::EditColorNumberKeyPress() {
    if (!dm_) return;
    const ColourPage page = ColourPage(PageControl1->currentIndex());
    Result<std::optional<CardColour>> found =
        LookUpCardNumber(*dm_, page, EditColorNumber->text().toStdString());
    if (!found) {
        ShowMessage(Text(found.error()));
        return;
    }
    if (!found->has_value()) return;
    picker_.PickLookedUp(**found);
    ShowChoice();
}

std::optional<QColor> TFormColor::pickedColour() const {
    if (result() != QDialog::Accepted || !picker_.choice().chosen) return std::nullopt;
    return QColorFromWindows(picker_.choice().colour);
}

std::optional<uint32_t> TFormColor::pickedWindowsColour() const {
    if (!pickedColour()) return std::nullopt;
    return picker_.choice().colour;
}

QColor TFormColor::shapeColour() const { return ShapeColor->brushColour(); }

QString TFormColor::chosenNumber() const { return Text(picker_.choice().number); }

QString TFormColor::chosenName() const { return Text(picker_.choice().name); }

}  // namespace v2d
