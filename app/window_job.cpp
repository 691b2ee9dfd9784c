#include "app/window_job.h"

#include <QEventLoop>

#include <algorithm>
#include <utility>

namespace v2d {

WindowJob::WindowJob(QObject* parent) : QObject(parent) {}

WindowJob::~WindowJob() { task_.Cancel(); }  // task_ then waits as it goes

bool WindowJob::Start(Work work, Finish finish) {
    if (running_) return false;
    running_ = true;
    cancelRequested_ = false;
    finish_ = std::move(finish);
    shown_->store(-1);
    emit runningChanged(true);
    // The progress is posted to this object's thread, once per new percent;
    // a post that arrives after this object went is dropped by Qt.
    Progress progress = [this, shown = shown_](int percent) {
        percent = std::clamp(percent, 0, 100);
        if (shown->exchange(percent) == percent) return;
        QMetaObject::invokeMethod(this, [this, percent] { emit progressed(percent); }, Qt::QueuedConnection);
    };
    const int run = ++runs_;
    task_.Start([this, run, work = std::move(work), progress = std::move(progress)](const CancelToken& cancel) {
        const auto announce = [this, run] { QMetaObject::invokeMethod(this, [this, run] { Ended(run); }, Qt::QueuedConnection); };
        try {
            work(progress, cancel);
        } catch (...) {
            announce();
            throw;  // thrown again on the window's thread by Wait
        }
        announce();
    });
    return true;
}

bool WindowJob::Run(Work work, Finish finish) {
    QEventLoop loop;
    bool ended = false;
    const bool started = Start(std::move(work), [&loop, &ended, finish = std::move(finish)](bool cancelled) {
        ended = true;
        loop.quit();
        if (finish) finish(cancelled);
    });
    if (started && !ended) loop.exec();
    return started;
}

void WindowJob::Cancel() {
    if (!running_) return;
    cancelRequested_ = true;
    task_.Cancel();
}

void WindowJob::Stop() {
    if (!running_) return;
    Cancel();
    Ended(runs_);
}

void WindowJob::Ended(int run) {
    if (run != runs_ || !running_) return;  // stopped already
    const Finish finish = std::exchange(finish_, nullptr);
    const bool cancelled = cancelRequested_;
    running_ = false;
    emit runningChanged(false);
    task_.Wait();  // the work has ended, or stops soon once asked
    if (finish) finish(cancelled);
}

}  // namespace v2d
