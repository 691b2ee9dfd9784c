#include "cli/terminal_bar.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace v2d::cli {

TerminalBar::TerminalBar(std::string label) : label_(std::move(label)), shown_(isatty(STDERR_FILENO) == 1) {}

TerminalBar::~TerminalBar() {
    if (shown_ && drawn_) std::fputc('\n', stderr);
}

void TerminalBar::Draw(int percent) {
    if (!shown_) return;
    percent = std::clamp(percent, 0, 100);
    if (percent == last_ && drawn_) return;
    last_ = percent;
    drawn_ = true;
    const int filled = percent * 30 / 100;
    std::fprintf(stderr, "\r%-24.24s [%.*s%*s] %3d%%", label_.c_str(), filled, "##############################",
                 30 - filled, "", percent);
    std::fflush(stderr);
}

void TerminalBar::DrawText(const std::string& text) {
    if (!shown_) return;
    last_ = -1;
    drawn_ = true;
    std::fprintf(stderr, "\r%-24.24s %s\033[K", label_.c_str(), text.c_str());
    std::fflush(stderr);
}

void TerminalBar::Clear() {
    if (!shown_ || !drawn_) return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    drawn_ = false;
}

}  // namespace v2d::cli
