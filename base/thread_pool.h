#pragma once
// The program's one pool of worker threads: Qt's global QThreadPool, sized
// to the cores. Every parallel loop (ParallelFor, ForEachRowBand) and every
// background job (PoolTask) runs on it. Work already running inside a loop
// or a pool job runs its own loops inline, so loops never nest into more
// threads than the pool has.
#include <cstddef>
#include <functional>
#include <memory>

#include "base/cancel_token.h"

namespace v2d {

// How many threads the pool runs compute work on (at least 1).
unsigned PoolThreads();

// True on a thread that is inside a parallel loop's job or a pool job: a
// loop started there runs on that thread alone.
bool InsidePoolWork();

// The body of a parallel loop: job(context, i) for one index.
using IndexedJob = void (*)(void* context, size_t index);

// job(context, i) for i in [0, count) on up to `threads` threads, the
// caller's among them; inline on the caller inside pool work. The first
// exception a job throws is thrown again on the caller once every job that
// started has ended (the rest are not started).
void RunIndexed(size_t count, unsigned threads, IndexedJob job, void* context);

// Marks the calling pool job as waiting (for the network, a child process)
// for its lifetime: the pool may start other work in its place meanwhile.
// Does nothing outside a PoolTask's job.
class PoolWait {
public:
    PoolWait();
    ~PoolWait();
    PoolWait(const PoolWait&) = delete;
    PoolWait& operator=(const PoolWait&) = delete;

private:
    bool released_ = false;
};

// One background job on the pool (a download, a list's thumbnails) with its
// own cancel token. The owner keeps the task; destroying it cancels the job
// and waits for it, so the job may use what the owner holds.
class PoolTask {
public:
    using Job = std::function<void(const CancelToken& cancel)>;

    PoolTask();
    ~PoolTask();
    PoolTask(const PoolTask&) = delete;
    PoolTask& operator=(const PoolTask&) = delete;

    // Cancels and waits for the job held, if any, then queues `job`.
    void Start(Job job);
    // Asks the job to stop (on the owner's thread: the job hands its token on).
    void Cancel();
    // Until the job has ended. A job the pool has not begun yet runs here
    // instead, or not at all when it was cancelled. A job's exception is
    // thrown again here.
    void Wait();
    // Started and not yet waited for, and not ended.
    bool active() const;

private:
    class Runner;
    std::unique_ptr<Runner> runner_;
};

}  // namespace v2d
