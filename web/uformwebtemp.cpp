#include "web/uformwebtemp.h"

#include <QToolButton>

#include "widgets/page_browser.h"
#include "widgets/widget_helpers.h"
#include "web/browser_window.h"

namespace v2d {

namespace {

const QString kListPage = QStringLiteral("GoodsList.aspx");

}  // namespace

TFormWebTemp::TFormWebTemp(const QString& serviceName, QString startAddress, QString errorPage, QWidget* parent)
    : QDialog(parent), startAddress_(std::move(startAddress)), errorPage_(std::move(errorPage)) {
    setObjectName("TFormWebTemp");
    setWindowTitle(tr("选择%1装修模板").arg(serviceName));
    resize(800, 600);
    const BrowserWindowLayout layout = LayOutBrowserWindow(*this, QStringLiteral("CppWebBrowserTemple"));
    CppWebBrowserTemple = layout.browser;
    SpeedButtonBack = MakeButton(QStringLiteral("SpeedButtonBack"), tr("回  退"), this);
    SpeedButtonNext = MakeButton(QStringLiteral("SpeedButtonNext"), tr("确  定"), this);
    layout.buttons->addStretch();
    layout.buttons->addWidget(SpeedButtonBack);
    layout.buttons->addWidget(SpeedButtonNext);
    connect(SpeedButtonBack, &QToolButton::clicked, this, &TFormWebTemp::SpeedButtonBackClick);
    connect(SpeedButtonNext, &QToolButton::clicked, this, &TFormWebTemp::SpeedButtonNextClick);
    connect(CppWebBrowserTemple, &TCppWebBrowser::navigateError, this, &TFormWebTemp::CppWebBrowserTempleNavigateError);
    connect(CppWebBrowserTemple, &TCppWebBrowser::navigateComplete, this,
            &TFormWebTemp::CppWebBrowserTempleDocumentComplete);
}

void TFormWebTemp::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TFormWebTemp::FormShow() {
    chosen_.clear();
    SpeedButtonBack->setEnabled(false);
    SpeedButtonNext->setEnabled(false);
    // Unless it already shows the catalogue, go to its start page.
    const QString start = startAddress_.left(startAddress_.indexOf('?') < 0 ? startAddress_.size()
                                                                             : startAddress_.indexOf('?'));
    if (!CppWebBrowserTemple->currentUrl().startsWith(start)) NavigatePost(*CppWebBrowserTemple, startAddress_, QString());
    else CppWebBrowserTempleDocumentComplete();
}

void TFormWebTemp::CppWebBrowserTempleDocumentComplete() {
    if (!CppWebBrowserTemple->currentUrl().contains(kListPage)) return;
    SpeedButtonBack->setEnabled(true);
    CppWebBrowserTemple->CallScript(QStringLiteral("getCxData"), [this](const QString& address) {
        chosen_ = address;
        SpeedButtonNext->setEnabled(!chosen_.isEmpty());
    });
}

void TFormWebTemp::CppWebBrowserTempleNavigateError() { ShowErrorPage(*CppWebBrowserTemple, errorPage_); }

void TFormWebTemp::SpeedButtonNextClick() {
    if (!CppWebBrowserTemple->currentUrl().contains(kListPage) || chosen_.isEmpty()) return;
    CppWebBrowserTemple->GoBack();
    accept();
}

void TFormWebTemp::SpeedButtonBackClick() { CppWebBrowserTemple->GoBack(); }

void TFormWebTemp::done(int result) {
    emit helpTextReady(QString::fromUtf8(kTemplateHelpText));
    QDialog::done(result);
}

}  // namespace v2d
