#include "app/uformloadtype.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "widgets/widget_helpers.h"
#include "widgets/user_prompts.h"

namespace v2d {

TFormLoadType::TFormLoadType(QWidget* parent) : QDialog(parent) {
    setObjectName("FormLoadType");
    setWindowTitle(tr("产品调用方式"));
    KeepTitleWhole(*this);
    auto* column = new QVBoxLayout(this);
    RadioButtonLocal = Named(new QRadioButton(tr("本地"), this), QStringLiteral("RadioButtonLocal"));
    RadioButtonWeb = Named(new QRadioButton(tr("网上"), this), QStringLiteral("RadioButtonWeb"));
    RadioButtonLocal->setChecked(true);
    auto* choices = new QHBoxLayout;
    choices->addWidget(RadioButtonLocal);
    choices->addWidget(RadioButtonWeb);
    column->addLayout(choices);
    auto* buttons = new QHBoxLayout;
    auto* ok = Named(new QPushButton(tr("确定"), this), QStringLiteral("BitBtnOk"));
    auto* cancel = Named(new QPushButton(tr("取消"), this), QStringLiteral("BitBtnCancel"));
    ok->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    column->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TFormLoadType::online() const { return RadioButtonWeb->isChecked(); }

}  // namespace v2d
