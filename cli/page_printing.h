#pragma once
// A page printed to an A4 PDF by the printer module (output/report_pdf_module.h),
// loaded only when a command asks for a PDF.
#include <filesystem>

#include "base/result.h"

namespace v2d::cli {

Status PrintPageToPdf(const std::filesystem::path& page, const std::filesystem::path& pdf);

}  // namespace v2d::cli
