// vexel2d-cli report: the rendered picture and the product report of a
// scheme, as the main window's report button writes them, optionally printed
// to one PDF file.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "layout/region_quote.h"
#include "cli/json_writer.h"
#include "cli/page_printing.h"
#include "cli/scheme_session.h"
#include "document/scene_document.h"
#include "output/product_report.h"

namespace v2d::cli {
namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage = "usage: vexel2d-cli report SCHEME.v2d [-o DIR] [--pdf FILE]\n";

}  // namespace

int RunReport(const Args& args, const fs::path& workspace) {
    std::string scheme, output, pdf;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size()) output = args[++i];
        else if (args[i] == "--pdf" && i + 1 < args.size()) pdf = args[++i];
        else if (scheme.empty() && !args[i].starts_with("-")) scheme = args[i];
        else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (scheme.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    Session s;
    if (Status opened = OpenSession(s, scheme); !opened) return Fail("report", opened.error());
    const SceneDocument& doc = *s.doc;
    ReportRequest request{workspace, output.empty() ? fs::path() : fs::absolute(output), ReadShopDetails(workspace), ""};
    Result<ReportFiles> files =
        WriteProductReport(doc.scene(), doc.displayed(), request, QuoteForReport(doc.scene(), workspace));
    if (!files) return Fail("report", files.error());
    if (!pdf.empty())
        if (Status printed = PrintPageToPdf(files->report, fs::absolute(pdf)); !printed) return Fail("report", printed.error());
    JsonWriter json;
    json.beginObject()
        .field("report", std::string_view(files->report.string()))
        .field("picture", std::string_view(files->picture.string()));
    if (!pdf.empty()) json.field("pdf", std::string_view(fs::absolute(pdf).string()));
    json.endObject();
    std::printf("%s\n", json.str().c_str());
    return 0;
}

}  // namespace v2d::cli
