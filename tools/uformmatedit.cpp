#include "tools/uformmatedit.h"

#include <QCoreApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/atomic_file.h"
#include "base/integer_text.h"
#include "base/picture_codec.h"
#include "tools/Uformcolor.h"
#include "tools/colour_card_layout.h"
#include "widgets/interface_language.h"
#include "widgets/user_prompts.h"
#include "widgets/widget_helpers.h"

namespace v2d {

// A picture shown centred and proportionally scaled, as the editor's click
// mapping expects; a click reports the control point.
class MatEditPicture : public QWidget {
public:
    MatEditPicture(const QString& name, QSize size, QWidget* parent) : QWidget(parent) {
        setObjectName(name);
        setFixedSize(size);
        setCursor(Qt::PointingHandCursor);
    }
    void setPicture(const QImage& picture) {
        picture_ = picture;
        update();
    }
    const QImage& picture() const { return picture_; }
    void setEmptyText(const QString& text) { emptyText_ = text; }
    std::function<void(QPoint)> clicked;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0xF0, 0xF0, 0xF0));
        painter.setPen(QColor(0xA0, 0xA0, 0xA0));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        if (picture_.isNull()) {
            painter.drawText(rect(), Qt::AlignCenter, emptyText_);
            return;
        }
        const float s = std::max(float(picture_.width()) / float(width()), float(picture_.height()) / float(height()));
        const int w = static_cast<int>(float(picture_.width()) / s), h = static_cast<int>(float(picture_.height()) / s);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect((width() - w) / 2, (height() - h) / 2, w, h), picture_);
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && clicked) clicked(event->position().toPoint());
    }

private:
    QImage picture_;
    QString emptyText_;
};

namespace {

constexpr const char* kTextureFilter = QT_TRANSLATE_NOOP("Messages", "选择文件 (*.jpg);;选择文件 (*.bmp)");

QToolButton* TextButton(const char* name, const char* caption, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(QCoreApplication::translate("Messages", caption));
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return b;
}

}  // namespace

TFormMatedit::TFormMatedit(QString programFolder, QWidget* parent)
    : QDialog(parent), programFolder_(std::move(programFolder)) {
    setObjectName("FormMatedit");
    setWindowTitle(tr("材料图案编辑"));
    setDialogs({});
    BuildControls();
}

TFormMatedit::~TFormMatedit() = default;

void TFormMatedit::setDialogs(MatEditDialogs dialogs) {
    dialogs_ = std::move(dialogs);
    if (!dialogs_.openFile)
        dialogs_.openFile = [](QWidget* parent, const QString& folder, const QString& filter) {
            return QFileDialog::getOpenFileName(parent, QString(), folder, filter);
        };
    if (!dialogs_.chooseColour)
        dialogs_.chooseColour = [](QWidget* parent, const QColor& initial) -> std::optional<QColor> {
            const QColor c = QColorDialog::getColor(initial, parent);
            return c.isValid() ? std::optional<QColor>(c) : std::nullopt;
        };
    if (!dialogs_.message)
        dialogs_.message = [](QWidget* parent, const QString& text) {
            QMessageBox::information(parent, ShownText(kPromptTitle), ShownText(text));
        };
}

