#pragma once
// The workspace's settings file "vexel2d.ini": lines of Key=Value in UTF-8
// (the service's address, where materials come from, the largest download,
// the dealer's texts, the main window's place and the recently opened schemes).
// Other lines are kept as they are when a key is written.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/result.h"

namespace v2d {

inline constexpr const char* kSettingsFileName = "vexel2d.ini";

// The first value of `key`; nullopt when the file or the key is missing.
std::optional<std::string> ReadSetting(const std::filesystem::path& workspace, std::string_view key);
// Sets one key, keeping the file's other lines; written whole or not at all.
Status WriteSetting(const std::filesystem::path& workspace, std::string_view key, std::string_view value);
// Several keys in one write. A value holding a line break is refused whole.
Status WriteSettings(const std::filesystem::path& workspace,
                     const std::vector<std::pair<std::string, std::string>>& values);

// "最近打开的方案": the schemes last opened or saved, newest first.
inline constexpr int kRecentSchemeCount = 8;
std::vector<std::string> ReadRecentSchemes(const std::filesystem::path& workspace);
Status WriteRecentSchemes(const std::filesystem::path& workspace, const std::vector<std::string>& schemes);
// `newest` in front, an older mention of it dropped, at most kRecentSchemeCount.
std::vector<std::string> WithRecentScheme(std::vector<std::string> schemes, const std::string& newest);

// "MaxDownloadMB": the largest file one download may bring, in megabytes. A
// missing, non-numeric or non-positive value gives the default.
inline constexpr int64_t kDefaultMaxDownloadMB = 256;
int64_t ReadMaxDownloadBytes(const std::filesystem::path& workspace);

// "HistoryMB": how many megabytes of pictures the undo history may keep
// before its oldest steps go; the same rules.
inline constexpr int64_t kDefaultHistoryMB = 256;
int64_t ReadHistoryBudgetBytes(const std::filesystem::path& workspace);

}  // namespace v2d
