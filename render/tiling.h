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

// The region's picture with the canvas laid into the rectangle spanned by
// start and end in the region's unwarped plane, as the panel lays it
// (BuildRectangleFill); null when nothing would be laid.
QImage TileIntoRectangle(V2d_Point start, V2d_Point end, const V2dPolygon& region, const QImage& canvas,
                         const ProductPanelState& panel, const ImageOperations& ops);

enum class TileStatus { Tiled, Refused, NoCanvas, WarpFailed };

// A region's laying as values, computed from the scene without changing it
// (regions may be laid side by side); the document stores them.
struct RegionLaying {
    TileStatus status = TileStatus::NoCanvas;
    std::optional<Error> message;
    bool toneEnabled = false;  // a canvas was made: the region is toned from now on
    QImage picture;            // the region's new picture when laid
    PartsInfo partsInfo;       // a region's descriptor with its laying items; a model part keeps its own
    // A model part's owner and the owner's picture with the laid picture
    // drawn in its part; a null picture leaves the owner's as it is.
    RecordId owner;
    QImage ownerPicture;
};

// The per-region pipeline: the product laid on its canvas, warped onto the
// region's quad or mesh and composed over the photo; for a model part the
// flat canvas is its picture and `drawer` redraws its owner's picture.
// `cancel` is asked between the laying's steps (canvas, warp, composition):
// once set, an empty laying comes back, for the caller to drop.
RegionLaying LayRegion(const Scene& scene, const ImageOperations& ops, const ModelDrawer& drawer,
                       const V2dPolygon& region, const ProductPanelState& panel, const EffectSettings& effect,
                       const Progress& progress, const CancelToken& cancel = {});

}  // namespace v2d
