#include "widgets/page_browser.h"

#include <QWebEngineHistory>
#include <QWebEngineHttpRequest>
#include <QWebEnginePage>
#include <QWebEngineSettings>

#include <unistd.h>

namespace v2d {

namespace {

// Runs before QWebEngineView's constructor, which may start Chromium.
QWidget* AfterPreparingWebEngine(QWidget* parent) {
    PrepareWebEngineEnvironment();
    return parent;
}

bool IsPageAddress(const QUrl& url) {
    return url.scheme() == "http" || url.scheme() == "https" || url.isLocalFile();
}

}  // namespace

void PrepareWebEngineEnvironment() {
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox");
}

TCppWebBrowser::TCppWebBrowser(const QString& name, QWidget* parent) : QWebEngineView(AfterPreparingWebEngine(parent)) {
    setObjectName(name);
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(this, &QWebEngineView::urlChanged, this, [this](const QUrl& url) {
        if (IsPageAddress(url)) currentUrl_ = url.toString();
    });
    connect(this, &QWebEngineView::loadProgress, this, &TCppWebBrowser::progressChange);
    connect(this, &QWebEngineView::loadFinished, this, [this](bool ok) {
        if (!ok) emit navigateError(currentUrl_);
        emit navigateComplete(currentUrl_);
    });
}

void TCppWebBrowser::Navigate(const QString& url, const std::string& body) {
    currentUrl_ = url;
    const QUrl address(url);
    if (address.scheme() != "http" && address.scheme() != "https") {
        load(address);
        return;
    }
    QWebEngineHttpRequest request(address, QWebEngineHttpRequest::Post);
    request.setHeader("Content-Type", "application/x-www-form-urlencoded");
    request.setPostData(QByteArray::fromStdString(body));
    load(request);
}

void TCppWebBrowser::GoBack() { back(); }

void TCppWebBrowser::ReadBodyHtml(std::function<void(const QString&)> done) {
    page()->runJavaScript(QStringLiteral("document.body ? document.body.innerHTML : ''"),
                          [done = std::move(done)](const QVariant& result) { done(result.toString()); });
}

void TCppWebBrowser::CallScript(const QString& function, std::function<void(const QString&)> done) {
    const QString call = QStringLiteral("(typeof %1 === 'function') ? String(%1() ?? '') : ''").arg(function);
    page()->runJavaScript(call, [done = std::move(done)](const QVariant& result) { done(result.toString()); });
}

void TCppWebBrowser::HideScrollBars() { settings()->setAttribute(QWebEngineSettings::ShowScrollBars, false); }

void NavigatePost(TCppWebBrowser& browser, const QString& url, const QString& postData) {
    browser.Navigate(url, postData.toStdString());
}

}  // namespace v2d
