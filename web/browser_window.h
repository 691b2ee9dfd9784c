#pragma once
// What the two online windows share: the browser filling the window above
// a row of buttons at the right, and the local page shown when a page
// cannot be loaded.
#include <QDialog>
#include <QHBoxLayout>
#include <QString>

namespace v2d {

class TCppWebBrowser;

struct BrowserWindowLayout {
    TCppWebBrowser* browser = nullptr;
    QHBoxLayout* buttons = nullptr;  // add the buttons after its stretch
};
BrowserWindowLayout LayOutBrowserWindow(QDialog& window, const QString& browserName);

// Navigates to the local error page, when there is one.
void ShowErrorPage(TCppWebBrowser& browser, const QString& errorPage);

}  // namespace v2d
