// vexel2d-cli compare: two to four products laid into the same regions of a
// scheme, side by side in one picture, each room captioned with the
// product's name, number, price per unit and what the regions take.
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/render_options.h"
#include "document/product_comparison.h"
#include "document/scaled_scene.h"
#include "library/data_module.h"
#include "library/product_descriptor.h"
#include "library/product_queries.h"

namespace v2d::cli {
namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "usage: vexel2d-cli compare SCHEME.v2d --regions LIST --product FILE --product FILE [--product FILE ...] "
    "-o GRID.jpg [--cell WxH] [--size WxH] [--mirror] [--rotate] [--fit] [--lighten N] [--reflect N] "
    "[--colour 0xBBGGRR] [--relief raised|sunken] [--relief-strength N] [--offset DX,DY] [--pattern WORD] "
    "[--joint MM] [--joint-colour 0xBBGGRR] [--random-turn SEED] [--origin corner|centre] [--light photo|room]\n"
    "  2 to 4 products; each is laid at its catalogue size (or --size); the cell defaults to 800 pixels along\n"
    "  the photo's longer side.\n";
constexpr int kDefaultCellSide = 800;
constexpr int kSmallestCellSide = 64, kLargestCellSide = 4000;

struct CompareOptions {
    std::vector<std::string> products;
    std::optional<QSize> cell;
    bool sizeGiven = false;
    RenderOptions laying;
};

// --product and --cell are the comparison's own; the rest are render's.
Result<CompareOptions> ParseCompareOptions(const Args& args) {
    CompareOptions o;
    Args rest;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--product") {
            if (i + 1 >= args.size()) return Error{"--product needs a file"};
            o.products.push_back(args[++i]);
        } else if (a == "--cell") {
            int w = 0, h = 0;
            if (i + 1 >= args.size() || !ParseSize(args[++i], w, h) || w < kSmallestCellSide || h < kSmallestCellSide ||
                w > kLargestCellSide || h > kLargestCellSide)
                return Error{"--cell needs WxH, each side " + std::to_string(kSmallestCellSide) + ".." +
                             std::to_string(kLargestCellSide) + " pixels"};
            o.cell = QSize(w, h);
        } else {
            if (a == "--products" || a == "--save") return Error{"unknown option " + a};
            o.sizeGiven = o.sizeGiven || a == "--size";
            rest.push_back(a);
        }
    }
    Result<RenderOptions> laying = ParseRenderOptions(rest);
    if (!laying) return laying.failure();
    o.laying = std::move(*laying);
    if (o.laying.regions.empty()) return Error{"--regions is needed"};
    const int count = static_cast<int>(o.products.size());
    if (count < kFewestComparedProducts || count > kMostComparedProducts)
        return Error{"compare takes 2 to 4 --product files, not " + std::to_string(count)};
    return o;
}

// 800 pixels along the photo's longer side, the other side as the photo has it.
QSize DefaultCell(QSize photo) {
    if (photo.isEmpty()) return {kDefaultCellSide, kDefaultCellSide * 3 / 4};
    const double scale = double(kDefaultCellSide) / std::max(photo.width(), photo.height());
    return {std::max(1, int(photo.width() * scale + 0.5)), std::max(1, int(photo.height() * scale + 0.5))};
}

// The workspace's catalogue, when it has one that opens; the captions go
// by the files' names without it.
std::unique_ptr<Db> OpenCatalogue(const fs::path& workspace) {
    std::error_code error;
    if (!fs::is_regular_file(workspace / "DB" / "PRODUCT.cdb", error)) return nullptr;
    auto dm = TDataModule_Manager::DataModuleCreate(workspace, OpenMode::ReadOnly);
    if (!dm) {
        std::fprintf(stderr, "vexel2d-cli compare: %s\n", dm.error().c_str());
        return nullptr;
    }
    return std::move(*dm);
}

