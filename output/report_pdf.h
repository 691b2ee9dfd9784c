#pragma once
// The report as one PDF file of A4 pages, printed by the embedded browser
// engine, so a salesperson can mail a single file.
#include <filesystem>

#include "base/result.h"

namespace v2d {

// Before the application object is made: the engine shares GL contexts and,
// run as root, needs its sandbox off.
void PrepareReportPrinting();

// Loads the page (with its pictures) and prints it; blocks in a local event
// loop and needs a QGuiApplication. The PDF is written whole or not at all.
Status PrintReportToPdf(const std::filesystem::path& page, const std::filesystem::path& pdf,
                        int timeoutMs = 60000);

}  // namespace v2d
