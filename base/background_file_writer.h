#pragma once
// Writes files whole (as WriteFileAtomically does) on a thread of its own, in
// the order they are given, so that the caller's work on the next file
// overlaps the writing and syncing of the last. At most a few files wait at
// once; after a failed write nothing more is written.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

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
    void Run(const std::stop_token& stop);

    const size_t mostWaiting_;
    std::mutex mutex_;
    std::condition_variable_any changed_;
    std::deque<std::pair<std::filesystem::path, std::vector<uint8_t>>> waiting_;
    bool writing_ = false;
    std::optional<std::filesystem::path> failed_;
    std::jthread thread_;  // last: it starts once the rest is made
};

}  // namespace v2d