void TFormMatedit::BuildControls() {
    auto* row = new QHBoxLayout(this);
    GroupBoxTex = new QGroupBox(tr("原始花型"), this);
    auto* texColumn = new QVBoxLayout(GroupBoxTex);
    ImageTex = new MatEditPicture(QStringLiteral("ImageTex"), {200, 200}, GroupBoxTex);
    ImageTex->setToolTip(tr("点击打开花型文件"));
    texColumn->addWidget(ImageTex);
    texColumn->addStretch();
    row->addWidget(GroupBoxTex);

    auto* matGroup = new QGroupBox(tr("编辑效果"), this);
    auto* matColumn = new QVBoxLayout(matGroup);
    ImageMat = new MatEditPicture(QStringLiteral("ImageMat"), {400, 400}, matGroup);
    ImageMat->setToolTip(tr("点击选择颜色或纹理"));
    matColumn->addWidget(ImageMat);
    row->addWidget(matGroup);

    auto* side = new QVBoxLayout;
    RadioButtonColor = new QRadioButton(tr("颜色"), this);
    RadioButtonColor->setObjectName("RadioButtonColor");
    RadioButtonColor->setChecked(true);
    RadioButtonBmp = new QRadioButton(tr("纹理"), this);
    RadioButtonBmp->setObjectName("RadioButtonBmp");
    CheckBoxMix = new QCheckBox(tr("叠加"), this);
    CheckBoxMix->setObjectName("CheckBoxMix");
    CheckBoxMix->setChecked(true);
    auto* modes = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{RadioButtonColor, RadioButtonBmp, CheckBoxMix}) modes->addWidget(w);
    side->addLayout(modes);
    auto* toleranceRow = new QHBoxLayout;
    toleranceRow->addWidget(new QLabel(tr("容差："), this));
    EditTolerance = new QLineEdit(QStringLiteral("50"), this);
    EditTolerance->setObjectName("EditTolerance");
    // EditToleranceKeyPress: digits and backspace only.
    EditTolerance->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    EditTolerance->setMaximumWidth(60);
    toleranceRow->addWidget(EditTolerance);
    toleranceRow->addStretch();
    side->addLayout(toleranceRow);

    GroupBoxCurrent = new QGroupBox(tr("当前选择"), this);
    GroupBoxCurrent->setObjectName("GroupBoxCurrent");
    auto* grid = new QGridLayout(GroupBoxCurrent);
    ShapeColor = new QLabel(GroupBoxCurrent);
    ShapeColor->setObjectName("ShapeColor");
    ShapeColor->setFixedSize(40, 24);
    ShapeColor->setFrameShape(QFrame::Box);
    ShapeColor->setAutoFillBackground(true);
    ShapeColor->installEventFilter(this);
    SButtonColor = TextButton("SButtonColor", QT_TRANSLATE_NOOP("Messages", "色卡"), GroupBoxCurrent);
    TrackBarScale = new QSlider(Qt::Horizontal, GroupBoxCurrent);
    TrackBarScale->setObjectName("TrackBarScale");
    TrackBarScale->setRange(10, 500);
    TrackBarScale->setValue(kDefaultTextureScale);
    TrackBarScale->setFocusPolicy(Qt::StrongFocus);
    EditScale = new QLineEdit(QStringLiteral("100"), GroupBoxCurrent);
    EditScale->setObjectName("EditScale");
    EditScale->setReadOnly(true);
    EditScale->setMaximumWidth(44);
    ImageWenli = new MatEditPicture(QStringLiteral("ImageWenli"), {90, 90}, GroupBoxCurrent);
    ImageWenli->setToolTip(tr("点击选择纹理文件"));
    ImageWenli->setEmptyText(tr("无纹理"));
    grid->addWidget(new QLabel(tr("颜色"), GroupBoxCurrent), 0, 0);
    grid->addWidget(ShapeColor, 0, 1);
    grid->addWidget(SButtonColor, 0, 2);
    grid->addWidget(new QLabel(tr("缩放"), GroupBoxCurrent), 1, 0);
    grid->addWidget(TrackBarScale, 1, 1);
    auto* percent = new QHBoxLayout;
    percent->addWidget(EditScale);
    percent->addWidget(new QLabel(QStringLiteral("%"), GroupBoxCurrent));
    grid->addLayout(percent, 1, 2);
    grid->addWidget(ImageWenli, 2, 0, 1, 3, Qt::AlignCenter);
    side->addWidget(GroupBoxCurrent);
    side->addStretch();

    SButtonReset = TextButton("SButtonReset", QT_TRANSLATE_NOOP("Messages", "初始效果"), this);
    SpeedButtonOK = TextButton("SpeedButtonOK", QT_TRANSLATE_NOOP("Messages", "应用到场景"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SButtonReset);
    buttons->addWidget(SpeedButtonOK);
    side->addLayout(buttons);
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    side->addWidget(ProgressBar);
    row->addLayout(side);

    ImageMat->clicked = [this](QPoint p) { ImageMatMouseDown(p); };
    ImageTex->clicked = [this](QPoint) { ImageTexClick(); };
    ImageWenli->clicked = [this](QPoint) { ImageWenliClick(); };
    connect(SButtonColor, &QToolButton::clicked, this, &TFormMatedit::SButtonColorClick);
    connect(SButtonReset, &QToolButton::clicked, this, &TFormMatedit::SButtonResetClick);
    connect(SpeedButtonOK, &QToolButton::clicked, this, &TFormMatedit::SpeedButtonOKClick);
    connect(EditTolerance, &QLineEdit::textChanged, this, &TFormMatedit::EditToleranceChange);
    connect(TrackBarScale, &QSlider::valueChanged, this, &TFormMatedit::TrackBarScaleChange);
    connect(TrackBarScale, &QSlider::sliderReleased, this, &TFormMatedit::TrackBarScaleChange);
    ShowCurrentEntry();
}

