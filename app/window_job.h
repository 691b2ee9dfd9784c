#pragma once
// Long work of the main window ("开始铺贴", the start-up merge) off the
// window's thread: the work runs on the pool with its cancel token and a
// progress that reaches the window's thread as `progressed`; afterwards the
// finishing step runs on the window's thread, told whether the work was
// cancelled. One job at a time; while one runs the window holds its input
// (WindowHold) and shows "取消" (StatusStrip::BeginCancellable).
#include <QObject>

#include <atomic>
#include <functional>
#include <memory>

#include "base/cancel_token.h"
#include "base/progress.h"
#include "base/thread_pool.h"

namespace v2d {

class WindowJob : public QObject {
    Q_OBJECT
public:
    using Work = std::function<void(const Progress& progress, const CancelToken& cancel)>;
    using Finish = std::function<void(bool cancelled)>;

    explicit WindowJob(QObject* parent = nullptr);
    ~WindowJob() override;  // cancels the work and waits for it; no finishing step runs

    // Runs `work` on the pool, then `finish` here. Refused (false) while a job runs.
    bool Start(Work work, Finish finish);
    // Start, then waits here (the window's events served, so it repaints and
    // takes the cancel) until the finishing step ran. False when refused.
    bool Run(Work work, Finish finish);
    // Asks the work to stop; its finishing step is told so.
    void Cancel();
    // Cancels the work, waits for it and runs its finishing step now (before
    // the scene is replaced or the window goes).
    void Stop();
    bool running() const { return running_; }

signals:
    void progressed(int percent);
    // A job started (true) or its finishing step is about to run (false).
    void runningChanged(bool running);

private:
    void Ended(int run);

    Finish finish_;
    bool running_ = false;
    bool cancelRequested_ = false;
    int runs_ = 0;  // the job whose end a posted call announces
    std::shared_ptr<std::atomic<int>> shown_ = std::make_shared<std::atomic<int>>(-1);
    PoolTask task_;  // last: it goes first, while the rest is still there
};

}  // namespace v2d
