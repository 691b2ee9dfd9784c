#include "online/http_download.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <set>
#include <system_error>

#include "base/atomic_file.h"
#include "online/body_check.h"

namespace v2d {

namespace fs = std::filesystem;

std::optional<int> ProgressPercent(int64_t received, int64_t total) {
    if (total <= 0) return std::nullopt;
    if (received <= 0) return 0;
    if (received >= total) return 100;
    return static_cast<int>(received * 100 / total);  // 64-bit: no overflow for any real size
}

std::string TooLargeMessage(int64_t maxBytes) {
    const std::string limit = maxBytes % (1 << 20) == 0 ? std::to_string(maxBytes >> 20) + " MB"
                                                         : std::to_string(maxBytes) + " 字节";
    return "文件太大：超过下载上限 " + limit + "（" + kSettingsFileName + " 中的 MaxDownloadMB）";
}

namespace {

// The targets being downloaded now, so one file is never written by two
// downloads at once.
class TargetClaim {
public:
    explicit TargetClaim(const fs::path& target) {
        std::error_code error;
        key_ = fs::absolute(target, error).lexically_normal();
        std::lock_guard lock(Mutex());
        held_ = Claimed().insert(key_).second;
    }
    ~TargetClaim() {
        if (!held_) return;
        std::lock_guard lock(Mutex());
        Claimed().erase(key_);
    }
    TargetClaim(const TargetClaim&) = delete;
    TargetClaim& operator=(const TargetClaim&) = delete;
    bool held() const { return held_; }

private:
    static std::mutex& Mutex() {
        static std::mutex mutex;
        return mutex;
    }
    static std::set<fs::path>& Claimed() {
        static std::set<fs::path> claimed;
        return claimed;
    }
    fs::path key_;
    bool held_ = false;
};

struct CurlDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct HeaderListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

enum class AttemptEnd { Complete, Retry, Final };
struct AttemptOutcome {
    AttemptEnd end;
    std::string reason;
};

// Why the body was turned away while it arrived.
enum class Refusal { None, Status, File, TooLarge };

// One attempt's state, shared with libcurl's callbacks.
struct Transfer {
    CURL* curl = nullptr;
    fs::path target;
    const DownloadOptions* options = nullptr;
    const DownloadEvents* events = nullptr;
    std::optional<AtomicFileWriter> file;  // a fresh temporary file beside the target
    std::string head;                      // the body's first bytes, for its kind
    int64_t received = 0;
    int64_t total = kUnknownTotal;
    long status = 0;
    bool begun = false;
    Refusal refusal = Refusal::None;
    char curlError[CURL_ERROR_SIZE] = {};

    void Log(const char* text) const {
        if (events->log) events->log(text);
    }

    bool Refuse(Refusal why) {
        refusal = why;
        return false;
    }

    // The answer's head is in: its status, its size and the temporary file.
    bool BeginBody() {
        begun = true;
        Log("ok：InternetConnect");
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        if (status / 100 != 2) return Refuse(Refusal::Status);
        curl_off_t length = -1;
        curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        Log("ok：HttpQueryInfo");
        if (length >= 0) {
            total = length;
            if (events->size) events->size(total);
            if (total > options->maxBytes) return Refuse(Refusal::TooLarge);
        }
        file.emplace(target);
        if (!file->isOpen()) {
            Log("Error：FileCreate");
            return Refuse(Refusal::File);
        }
        Log("ok:CreateFile");
        Log("StartGet：InternetReadFile");
        return true;
    }

    static size_t Write(char* data, size_t size, size_t count, void* self) {
        auto& t = *static_cast<Transfer*>(self);
        const size_t bytes = size * count;
        if (!t.begun && !t.BeginBody()) return 0;
        if (t.refusal != Refusal::None) return 0;
        if (static_cast<int64_t>(bytes) > t.options->maxBytes - t.received) return t.Refuse(Refusal::TooLarge);
        if (t.head.size() < kBodyHeadBytes) t.head.append(data, std::min(bytes, kBodyHeadBytes - t.head.size()));
        if (!t.file->write(data, bytes)) return t.Refuse(Refusal::File);
        t.received += static_cast<int64_t>(bytes);
        if (t.events->progress) t.events->progress(t.received, t.total);
        return bytes;
    }

