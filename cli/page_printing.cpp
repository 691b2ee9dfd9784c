#include "cli/page_printing.h"

#include "cli/program_module.h"
#include "output/report_pdf_module.h"

namespace v2d::cli {

Status PrintPageToPdf(const std::filesystem::path& page, const std::filesystem::path& pdf) {
#if VEXEL_HAS_PDF
    const Result<void*> entry = ProgramModuleEntry(kReportPdfModule, kReportPdfEntry);
    if (!entry) return Error{"PDF printing is not installed: " + entry.error()};
    char message[1024] = "";
    if (reinterpret_cast<PrintReportPdfEntry>(*entry)(page.c_str(), pdf.c_str(), message, sizeof message) != 0)
        return Error{message};
    return Status::Ok();
#else
    (void)page;
    (void)pdf;
    return Error{"this build has no PDF printing (qt6-webengine-dev is missing)"};
#endif
}

}  // namespace v2d::cli
