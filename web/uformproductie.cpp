#include "web/uformproductie.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/page_browser.h"
#include "library/pub_functions.h"

namespace v2d {

TFormProductIE::TFormProductIE(const QString& serviceName, QString errorPage, QWidget* parent)
    : QDialog(parent), errorPage_(std::move(errorPage)) {
    setObjectName("TFormProductIE");
    setWindowTitle(QStringLiteral("选择") + serviceName + QStringLiteral("家居产品"));
    resize(800, 640);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 4);
    CppWebBrowser = new TCppWebBrowser(QStringLiteral("CppWebBrowser"), this);
    column->addWidget(CppWebBrowser, 1);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(8, 0, 8, 0);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->hide();
    SpeedButton2 = new QToolButton(this);
    SpeedButton2->setObjectName("SpeedButton2");
    SpeedButton2->setText(QStringLiteral("回  退"));
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName("SpeedButton1");
    SpeedButton1->setText(QStringLiteral("关 闭"));
    row->addWidget(ProgressBar1, 1);
    row->addStretch();
    row->addWidget(SpeedButton2);
    row->addWidget(SpeedButton1);
    column->addLayout(row);
    connect(SpeedButton1, &QToolButton::clicked, this, &QDialog::reject);
    connect(SpeedButton2, &QToolButton::clicked, CppWebBrowser, &TCppWebBrowser::GoBack);
    connect(CppWebBrowser, &TCppWebBrowser::progressChange, this, &TFormProductIE::CppWebBrowserProgressChange);
    connect(CppWebBrowser, &TCppWebBrowser::navigateComplete, this, &TFormProductIE::CppWebBrowserNavigateComplete2);
    connect(CppWebBrowser, &TCppWebBrowser::navigateError, this, [this] {
        if (QFileInfo::exists(errorPage_)) CppWebBrowser->Navigate(QUrl::fromLocalFile(errorPage_).toString(), {});
    });
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
        picUrl_ = QString::fromStdString(GetParam(text.toStdString(), "PicUrl"));
        if (picUrl_.isEmpty()) {
            done(kNoProduct);
            return;
        }
        descriptor_ = text;
        CppWebBrowser->GoBack();  // the catalogue shows again next time
        accept();
    });
}

void TFormProductIE::CppWebBrowserProgressChange(int percent) {
    ProgressBar1->setValue(percent);
    ProgressBar1->setVisible(percent < 100);
}

}  // namespace v2d
