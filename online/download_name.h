#pragma once
// The local file a downloaded address lands in: the last segment of the
// address's path, percent-decoded, without query or fragment. Names that
// could leave the target folder, or name nothing, are refused.
#include <filesystem>
#include <string>
#include <string_view>

#include "base/result.h"

namespace v2d {

inline constexpr const char* kMsgBadDownloadName = "下载地址中没有可用的文件名。";

// "http://h/a/b%20c.jpg?x=1" gives "b c.jpg". Refused: an empty name, "."
// and "..", a name holding "/" or "\" (also when percent-encoded), a
// control character, or a broken percent escape.
Result<std::string> LocalNameFromUrl(std::string_view url);

// folder / LocalNameFromUrl(url).
Result<std::filesystem::path> LocalPathIn(const std::filesystem::path& folder, std::string_view url);

}  // namespace v2d