// The catalogue's product named by the file's number (a map is named by
// its product's PartsNumber), with its price, unit and size; nothing when
// the catalogue has none of that number.
std::optional<Product> CatalogueProduct(Db* catalogue, const fs::path& file) {
    if (!catalogue) return std::nullopt;
    const Result<std::optional<ProductRow>> row = FindProductByNumber(*catalogue, file.stem().string());
    if (!row || !*row) return std::nullopt;
    const ProductRow& r = **row;
    return Product::Parse(ProductDescriptor::Product(r.PartsName, r.PartsNumber, "", r.PartsSpecs)
                              .WithPricing(r.PartsPrice, r.PartsPerBox, r.PartsUnit, r.PatternRepeat)
                              .ToString());
}

Status WriteGrid(const std::vector<ComparisonCell>& cells, QSize cell, const fs::path& output) {
    const ComparisonGrid grid = ComposeComparison(cells, cell);
    if (Status written = WriteRendering(grid.picture, output); !written) return written;
    JsonWriter json;
    json.beginObject().field("grid", output.string()).key("cells").beginArray();
    for (size_t i = 0; i < cells.size(); ++i) {
        const QRect& at = grid.rooms[i];
        json.beginObject()
            .field("caption", grid.captions[i])
            .field("x", int64_t{at.x()})
            .field("y", int64_t{at.y()})
            .field("width", int64_t{at.width()})
            .field("height", int64_t{at.height()})
            .endObject();
    }
    json.endArray().endObject();
    std::printf("%s\n", json.str().c_str());
    return Status::Ok();
}

}  // namespace

int RunCompare(const Args& args, const fs::path& workspace) {
    Result<CompareOptions> parsed = ParseCompareOptions(args);
    if (!parsed) return UsageFailure("compare", parsed.error(), kUsage);
    const CompareOptions& options = *parsed;
    // The captions' letters come from the font database of an application
    // object; the command line draws them offscreen.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "vexel2d-cli";
    static char* argv[] = {name, nullptr};
    // Starting offscreen, Qt warns of a missing runtime folder it never uses: kept off the terminal.
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const QGuiApplication application(argc, argv);
    qInstallMessageHandler(previous);

    Result<SchemeFile> scheme = SceneDocument::ReadScheme(options.laying.scheme);
    if (!scheme) return Fail("compare", options.laying.scheme + ": " + scheme.error());
    const Scene& scene = scheme->scene;
    Result<std::vector<int>> regions = ResolveRegions(scene, options.laying.regions);
    if (!regions) return Fail("compare", regions.error());

    ComparisonRequest request;
    request.regions = *regions;
    request.cell = options.cell.value_or(DefaultCell(scene.background.size()));
    request.eachAtItsOwnSize = !options.sizeGiven;
    request.effect = options.laying.effect;
    request.light = options.laying.light;
    request.lighten = options.laying.lighten;
    request.reflect = options.laying.reflect;
    request.quote = ReadQuoteSettings(workspace);
    const std::unique_ptr<Db> catalogue = OpenCatalogue(workspace);
    for (const std::string& file : options.products) {
        Result<ProductPanelState> panel = LoadProductPanel(file, options.laying);
        if (!panel) return Fail("compare", panel.error());
        request.panel = *panel;  // the controls are the options', the same for every product
        request.products.push_back(
            CurrentProduct{panel->picture, CatalogueProduct(catalogue.get(), file).value_or(panel->product)});
    }

    ImageLibrary library;
    if (Status loaded = LoadImageLibrary(library); !loaded) return Fail("compare", loaded.error());
    Result<std::vector<ComparisonCell>> cells = LayComparisonCells(scene, library, request);
    if (!cells) return Fail("compare", cells.error());
    for (const ComparisonCell& cell : *cells)
        for (const Error& note : cell.notes)
            std::fprintf(stderr, "vexel2d-cli compare: %s: %s\n", cell.product.name().c_str(), note.message.c_str());
    if (Status written = WriteGrid(*cells, request.cell, options.laying.output); !written)
        return Fail("compare", written.error());
    return 0;
}

}  // namespace v2d::cli
