#include "app/uformsuperlogin.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/user_prompts.h"
#include "library/super_login.h"

namespace v2d {

namespace {

QLineEdit* PasswordEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}

}  // namespace

TFormSuperLogin::TFormSuperLogin(Db& dm, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), dm_(dm), prompts_(prompts) {
    setObjectName("TFormSuperLogin");
    setWindowTitle(tr("超级用户登录"));
    KeepTitleWhole(*this);
    EditUserName = new QLineEdit(this);
    EditUserName->setObjectName("EditUserName");
    EditUserPW = PasswordEdit("EditUserPW", this);
    EditNewPW = PasswordEdit("EditNewPW", this);
    EditNewPW2 = PasswordEdit("EditNewPW2", this);
    LabelNewPW = new QLabel(tr("首次登录，请设置超级用户密码："), this);
    BitBtnOk = new QPushButton(tr("确定(&O)"), this);
    BitBtnOk->setObjectName("BitBtnOk");
    BitBtnOk->setDefault(true);
    BitBtnClose = new QPushButton(tr("关闭(&C)"), this);
    BitBtnClose->setObjectName("BitBtnClose");

    form_ = new QFormLayout;
    auto* form = form_;
    form->addRow(tr("用户名称"), EditUserName);
    form->addRow(tr("用户密码"), EditUserPW);
    form->addRow(LabelNewPW);
    form->addRow(tr("新密码"), EditNewPW);
    form->addRow(tr("确认密码"), EditNewPW2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtnOk);
    buttons->addWidget(BitBtnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    ShowPasswordChoice(false);
    setMinimumWidth(320);

    connect(BitBtnOk, &QPushButton::clicked, this, &TFormSuperLogin::BitBtnOkClick);
    connect(BitBtnClose, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormSuperLogin::ClearFields() {
    for (QLineEdit* edit : {EditUserName, EditUserPW, EditNewPW, EditNewPW2}) edit->clear();
    ShowPasswordChoice(false);
    EditUserName->setFocus();
}

void TFormSuperLogin::ShowPasswordChoice(bool shown) {
    choosingPassword_ = shown;
    for (QWidget* w : {static_cast<QWidget*>(LabelNewPW), static_cast<QWidget*>(EditNewPW),
                       static_cast<QWidget*>(EditNewPW2)})
        form_->setRowVisible(w, shown);
    EditUserName->setEnabled(!shown);
    EditUserPW->setEnabled(!shown);
    adjustSize();
}

void TFormSuperLogin::Refuse(const QString& text, QLineEdit* focus) {
    prompts_.Show(this, text);
    focus->setFocus();
}

void TFormSuperLogin::BitBtnOkClick() {
    if (choosingPassword_)
        StoreChosenPassword();
    else
        LogIn();
}

void TFormSuperLogin::LogIn() {
    if (EditUserName->text().isEmpty()) return Refuse(tr("用户名不得为空，请重新输入。"), EditUserName);
    Result<LoginOutcome> outcome = TryLogin(dm_, EditUserName->text().toStdString(),
                                            EditUserPW->text().toStdString(), ProgramUser());
    if (!outcome) return Refuse(QString::fromStdString(outcome.error()), EditUserName);
    switch (*outcome) {
    case LoginOutcome::Granted:
        accept();
        return;
    case LoginOutcome::ChooseAdministratorPassword:
        ShowPasswordChoice(true);
        EditNewPW->setFocus();
        return;
    case LoginOutcome::Refused:
        Refuse(tr("用户名或密码错误，请重新输入。"), EditUserName);
        return;
    }
}

void TFormSuperLogin::StoreChosenPassword() {
    if (EditNewPW->text() != EditNewPW2->text()) {
        EditNewPW2->clear();
        return Refuse(tr("两次输入的密码不一致，请重新输入。"), EditNewPW2);
    }
    Status stored = ChooseAdministratorPassword(dm_, EditNewPW->text().toStdString(), ProgramUser());
    if (!stored) return Refuse(QString::fromStdString(stored.error()), EditNewPW);
    accept();
}

bool ShowSuperLogin(QWidget* parent, Db& dm, UserPrompts& prompts) {
    TFormSuperLogin login(dm, prompts, parent);
    login.ClearFields();
    return login.exec() == QDialog::Accepted;
}

bool CheckRights(QWidget* parent, Db& dm, UserPrompts& prompts, const QString& refusal) {
    if (HasMaintenanceRights(ProgramUser())) return true;
    ShowSuperLogin(parent, dm, prompts);
    if (HasMaintenanceRights(ProgramUser())) return true;
    prompts.Show(parent, refusal);
    return false;
}

}  // namespace v2d
