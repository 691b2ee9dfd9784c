#pragma once
// The demo workspace that make-workspace writes and tests and benchmarks use.
#include <filesystem>

#include "base/result.h"

namespace v2d::demo {

// Creates the folders, the start scheme, the offline page and the database.
Status MakeWorkspace(const std::filesystem::path& root);

// report/index.htm and the dealer's texts in the settings file vexel2d.ini.
Status WriteDemoReportTemplate(const std::filesystem::path& workspace);

// The product database, product pictures, templates and colour cards.
Status WriteDemoDatabase(const std::filesystem::path& workspace);

}  // namespace v2d::demo
