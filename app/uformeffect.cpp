#include "app/uformeffect.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QVBoxLayout>

#include "app/slider_gesture.h"
#include "app/track_bar_rules.h"
#include "widgets/user_prompts.h"
#include "widgets/widget_helpers.h"
#include "document/scene_document.h"

namespace v2d {

namespace {

QSlider* MakeTrackBar(const QString& name, int low, int high, int start, QWidget* parent) {
    auto* bar = Named(new QSlider(Qt::Horizontal, parent), name);
    bar->setRange(low, high);
    bar->setValue(start);
    bar->setFocusPolicy(Qt::StrongFocus);
    return bar;
}

}  // namespace

TFormEffect::TFormEffect(SceneDocument& document, UserPrompts& prompts, std::function<void()> applyToSelection,
                         QWidget* parent)
    : QDialog(parent),
      document_(document),
      prompts_(prompts),
      applyToSelection_(std::move(applyToSelection)) {
    setObjectName("FormEffect");
    setWindowTitle(tr("材质特效"));
    KeepTitleWhole(*this);
    auto* column = new QVBoxLayout(this);

    auto* offsets = new QGroupBox(tr("偏移"), this);
    auto* grid = new QGridLayout(offsets);
    // EditOffsetXKeyPress: digits, "-" and backspace.
    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]*")), this);
    auto offsetRow = [&](int row, const char* caption, const char* barName, const char* editName) {
        QSlider* bar = MakeTrackBar(QString::fromLatin1(barName), -100, 100, 0, offsets);
        auto* edit = Named(new QLineEdit(QStringLiteral("0"), offsets), QString::fromLatin1(editName));
        edit->setValidator(digits);
        edit->setMaximumWidth(50);
        grid->addWidget(new QLabel(tr(caption), offsets), row, 0);
        grid->addWidget(bar, row, 1);
        grid->addWidget(edit, row, 2);
        return std::pair{bar, edit};
    };
    std::tie(TrackBarOffsetX, EditOffsetX) = offsetRow(0, QT_TR_NOOP("横向:"), "TrackBarOffsetX", "EditOffsetX");
    std::tie(TrackBarOffsetY, EditOffsetY) = offsetRow(1, QT_TR_NOOP("纵向:"), "TrackBarOffsetY", "EditOffsetY");
    column->addWidget(offsets);

    auto* bump = Named(new QGroupBox(tr("凹凸效果"), this), QStringLiteral("RadioGroupBump"));
    auto* bumpRow = new QHBoxLayout(bump);
    RadioGroupBump = new QButtonGroup(this);
    int index = 0;
    for (const char* caption : {QT_TR_NOOP("无"), QT_TR_NOOP("凸起"), QT_TR_NOOP("凹陷")}) {
        auto* item = new QRadioButton(tr(caption), bump);
        item->setObjectName(QStringLiteral("RadioGroupBumpItem%1").arg(index));
        RadioGroupBump->addButton(item, index++);
        bumpRow->addWidget(item);
    }
    column->addWidget(bump);

    auto* light = Named(new QGroupBox(tr("光照"), this), QStringLiteral("RadioGroupLight"));
    auto* lightChoices = new QHBoxLayout(light);
    RadioGroupLight = new QButtonGroup(this);
    index = 0;
    for (const char* caption : {QT_TR_NOOP("照片原样"), QT_TR_NOOP("去除原有纹理")}) {
        auto* item = new QRadioButton(tr(caption), light);
        item->setObjectName(QStringLiteral("RadioGroupLightItem%1").arg(index));
        RadioGroupLight->addButton(item, index++);
        lightChoices->addWidget(item);
    }
    column->addWidget(light);

    auto* lightRow = new QHBoxLayout;
    lightRow->addWidget(new QLabel(tr("亮度"), this));
    TrackBarLight = MakeTrackBar(QStringLiteral("TrackBarLight"), 100, 300, 150, this);
    lightRow->addWidget(TrackBarLight, 1);
    column->addLayout(lightRow);
    setFixedWidth(320);

