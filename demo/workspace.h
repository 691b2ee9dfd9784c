#pragma once
// The demo workspace that make-workspace writes and tests and benchmarks use.
#include <filesystem>

#include "base/result.h"
#include "imagelib/image_operations.h"

namespace v2d::demo {

// Creates the folders, the start scheme, the offline page and the database;
// the sample rooms are furnished and rendered through `ops`.
Status MakeWorkspace(const std::filesystem::path& root, const ImageOperations& ops);

// report/index.htm and the dealer's texts in the settings file vexel2d.ini.
Status WriteDemoReportTemplate(const std::filesystem::path& workspace);

// The product database, product pictures, templates and colour cards.
Status WriteDemoDatabase(const std::filesystem::path& workspace, const ImageOperations& ops);

}  // namespace v2d::demo
