#pragma once
// A downloaded body is kept only when it is what its name promises: an
// error page served in place of a picture or a scheme must not be cached.
#include <cstddef>
#include <filesystem>
#include <string_view>

#include "base/result.h"

namespace v2d {

inline constexpr const char* kMsgWrongBody = "下载的内容不是所需的文件。";

// How many leading bytes of a body the check needs.
inline constexpr size_t kBodyHeadBytes = 8;

// Checks a body's first bytes (`head`, up to kBodyHeadBytes of them) against
// the kind its target name asks for: ".jpg"/".jpeg" a JPEG, ".png" a PNG,
// ".v2d" a scheme, ".c2d" a model file. Other names pass unchecked.
Status CheckDownloadedHead(std::string_view head, const std::filesystem::path& targetName);

}  // namespace v2d
