#include "render/cast_shadow.h"

#include "render/region_drawing.h"
#include "render/shadow_mask.h"
#include "scene/outline_geometry.h"

namespace v2d {
namespace {

// Enough for every model of a large scene; beyond it the masks start afresh.
constexpr size_t kMaskCacheLimit = 256;
// A cut-out's mask larger than this is made and cast in bands, never kept.
constexpr int64_t kLargestKeptCutoutMask = 8'000'000;

}  // namespace

void ShadowRegionRenderer::RenderShadowRegion(const V2dPolygon& region, QImage& displayed, const DrawContext& context) {
    if (region.picture.isNull()) return;  // the picture only marks the region as present
    const PixelBox box = OutlineBox(region);
    if (box.empty()) return;
    const QImage mask = BuildShadowMask(region, kShadowRegionMaskSize, kShadowRegionGrey, context.ops);
    if (mask.isNull()) return;
    context.KeepShadowMask(region, mask);
    if (!WithinCoordinateLimit(region.originX) || !WithinCoordinateLimit(region.originY) ||
        !WithinCoordinateLimit(box.minX) || !WithinCoordinateLimit(box.minY))
        return;
    const QRect place(box.minX + region.originX, box.minY + region.originY, mask.width(), mask.height());
    QImage shaded = displayed.copy(place);  // outside the scene: black, never shown
    MultiplyByMask(shaded, QPoint(0, 0), mask, 1 + 0.01 * region.lighten);
    DrawRegionPicture(region, shaded, displayed);
    context.KeepCache(region, std::move(shaded));
}

const ModelShadows::Entry& ModelShadows::Lookup(const V2dPolygon& model, std::vector<int64_t> key,
                                                const auto& build) {
    auto found = masks_.find(model.id);
    if (found != masks_.end() && found->second.key == key) return found->second;
    if (masks_.size() >= kMaskCacheLimit) masks_.clear();
    Entry& entry = masks_[model.id];
    entry.key = std::move(key);
    entry.mask = build(entry.at);
    return entry;
}

void ModelShadows::CastPictureModelShadow(const V2dPolygon& model, const std::vector<V2d_Point>& drawnOutline,
                                          QImage& displayed, const ImageOperations& ops, const QRect& clip) {
    if (!model.castShadow || drawnOutline.empty()) return;
    std::vector<int64_t> key{int64_t(model.kind), model.shadowRadius, model.shadowColor, model.shadowX, model.shadowY};
    for (const V2d_Point& p : drawnOutline) key.insert(key.end(), {p.x, p.y});
    key.insert(key.end(), model.indexList.begin(), model.indexList.end());
    const Entry& entry = Lookup(model, std::move(key), [&](QPoint& at) {
        return PictureModelShadowMask(model, drawnOutline, ops, at);
    });
    MultiplyByMask(displayed, entry.at, entry.mask, 1.0, clip);
}

void ModelShadows::CastCutoutShadow(const V2dPolygon& model, QImage& displayed, const ImageOperations& ops,
                                    const QRect& clip) {
    if (!model.castShadow) return;
    if (CutoutShadowPixels(model) > kLargestKeptCutoutMask) {
        masks_.erase(model.id);
        return CastCutoutShadowInBands(model, displayed, ops, clip);
    }
    std::vector<int64_t> key{int64_t(model.kind), model.shadowRadius, model.scaleX, model.scaleY,
                             model.picture.cacheKey()};
    const Entry& entry = Lookup(model, std::move(key), [&](QPoint&) { return CutoutShadowMask(model, ops); });
    MultiplyByMask(displayed, CutoutShadowOrigin(model), entry.mask, 1.0, clip);
}

void CastPartShadow(const V2dPolygon& part, const V2dPolygon& owner, QImage& ownerPicture, const ImageOperations& ops) {
    if (!part.castShadow) return;
    const PixelBox partBox = OutlineBox(part), ownerBox = OutlineBox(owner);
    if (partBox.empty() || ownerBox.empty()) return;
    const int64_t x = int64_t(partBox.minX) - ownerBox.minX + part.shadowX;
    const int64_t y = int64_t(partBox.minY) - ownerBox.minY + part.shadowY;
    if (!WithinCoordinateLimit(x) || !WithinCoordinateLimit(y)) return;
    CastShadow(part, PictureModelShadowSize(part.shadowRadius), part.shadowColor, ownerPicture, int(x), int(y), ops);
}

}  // namespace v2d
