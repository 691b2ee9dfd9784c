// vexel2d-cli render and batch: a scheme rendered as the window shows it,
// optionally with a product laid into some of its regions first.

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "base/process_setup.h"
#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/render_options.h"
#include "cli/scheme_session.h"
#include "document/scene_document.h"
#include "imagelib/image_library.h"
#include "layout/pattern_table.h"

namespace v2d::cli {
namespace fs = std::filesystem;

namespace {

// What a render that draws once and writes out may take beside the photo and
// the displayed scene: the rows of a region toned band by band.
constexpr int64_t kDrawOnceWorkingBytes = int64_t(8) << 20;

// The selection exactly as listed: the first region is the focused one.
RegionSelection Listed(const std::vector<int>& regions) { return RegionSelection{regions.front(), regions}; }

// Brightness and reflection of each listed region, as the sliders would set them.
Status AdjustTone(SceneDocument& doc, const std::vector<int>& regions, const RenderOptions& options) {
    for (int region : regions) {
        doc.SetSelection(Listed({region}));
        if (options.lighten)
            if (Outcome set = doc.SetLighten(*options.lighten); set.refused()) return set.status();
        if (options.reflect)
            if (Outcome set = doc.SetReflect(*options.reflect); set.refused()) return set.status();
    }
    return Status::Ok();
}

// The light the listed regions take, before anything is laid or painted.
Status SetLight(SceneDocument& doc, const std::vector<int>& regions, const RenderOptions& options) {
    if (!options.light) return Status::Ok();
    doc.SetSelection(Listed(regions));
    if (Outcome set = doc.SetLightMode(*options.light); set.refused()) return set.status();
    return Status::Ok();
}

// Lays one product into the regions and applies the tone options. A render
// that is written out once needs the displayed scene only at the end: it is
// let go while the product is laid.
Status LayProduct(SceneDocument& doc, const std::vector<int>& regions, const ProductPanelState& panel,
                  const RenderOptions& options, bool drawOnce) {
    if (Status set = SetLight(doc, regions, options); !set) return set;
    doc.SetProduct(CurrentProduct{panel.picture, panel.product});
    doc.SetEffectSettings(options.effect);
    doc.SetSelection(Listed(regions));
    doc.SetPanelControls(panel);
    if (drawOnce) doc.DrawOnce(kDrawOnceWorkingBytes);
    const Outcome tiled = doc.TileSelection();
    if (tiled.refused()) return Error{tiled.error()};
    if (doc.displayed().isNull()) doc.RenderAll();  // nothing was laid: the scene as opened
    for (const Error& m : tiled.notes) std::fprintf(stderr, "vexel2d-cli: %s\n", m.message.c_str());
    return AdjustTone(doc, regions, options);
}

// Without a product the colour paints the regions, shaded by the photo.
Status PaintAndAdjust(SceneDocument& doc, const std::vector<int>& regions, const RenderOptions& options) {
    if (Status set = SetLight(doc, regions, options); !set) return set;
    if (options.colour) {
        doc.SetSelection(Listed(regions));
        doc.SetPanelControls(ProductPanelState{});
        if (Outcome painted = doc.PaintSelection(*options.colour); painted.refused()) return painted.status();
    }
    return AdjustTone(doc, regions, options);
}

// Lays the product or paints the colour, then adjusts the tone, as the options say.
Status ApplyOptions(SceneDocument& doc, const RenderOptions& options) {
    const bool needsRegions =
        !options.product.empty() || options.colour || options.lighten || options.reflect || options.light;
    if (!needsRegions) return Status::Ok();
    if (options.regions.empty()) return Error{"--regions is needed to lay or adjust anything"};
    Result<std::vector<int>> regions = ResolveRegions(doc.scene(), options.regions);
    if (!regions) return Error{regions.error()};
    ProgressBar bar("铺贴", doc);
    if (options.product.empty()) {
        if (options.effect.shown) return Error{"--relief and --offset need --product"};
        return PaintAndAdjust(doc, *regions, options);
    }
    Result<ProductPanelState> panel = LoadProductPanel(options.product, options);
    if (!panel) return Error{panel.error()};
    return LayProduct(doc, *regions, *panel, options, true);
}

// The product pictures of a folder, in name order.
Result<std::vector<fs::path>> ProductPictures(const std::string& folder) {
    std::vector<fs::path> products;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        std::string ext = entry.path().extension().string();
        for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (entry.is_regular_file() && (ext == ".h2d" || ext == ".jpg" || ext == ".jpeg" || ext == ".png" || ext == ".bmp"))
            products.push_back(entry.path());
    }
    if (error) return Error{"cannot read " + folder + ": " + error.message()};
    if (products.empty()) return Error{"no product pictures in " + folder};
    std::sort(products.begin(), products.end());
    return products;
}

// One rendering per product; every product starts from the scheme as opened.
int RenderEachProduct(SceneDocument& doc, const std::vector<fs::path>& products, const std::vector<int>& regions,
                      const RenderOptions& options) {
    int failures = 0;
    for (const fs::path& product : products) {
        ProgressBar bar(product.filename().string(), doc);
        Result<ProductPanelState> panel = LoadProductPanel(product.string(), options);
        Status done = panel ? LayProduct(doc, regions, *panel, options, false) : Status(Error{panel.error()});
        if (done) done = WriteRendering(doc.displayed(), fs::path(options.output) / (product.stem().string() + ".jpg"));
        if (!done) {
            std::fprintf(stderr, "vexel2d-cli batch: %s: %s\n", product.filename().string().c_str(), done.error().c_str());
            ++failures;
        }
        doc.UndoAll();
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace

int RunRender(const Args& args) {
    Result<RenderOptions> parsed = ParseRenderOptions(args);
    if (!parsed) {
        std::fprintf(stderr,
                     "vexel2d-cli render: %s\nusage: vexel2d-cli render SCHEME.v2d -o OUT.jpg [--product FILE "
                     "--regions LIST] [--size WxH] [--mirror] [--rotate] [--fit] [--lighten N] [--reflect N] "
                     "[--colour 0xBBGGRR] [--relief raised|sunken] [--relief-strength N] [--offset DX,DY] "
                     "[--pattern %s] [--joint MM] "
                     "[--joint-colour 0xBBGGRR] [--random-turn SEED] [--origin corner|centre] [--light photo|room] "
                     "[--save OUT.v2d]\n",
                     parsed.error().c_str(), PatternWordList("|", "|").c_str());
        return 2;
    }
    const RenderOptions& options = *parsed;
    ReturnLargeBlocksWhenFreed();  // one rendering, written once
    Session s;
    if (Status opened = OpenSession(s, options.scheme); !opened) return Fail("render", opened.error());
    if (Status applied = ApplyOptions(*s.doc, options); !applied) return Fail("render", applied.error());
    if (Status written = WriteRendering(s.doc->displayed(), options.output); !written)
        return Fail("render", written.error());
    if (!options.save.empty())
        if (Outcome saved = s.doc->SaveScheme(options.save); saved.refused()) return Fail("render", saved.error());
    return 0;
}

int RunBatch(const Args& args) {
    Result<RenderOptions> parsed = ParseRenderOptions(args);
    if (!parsed || parsed->productsDir.empty() || parsed->regions.empty()) {
        std::fprintf(stderr,
                     "vexel2d-cli batch: %s\nusage: vexel2d-cli batch SCHEME.v2d --products DIR --regions LIST -o "
                     "OUTDIR [--size WxH] [--mirror] [--rotate] [--fit] [--lighten N] [--reflect N] "
                     "[--colour 0xBBGGRR] [--light photo|room]\n",
                     parsed ? "--products and --regions are needed" : parsed.error().c_str());
        return 2;
    }
    const RenderOptions& options = *parsed;
    Result<std::vector<fs::path>> products = ProductPictures(options.productsDir);
    if (!products) return Fail("batch", products.error());
    std::error_code error;
    fs::create_directories(options.output, error);
    if (error) return Fail("batch", "cannot create " + options.output + ": " + error.message());

    Session s;
    if (Status opened = OpenSession(s, options.scheme); !opened) return Fail("batch", opened.error());
    Result<std::vector<int>> regions = ResolveRegions(s.doc->scene(), options.regions);
    if (!regions) return Fail("batch", regions.error());
    return RenderEachProduct(*s.doc, *products, *regions, options);
}

}  // namespace v2d::cli
