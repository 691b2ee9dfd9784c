// vexel2d-cli download URL FILE [--attempts N]: the download worker's rules
// from a terminal, with a progress bar when stderr is one. The workspace's
// MaxDownloadMB limits the file's size. Ctrl+C stops the download as the
// window's cancel button does: no partial file is left.
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/integer_text.h"
#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/download_module.h"
#include "cli/program_module.h"
#include "cli/terminal_bar.h"

namespace v2d::cli {

namespace {

// Set by the interrupt; all a signal handler may touch.
std::atomic<bool> interrupted{false};

extern "C" void StopOnInterrupt(int) { interrupted = true; }

// Ctrl+C sets `interrupted` instead of ending the process, while it lives.
class InterruptStops {
public:
    InterruptStops() {
        struct sigaction stop {};
        stop.sa_handler = &StopOnInterrupt;
        sigemptyset(&stop.sa_mask);
        ::sigaction(SIGINT, &stop, &previous_);
    }
    ~InterruptStops() { ::sigaction(SIGINT, &previous_, nullptr); }
    InterruptStops(const InterruptStops&) = delete;
    InterruptStops& operator=(const InterruptStops&) = delete;

private:
    struct sigaction previous_ {};
};

}  // namespace

int RunDownload(const Args& args, const std::filesystem::path& workspace) {
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
    const Result<void*> entry = ProgramModuleEntry(kDownloadModule, kDownloadEntry);
    if (!entry) return Fail("download", entry.error());
    const Downloader& downloader = *reinterpret_cast<const Downloader* (*)()>(*entry)();
    DownloadOptions options;
    options.attempts = attempts;
    options.maxBytes = ReadMaxDownloadBytes(workspace);
    options.stop = &interrupted;
    const InterruptStops interrupt;
    DownloadEvents events;
    // The bar's line ends (with the bar) before any message is printed.
    const Status done = [&] {
        TerminalBar bar("download");
        int64_t shownMegabytes = -1;
        if (bar.shown())
            events.progress = [&](int64_t received, int64_t total) {
                if (const std::optional<int> percent = downloader.percent(received, total)) return bar.Draw(*percent);
                // Unknown total: the byte count, redrawn per megabyte.
                if ((received >> 20) == shownMegabytes) return;
                shownMegabytes = received >> 20;
                bar.DrawText(std::to_string(received) + " bytes");
            };
        return downloader.download(positional[0], std::filesystem::u8path(positional[1]), options, events);
    }();
    if (!done) return Fail("download", std::string(kMsgDownloadFailed) + " " + done.error());
    return 0;
}

}  // namespace v2d::cli
