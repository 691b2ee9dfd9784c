#pragma once
// A model file's bytes as the product panel read them for its preview,
// carried with the product so that a drop parses them instead of reading
// the file again. They stand for the file only while it has the same path,
// size and time of writing.
#include <QImage>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace v2d {

class CarriedModel {
public:
    // The file's bytes, or nothing when it cannot be read.
    static std::optional<CarriedModel> Read(const std::filesystem::path& path);

    // True while the file at `path` is the one that was read.
    bool Stands(const std::filesystem::path& path) const;
    const std::vector<uint8_t>& bytes() const { return *bytes_; }
    // The preview ReadModelPreview gives for the file.
    QImage preview() const;

private:
    std::filesystem::path path_;
    std::filesystem::file_time_type written_;
    std::uintmax_t size_ = 0;
    std::shared_ptr<const std::vector<uint8_t>> bytes_;
};

}  // namespace v2d
