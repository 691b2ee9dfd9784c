#pragma once
// "店铺设置": the shop's name, address and telephone that the report and
// the customer page carry, kept in the workspace's settings.
#include <QDialog>

class QLineEdit;

namespace v2d {

class UserPrompts;

class ShopSettingsDialog : public QDialog {
    Q_OBJECT
public:
    ShopSettingsDialog(QString workspace, UserPrompts& prompts, QWidget* parent = nullptr);

    // Shown with the stored texts; true when the person saved them.
    bool Edit();

private:
    void Save();

    QString workspace_;
    UserPrompts& prompts_;
    QLineEdit* EditShopName = nullptr;
    QLineEdit* EditShopAddress = nullptr;
    QLineEdit* EditShopTelephone = nullptr;
    QLineEdit* EditSharedPages = nullptr;
};

}  // namespace v2d
