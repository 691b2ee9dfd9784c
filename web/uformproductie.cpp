#include "web/uformproductie.h"

#include <QProgressBar>
#include <QToolButton>

#include "widgets/page_browser.h"
#include "widgets/widget_helpers.h"
#include "web/browser_window.h"
#include "library/product.h"

namespace v2d {

TFormProductIE::TFormProductIE(const QString& serviceName, QString errorPage, QWidget* parent)
    : QDialog(parent), errorPage_(std::move(errorPage)) {
    setObjectName("TFormProductIE");
    setWindowTitle(tr("选择%1家居产品").arg(serviceName));
    resize(800, 640);
    const BrowserWindowLayout layout = LayOutBrowserWindow(*this, QStringLiteral("CppWebBrowser"));
    CppWebBrowser = layout.browser;
    ProgressBar1 = Named(new QProgressBar(this), QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->hide();
    SpeedButton2 = MakeButton(QStringLiteral("SpeedButton2"), tr("回  退"), this);
    SpeedButton1 = MakeButton(QStringLiteral("SpeedButton1"), tr("关 闭"), this);
    layout.buttons->addWidget(ProgressBar1, 1);
    layout.buttons->addStretch();
    layout.buttons->addWidget(SpeedButton2);
    layout.buttons->addWidget(SpeedButton1);
    connect(SpeedButton1, &QToolButton::clicked, this, &QDialog::reject);
    connect(SpeedButton2, &QToolButton::clicked, CppWebBrowser, &TCppWebBrowser::GoBack);
    connect(CppWebBrowser, &TCppWebBrowser::progressChange, this, &TFormProductIE::CppWebBrowserProgressChange);
    connect(CppWebBrowser, &TCppWebBrowser::navigateComplete, this, &TFormProductIE::CppWebBrowserNavigateComplete2);
    connect(CppWebBrowser, &TCppWebBrowser::navigateError, this, [this] { ShowErrorPage(*CppWebBrowser, errorPage_); });
}

void TFormProductIE::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TFormProductIE::FormShow() {
    if (!CppWebBrowser->currentUrl().startsWith(startAddress_)) NavigatePost(*CppWebBrowser, startAddress_, QString());
}

void TFormProductIE::CppWebBrowserNavigateComplete2() {
    if (!CppWebBrowser->currentUrl().contains(QStringLiteral("productt.asp"))) return;
    CppWebBrowser->ReadBodyHtml([this](const QString& html) {
        if (!isVisible()) return;
        QString text = html;
        text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        Product product = Product::Parse(text.toStdString());
        picUrl_ = QString::fromStdString(product.pictureUrl());
        if (picUrl_.isEmpty()) {
            done(kNoProduct);
            return;
        }
        descriptor_ = text;
        product_ = std::move(product);
        CppWebBrowser->GoBack();  // the catalogue shows again next time
        accept();
    });
}

void TFormProductIE::CppWebBrowserProgressChange(int percent) {
    ProgressBar1->setValue(percent);
    ProgressBar1->setVisible(percent < 100);
}

}  // namespace v2d
