#pragma once
// Files are written whole or not at all: the bytes go to a temporary file
// beside the target, which replaces the target only after everything was
// written and flushed. Until then the old file stays as it was.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace v2d {

class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::filesystem::path target);
    ~AtomicFileWriter();  // removes the temporary file unless committed
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    // A short write marks the writer failed; later writes are ignored.
    bool write(std::span<const uint8_t> bytes);
    bool write(const void* data, size_t size);
    bool failed() const { return failed_; }
    // Flushes, syncs and renames over the target.
    bool commit();
    // Drops the temporary file; the target is untouched.
    void discard();

    const std::filesystem::path& temporaryPath() const { return temporary_; }

private:
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    std::FILE* file_ = nullptr;
    bool failed_ = false;
};

// Reads a whole file; nullopt when it cannot be opened or read, or is larger
// than maxBytes.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path,
                                                  uint64_t maxBytes = uint64_t(1) << 32);

// Convenience for one-shot writers.
bool WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes);

}  // namespace v2d
