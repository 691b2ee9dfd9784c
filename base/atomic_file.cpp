#include "base/atomic_file.h"

#include <unistd.h>

#include <optional>
#include <random>
#include <system_error>

namespace v2d {
namespace fs = std::filesystem;

namespace {

fs::path TemporaryNameBeside(const fs::path& target) {
    std::random_device device;
    std::mt19937_64 generator(device());
    fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    return folder / ("." + target.filename().string() + "." + std::to_string(generator() % 1000000000) +
                     ".tmp");
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(fs::path target) : target_(std::move(target)) {
    for (int attempt = 0; attempt < 8 && !file_; ++attempt) {
        temporary_ = TemporaryNameBeside(target_);
        file_ = std::fopen(temporary_.c_str(), "wbx");  // never clobbers a stranger's file
    }
    if (!file_) failed_ = true;
}

AtomicFileWriter::~AtomicFileWriter() { discard(); }

bool AtomicFileWriter::write(const void* data, size_t size) {
    if (failed_ || !file_) return false;
    if (size == 0) return true;
    if (std::fwrite(data, 1, size, file_) != size) failed_ = true;
    return !failed_;
}

bool AtomicFileWriter::write(std::span<const uint8_t> bytes) { return write(bytes.data(), bytes.size()); }

bool AtomicFileWriter::commit() {
    if (failed_ || !file_) {
        discard();
        return false;
    }
    bool ok = std::fflush(file_) == 0 && ::fsync(fileno(file_)) == 0;
    ok = (std::fclose(file_) == 0) && ok;
    file_ = nullptr;
    if (ok) {
        std::error_code error;
        fs::rename(temporary_, target_, error);
        ok = !error;
    }
    if (!ok) {
        failed_ = true;
        std::error_code ignored;
        fs::remove(temporary_, ignored);
    }
    temporary_.clear();
    return ok;
}

void AtomicFileWriter::discard() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty()) {
        std::error_code ignored;
        fs::remove(temporary_, ignored);
        temporary_.clear();
    }
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const fs::path& path, uint64_t maxBytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return std::nullopt;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> guard(file, &std::fclose);
    if (std::fseek(file, 0, SEEK_END) != 0) return std::nullopt;
    long size = std::ftell(file);
    if (size < 0 || uint64_t(size) > maxBytes) return std::nullopt;
    std::rewind(file);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (size > 0 && std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) return std::nullopt;
    return bytes;
}

bool WriteFileAtomically(const fs::path& path, std::span<const uint8_t> bytes) {
    AtomicFileWriter writer(path);
    return writer.write(bytes) && writer.commit();
}

}  // namespace v2d
