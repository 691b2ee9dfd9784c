// vexel2d-cli import-products: every JPEG of a folder added to a material
// sub-category as the maintenance window's "添加产品" adds it, with names,
// numbers, specs, prices, pieces per box, price units and pattern repeats
// from a shop's CSV when one is given; a product without a unit takes its
// category's.
#include <algorithm>
#include <cstdio>
#include <map>

#include "base/atomic_file.h"
#include "base/integer_text.h"
#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/terminal_bar.h"
#include "library/catalogue_csv.h"
#include "library/product_maintenance.h"

namespace v2d::cli {
namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "usage: vexel2d-cli import-products DIR --category ID [--csv FILE] [--sales ID] [--mattype ID]\n";

constexpr uint64_t kMaxCsvBytes = uint64_t(64) << 20;

struct ImportOptions {
    std::string folder, csv;
    std::optional<int64_t> category, sales, matType;
};

Result<ImportOptions> ParseImportOptions(const Args& args) {
    ImportOptions o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--category" || a == "--sales" || a == "--mattype") {
            const std::optional<int> id = i + 1 < args.size() ? ParseInt(args[++i]) : std::nullopt;
            if (!id) return Error{a + " takes a number"};
            (a == "--category" ? o.category : a == "--sales" ? o.sales : o.matType) = *id;
        } else if (a == "--csv") {
            if (i + 1 >= args.size()) return Error{"--csv needs a file"};
            o.csv = args[++i];
        } else if (Status operand = TakeOperand(a, o.folder, "unexpected argument " + a); !operand.ok()) {
            return operand.failure();
        }
    }
    if (o.folder.empty()) return Error{"no folder given"};
    if (!o.category) return Error{"--category is needed"};
    return o;
}

bool IsJpegName(const fs::path& file) {
    std::string ext = file.extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".jpg" || ext == ".jpeg";
}

void Report(TerminalBar& bar, const char* format, const std::string& file, const std::string& detail) {
    bar.Clear();
    std::printf(format, file.c_str(), detail.c_str());
    std::fflush(stdout);
}

// The first entry of a table, as the window's combo boxes start.
template <class Rows, class Id>
int64_t FirstId(const Rows& rows, Id id) {
    return rows && !rows->empty() ? rows->front().*id : 0;
}

}  // namespace

int RunImportProducts(const Args& args, const fs::path& workspace) {
    Result<ImportOptions> options = ParseImportOptions(args);
    if (!options) return UsageFailure("import-products", options.error(), kUsage);
    // Row by row, as a shop expects of a long list: a refused row is named
    // with its line and reason, and the good rows go in.
    std::map<std::string, CatalogueRow> catalogue;
    std::vector<CatalogueRow> repeated;  // a second row for a file: never used
    if (!options->csv.empty()) {
        const auto text = ReadWholeFile(options->csv, kMaxCsvBytes);
        if (!text) return Fail("import-products", "cannot read " + options->csv + " (at most 64 MB)");
        Result<std::vector<CatalogueRow>> rows =
            ParseCatalogueCsv(std::string_view(reinterpret_cast<const char*>(text->data()), text->size()));
        if (!rows) return Fail("import-products", rows.error());
        for (CatalogueRow& row : *rows)
            if (catalogue.count(row.file)) repeated.push_back(std::move(row));
            else catalogue.emplace(row.file, std::move(row));
    }

    std::vector<fs::path> files;
    std::error_code error;
    for (const fs::directory_entry& e : fs::directory_iterator(options->folder, error))
        if (e.is_regular_file(error)) files.push_back(e.path());
    if (error) return Fail("import-products", "cannot read " + options->folder + ": " + error.message());
    std::sort(files.begin(), files.end());

    auto dm = TDataModule_Manager::DataModuleCreate(workspace);
    if (!dm) return Fail("import-products", dm.error());
    NewProductFields fields{options->sales.value_or(FirstId(ReadSales(**dm), &NamedID::id)),
                            options->matType.value_or(FirstId(ReadMatTypes(**dm), &MatType::MatTypeID))};

    TerminalBar bar("导入产品");
    int skipped = 0;
    std::vector<ProductSource> sources;
    for (const fs::path& file : files) {
        const std::string name = file.filename().string();
        if (!IsJpegName(file)) {
            Report(bar, "skipped %s: %s\n", name, "not a .jpg or .jpeg file");
            ++skipped;
            continue;
        }
        ProductSource source;
        source.file = file;
        if (auto row = catalogue.find(name); row != catalogue.end()) {
            if (!row->second.problem.empty()) {
                Report(bar, "skipped %s: %s\n", name, row->second.problem);
                ++skipped;
                catalogue.erase(row);
                continue;
            }
            const CatalogueRow& r = row->second;
            source = {file, r.name, r.number, r.specs, r.price, r.piecesPerBox, r.unit, r.patternRepeat};
            catalogue.erase(row);
        }
        sources.push_back(std::move(source));
    }
    for (const auto& [file, row] : catalogue) repeated.push_back(row);
    for (const CatalogueRow& row : repeated)
        Report(bar, "skipped %s: %s\n", row.file,
               row.problem.empty() ? "第 " + std::to_string(row.line) + " 行：文件夹里没有这个文件。" : row.problem);
    skipped += static_cast<int>(repeated.size());

    const int random = RandomNumberMiddle();
    size_t addedSoFar = 0;
    Result<AddProductsReport> report = AddProducts(
        **dm, *options->category, sources, fields, random,
        [&](size_t index, size_t count, const AddProductsReport& soFar) {
            const std::string name = sources[index].file.filename().string();
            if (soFar.added.size() > addedSoFar)
                Report(bar, "added %s as %s\n", name, soFar.added.back().row.PartsNumber);
            else
                Report(bar, "skipped %s: %s\n", name, soFar.failed.back().reason);
            addedSoFar = soFar.added.size();
            bar.Draw(static_cast<int>(100 * (index + 1) / count));
        });
    bar.Clear();
    if (!report) return Fail("import-products", report.error());
    skipped += static_cast<int>(report->failed.size());
    std::printf("%s\n", (std::to_string(report->added.size()) + kMsgProductsAdded).c_str());
    if (skipped > 0) std::printf("%d skipped\n", skipped);
    return report->failed.empty() && skipped == 0 ? 0 : 1;
}

}  // namespace v2d::cli
