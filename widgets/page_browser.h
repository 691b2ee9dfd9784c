#pragma once
// The embedded web browser of the shell and the online windows, on
// QtWebEngine: form-POST navigation, back, load progress, reading the
// page's body and calling its script functions. Errors and completed
// navigations are reported the way the windows expect: an error is
// followed by a completion.
#include <QString>
#include <QWebEngineView>

#include <functional>
#include <string>

namespace v2d {

class TCppWebBrowser : public QWebEngineView {
    Q_OBJECT
public:
    TCppWebBrowser(const QString& name, QWidget* parent);

    // Free for the owner's use, as the control's tag was.
    int Tag = 0;

    // Navigates to `url`: file:/// addresses show the local file, http(s)
    // addresses are posted `body` as a form-encoded body.
    void Navigate(const QString& url, const std::string& body);
    // The address shown, or being loaded: the last one asked for or followed.
    const QString& currentUrl() const { return currentUrl_; }
    void GoBack();
    // The body's inner HTML as the page has it ("&" still written "&amp;");
    // empty when the page has no body.
    void ReadBodyHtml(std::function<void(const QString&)> done);
    // Calls a script function of the page without arguments; its result as
    // text (empty when it is missing or yields nothing).
    void CallScript(const QString& function, std::function<void(const QString&)> done);
    void HideScrollBars();

signals:
    void navigateError(const QString& url);
    void navigateComplete(const QString& url);
    // 0..100 while a page loads.
    void progressChange(int percent);

private:
    QString currentUrl_;
};

// Navigates the browser with a POST of the text (empty text: empty body) and
// the single header "Content-Type: application/x-www-form-urlencoded".
void NavigatePost(TCppWebBrowser& browser, const QString& url, const QString& postData);

// Chromium refuses to run as root inside its sandbox: without a choice of
// the user's, the program runs it unsandboxed then. Call before QtWebEngine
// starts; the browser's constructor does.
void PrepareWebEngineEnvironment();

}  // namespace v2d
