#pragma once
// A folder of files put in place whole or not at all: written into a new
// folder beside its place, which takes the old folder's place only once the
// writing succeeded.
#include <filesystem>
#include <functional>

#include "base/result.h"

namespace v2d {

// Runs `write` on a new folder beside `dir` and, when it succeeds, puts that
// folder in dir's place (an old dir goes only then); on failure the new
// folder is removed and dir stays as it was. A `dir` that is not a folder
// is refused before anything is written.
Status ReplaceFolder(const std::filesystem::path& dir,
                     const std::function<Status(const std::filesystem::path&)>& write);

}  // namespace v2d
