// vexel2d-pdf.so: PrintReportToPdf behind one plain entry for the command line.
#include <QGuiApplication>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "output/report_pdf.h"
#include "output/report_pdf_module.h"

extern "C" __attribute__((visibility("default"))) int v2d_PrintReportPdf(const char* page, const char* pdf,
                                                                       char* message, size_t messageSize) {
    using namespace v2d;
    // The engine needs an application object; without a display it draws offscreen.
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    PrepareReportPrinting();
    static int argc = 1;
    static char name[] = "vexel2d-cli";
    static char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    const Status printed = PrintReportToPdf(page, pdf);
    if (printed) return 0;
    if (messageSize > 0) {
        const size_t length = std::min(printed.error().size(), messageSize - 1);
        std::memcpy(message, printed.error().data(), length);
        message[length] = '\0';
    }
    return 1;
}
