#pragma once
// Where shadows are drawn into the scene: shadow regions (kind 2) darken the
// scene built so far inside their moved outline, and models with
// castShadow set darken it under themselves before they are drawn. Masks are
// kept while the geometry that made them is unchanged, so a redraw from
// caches does not blur again.
#include <QImage>
#include <QPoint>

#include <cstdint>
#include <map>
#include <vector>

#include "render/model_drawer.h"

namespace v2d {

// Renders a shadow region as RenderRegion does: nothing without a picture;
// otherwise the patch under the moved outline box is multiplied by a fresh
// mask at 1 + lighten / 100, drawn through the moved outline; patch and mask
// are kept in the renderer's caches.
class ShadowRegionRenderer final : public ShadowRegionDrawer {
public:
    void RenderShadowRegion(const V2dPolygon& region, QImage& displayed, const DrawContext& context) override;
};

// The drop shadows of placed models, with their last masks.
class ModelShadows {
public:
    // A picture model (outline as drawn, moved by the origin) or a cut-out
    // model darkens `displayed`; nothing when castShadow is 0.
    // A non-empty clip keeps every pixel outside it untouched.
    void CastPictureModelShadow(const V2dPolygon& model, const std::vector<V2d_Point>& drawnOutline,
                                QImage& displayed, const ImageOperations& ops, const QRect& clip = {});
    void CastCutoutShadow(const V2dPolygon& model, QImage& displayed, const ImageOperations& ops,
                          const QRect& clip = {});

private:
    struct Entry {
        std::vector<int64_t> key;
        QImage mask;
        QPoint at;
    };
    const Entry& Lookup(const V2dPolygon& model, std::vector<int64_t> key, const auto& build);
    std::map<RecordId, Entry> masks_;
};

// A part's shadow inside its owner's picture, at the part's box top-left
// less the owner's, plus the part's offset.
void CastPartShadow(const V2dPolygon& part, const V2dPolygon& owner, QImage& ownerPicture, const ImageOperations& ops);

}  // namespace v2d
