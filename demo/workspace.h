#pragma once
// The demo workspace that make-workspace writes and tests and benchmarks use.
#include <filesystem>

#include "base/result.h"

namespace v2d::demo {

// Creates the folders, the start scheme, the offline page and the database.
Status MakeWorkspace(const std::filesystem::path& root);

// The product database, product pictures, templates and colour cards.
Status WriteDemoDatabase(const std::filesystem::path& workspace);

}  // namespace v2d::demo
