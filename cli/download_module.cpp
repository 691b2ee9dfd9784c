// vexel2d-download.so: the downloader behind one entry for the command line.
#include "cli/download_module.h"

extern "C" __attribute__((visibility("default"))) const v2d::cli::Downloader* v2d_Downloader() {
    static const v2d::cli::Downloader downloader{
        [](const std::string& url, const std::filesystem::path& target, const v2d::DownloadOptions& options,
           const v2d::DownloadEvents& events) { return v2d::DownloadToFile(url, target, options, events); },
        &v2d::ProgressPercent};
    return &downloader;
}
