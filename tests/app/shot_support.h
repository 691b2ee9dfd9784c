#pragma once
// What the screenshot drivers share: prompts that answer Yes and print what
// was asked, and the program's windows over a workspace, shown at 1600 x 1000.
#include <QTest>

#include <cstdio>
#include <memory>

#include "app/application.h"

namespace v2d {

class AnswerYes final : public UserPrompts {
public:
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString OpenFileName(QWidget*, const QString&, const QString&) override { return {}; }
    PromptAnswer Message(QWidget*, const QString& text, PromptButtons buttons, PromptIcon) override {
        std::printf("asked: %s\n", text.toStdString().c_str());
        return buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::Yes;
    }
};

// Null when the image library is missing or the window never showed.
inline std::unique_ptr<ApplicationWindows> ShowShotWindows(const QString& workspace, UserPrompts& prompts) {
    StartupOptions options;
    options.programFolder = workspace;
    options.prompts = &prompts;
    options.splashMs = 0;
    options.templateBrowserDelayMs = 1000000;
    auto windows = CreateApplicationWindows(options);
    if (windows->main->terminateRequested()) return nullptr;
    windows->main->resize(1600, 1000);
    windows->main->show();
    if (!QTest::qWaitForWindowExposed(windows->main.get())) return nullptr;
    return windows;
}

}  // namespace v2d