    static int Progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
        const auto& t = *static_cast<Transfer*>(self);
        return t.options->stop != nullptr && t.options->stop->load() ? 1 : 0;
    }
};

bool Stopped(const DownloadOptions& options) { return options.stop != nullptr && options.stop->load(); }

bool IsConnectFailure(CURLcode code) {
    switch (code) {
        case CURLE_UNSUPPORTED_PROTOCOL:
        case CURLE_URL_MALFORMAT:
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_CONNECT: return true;
        default: return false;
    }
}

// libcurl's own words for what broke the transfer, and its code.
std::string TransferError(const Transfer& t, CURLcode code) {
    const std::string text = t.curlError[0] != '\0' ? t.curlError : curl_easy_strerror(code);
    return "传输失败：" + text + "（curl 错误 " + std::to_string(static_cast<int>(code)) + "），已收到 " +
           std::to_string(t.received) + " 字节";
}

AttemptOutcome Decide(Transfer& t, CURLcode code) {
    if (Stopped(*t.options)) return {AttemptEnd::Final, kMsgDownloadStopped};
    if (IsConnectFailure(code)) {
        t.Log("Error：InternetConnect");
        return {AttemptEnd::Final, std::string("无法连接服务器：") + curl_easy_strerror(code)};
    }
    switch (t.refusal) {
        case Refusal::File: return {AttemptEnd::Final, "无法写入文件 " + t.target.string()};
        case Refusal::TooLarge: return {AttemptEnd::Final, TooLargeMessage(t.options->maxBytes)};
        case Refusal::Status: return {AttemptEnd::Retry, "服务器回答 HTTP " + std::to_string(t.status)};
        case Refusal::None: break;
    }
    // A redirect loop stays a loop however often it is asked.
    if (code != CURLE_OK)
        return {code == CURLE_TOO_MANY_REDIRECTS ? AttemptEnd::Final : AttemptEnd::Retry, TransferError(t, code)};
    if (t.total >= 0 && t.received != t.total)
        return {AttemptEnd::Retry, "数据不完整：收到 " + std::to_string(t.received) + " 字节，应为 " +
                                       std::to_string(t.total) + " 字节"};
    if (Status body = CheckDownloadedHead(t.head, t.target); !body) return {AttemptEnd::Final, body.error()};
    if (!t.file->commit()) return {AttemptEnd::Final, "无法写入文件 " + t.target.string()};
    return {AttemptEnd::Complete, {}};
}

AttemptOutcome Attempt(const std::string& url, const fs::path& target, const DownloadOptions& options,
                       const DownloadEvents& events) {
    Transfer t;
    t.target = target;
    t.options = &options;
    t.events = &events;
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) {
        t.Log("Error：InterOpen");
        return {AttemptEnd::Final, "无法启动网络连接"};
    }
    t.Log("ok：InterOpen");
    t.curl = curl.get();
    std::unique_ptr<curl_slist, HeaderListDeleter> headers(curl_slist_append(nullptr, "Accept: */*"));
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, t.curlError);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(c, CURLOPT_NOPROXY, "127.0.0.1,localhost,::1");
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, options.connectTimeoutMs);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, options.lowSpeedSeconds);
    curl_easy_setopt(c, CURLOPT_BUFFERSIZE, 256L * 1024);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &Transfer::Write);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &Transfer::Progress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &t);
    const CURLcode code = curl_easy_perform(c);
    // An empty body never reaches the write callback.
    if (!t.begun && code == CURLE_OK) t.BeginBody();
    // A transfer that broke before any body still names its last status.
    if (!t.begun) curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &t.status);
    if (t.begun) t.Log("End：InternetReadFile");
    AttemptOutcome outcome = Decide(t, code);
    t.Log("Closing:InternetConnect");
    curl.reset();
    t.Log("Closed:InternetConnect");
    return outcome;  // an uncommitted temporary file goes with `t`
}

}  // namespace

Status DownloadToFile(const std::string& url, const fs::path& target, const DownloadOptions& options,
                      const DownloadEvents& events) {
    TargetClaim claim(target);
    if (!claim.held()) return Error{kMsgAlreadyDownloading};
    std::string reason = kMsgDownloadFailed;
    for (int attempt = 0; attempt < options.attempts; ++attempt) {
        if (Stopped(options)) return Error{kMsgDownloadStopped};
        const AttemptOutcome outcome = Attempt(url, target, options, events);
        if (outcome.end == AttemptEnd::Complete) return Status::Ok();
        reason = outcome.reason;
        if (events.log) events.log(reason);
        if (outcome.end == AttemptEnd::Final) break;
    }
    return Error{reason};
}

Status DownloadFile(const std::string& url, const fs::path& target, const DownloadEvents& events,
                    int64_t maxBytes) {
    DownloadOptions once;
    once.attempts = 1;
    once.maxBytes = maxBytes;
    if (Status done = DownloadToFile(url, target, once, events); !done) return Error{kMsgDownloadFileFailed};
    return Status::Ok();
}

}  // namespace v2d
