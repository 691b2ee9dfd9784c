// Placeholder until the product database lands.
#include <cstdio>

#include "cli/commands.h"

namespace v2d::cli {

static int NotYet(const char* what) {
    std::fprintf(stderr, "vexel2d-cli: %s is not available in this build\n", what);
    return 1;
}

int RunProducts(const Args&) { return NotYet("products"); }
int RunMerge(const Args&) { return NotYet("merge"); }
int RunMakeUpdateDb(const Args&) { return NotYet("make-update-db"); }
Status WriteDemoDatabase(const std::filesystem::path&) { return Status::Ok(); }

}  // namespace v2d::cli
