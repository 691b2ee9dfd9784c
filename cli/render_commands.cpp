// Placeholder until headless rendering lands.
#include <cstdio>

#include "cli/commands.h"

namespace v2d::cli {

int RunRender(const Args&) {
    std::fprintf(stderr, "vexel2d-cli: render is not available in this build\n");
    return 1;
}
int RunBatch(const Args&) {
    std::fprintf(stderr, "vexel2d-cli: batch is not available in this build\n");
    return 1;
}

}  // namespace v2d::cli
