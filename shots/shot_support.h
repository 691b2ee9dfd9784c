#pragma once
// What the screenshot drivers share: the program's windows over a
// workspace, shown at a given size (prompts: shots/printed_prompts.h).
#include <QSize>
#include <QTest>

#include <memory>

#include "app/application.h"
#include "shots/printed_prompts.h"

namespace v2d {

// Null when the image library is missing or the window never showed; the
// first showing's work has ended when it returns.
// Without prompts the real message boxes answer.
inline std::unique_ptr<ApplicationWindows> ShowShotWindows(const QString& workspace, UserPrompts* prompts,
                                                           QSize size = QSize(1600, 1000)) {
    StartupOptions options;
    options.programFolder = workspace;
    options.prompts = prompts;
    options.splashMs = 0;
    options.templateBrowserDelayMs = 1000000;
    auto windows = CreateApplicationWindows(options);
    if (windows->main->terminateRequested()) return nullptr;
    windows->main->resize(size);
    windows->main->move(0, 0);
    windows->main->show();
    if (!QTest::qWaitForWindowExposed(windows->main.get())) return nullptr;
    while (windows->main->busy()) QTest::qWait(5);  // the start-up merge runs on the pool
    return windows;
}

}  // namespace v2d
