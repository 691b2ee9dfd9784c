#pragma once
// Writes files whole (as WriteFileAtomically does) in a job on the pool, in
// the order they are given, so that the caller's work on the next file
// overlaps the writing and syncing of the last. At most a few files wait at
// once; after a failed write nothing more is written. The job waits on the
// disk (PoolWait), so it takes no thread from the computing loops; a job the
// pool has not begun when the caller must wait for it runs on the caller.
// Write and Finish are called from the owner's thread.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "base/thread_pool.h"

namespace v2d {

class BackgroundFileWriter {
public:
    explicit BackgroundFileWriter(size_t mostWaiting = 4);
    ~BackgroundFileWriter();  // waits for the files already given
    BackgroundFileWriter(const BackgroundFileWriter&) = delete;
    BackgroundFileWriter& operator=(const BackgroundFileWriter&) = delete;

    // Queues a file, waiting while too many wait; false once a write failed.
    bool Write(std::filesystem::path path, std::vector<uint8_t> bytes);
    // Waits until every queued file is written; the first that failed, if one did.
    std::optional<std::filesystem::path> Finish();

private:
    // The job: writes what waits until nothing does.
    void Drain();

    const size_t mostWaiting_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::pair<std::filesystem::path, std::vector<uint8_t>>> waiting_;
    bool draining_ = false;  // a job is queued or running and will see what waits
    bool begun_ = false;     // that job has begun on the pool
    std::optional<std::filesystem::path> failed_;
    PoolTask job_;  // last: it goes first, while the rest is still there
};

}  // namespace v2d
