// vexel2d-cli share: the customer page of a scheme, one folder of static
// files to send to the customer's phone or to publish under a web root.
#include <cstdio>
#include <filesystem>
#include <string>

#include "base/process_setup.h"
#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/page_printing.h"
#include "cli/scheme_session.h"
#include "output/customer_page.h"

namespace v2d::cli {
namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "usage: vexel2d-cli share SCHEME.v2d -o DIR [--url BASE] [--no-pdf]\n"
    "  DIR is replaced whole; BASE is the address DIR is served from (the page is BASE/index.html and its QR code\n"
    "  goes on the page). vexel2d-web serves ROOT/share/: -o ROOT/share/NAME --url http://HOST:PORT/share/NAME\n";

struct ShareOptions {
    std::string scheme, output, base;
    bool pdf = true;
};

Result<ShareOptions> ParseShareOptions(const Args& args) {
    ShareOptions o;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size()) o.output = args[++i];
        else if (args[i] == "--url" && i + 1 < args.size()) o.base = args[++i];
        else if (args[i] == "--no-pdf") o.pdf = false;
        else if (Status taken = TakeOperand(args[i], o.scheme, "one scheme only"); !taken) return taken.failure();
    }
    if (o.scheme.empty() || o.output.empty()) return Error{"SCHEME.v2d and -o DIR are needed"};
    return o;
}

}  // namespace

int RunShare(const Args& args, const fs::path& workspace) {
    Result<ShareOptions> parsed = ParseShareOptions(args);
    if (!parsed) return UsageFailure("share", parsed.error(), kUsage);
    const ShareOptions& o = *parsed;
    CustomerPageRequest request{workspace, fs::absolute(o.output), {}, {}, {}};
    if (!o.base.empty()) {
        Result<std::string> address = CustomerPageAddress(o.base);
        if (!address) return Fail("share", address.error());
        request.address = *address;
    }
#if VEXEL_HAS_PDF
    if (o.pdf) request.print = PrintPageToPdf;
#else
    if (o.pdf) std::fputs("vexel2d-cli share: this build has no PDF printing; the page goes without its PDF\n", stderr);
#endif
    ReturnLargeBlocksWhenFreed();
    Session s;
    if (Status opened = OpenSession(s, o.scheme); !opened) return Fail("share", opened.error());
    const Result<CustomerPageFiles> files = WriteCustomerPage(s.doc->scene(), s.doc->displayed(), request);
    if (!files) return Fail("share", files.error());
    if (files->products == 0) std::fprintf(stderr, "vexel2d-cli share: %s\n", kMsgNothingLaid);
    JsonWriter json;
    json.beginObject().field("page", std::string_view(files->page.string()));
    if (!files->pdf.empty()) json.field("pdf", std::string_view(files->pdf.string()));
    if (!request.address.empty()) json.field("address", std::string_view(request.address));
    json.field("products", static_cast<int64_t>(files->products)).endObject();
    std::printf("%s\n", json.str().c_str());
    return 0;
}

}  // namespace v2d::cli
