#include "base/thread_pool.h"

#include <QRunnable>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace v2d {

namespace {

thread_local bool insidePoolWork = false;
thread_local bool onPoolJob = false;  // a PoolTask's job on a pool thread

// Marks the thread as inside pool work for its lifetime.
class PoolWorkScope {
public:
    PoolWorkScope() : outer_(insidePoolWork) { insidePoolWork = true; }
    ~PoolWorkScope() { insidePoolWork = outer_; }
    PoolWorkScope(const PoolWorkScope&) = delete;
    PoolWorkScope& operator=(const PoolWorkScope&) = delete;

private:
    bool outer_;
};

// One loop's shared state, on the caller's stack: it outlives every helper
// that started (the caller waits for them) and no helper touches it after
// saying it has ended.
struct Loop {
    size_t count = 0;
    IndexedJob job = nullptr;
    void* context = nullptr;
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    std::exception_ptr failure;
    std::mutex mutex;
    std::condition_variable ended;
    size_t helpersRunning = 0;

    void Work() {
        const PoolWorkScope scope;
        try {
            for (size_t i = next++; i < count && !failed; i = next++) job(context, i);
        } catch (...) {
            const std::lock_guard lock(mutex);
            if (!failure) failure = std::current_exception();
            failed = true;
        }
    }
    void HelperEnded() {
        const std::lock_guard lock(mutex);
        --helpersRunning;
        ended.notify_all();
    }
};

class LoopHelper : public QRunnable {
public:
    explicit LoopHelper(Loop& loop) : loop_(loop) { setAutoDelete(false); }
    void run() override {
        loop_.Work();
        loop_.HelperEnded();  // the last touch: the caller may go on at once
    }

private:
    Loop& loop_;
};

}  // namespace

class PoolTask::Runner : public QRunnable {
public:
    Runner(Job job) : job_(std::move(job)) { setAutoDelete(false); }
    void run() override {
        {
            const PoolWorkScope scope;
            const bool outer = onPoolJob;
            onPoolJob = true;
            Call();
            onPoolJob = outer;
        }
        const std::lock_guard lock(mutex_);
        done_ = true;
        ended_.notify_all();  // the last touch: the owner may go on at once
    }
    void Call() {
        try {
            job_(token_);
        } catch (...) {
            failure_ = std::current_exception();
        }
    }
    void Wait() {
        if (QThreadPool::globalInstance()->tryTake(this)) {
            if (!token_.cancelled()) Call();
            done_ = true;
        } else {
            std::unique_lock lock(mutex_);
            ended_.wait(lock, [&] { return done_; });
        }
        if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    }
    bool done() {
        const std::lock_guard lock(mutex_);
        return done_;
    }
    const CancelToken& token() const { return token_; }

private:
    Job job_;
    CancelToken token_;
    std::exception_ptr failure_;
    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false;
};

PoolTask::PoolTask() = default;

PoolTask::~PoolTask() {
    Cancel();
    try {
        Wait();
    } catch (...) {
        // A job that threw while its owner went away has nobody to tell.
    }
}

void PoolTask::Start(Job job) {
    Cancel();
    Wait();
    runner_ = std::make_unique<Runner>(std::move(job));
    QThreadPool::globalInstance()->start(runner_.get());
}

void PoolTask::Cancel() {
    if (runner_) runner_->token().Cancel();
}

void PoolTask::Wait() {
    if (!runner_) return;
    const std::unique_ptr<Runner> ended = std::move(runner_);
    ended->Wait();
}

bool PoolTask::active() const { return runner_ && !runner_->done(); }

unsigned PoolThreads() { return static_cast<unsigned>(std::max(1, QThreadPool::globalInstance()->maxThreadCount())); }

bool InsidePoolWork() { return insidePoolWork; }

void RunIndexed(size_t count, unsigned threads, IndexedJob job, void* context) {
    if (count == 0) return;
    const size_t workers = std::min<size_t>({std::max(1u, threads), count, PoolThreads()});
    if (insidePoolWork || workers == 1) {
        const PoolWorkScope scope;
        for (size_t i = 0; i < count; ++i) job(context, i);
        return;
    }
    Loop loop;
    loop.count = count;
    loop.job = job;
    loop.context = context;
    QThreadPool& pool = *QThreadPool::globalInstance();
    std::vector<std::unique_ptr<LoopHelper>> helpers;
    helpers.reserve(workers - 1);
    loop.helpersRunning = workers - 1;
    for (size_t t = 1; t < workers; ++t) {
        helpers.push_back(std::make_unique<LoopHelper>(loop));
        pool.start(helpers.back().get());
    }
    loop.Work();
    // Helpers still queued (the pool busy with other work) are not needed.
    for (const std::unique_ptr<LoopHelper>& helper : helpers)
        if (pool.tryTake(helper.get())) loop.HelperEnded();
    {
        std::unique_lock lock(loop.mutex);
        loop.ended.wait(lock, [&] { return loop.helpersRunning == 0; });
    }
    if (loop.failure) std::rethrow_exception(loop.failure);
}

PoolWait::PoolWait() : released_(onPoolJob) {
    if (released_) QThreadPool::globalInstance()->releaseThread();
}

PoolWait::~PoolWait() {
    if (released_) QThreadPool::globalInstance()->reserveThread();
}

}  // namespace v2d
