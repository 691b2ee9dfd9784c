#pragma once
// A progress bar on stderr, drawn only when stderr is a terminal.
#include <string>

namespace v2d::cli {

class TerminalBar {
public:
    explicit TerminalBar(std::string label);
    ~TerminalBar();  // ends the bar's line
    TerminalBar(const TerminalBar&) = delete;
    TerminalBar& operator=(const TerminalBar&) = delete;

    bool shown() const { return shown_; }
    void SetLabel(std::string label) { label_ = std::move(label); }
    void Draw(int percent);
    // The label with a text instead of the bar, for work of unknown size.
    void DrawText(const std::string& text);
    // Wipes the bar's line, so a report line can be printed in its place.
    void Clear();

private:
    std::string label_;
    bool shown_;
    bool drawn_ = false;
    int last_ = -1;
};

}  // namespace v2d::cli
