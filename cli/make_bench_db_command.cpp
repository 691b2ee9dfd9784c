// vexel2d-cli make-bench-db DIR: a large generated catalogue for benchmarks
// and for looking at the product browser under load.
#include <cstdio>
#include <string>

#include "base/integer_text.h"
#include "cli/command_support.h"
#include "cli/commands.h"
#include "demo/bench_catalogue.h"

namespace v2d::cli {

int RunMakeBenchDb(const Args& args) {
    demo::BenchCatalogueSize size;
    std::string folder;
    for (size_t i = 0; i < args.size(); ++i) {
        const bool count = (args[i] == "--products" || args[i] == "--subcategories") && i + 1 < args.size();
        if (count) {
            const std::optional<int> n = StrictInteger(QString::fromStdString(args[i + 1]));
            if (!n) return Fail("make-bench-db", args[i] + " takes a whole number");
            (args[i] == "--products" ? size.products : size.subCategories) = *n;
            ++i;
        } else if (folder.empty() && args[i].rfind("--", 0) != 0) {
            folder = args[i];
        } else {
            folder.clear();
            break;
        }
    }
    if (folder.empty()) {
        std::fprintf(stderr, "usage: vexel2d-cli make-bench-db DIR [--products N] [--subcategories M]\n");
        return 2;
    }
    if (Status made = demo::WriteBenchCatalogue(folder, size); !made) return Fail("make-bench-db", made.error());
    return 0;
}

}  // namespace v2d::cli
