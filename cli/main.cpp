// vexel2d-cli: the program's core, from a terminal.
#include <cstdio>
#include <cstring>
#include <string>

#include "base/process_setup.h"
#include "cli/commands.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const v2d::cli::Args&);
    const char* usage;
};

const Command kCommands[] = {
    {"info", v2d::cli::RunInfo, "info FILE.v2d|FILE.c2d        print a scheme or model file as JSON"},
    {"convert", v2d::cli::RunConvert, "convert IN.v2d OUT.v2d        read any version, write version 13"},
    {"make-workspace", v2d::cli::RunMakeWorkspace,
     "make-workspace DIR [--keep-existing]  write the demo workspace"},
    {"products", v2d::cli::RunProducts, "products [--kind material|model]  list products as JSON lines"},
    {"merge", v2d::cli::RunMerge, "merge FILE.cdb                merge an update database into ./DB"},
    {"make-update-db", v2d::cli::RunMakeUpdateDb, "make-update-db FILE           write a demo update database"},
    {"render", v2d::cli::RunRender, "render SCHEME.v2d -o OUT.jpg [options]  render a scheme"},
    {"batch", v2d::cli::RunBatch,
     "batch SCHEME.v2d --products DIR --regions LIST -o OUTDIR  one rendering per product"},
};

void PrintUsage() {
    std::fprintf(stderr, "usage: vexel2d-cli COMMAND [ARGS]\n\n");
    for (const Command& c : kCommands) std::fprintf(stderr, "  %s\n", c.usage);
}

}  // namespace

int main(int argc, char** argv) {
    v2d::SetUpProcess();
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintUsage();
        return argc < 2 ? 2 : 0;
    }
    v2d::cli::Args args(argv + 2, argv + argc);
    for (const Command& c : kCommands)
        if (std::strcmp(argv[1], c.name) == 0) return c.run(args);
    std::fprintf(stderr, "vexel2d-cli: unknown command \"%s\"\n", argv[1]);
    PrintUsage();
    return 2;
}
