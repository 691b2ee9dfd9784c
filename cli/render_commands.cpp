// vexel2d-cli render and batch: a scheme rendered as the window shows it,
// optionally with a product laid into some of its regions first.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "cli/commands.h"
#include "cli/render_options.h"
#include "imagelib/image_library.h"
#include "base/process_setup.h"
#include "imagelib/image_library.h"
#include "document/scheme_session.h"
#include "document/tile_command.h"
#include "document/tone_controls.h"
#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "scene/scheme_file.h"

namespace v2d::cli {
namespace fs = std::filesystem;

namespace {

constexpr int kRenderingQuality = 95;

// A progress bar on stderr, drawn only when it is a terminal.
class ProgressBar {
public:
    explicit ProgressBar(std::string label) : label_(std::move(label)), shown_(isatty(STDERR_FILENO) == 1) {}
    ~ProgressBar() {
        if (shown_ && drawn_) std::fputc('\n', stderr);
    }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;
    Progress callback() {
        if (!shown_) return {};
        return [this](int percent) { Draw(percent); };
    }

private:
    void Draw(int percent) {
        percent = std::clamp(percent, 0, 100);
        if (percent == last_) return;
        last_ = percent;
        drawn_ = true;
        const int filled = percent * 30 / 100;
        std::fprintf(stderr, "\r%-24.24s [%.*s%*s] %3d%%", label_.c_str(), filled, "##############################",
                     30 - filled, "", percent);
        std::fflush(stderr);
    }
    std::string label_;
    bool shown_;
    bool drawn_ = false;
    int last_ = -1;
};

int Fail(const char* command, const std::string& message) {
    std::fprintf(stderr, "vexel2d-cli %s: %s\n", command, message.c_str());
    return 1;
}

Status LoadLibrary(ImageLibrary& library) {
    const std::vector<std::string> messages = library.Load(ExecutableFolder().string());
    if (!messages.empty()) return Error{messages.front()};
    return Status::Ok();
}

Status WriteRendering(const QImage& picture, const fs::path& path) {
    if (picture.isNull()) return Error{"the scheme has no background picture"};
    std::optional<Bytes> jpeg = EncodeJpeg(picture, kRenderingQuality);
    if (!jpeg) return Error{"cannot encode the rendering"};
    if (!WriteFileAtomically(path, *jpeg)) return Error{"cannot write " + path.string()};
    return Status::Ok();
}

// Lays one product into the regions and applies the tone options.
Status LayProduct(SceneRenderer& renderer, UndoList& undo, const std::vector<int>& regions,
                  const ProductPanelState& panel, const RenderOptions& options, ProgressBar& bar) {
    RegionSelection selection{regions.front(), regions};
    TileCommandResult tiled = TileSelectedRegions(renderer, selection, panel, EffectSettings{}, undo, bar.callback());
    if (tiled.stopped) return Error{tiled.stopped->message};
    for (const Error& m : tiled.messages) std::fprintf(stderr, "vexel2d-cli: %s\n", m.message.c_str());
    for (int region : regions) {
        if (options.lighten) SetRegionLighten(renderer, region, *options.lighten, bar.callback());
        if (options.reflect) SetRegionReflect(renderer, region, *options.reflect, bar.callback());
    }
    return Status::Ok();
}

struct Session {
    ImageLibrary library;
    Scene scene;
    std::unique_ptr<SceneRenderer> renderer;
    UndoList undo;
};

Status OpenSession(Session& s, const RenderOptions& options) {
    if (Status loaded = LoadLibrary(s.library); !loaded) return loaded;
    s.renderer = std::make_unique<SceneRenderer>(s.scene, s.library);
    ProgressBar bar("打开方案");
    return OpenSchemeInto(options.scheme, *s.renderer, s.undo, bar.callback());
}

}  // namespace

int RunRender(const Args& args) {
    Result<RenderOptions> parsed = ParseRenderOptions(args);
    if (!parsed) {
        std::fprintf(stderr,
                     "vexel2d-cli render: %s\nusage: vexel2d-cli render SCHEME.v2d -o OUT.jpg [--product FILE "
                     "--regions LIST] [--size WxH] [--mirror] [--rotate] [--fit] [--lighten N] [--reflect N] "
                     "[--colour 0xBBGGRR] [--save OUT.v2d]\n",
                     parsed.error().c_str());
        return 2;
    }
    const RenderOptions& options = *parsed;
    Session s;
    if (Status opened = OpenSession(s, options); !opened) return Fail("render", opened.error());
    const bool needsRegions = !options.product.empty() || options.colour || options.lighten || options.reflect;
    if (needsRegions) {
        if (options.regions.empty()) return Fail("render", "--regions is needed to lay or adjust anything");
        Result<std::vector<int>> regions = ResolveRegions(s.scene, options.regions);
        if (!regions) return Fail("render", regions.error());
        ProgressBar bar("铺贴");
        if (!options.product.empty()) {
            Result<ProductPanelState> panel = LoadProductPanel(options.product, options);
            if (!panel) return Fail("render", panel.error());
            if (Status laid = LayProduct(*s.renderer, s.undo, *regions, *panel, options, bar); !laid)
                return Fail("render", laid.error());
        } else {
            // Without a product the colour paints the regions, shaded by the photo.
            if (options.colour) {
                ProductPanelState panel;
                PaintRegionsWithColour(*s.renderer, RegionSelection{regions->front(), *regions}, *options.colour,
                                       panel, s.undo, bar.callback());
            }
            for (int region : *regions) {
                if (options.lighten) SetRegionLighten(*s.renderer, region, *options.lighten, bar.callback());
                if (options.reflect) SetRegionReflect(*s.renderer, region, *options.reflect, bar.callback());
            }
        }
    }
    if (Status written = WriteRendering(s.renderer->displayed(), options.output); !written)
        return Fail("render", written.error());
    if (!options.save.empty())
        if (Status saved = WriteSchemeFile(s.scene, options.save); !saved) return Fail("render", saved.error());
    return 0;
}

int RunBatch(const Args& args) {
    Result<RenderOptions> parsed = ParseRenderOptions(args);
    if (!parsed || parsed->productsDir.empty() || parsed->regions.empty()) {
        std::fprintf(stderr,
                     "vexel2d-cli batch: %s\nusage: vexel2d-cli batch SCHEME.v2d --products DIR --regions LIST -o "
                     "OUTDIR [--size WxH] [--mirror] [--rotate] [--fit] [--lighten N] [--reflect N] "
                     "[--colour 0xBBGGRR]\n",
                     parsed ? "--products and --regions are needed" : parsed.error().c_str());
        return 2;
    }
    const RenderOptions& options = *parsed;
    std::vector<fs::path> products;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(options.productsDir, error)) {
        std::string ext = entry.path().extension().string();
        for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (entry.is_regular_file() && (ext == ".h2d" || ext == ".jpg" || ext == ".jpeg" || ext == ".png" || ext == ".bmp"))
            products.push_back(entry.path());
    }
    if (error) return Fail("batch", "cannot read " + options.productsDir + ": " + error.message());
    if (products.empty()) return Fail("batch", "no product pictures in " + options.productsDir);
    std::sort(products.begin(), products.end());
    fs::create_directories(options.output, error);
    if (error) return Fail("batch", "cannot create " + options.output + ": " + error.message());

    Session s;
    if (Status opened = OpenSession(s, options); !opened) return Fail("batch", opened.error());
    Result<std::vector<int>> regions = ResolveRegions(s.scene, options.regions);
    if (!regions) return Fail("batch", regions.error());
    int failures = 0;
    for (const fs::path& product : products) {
        ProgressBar bar(product.filename().string());
        Result<ProductPanelState> panel = LoadProductPanel(product.string(), options);
        Status done = panel ? LayProduct(*s.renderer, s.undo, *regions, *panel, options, bar) : Status(Error{panel.error()});
        if (done) done = WriteRendering(s.renderer->displayed(), fs::path(options.output) / (product.stem().string() + ".jpg"));
        if (!done) {
            std::fprintf(stderr, "vexel2d-cli batch: %s: %s\n", product.filename().string().c_str(), done.error().c_str());
            ++failures;
        }
        // Back to the scheme as opened for the next product.
        while (!s.undo.empty()) Undo(s.scene, s.undo);
        s.renderer->QuickRedraw();
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace v2d::cli
