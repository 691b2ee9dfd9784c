#pragma once
// Options shared by "render" and "batch": the product to lay and where.
#include <QImage>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "layout/light_mode.h"
#include "render/tiling_settings.h"
#include "scene/scene.h"

namespace v2d::cli {

struct RenderOptions {
    std::string scheme;
    std::string output;       // -o
    std::string product;      // --product FILE
    std::string productsDir;  // --products DIR (batch)
    std::string regions;      // --regions a,b,2
    std::string save;         // --save OUT.v2d
    int widthMm = 600, heightMm = 600;
    bool mirror = false, rotate = false, fit = false;
    std::optional<int> lighten, reflect;
    std::optional<uint32_t> colour;  // 0x00BBGGRR
    // --relief raised|sunken, --relief-strength 100..300, --offset DX,DY
    // (per cent of a tile): as the effect window sets them while it is open.
    EffectSettings effect;
    // --pattern WORD, --joint MM, --joint-colour 0xBBGGRR, --random-turn SEED,
    // --origin corner|centre: how the tiles are laid.
    PatternSettings pattern;
    // --light photo|room: the light the regions are toned with, set before laying.
    std::optional<LightMode> light;
};

// "WxH" (or "W*H") of two numbers above 0.
bool ParseSize(const std::string& text, int& w, int& h);

// The rendering as render writes it: a JPEG of quality 95, written whole or
// not at all.
inline constexpr int kRenderingQuality = 95;
Status WriteRendering(const QImage& picture, const std::filesystem::path& path);

// "0xBBGGRR" (or decimal) as a colour; "X,Y" as a point.
bool ParseColour(const std::string& text, uint32_t& colour);
std::optional<V2d_Point> ParsePoint(const std::string& text);

// Parses the arguments after the subcommand; the error is the usage text's
// complaint.
Result<RenderOptions> ParseRenderOptions(const Args& args);

// Region names (or list texts) and 0-based positions, comma-separated.
Result<std::vector<int>> ResolveRegions(const Scene& scene, const std::string& list);

// The product panel for a product file: a ".h2d" map or any picture.
Result<ProductPanelState> LoadProductPanel(const std::string& file, const RenderOptions& options);

}  // namespace v2d::cli
