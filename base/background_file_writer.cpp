#include "base/background_file_writer.h"

#include "base/atomic_file.h"

namespace v2d {

BackgroundFileWriter::BackgroundFileWriter(size_t mostWaiting)
    : mostWaiting_(mostWaiting == 0 ? 1 : mostWaiting), thread_([this](std::stop_token stop) { Run(stop); }) {}

// The thread, made last, is stopped and joined first.
BackgroundFileWriter::~BackgroundFileWriter() { Finish(); }

bool BackgroundFileWriter::Write(std::filesystem::path path, std::vector<uint8_t> bytes) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return waiting_.size() < mostWaiting_ || failed_; });
    if (failed_) return false;
    waiting_.emplace_back(std::move(path), std::move(bytes));
    changed_.notify_all();
    return true;
}

std::optional<std::filesystem::path> BackgroundFileWriter::Finish() {
    std::unique_lock lock(mutex_);
    // After a failure the files still waiting are not written.
    changed_.wait(lock, [&] { return !writing_ && (waiting_.empty() || failed_); });
    waiting_.clear();
    return failed_;
}

void BackgroundFileWriter::Run(const std::stop_token& stop) {
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, stop, [&] { return !waiting_.empty() && !failed_; });
        if (stop.stop_requested()) return;
        auto [path, bytes] = std::move(waiting_.front());
        waiting_.pop_front();
        writing_ = true;
        changed_.notify_all();  // room for one more
        lock.unlock();
        const bool written = WriteFileAtomically(path, bytes);
        lock.lock();
        writing_ = false;
        if (!written) failed_ = std::move(path);
        changed_.notify_all();
    }
}

}  // namespace v2d
