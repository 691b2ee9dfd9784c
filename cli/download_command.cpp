// vexel2d-cli download URL FILE [--attempts N]: the download worker's rules
// from a terminal, with a progress bar when stderr is one.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/integer_text.h"
#include "cli/command_support.h"
#include "cli/commands.h"
#include "online/http_download.h"

namespace v2d::cli {

namespace {

void DrawBar(int64_t received, int64_t total) {
    const std::optional<int> percent = ProgressPercent(received, total);
    if (!percent) {
        std::fprintf(stderr, "\r%lld bytes", static_cast<long long>(received));
    } else {
        const int filled = *percent * 40 / 100;
        std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(), std::string(40 - filled, ' ').c_str(),
                     *percent);
    }
    std::fflush(stderr);
}

}  // namespace

int RunDownload(const Args& args) {
    std::vector<std::string> positional;
    int attempts = 5;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--attempts" && i + 1 < args.size()) {
            const std::optional<int> n = ParseInt(args[++i]);
            if (!n || *n < 1 || *n > 100) return Fail("download", "--attempts takes a number from 1 to 100");
            attempts = *n;
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 2) {
        std::fprintf(stderr, "usage: vexel2d-cli download URL FILE [--attempts N]\n");
        return 2;
    }
    DownloadOptions options;
    options.attempts = attempts;
    DownloadEvents events;
    const bool terminal = ::isatty(STDERR_FILENO) != 0;
    int64_t shownAt = -1;
    if (terminal)
        events.progress = [&](int64_t received, int64_t total) {
            // Redrawn per percent, or per megabyte when the total is unknown.
            const int64_t step = ProgressPercent(received, total).value_or(static_cast<int>(received >> 20));
            if (step != shownAt) DrawBar(received, total), shownAt = step;
        };
    const Status done = DownloadToFile(positional[0], std::filesystem::u8path(positional[1]), options, events);
    if (terminal && shownAt >= 0) std::fprintf(stderr, "\n");
    if (!done) return Fail("download", std::string(kMsgDownloadFailed) + " " + done.error());
    return 0;
}

}  // namespace v2d::cli
