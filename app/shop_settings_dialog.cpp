#include "app/shop_settings_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include "output/customer_page.h"
#include "output/shop_details.h"
#include "widgets/user_prompts.h"
#include "widgets/widget_helpers.h"

namespace v2d {

namespace {
constexpr int kMostCharacters = 200;
}  // namespace

ShopSettingsDialog::ShopSettingsDialog(QString workspace, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(std::move(workspace)), prompts_(prompts) {
    setObjectName(QStringLiteral("FormShopSettings"));
    setWindowTitle(tr("店铺设置"));
    auto* form = new QFormLayout(this);
    auto edit = [this](const char* name) {
        auto* box = Named(new QLineEdit(this), QString::fromLatin1(name));
        box->setMaxLength(kMostCharacters);
        box->setMinimumWidth(320);
        return box;
    };
    EditShopName = edit("EditShopName");
    EditShopAddress = edit("EditShopAddress");
    EditShopTelephone = edit("EditShopTelephone");
    EditSharedPages = edit("EditSharedPages");
    EditSharedPages->setPlaceholderText(tr("例如 http://192.168.1.5:8080/share（可不填）"));
    form->addRow(tr("店铺名称："), EditShopName);
    form->addRow(tr("地址："), EditShopAddress);
    form->addRow(tr("电话："), EditShopTelephone);
    form->addRow(tr("客户网页发布地址："), EditSharedPages);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ButtonShopOk"));
    buttons->button(QDialogButtonBox::Ok)->setText(tr("保存"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("取消"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &ShopSettingsDialog::Save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

bool ShopSettingsDialog::Edit() {
    const ShopDetails shop = ReadShopDetails(ToPath(workspace_));
    EditShopName->setText(FromUtf8(shop.name));
    EditShopAddress->setText(FromUtf8(shop.address));
    EditShopTelephone->setText(FromUtf8(shop.telephone));
    EditSharedPages->setText(FromUtf8(shop.sharedPages));
    EditShopName->setFocus();
    return exec() == QDialog::Accepted;
}

void ShopSettingsDialog::Save() {
    const ShopDetails shop{EditShopName->text().trimmed().toStdString(), EditShopAddress->text().trimmed().toStdString(),
                           EditShopTelephone->text().trimmed().toStdString(),
                           EditSharedPages->text().trimmed().toStdString()};
    if (!shop.sharedPages.empty())
        if (Result<std::string> address = CustomerPageAddress(shop.sharedPages); !address) {
            prompts_.Show(this, FromUtf8(address.error()));
            return;
        }
    if (Status written = WriteShopDetails(ToPath(workspace_), shop); !written) {
        prompts_.Show(this, FromUtf8(written.error()));
        return;
    }
    accept();
}

}  // namespace v2d
