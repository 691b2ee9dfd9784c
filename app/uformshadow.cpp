#include "app/uformshadow.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "app/outcome_prompt.h"
#include "widgets/user_prompts.h"
#include "widgets/widget_helpers.h"
#include "base/integer_text.h"
#include "document/scene_document.h"
#include "render/picture_ops.h"

namespace v2d {
namespace {

constexpr int kUpDownLimit = 32767;

}  // namespace

TFormShadow::TFormShadow(SceneDocument& document, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), document_(document), prompts_(prompts) {
    setObjectName("TFormShadow");
    setWindowTitle(tr("阴影设置"));
    KeepTitleWhole(*this);
    auto* column = new QVBoxLayout(this);
    CheckBoxCastShadow = Named(new QCheckBox(tr("投射阴影"), this), QStringLiteral("CheckBoxCastShadow"));
    column->addWidget(CheckBoxCastShadow);
    GroupBoxShadow = Named(new QGroupBox(tr("阴影参数"), this), QStringLiteral("GroupBoxShadow"));
    auto* form = new QFormLayout(GroupBoxShadow);
    form->addRow(tr("横向偏移："), EditWithUpDown(EditXpos, "EditXpos", "UpDownXpos", true));
    form->addRow(tr("纵向偏移："), EditWithUpDown(EditYpos, "EditYpos", "UpDownYpos", true));
    RadiusRow = EditWithUpDown(EditRadius, "EditRadius", "UpDownRadius", false);
    auto* radiusLabel = new QLabel(tr("阴影大小："), GroupBoxShadow);
    form->addRow(radiusLabel, RadiusRow);
    radiusLabel->hide();  // the blur size stays as stored
    RadiusRow->hide();
    ShadowColor = Named(new QFrame(GroupBoxShadow), QStringLiteral("ShadowColor"));
    ShadowColor->setFixedSize(60, 20);
    ShadowColor->setFrameShape(QFrame::Box);
    ShadowColor->setAutoFillBackground(true);
    ShadowColor->setToolTip(tr("点击选择颜色"));
    ShadowColor->setCursor(Qt::PointingHandCursor);
    ShadowColor->installEventFilter(this);
    form->addRow(tr("阴影颜色："), ShadowColor);
    column->addWidget(GroupBoxShadow);
    BitBtnOk = Named(new QPushButton(tr("关闭(&O)"), this), QStringLiteral("BitBtnOk"));
    BitBtnOk->setAutoDefault(false);
    column->addWidget(BitBtnOk, 0, Qt::AlignRight);
    connect(BitBtnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(CheckBoxCastShadow, &QCheckBox::clicked, this, &TFormShadow::CheckBoxCastShadowClick);
}

QWidget* TFormShadow::EditWithUpDown(QLineEdit*& edit, const char* name, const char* upDownName, bool allowMinus) {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    edit = Named(new QLineEdit(QStringLiteral("10"), row), QString::fromLatin1(name));
    // The key filter: digits and backspace, and "-" in the offset boxes.
    edit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(allowMinus ? QStringLiteral("[-0-9]*") : QStringLiteral("[0-9]*")), edit));
    edit->installEventFilter(this);
    layout->addWidget(edit);
    auto* upDown = Named(new QWidget(row), QString::fromLatin1(upDownName));
    auto* buttons = new QVBoxLayout(upDown);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(0);
    for (int step : {1, -1}) {
        auto* button = new QToolButton(upDown);
        button->setObjectName(QString::fromLatin1(upDownName) + (step > 0 ? "Up" : "Down"));
        button->setArrowType(step > 0 ? Qt::UpArrow : Qt::DownArrow);
        button->setFixedSize(16, 11);
        buttons->addWidget(button);
        QLineEdit* target = edit;
        connect(button, &QToolButton::clicked, this, [this, target, step] { UpDownXposClick(target, step); });
    }
    layout->addWidget(upDown);
    return row;
}

void TFormShadow::NSetShadowClick() {
    if (!document_.FocusedShadow()) return;
    FormShow();
    exec();
}

void TFormShadow::FormShow() {
    const std::optional<SceneDocument::ShadowSettings> s = document_.FocusedShadow();
    if (!s) return;
    CheckBoxCastShadow->setChecked(s->castShadow);
    GroupBoxShadow->setEnabled(s->castShadow);
    EditXpos->setText(QString::number(s->shadowX));
    EditYpos->setText(QString::number(s->shadowY));
    EditRadius->setText(QString::number(s->shadowRadius));
    ShowColour(s->shadowColor);
}

void TFormShadow::ShowColour(uint32_t colour) {
    QPalette palette = ShadowColor->palette();
    palette.setColor(QPalette::Window, QColor(RedOf(colour), GreenOf(colour), BlueOf(colour)));
    ShadowColor->setPalette(palette);
}

void TFormShadow::CheckBoxCastShadowClick() {
    std::optional<SceneDocument::ShadowSettings> s = document_.FocusedShadow();
    if (!s) return;
    GroupBoxShadow->setEnabled(CheckBoxCastShadow->isChecked());
    s->castShadow = CheckBoxCastShadow->isChecked();
    ShowOutcome(prompts_, this, document_.SetFocusedShadow(*s));
}

void TFormShadow::EditXposExit(QLineEdit* edit) {
    std::optional<SceneDocument::ShadowSettings> s = document_.FocusedShadow();
    if (!s || edit == nullptr) return;
    const std::optional<int> value = ParseInt(edit->text().toStdString());
    if (!value) {
        prompts_.Show(this, tr("'%1' 不是有效的整数值。").arg(edit->text()));
        return;
    }
    int& field = edit == EditXpos ? s->shadowX : edit == EditYpos ? s->shadowY : s->shadowRadius;
    field = *value;
    ShowOutcome(prompts_, this, document_.SetFocusedShadow(*s));  // redraws only when the value differs
}

void TFormShadow::UpDownXposClick(QLineEdit* edit, int step) {
    const int low = edit == EditRadius ? 0 : -kUpDownLimit;
    const int current = ParseInt(edit->text().toStdString()).value_or(0);
    edit->setText(QString::number(std::clamp(current + step, low, kUpDownLimit)));
    EditXposExit(edit);
}

void TFormShadow::ShadowColorMouseDown() {
    std::optional<SceneDocument::ShadowSettings> s = document_.FocusedShadow();
    if (!s) return;
    const QColor initial(RedOf(s->shadowColor), GreenOf(s->shadowColor), BlueOf(s->shadowColor));
    const std::optional<QColor> chosen = prompts_.ChooseColour(this, initial);
    if (!chosen) return;
    s->shadowColor = uint32_t(chosen->red()) | uint32_t(chosen->green()) << 8 | uint32_t(chosen->blue()) << 16;
    ShowColour(s->shadowColor);
    ShowOutcome(prompts_, this, document_.SetFocusedShadow(*s));
}

bool TFormShadow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ShadowColor && event->type() == QEvent::MouseButtonPress) {
        ShadowColorMouseDown();
        return true;
    }
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit != nullptr && event->type() == QEvent::FocusOut) EditXposExit(edit);
    if (edit != nullptr && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            EditXposExit(edit);  // Enter takes the value and keeps the dialog open
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace v2d
