#include "document/carried_model.h"

#include "base/atomic_file.h"
#include "scene/model_file.h"

namespace v2d {

std::optional<CarriedModel> CarriedModel::Read(const std::filesystem::path& path) {
    CarriedModel model;
    std::error_code error;
    model.written_ = std::filesystem::last_write_time(path, error);
    if (error) return std::nullopt;
    model.size_ = std::filesystem::file_size(path, error);
    if (error) return std::nullopt;
    std::optional<std::vector<uint8_t>> bytes = ReadWholeFile(path);
    if (!bytes || bytes->size() != model.size_) return std::nullopt;  // changed while read
    model.path_ = path;
    model.bytes_ = std::make_shared<const std::vector<uint8_t>>(std::move(*bytes));
    return model;
}

bool CarriedModel::Stands(const std::filesystem::path& path) const {
    if (!bytes_ || path != path_) return false;
    std::error_code error;
    const std::filesystem::file_time_type written = std::filesystem::last_write_time(path, error);
    if (error || written != written_) return false;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return !error && size == size_;
}

QImage CarriedModel::preview() const { return bytes_ ? ModelPreviewOf(*bytes_) : QImage{}; }

}  // namespace v2d
