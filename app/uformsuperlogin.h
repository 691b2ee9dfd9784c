#pragma once
// "超级用户登录": the login that grants maintenance rights. The first
// administrator login of a database without an administrator row turns the
// window into choosing that password (typed twice) before rights are given.
#include <QDialog>

#include "library/data_module.h"

class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace v2d {

class UserPrompts;

class TFormSuperLogin : public QDialog {
    Q_OBJECT
public:
    TFormSuperLogin(Db& dm, UserPrompts& prompts, QWidget* parent = nullptr);

    // Empties every field and leaves the password choice.
    void ClearFields();
    // OK: log in, or store the chosen administrator password.
    void BitBtnOkClick();
    bool choosingPassword() const { return choosingPassword_; }

private:
    void LogIn();
    void StoreChosenPassword();
    void ShowPasswordChoice(bool shown);
    void Refuse(const QString& text, QLineEdit* focus);

    Db& dm_;
    UserPrompts& prompts_;
    bool choosingPassword_ = false;
    QFormLayout* form_ = nullptr;
    QLineEdit* EditUserName = nullptr;
    QLineEdit* EditUserPW = nullptr;
    QLabel* LabelNewPW = nullptr;
    QLineEdit* EditNewPW = nullptr;
    QLineEdit* EditNewPW2 = nullptr;
    QPushButton* BitBtnOk = nullptr;
    QPushButton* BitBtnClose = nullptr;
};

// Clears both fields, shows the login modally; true after a successful login.
bool ShowSuperLogin(QWidget* parent, Db& dm, UserPrompts& prompts);
// Shows the login when the program user lacks maintenance rights; shows
// `refusal` and yields false when the user still has none.
bool CheckRights(QWidget* parent, Db& dm, UserPrompts& prompts, const QString& refusal);

}  // namespace v2d
