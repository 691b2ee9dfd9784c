#pragma once
// The workspace's settings file "vexel2d.ini": lines of Key=Value in UTF-8
// (the service's address, where materials come from, the dealer's texts).
// Other lines are kept as they are when a key is written.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "base/result.h"

namespace v2d {

inline constexpr const char* kSettingsFileName = "vexel2d.ini";

// The first value of `key`; nullopt when the file or the key is missing.
std::optional<std::string> ReadSetting(const std::filesystem::path& workspace, std::string_view key);
// Sets one key, keeping the file's other lines; written whole or not at all.
Status WriteSetting(const std::filesystem::path& workspace, std::string_view key, std::string_view value);

}  // namespace v2d
