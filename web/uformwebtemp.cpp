#include "web/uformwebtemp.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/page_browser.h"

namespace v2d {

namespace {

const QString kListPage = QStringLiteral("GoodsList.aspx");

}  // namespace

TFormWebTemp::TFormWebTemp(const QString& serviceName, QString startAddress, QString errorPage, QWidget* parent)
    : QDialog(parent), startAddress_(std::move(startAddress)), errorPage_(std::move(errorPage)) {
    setObjectName("TFormWebTemp");
    setWindowTitle(QStringLiteral("选择") + serviceName + QStringLiteral("装修模板"));
    resize(800, 600);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 4);
    CppWebBrowserTemple = new TCppWebBrowser(QStringLiteral("CppWebBrowserTemple"), this);
    column->addWidget(CppWebBrowserTemple, 1);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(8, 0, 8, 0);
    SpeedButtonBack = new QToolButton(this);
    SpeedButtonBack->setObjectName("SpeedButtonBack");
    SpeedButtonBack->setText(QStringLiteral("回  退"));
    SpeedButtonNext = new QToolButton(this);
    SpeedButtonNext->setObjectName("SpeedButtonNext");
    SpeedButtonNext->setText(QStringLiteral("确  定"));
    row->addStretch();
    row->addWidget(SpeedButtonBack);
    row->addWidget(SpeedButtonNext);
    column->addLayout(row);
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

void TFormWebTemp::CppWebBrowserTempleNavigateError() {
    if (QFileInfo::exists(errorPage_))
        CppWebBrowserTemple->Navigate(QUrl::fromLocalFile(errorPage_).toString(), {});
}

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
