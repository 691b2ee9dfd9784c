#pragma once
// Laying a product into a region: the product is repeated at its real size
// on a flat canvas, warped onto the region's quad (or mesh), laid over the
// photo and cut to the outline's box.
#include <QImage>

#include <optional>
#include <string>

#include "imagelib/image_operations.h"
#include "render/laying_canvas.h"
#include "render/tiling_settings.h"
#include "render/scene_renderer.h"
#include "base/cancel_token.h"
#include "base/result.h"
#include "layout/pattern_layout.h"
#include "layout/region_quote.h"
#include "scene/scene.h"

namespace v2d {

inline constexpr const char* kMsgNoProduct = "请先选产品。";
inline constexpr const char* kMsgModelProduct = "当前为模型产品，不能铺贴。";
inline constexpr const char* kMsgSelectRegion = "请先选中一个区域。";
inline constexpr const char* kMsgShadowNotTiled = "阴影区域不能铺贴。";
inline constexpr const char* kHintTilingDone = "铺贴完成，如果满意，可以点击保存效果图";
inline constexpr const char* kCaptionPrompt = "操作提示：";
inline constexpr const char* kProgressCaption = "处理进度";

// The product mirrored and turned as the panel says; width and height in
// millimetres are swapped by the turn and replaced by the region's real
// size with fit.
QImage PrepareProduct(const ProductPanelState& panel, const V2dPolygon& region, int& widthMm, int& heightMm);
// The tile's size in millimetres as PrepareProduct gives it.
LaidSize PanelTileSize(const ProductPanelState& panel, const V2dPolygon& region);
// The region's area and the tiles the panel's product and pattern would lay
// in it (the label under the product).
Result<RegionMeasure> MeasurePanelLaying(const Scene& scene, const V2dPolygon& region, const ProductPanelState& panel);

QImage WarpToQuad(const QImage& canvas, const Quad& quad, const ImageOperations& ops, const Progress& progress);
QImage WarpToMesh(const V2dPolygonMesh& mesh, const QImage& canvas, const ImageOperations& ops,
                  const Progress& progress);
// The photo's outline box with the warped canvas copied in at its anchor.
QImage ComposeRegionPicture(const V2dPolygon& region, const V2dPolygonMesh* mesh, const QImage& warped,
                            const QImage& photo);

// Lays the canvas into the rectangle spanned by start and end in the
// region's unwarped plane, onto the region's existing picture, as the
// panel lays it (BuildRectangleFill). False when nothing was laid.
bool TileIntoRectangle(V2d_Point start, V2d_Point end, V2dPolygon& region, const QImage& canvas,
                       const ProductPanelState& panel, const ImageOperations& ops);

enum class TileStatus { Tiled, Refused, NoCanvas, WarpFailed };
struct TileOutcome {
    TileStatus status = TileStatus::NoCanvas;
    std::optional<Error> message;
    V2dPolygon* redraw = nullptr;  // the record the scene is to be redrawn for
};

// The per-region pipeline. With `redrawNow` the scene is redrawn for the
// region (or its owner) at once; otherwise the caller redraws `redraw`.
TileOutcome TileRegion(SceneRenderer& renderer, V2dPolygon& region, const ProductPanelState& panel,
                       const EffectSettings& effect, const Progress& progress, bool redrawNow = true);

// TileRegion in two steps: the laying computed from the region without
// changing it or the scene (regions may be computed side by side), then
// stored into the region on the scene's thread. `cancel` is asked between
// the laying's steps (canvas, warp, composition): once set, an empty laying
// comes back, for the caller to drop.
struct RegionLaying {
    TileOutcome outcome;  // without `redraw`, which the storing step sets
    bool toneEnabled = false;  // a canvas was made: the region is toned from now on
    QImage picture;
    std::string partsInfo;
};
RegionLaying LayRegion(const Scene& scene, const ImageOperations& ops, const V2dPolygon& region,
                       const ProductPanelState& panel, const EffectSettings& effect, const Progress& progress,
                       const CancelToken& cancel = {});
TileOutcome ApplyRegionLaying(SceneRenderer& renderer, V2dPolygon& region, RegionLaying laid,
                              const Progress& progress, bool redrawNow);

}  // namespace v2d
