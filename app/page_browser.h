#pragma once
// The embedded page view of the shell: shows a web page fetched with a form
// POST, or a local file, and reports errors and completed navigations the
// way the windows expect (an error is followed by a completion).
#include <QString>
#include <QTextBrowser>

#include <string>

namespace v2d {

class TCppWebBrowser : public QTextBrowser {
    Q_OBJECT
public:
    TCppWebBrowser(const QString& name, QWidget* parent);

    // Free for the owner's use, as the control's tag was.
    int Tag = 0;
    // Seconds a remote page may take; a refused connection fails at once.
    int timeoutMs = 1500;

    // Navigates to `url`: file:/// addresses show the local file, http(s)
    // addresses are fetched with `body` as a form-encoded POST body.
    void Navigate(const QString& url, const std::string& body);
    const QString& currentUrl() const { return currentUrl_; }

signals:
    void navigateError(const QString& url);
    void navigateComplete(const QString& url);

private:
    bool ShowLocalFile(const QString& path);
    QString currentUrl_;
};

// Navigates the browser with a POST of the text (empty text: empty body) and
// the single header "Content-Type: application/x-www-form-urlencoded".
void NavigatePost(TCppWebBrowser& browser, const QString& url, const QString& postData);

// The fetch behind it: the page body, or nothing when the server cannot be
// reached, answers with an error status or takes longer than the timeout.
struct FetchedPage {
    bool ok = false;
    std::string body;
};
FetchedPage PostForm(const std::string& url, const std::string& body, int timeoutMs);

}  // namespace v2d
