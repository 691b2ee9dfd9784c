#include "base/background_file_writer.h"

#include "base/atomic_file.h"

namespace v2d {

BackgroundFileWriter::BackgroundFileWriter(size_t mostWaiting) : mostWaiting_(mostWaiting == 0 ? 1 : mostWaiting) {}

BackgroundFileWriter::~BackgroundFileWriter() { (void)Finish(); }

bool BackgroundFileWriter::Write(std::filesystem::path path, std::vector<uint8_t> bytes) {
    std::unique_lock lock(mutex_);
    while (waiting_.size() >= mostWaiting_ && !failed_) {
        if (!begun_) {
            // The pool has not begun the job (its threads are all busy, the
            // caller's perhaps among them): it runs here instead.
            lock.unlock();
            job_.Wait();
            lock.lock();
        } else {
            changed_.wait(lock, [&] { return waiting_.size() < mostWaiting_ || failed_ || !draining_; });
        }
    }
    if (failed_) return false;
    waiting_.emplace_back(std::move(path), std::move(bytes));
    if (draining_) return true;
    draining_ = true;
    begun_ = false;
    lock.unlock();
    // The last job has said it ends (draining_ was false): Start waits only
    // for its return.
    job_.Start([this](const CancelToken&) { Drain(); });
    return true;
}

std::optional<std::filesystem::path> BackgroundFileWriter::Finish() {
    job_.Wait();  // runs here when the pool has not begun it
    const std::lock_guard lock(mutex_);
    waiting_.clear();  // after a failure the files still waiting are not written
    return failed_;
}

void BackgroundFileWriter::Drain() {
    const PoolWait onTheDisk;
    std::unique_lock lock(mutex_);
    begun_ = true;
    while (!waiting_.empty() && !failed_) {
        auto [path, bytes] = std::move(waiting_.front());
        waiting_.pop_front();
        changed_.notify_all();  // room for one more
        lock.unlock();
        const bool written = WriteFileAtomically(path, bytes);
        lock.lock();
        if (!written) failed_ = std::move(path);
    }
    draining_ = false;  // the last touch of what the writer holds but the task
    changed_.notify_all();
}

}  // namespace v2d
