#include "app/page_browser.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <curl/curl.h>

#include <memory>

namespace v2d {

namespace {

size_t CollectBody(char* data, size_t size, size_t count, void* target) {
    auto* body = static_cast<std::string*>(target);
    constexpr size_t kMaxPage = 8u << 20;  // a banner page, not a download
    if (body->size() + size * count > kMaxPage) return 0;
    body->append(data, size * count);
    return size * count;
}

struct CurlDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct HeaderListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

}  // namespace

FetchedPage PostForm(const std::string& url, const std::string& body, int timeoutMs) {
    FetchedPage page;
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) return page;
    std::unique_ptr<curl_slist, HeaderListDeleter> headers(
        curl_slist_append(nullptr, "Content-Type: application/x-www-form-urlencoded"));
    if (!headers) return page;
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_POST, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
    curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeoutMs));
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT_MS, static_cast<long>(timeoutMs));
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, &CollectBody);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &page.body);
    page.ok = curl_easy_perform(curl.get()) == CURLE_OK;
    if (!page.ok) page.body.clear();
    return page;
}

TCppWebBrowser::TCppWebBrowser(const QString& name, QWidget* parent) : QTextBrowser(parent) {
    setObjectName(name);
    setOpenExternalLinks(true);
}

bool TCppWebBrowser::ShowLocalFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    setSearchPaths({QFileInfo(path).absolutePath()});
    setHtml(QString::fromUtf8(file.readAll()));
    return true;
}

void TCppWebBrowser::Navigate(const QString& url, const std::string& body) {
    currentUrl_ = url;
    const QUrl address(url);
    bool shown = false;
    if (address.isLocalFile()) {
        shown = ShowLocalFile(address.toLocalFile());
    } else if (address.scheme() == "http" || address.scheme() == "https") {
        const FetchedPage page = PostForm(url.toStdString(), body, timeoutMs);
        if (page.ok) setHtml(QString::fromUtf8(page.body.data(), static_cast<qsizetype>(page.body.size())));
        shown = page.ok;
    }
    if (!shown) {
        clear();
        emit navigateError(url);
    }
    emit navigateComplete(url);
}

void NavigatePost(TCppWebBrowser& browser, const QString& url, const QString& postData) {
    browser.Navigate(url, postData.toStdString());
}

}  // namespace v2d