    connect(RadioGroupBump, &QButtonGroup::idClicked, this, [this] { RadioGroupBumpClick(); });
    connect(RadioGroupLight, &QButtonGroup::idClicked, this, [this] { RadioGroupLightClick(); });
    connect(TrackBarOffsetX, &QSlider::valueChanged, this, &TFormEffect::TrackBarOffsetXChange);
    connect(TrackBarOffsetY, &QSlider::valueChanged, this, &TFormEffect::TrackBarOffsetYChange);
    // A drag tiles once, on release.
    connect(TrackBarOffsetX, &QSlider::sliderReleased, this, &TFormEffect::TrackBarOffsetXChange);
    connect(TrackBarOffsetY, &QSlider::sliderReleased, this, &TFormEffect::TrackBarOffsetYChange);
    connect(EditOffsetX, &QLineEdit::textChanged, this, &TFormEffect::EditOffsetXChange);
    connect(EditOffsetY, &QLineEdit::textChanged, this, &TFormEffect::EditOffsetYChange);
    connect(TrackBarLight, &QSlider::valueChanged, this, &TFormEffect::TrackBarLightChange);
    connect(TrackBarLight, &QSlider::sliderReleased, this, &TFormEffect::TrackBarLightChange);
    for (QSlider* bar : {TrackBarOffsetX, TrackBarOffsetY, TrackBarLight}) MakeDragOneStep(bar, document_);
}

EffectSettings TFormEffect::Settings() const {
    EffectSettings s;
    s.shown = isVisible();
    s.offsetX = TrackBarOffsetX->value();
    s.offsetY = TrackBarOffsetY->value();
    s.bump = static_cast<ReliefChoice>(RadioGroupBump->checkedId());
    s.strength = TrackBarLight->value();
    return s;
}

void TFormEffect::Publish() { document_.SetEffectSettings(Settings()); }

void TFormEffect::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

// Closed, the window's settings no longer count.
void TFormEffect::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    document_.SetEffectSettings(EffectSettings{});
}

void TFormEffect::FormShow() {
    for (QSlider* bar : {TrackBarOffsetX, TrackBarOffsetY, TrackBarLight}) {
        const QSignalBlocker quiet(bar);
        bar->setValue(bar == TrackBarLight ? 150 : 0);
    }
    for (QLineEdit* edit : {EditOffsetX, EditOffsetY}) {
        const QSignalBlocker quiet(edit);
        edit->setText(QStringLiteral("0"));
    }
    // No relief item after opening.
    RadioGroupBump->setExclusive(false);
    for (QAbstractButton* item : RadioGroupBump->buttons()) item->setChecked(false);
    RadioGroupBump->setExclusive(true);
    // The light the focused region takes now.
    const V2dPolygon* focused = document_.focusedRecord();
    const bool region = focused && focused->kind == RecordKind::Region;
    const LightMode mode = region ? focused->partsInfo.lightMode() : LightMode::Photo;
    for (QAbstractButton* item : RadioGroupLight->buttons()) item->setEnabled(region);
    RadioGroupLight->button(mode == LightMode::Room ? 1 : 0)->setChecked(true);
    Publish();
}

void TFormEffect::RadioGroupLightClick() {
    const LightMode mode = RadioGroupLight->checkedId() == 1 ? LightMode::Room : LightMode::Photo;
    if (const Outcome set = document_.SetLightMode(mode); set.refused()) prompts_.Show(this, FromUtf8(set.error()));
}

void TFormEffect::RadioGroupBumpClick() {
    Publish();
    if (applyToSelection_) applyToSelection_();
}

void TFormEffect::OffsetChanged(QSlider& bar, QLineEdit& edit) {
    FollowTrackBar(edit, bar.value());
    Publish();
    if (!ActsOnChange(bar, edit)) return;
    if (const Outcome tiled = document_.TileFocusedRegion(); tiled.refused()) prompts_.Show(this, FromUtf8(tiled.error()));
}

void TFormEffect::TrackBarOffsetXChange() { OffsetChanged(*TrackBarOffsetX, *EditOffsetX); }
void TFormEffect::TrackBarOffsetYChange() { OffsetChanged(*TrackBarOffsetY, *EditOffsetY); }

void TFormEffect::EditOffsetXChange() {
    if (EditOffsetX->hasFocus()) TrackBarOffsetX->setValue(StrictInteger(EditOffsetX->text()).value_or(0));
}

void TFormEffect::EditOffsetYChange() {
    if (EditOffsetY->hasFocus()) TrackBarOffsetY->setValue(StrictInteger(EditOffsetY->text()).value_or(0));
}

void TFormEffect::TrackBarLightChange() {
    Publish();
    const bool held = TrackBarLight->isSliderDown() || QGuiApplication::mouseButtons().testFlag(Qt::LeftButton);
    if (!TrackBarLight->hasFocus() || held || RadioGroupBump->checkedId() <= static_cast<int>(ReliefChoice::Flat))
        return;
    if (applyToSelection_) applyToSelection_();
}

}  // namespace v2d
