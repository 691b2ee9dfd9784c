// vexel2d-cli: the program's core, from a terminal.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "base/process_setup.h"
#include "base/program_information.h"
#include "base/workspace_location.h"
#include "cli/commands.h"

namespace {

namespace fs = std::filesystem;
using v2d::cli::Args;

struct Command {
    const char* name;
    int (*run)(const Args&, const fs::path& workspace);
    const char* usage;
};

// A command that does not read the workspace.
template <int (*Run)(const Args&)>
int Plain(const Args& args, const fs::path&) {
    return Run(args);
}

const Command kCommands[] = {
    {"info", Plain<v2d::cli::RunInfo>, "info FILE.v2d|FILE.c2d        print a scheme or model file as JSON"},
    {"convert", Plain<v2d::cli::RunConvert>, "convert IN.v2d OUT.v2d        read any version, write version 13"},
    {"make-workspace", Plain<v2d::cli::RunMakeWorkspace>,
     "make-workspace DIR [--keep-existing]  write the demo workspace"},
    {"products", v2d::cli::RunProducts, "products [--tree] [--kind material|model] [--search TEXT] [--size WxH] [--min-price X] [--max-price Y]\n"
     "    [--category ID | --main-category ID]  list products as JSON lines (newest first), or the category tree"},
    {"merge", v2d::cli::RunMerge, "merge FILE.cdb                merge an update database into ./DB"},
    {"make-update-db", Plain<v2d::cli::RunMakeUpdateDb>, "make-update-db FILE           write a demo update database"},
    {"make-bench-db", Plain<v2d::cli::RunMakeBenchDb>,
     "make-bench-db DIR [--products N] [--subcategories M]  write a large generated catalogue"},
    {"render", Plain<v2d::cli::RunRender>, "render SCHEME.v2d -o OUT.jpg [options]  render a scheme"},
    {"batch", Plain<v2d::cli::RunBatch>,
     "batch SCHEME.v2d --products DIR --regions LIST -o OUTDIR  one rendering per product"},
    {"compare", v2d::cli::RunCompare,
     "compare SCHEME.v2d --regions LIST --product FILE --product FILE [...] -o GRID.jpg [--cell WxH] [options]\n"
     "    2 to 4 products side by side in the same room, captioned with name, number, price and amount"},
    {"add-model", Plain<v2d::cli::RunAddModel>,
     "add-model SCHEME.v2d MODEL.c2d -o OUT.v2d [--at X,Y] [--region NAME|INDEX]  place a model"},
    {"material", Plain<v2d::cli::RunMaterial>,
     "material PATTERN.jpg --at X,Y [--tolerance T] (--colour 0xBBGGRR | --texture FILE [--scale N] [--overlay]) "
     "-o OUT.jpg  recolour or retexture one colour of a pattern"},
    {"import-products", v2d::cli::RunImportProducts,
     "import-products DIR --category ID [--csv FILE]  add every JPEG of a folder as a product"},
    {"templates", v2d::cli::RunTemplates,
     "templates [--room ID] [--style ID] [--page N] [--page-size N]  a page of the local templates as JSON"},
    {"save-template", v2d::cli::RunSaveTemplate,
     "save-template SCHEME.v2d --name NAME --room ID --style ID  store a scheme as a local template"},
    {"quote", v2d::cli::RunQuote,
     "quote SCHEME.v2d [--waste PCT] [--per-box N]  areas, tiles, boxes and amounts of the tiled regions as JSON"},
    {"plan", Plain<v2d::cli::RunPlan>,
     "plan SCHEME.v2d --region NAME|INDEX -o PLAN.svg  the laying plan of a tiled region: whole and cut tiles, sizes"},
    {"report", v2d::cli::RunReport, "report SCHEME.v2d [-o DIR] [--pdf FILE]  the rendering and the product report"},
    {"share", v2d::cli::RunShare,
     "share SCHEME.v2d -o DIR [--url BASE] [--no-pdf]  the customer page: one folder of static files (DIR replaced whole)"},
    {"download", v2d::cli::RunDownload, "download URL FILE [--attempts N]  fetch a file; no file on failure"},
    {"new-scheme", Plain<v2d::cli::RunNewScheme>,
     "new-scheme PHOTO -o OUT.v2d --region \"NAME:x,y;x,y;...:WxH[:x,y;x,y;x,y;x,y]\" ... "
     "[--find \"NAME:X,Y[:X1,Y1,X2,Y2,MM]\" ...]  a scheme from a photo"},
    {"find-region", Plain<v2d::cli::RunFindRegion>,
     "find-region PHOTO --at X,Y [--at X,Y ...] [--not X,Y ...] [--length X1,Y1,X2,Y2,MM]  "
     "the surface under a click as JSON"},
    {"find-room", Plain<v2d::cli::RunFindRoom>,
     "find-room PHOTO [--at X,Y] [--length X1,Y1,X2,Y2,MM]  the floor, walls and ceiling of the room as JSON"},
    {"model", Plain<v2d::cli::RunModel>,
     "model SCHEME.v2d --record N (--mirror-x|--mirror-y|--reset|--copy|--delete|--frame next|prev) -o OUT.v2d"},
};

void PrintUsage(std::FILE* to) {
    std::fprintf(to, "usage: vexel2d-cli [--workspace DIR] COMMAND [ARGS]\n\n");
    for (const Command& c : kCommands) std::fprintf(to, "  %s\n", c.usage);
    std::fprintf(to,
                 "\n  --workspace DIR  the workspace products, merge, templates, report, share and download use (default: the current\n"
                 "                   folder when it holds DB/, else the program's folder when it holds DB/, else\n"
                 "                   $XDG_DATA_HOME/vexel2d, which the program vexel2d makes on its first start)\n"
                 "  -h, --help       print this text and exit\n"
                 "  --version        print the version and exit\n");
}

}  // namespace

int main(int argc, char** argv) {
    v2d::SetUpProcess();
    // The global option comes before the command.
    int first = 1;
    std::error_code error;
    fs::path given;
    if (argc > 1 && std::strcmp(argv[1], "--workspace") == 0) {
        if (argc > 2) given = fs::absolute(argv[2], error);
        first = argc > 2 ? 3 : argc;
    }
    if (argc <= first) {
        PrintUsage(stderr);
        return 2;
    }
    // In place of a command; a command's own arguments are its own.
    switch (v2d::RequestedInformation({argv + first, argv + first + 1})) {
        case v2d::InformationRequest::Help: PrintUsage(stdout); return 0;
        case v2d::InformationRequest::Version:
            return v2d::PrintInformation(v2d::InformationRequest::Version, "vexel2d-cli", "");
        case v2d::InformationRequest::None: break;
    }
    const fs::path workspace =
        v2d::ChooseWorkspace({given, fs::current_path(error), v2d::ExecutableFolder(), v2d::UserDataHome()}).folder;
    const Args args(argv + first + 1, argv + argc);
    for (const Command& c : kCommands)
        if (std::strcmp(argv[first], c.name) == 0) return c.run(args, workspace);
    std::fprintf(stderr, "vexel2d-cli: unknown command \"%s\"\n", argv[first]);
    PrintUsage(stderr);
    return 2;
}
