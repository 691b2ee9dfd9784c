#pragma once
// The downloader (libcurl and its TLS and network libraries) as a module of
// its own, loaded by `download` alone.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "online/http_download.h"

namespace v2d::cli {

inline constexpr const char* kDownloadModule = "vexel2d-download.so";
inline constexpr const char* kDownloadEntry = "v2d_Downloader";

// DownloadToFile and ProgressPercent, as the module hands them over.
struct Downloader {
    Status (*download)(const std::string& url, const std::filesystem::path& target, const DownloadOptions& options,
                       const DownloadEvents& events);
    std::optional<int> (*percent)(int64_t received, int64_t total);
};

}  // namespace v2d::cli