void TFormMatedit::LoadPattern(const QImage& pattern, int tolerance) {
    editor_.Load(pattern);
    OpenOn(pattern, tolerance);
}

void TFormMatedit::OpenOn(const QImage& picture, std::optional<int> tolerance) {
    editor_.Open(picture);
    if (tolerance) EditTolerance->setText(QString::number(ClampTolerance(*tolerance)));
    ImageTex->setPicture(editor_.source());
    ShowSourceCaption();
    ShowResult();
    ShowCurrentEntry();
}

QSize TFormMatedit::editedPictureSize() const { return ImageMat->size(); }

void TFormMatedit::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TFormMatedit::FormShow() { ShowSourceCaption(); }

void TFormMatedit::ShowSourceCaption() {
    const QImage& s = editor_.source();
    GroupBoxTex->setTitle(tr("原始花型(%1*%2)").arg(s.width()).arg(s.height()));
}

void TFormMatedit::Message(const QString& text) { dialogs_.message(this, text); }

std::optional<int> TFormMatedit::Tolerance() {
    const std::optional<int> value = StrictInteger(EditTolerance->text());
    if (!value) {
        Message(ConversionMessage(EditTolerance->text()));
        return std::nullopt;
    }
    return ClampTolerance(*value);
}

std::optional<QImage> TFormMatedit::ChooseTexture(const QString& folder) {
    const QString file = dialogs_.openFile(this, folder, ShownText(kTextureFilter));
    if (file.isEmpty()) return std::nullopt;
    const Bytes bytes = ReadWholeFile(ToPath(file)).value_or(Bytes{});
    const QImage picture = DecodePicture(bytes, PictureCheck::Strict);
    if (picture.isNull()) {
        Message(SniffPicture(bytes) == PictureKind::Unknown
                    ? tr("文件格式不正确")
                    : ShownText(kMsgPictureDamaged + ToPath(file).filename().string()));
        return std::nullopt;
    }
    return picture;
}

void TFormMatedit::ImageMatMouseDown(QPoint controlPoint) {
    const std::optional<QPoint> p = MapClickToPicture(controlPoint, ImageMat->size(), editor_.result().size());
    if (!p) return;
    const std::optional<int> tolerance = Tolerance();
    if (!tolerance) return;
    const Progress progress = [this](int percent) { ProgressBar->setValue(percent); };
    if (RadioButtonBmp->isChecked()) {
        const std::optional<QImage> texture = ChooseTexture(programFolder_ + "/product/texture");
        if (!texture) return;
        editor_.ClickTexture(*p, *texture, *tolerance, CheckBoxMix->isChecked(), progress);
    } else {
        const std::optional<QColor> colour =
            dialogs_.chooseColour(this, QColorFromWindows(editor_.ResultColourAt(*p)));
        if (!colour) return;
        editor_.ClickColour(*p, WindowsFromQColor(*colour), *tolerance, CheckBoxMix->isChecked(), progress);
    }
    ShowResult();
    ShowCurrentEntry();
}

void TFormMatedit::ChangeCurrentColour(uint32_t colour) {
    const std::optional<int> tolerance = Tolerance();
    if (!tolerance) return;
    if (Status changed = editor_.ChangeColour(colour, *tolerance, CheckBoxMix->isChecked(),
                                              [this](int percent) { ProgressBar->setValue(percent); });
        !changed) {
        Message(QString::fromUtf8(changed.error()));
        return;
    }
    ShowResult();
    ShowCurrentEntry();
}

