#pragma once
// Downloading one address into one file over HTTP (libcurl). The body goes
// to a fresh temporary file beside the target (created exclusively, so a
// planted file or link of any name is never written through) and replaces
// the target only when it is whole (a 2xx status, Content-Length matched or
// a chunked body ended cleanly), within the size limit and of the kind its
// name promises; anything else leaves no file behind.
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "base/result.h"
#include "base/workspace_settings.h"

namespace v2d {

inline constexpr const char* kMsgDownloadFileFailed = "下载失败,请咨询在线客服。";
inline constexpr const char* kMsgDownloadFailed = "下载失败。";
inline constexpr const char* kMsgAlreadyDownloading = "该文件正在下载，请稍候。";
inline constexpr const char* kMsgDownloadStopped = "下载已停止。";

// The size limit when the workspace sets none (MaxDownloadMB).
inline constexpr int64_t kDefaultMaxDownloadBytes = kDefaultMaxDownloadMB << 20;

// The total size before the server has announced it.
inline constexpr int64_t kUnknownTotal = -2;

// The progress bar's position for received of total bytes; nothing when the
// total is not known (kUnknownTotal) or 0.
std::optional<int> ProgressPercent(int64_t received, int64_t total);

struct DownloadOptions {
    int attempts = 1;
    long connectTimeoutMs = 10000;
    // A transfer slower than one byte a second for this long is given up,
    // so a silent server cannot hold the download for ever.
    long lowSpeedSeconds = 30;
    // A body announced or grown beyond this many bytes is refused, so an
    // endless answer cannot fill the disk.
    int64_t maxBytes = kDefaultMaxDownloadBytes;
    // Set from any thread to end the work early.
    const std::atomic<bool>* stop = nullptr;
};

// Called on the downloading thread.
struct DownloadEvents {
    std::function<void(int64_t total)> size;
    std::function<void(int64_t received, int64_t total)> progress;
    std::function<void(const std::string& text)> log;
};

// Up to options.attempts attempts; a short, broken or non-2xx answer is
// tried again from the start; a refused connection, a redirect loop, an
// unwritable file, a body over the limit or of the wrong kind is not. The
// error names the last reason (a transfer error in libcurl's words and
// code). Two downloads of the same target at once are refused
// (kMsgAlreadyDownloading).
Status DownloadToFile(const std::string& url, const std::filesystem::path& target, const DownloadOptions& options,
                      const DownloadEvents& events = {});

// The blocking download of one product picture or model: one attempt; on
// failure the message is kMsgDownloadFileFailed, the reason goes to the log.
Status DownloadFile(const std::string& url, const std::filesystem::path& target, const DownloadEvents& events = {},
                    int64_t maxBytes = kDefaultMaxDownloadBytes);

// The refusal of a body beyond maxBytes.
std::string TooLargeMessage(int64_t maxBytes);

}  // namespace v2d
