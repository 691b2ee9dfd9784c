// vexel2d-cli make-workspace DIR: a complete demo workspace.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

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
    Status made = demo::MakeWorkspace(root);
    if (!made) {
        std::fprintf(stderr, "vexel2d-cli make-workspace: %s\n", made.error().c_str());
        return 1;
    }
    return 0;
}

}  // namespace v2d::cli