void TFormMatedit::ShapeColorMouseDown() {
    if (editor_.current() == nullptr) {
        Message(QString::fromUtf8(kMsgPickAreaFirst));
        return;
    }
    const std::optional<QColor> colour = dialogs_.chooseColour(this, QColorFromWindows(editor_.current()->colour));
    if (colour) ChangeCurrentColour(WindowsFromQColor(*colour));
}

void TFormMatedit::SButtonColorClick() {
    if (editor_.current() == nullptr) {
        Message(QString::fromUtf8(kMsgPickAreaFirst));
        return;
    }
    if (colourCards_ == nullptr || colourCards_->exec() != QDialog::Accepted) return;
    if (const std::optional<uint32_t> colour = colourCards_->pickedWindowsColour()) ChangeCurrentColour(*colour);
}

void TFormMatedit::TrackBarScaleChange() {
    const int position = TrackBarScale->value();
    EditScale->setText(QString::number(position));
    const bool held = TrackBarScale->isSliderDown() || QGuiApplication::mouseButtons().testFlag(Qt::LeftButton);
    if (!TrackBarScale->hasFocus() || held) return;
    if (editor_.current() == nullptr) {
        Message(QString::fromUtf8(kMsgPickAreaFirst));
        return;
    }
    const std::optional<int> tolerance = Tolerance();
    if (!tolerance) return;
    Result<bool> scaled = editor_.ChangeScale(position, *tolerance, CheckBoxMix->isChecked(),
                                              [this](int percent) { ProgressBar->setValue(percent); });
    if (scaled && *scaled) ShowResult();
}

void TFormMatedit::ImageWenliClick() {
    if (editor_.current() == nullptr) {
        Message(QString::fromUtf8(kMsgPickAreaFirst));
        return;
    }
    const std::optional<int> tolerance = Tolerance();
    if (!tolerance) return;
    const std::optional<QImage> texture = ChooseTexture(programFolder_ + "/product/texture");
    if (!texture) return;
    if (Status changed = editor_.ChangeTexture(*texture, *tolerance, CheckBoxMix->isChecked(),
                                               [this](int percent) { ProgressBar->setValue(percent); });
        !changed) {
        Message(QString::fromUtf8(changed.error()));
        return;
    }
    ShowResult();
    ShowCurrentEntry();
}

void TFormMatedit::ImageTexClick() {
    const std::optional<QImage> pattern = ChooseTexture(programFolder_ + "/product/flower");
    if (!pattern) return;
    editor_.Load(*pattern);
    ImageTex->setPicture(editor_.source());
    ShowSourceCaption();
    ShowResult();
    ShowCurrentEntry();
}

void TFormMatedit::SButtonResetClick() {
    editor_.Reset();
    ShowResult();
    ShowCurrentEntry();
}

void TFormMatedit::EditToleranceChange() {
    const std::optional<int> value = StrictInteger(EditTolerance->text());
    if (value && *value > kMaxTolerance) EditTolerance->setText(QString::number(kMaxTolerance));
}

void TFormMatedit::SpeedButtonOKClick() {
    if (editor_.result().isNull()) {
        Message(QString::fromUtf8(kMsgNoEditedPicture));
        return;
    }
    accept();
}

void TFormMatedit::ShowResult() { ImageMat->setPicture(editor_.result()); }

void TFormMatedit::ShowCurrentEntry() {
    // The group stays enabled without entries: its controls then say to
    // pick an area first.
    const V2d_ColorRep* entry = editor_.current();
    QPalette palette = ShapeColor->palette();
    palette.setColor(QPalette::Window, entry ? QColorFromWindows(entry->colour) : QColor(Qt::white));
    ShapeColor->setPalette(palette);
    {
        const QSignalBlocker quiet(TrackBarScale);
        TrackBarScale->setValue(entry ? entry->scale : kDefaultTextureScale);
    }
    EditScale->setText(QString::number(TrackBarScale->value()));
    ImageWenli->setPicture(entry ? entry->texture : QImage());
}

bool TFormMatedit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ShapeColor && event->type() == QEvent::MouseButtonPress) {
        ShapeColorMouseDown();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace v2d
