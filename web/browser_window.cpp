#include "web/browser_window.h"

#include <QFileInfo>
#include <QUrl>
#include <QVBoxLayout>

#include "widgets/page_browser.h"

namespace v2d {

BrowserWindowLayout LayOutBrowserWindow(QDialog& window, const QString& browserName) {
    auto* column = new QVBoxLayout(&window);
    column->setContentsMargins(0, 0, 0, 4);
    BrowserWindowLayout layout;
    layout.browser = new TCppWebBrowser(browserName, &window);
    column->addWidget(layout.browser, 1);
    layout.buttons = new QHBoxLayout;
    layout.buttons->setContentsMargins(8, 0, 8, 0);
    column->addLayout(layout.buttons);
    return layout;
}

void ShowErrorPage(TCppWebBrowser& browser, const QString& errorPage) {
    if (QFileInfo::exists(errorPage)) browser.Navigate(QUrl::fromLocalFile(errorPage).toString(), {});
}

}  // namespace v2d
