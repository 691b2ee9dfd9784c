#pragma once
// The report printer as a module of its own, loaded by the command line only
// when a PDF is asked for: the browser engine and its libraries then stay
// out of every other command's start.
#include <cstddef>

namespace v2d {

// Beside the program or in the package's library folder.
inline constexpr const char* kReportPdfModule = "vexel2d-pdf.so";
inline constexpr const char* kReportPdfEntry = "v2d_PrintReportPdf";

// Makes the application object (offscreen without a display) and prints the
// page to the PDF. 0 on success; otherwise the message, cut to fit, is in
// `message`.
using PrintReportPdfEntry = int (*)(const char* page, const char* pdf, char* message, size_t messageSize);

}  // namespace v2d
