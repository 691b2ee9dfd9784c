// vexel2d-cli make-workspace DIR: a complete demo workspace (its sample
// rooms are rendered through the image library beside the program).
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "demo/workspace.h"

namespace v2d::cli {
namespace fs = std::filesystem;

int RunMakeWorkspace(const Args& args) {
    bool keepExisting = false;
    std::vector<std::string> folders;
    for (const std::string& a : args) {
        if (a == "--keep-existing")
            keepExisting = true;
        else
            folders.push_back(a);
    }
    if (folders.size() != 1) {
        std::fprintf(stderr, "usage: vexel2d-cli make-workspace DIR [--keep-existing]\n");
        return 2;
    }
    const std::string& folder = folders.front();
    const fs::path root(folder);
    if (keepExisting && fs::exists(root / "start" / "start.v2d") && fs::exists(root / "DB" / "PRODUCT.cdb")) {
        return 0;
    }
    ImageLibrary library;
    Status made = LoadImageLibrary(library);
    if (made) made = demo::MakeWorkspace(root, library);
    if (!made) {
        std::fprintf(stderr, "vexel2d-cli make-workspace: %s\n", made.error().c_str());
        return 1;
    }
    return 0;
}

}  // namespace v2d::cli
