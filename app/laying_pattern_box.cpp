#include "app/laying_pattern_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QToolButton>

#include "layout/pattern_table.h"
#include "tools/colour_card_layout.h"
#include "widgets/interface_language.h"
#include "widgets/user_prompts.h"
#include "widgets/widget_helpers.h"

namespace v2d {

LayingPatternBox::LayingPatternBox(UserPrompts& prompts, std::function<std::optional<uint32_t>()> pickFromCards,
                                   QWidget* parent)
    : QWidget(parent), prompts_(prompts), pickFromCards_(std::move(pickFromCards)) {
    setObjectName("PanelPattern");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    ComboBoxPattern = Named(new QComboBox(this), QStringLiteral("ComboBoxPattern"));
    for (const PatternRow& row : kPatternTable)
        ComboBoxPattern->addItem(ShownText(std::string(row.caption)), static_cast<int>(row.pattern));
    SpinEditJoint = Named(new QSpinBox(this), QStringLiteral("SpinEditJoint"));
    SpinEditJoint->setRange(0, kMaxJointMm);
    ShapeJointColor = Named(new QFrame(this), QStringLiteral("ShapeJointColor"));
    ShapeJointColor->setFixedSize(28, 18);
    ShapeJointColor->setFrameShape(QFrame::Box);
    ShapeJointColor->setAutoFillBackground(true);
    ShapeJointColor->setCursor(Qt::PointingHandCursor);
    ShapeJointColor->installEventFilter(this);
    SButtonJointColor = MakeButton(QStringLiteral("SButtonJointColor"), tr("色卡"), this);
    CheckBoxRandomTurn = Named(new QCheckBox(tr("随机旋转"), this), QStringLiteral("CheckBoxRandomTurn"));
    ComboBoxOrigin = Named(new QComboBox(this), QStringLiteral("ComboBoxOrigin"));
    ComboBoxOrigin->addItems({tr("左上角"), tr("中心")});

    for (QComboBox* combo : {ComboBoxPattern, ComboBoxOrigin}) combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    grid->addWidget(new QLabel(tr("铺贴方式"), this), 0, 0);
    grid->addWidget(ComboBoxPattern, 0, 1);
    grid->addWidget(new QLabel(tr("起铺点"), this), 0, 2);
    grid->addWidget(ComboBoxOrigin, 0, 3);
    grid->addWidget(new QLabel(tr("缝宽(mm)"), this), 1, 0);
    grid->addWidget(SpinEditJoint, 1, 1);
    auto* colour = new QHBoxLayout;
    colour->addWidget(new QLabel(tr("缝色"), this));
    colour->addWidget(ShapeJointColor);
    colour->addWidget(SButtonJointColor);
    colour->addStretch();
    grid->addLayout(colour, 1, 2, 1, 2);
    grid->setColumnStretch(1, 1);
    ShowJointColour();

    connect(ComboBoxPattern, &QComboBox::currentIndexChanged, this, &LayingPatternBox::Read);
    connect(ComboBoxOrigin, &QComboBox::currentIndexChanged, this, &LayingPatternBox::Read);
    connect(SpinEditJoint, &QSpinBox::valueChanged, this, &LayingPatternBox::Read);
    connect(CheckBoxRandomTurn, &QCheckBox::toggled, this, [this](bool on) {
        // Each time the turns are switched on they get a seed of their own,
        // kept with the region so it lays the same again.
        if (on && !showing_) settings_.seed = QRandomGenerator::global()->generate();
        Read();
    });
    connect(SButtonJointColor, &QToolButton::clicked, this, [this] {
        if (const std::optional<uint32_t> picked = pickFromCards_ ? pickFromCards_() : std::nullopt) {
            settings_.jointColour = *picked;
            ShowJointColour();
            emit changed();
        }
    });
}

void LayingPatternBox::setSettings(const PatternSettings& settings) {
    showing_ = true;
    settings_ = settings;
    // A pattern without a row (from a newer build's scheme) shows no item
    // and stays as it is until one is chosen.
    ComboBoxPattern->setCurrentIndex(ComboBoxPattern->findData(static_cast<int>(settings.pattern)));
    ComboBoxOrigin->setCurrentIndex(static_cast<int>(settings.origin));
    SpinEditJoint->setValue(settings.jointMm);
    CheckBoxRandomTurn->setChecked(settings.randomTurn);
    ShowJointColour();
    showing_ = false;
    emit changed();
}

void LayingPatternBox::Read() {
    if (const QVariant pattern = ComboBoxPattern->currentData(); pattern.isValid())
        settings_.pattern = static_cast<LayingPattern>(pattern.toInt());
    settings_.origin = static_cast<LayingOrigin>(std::max(0, ComboBoxOrigin->currentIndex()));
    settings_.jointMm = SpinEditJoint->value();
    settings_.randomTurn = CheckBoxRandomTurn->isChecked();
    if (!showing_) emit changed();
}

void LayingPatternBox::ShowJointColour() {
    QPalette palette = ShapeJointColor->palette();
    palette.setColor(QPalette::Window, QColorFromWindows(settings_.jointColour));
    ShapeJointColor->setPalette(palette);
}

bool LayingPatternBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ShapeJointColor && event->type() == QEvent::MouseButtonPress) {
        if (const std::optional<QColor> chosen =
                prompts_.ChooseColour(window(), QColorFromWindows(settings_.jointColour))) {
            settings_.jointColour = WindowsFromQColor(*chosen);
            ShowJointColour();
            emit changed();
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace v2d
