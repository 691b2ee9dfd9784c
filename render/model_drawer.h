#pragma once
// Entry points for the drawing of models (kinds 1, 3, 4) and shadow regions
// (kind 2). The renderer calls them in scene order; QuickModelDrawer, its
// default for models, draws what the records have.
#include <QImage>
#include <QRect>

#include "imagelib/image_operations.h"
#include "render/render_caches.h"
#include "scene/scene.h"

namespace v2d {

// What a drawer needs of the scene while the displayed picture is built.
struct DrawContext {
    const Scene& scene;
    const ImageOperations& ops;
    const Progress& progress;
    // While only an area of the scene is rebuilt, nothing outside it is touched.
    QRect clip = {};
    // The renderer's pictures per record; none outside a redraw.
    RenderCaches* caches = nullptr;

    const QImage& CacheOf(const V2dPolygon& record) const {
        static const QImage none;
        return caches ? caches->of(record) : none;
    }
    void KeepCache(const V2dPolygon& record, QImage picture) const {
        if (caches) caches->set(record, std::move(picture));
    }
    void KeepShadowMask(const V2dPolygon& region, QImage mask) const {
        if (caches) caches->setShadowMask(region, std::move(mask));
    }
};

// A model part's new picture, drawn in its place instead of the one it has.
struct LaidPart {
    const V2dPolygon* part = nullptr;
    QImage picture;
};

class ModelDrawer {
public:
    virtual ~ModelDrawer() = default;
    // Full drawing with tone and warp (DrawPictureModel, DrawCutoutModel);
    // keeps the drawn picture in the context's caches.
    virtual void RenderModel(const V2dPolygon& model, QImage& displayed, const DrawContext& context) = 0;
    // Drawing from the cached picture without recomputing anything.
    virtual void QuickDrawModel(const V2dPolygon& model, QImage& displayed, const DrawContext& context) = 0;
    // The model's picture with its parts' pictures drawn into it, for the
    // document to store; null leaves the model's picture as it is. With
    // `laid`, that part is drawn as if it had the laid picture. Reads only
    // the scene, so layings computed side by side may ask it.
    virtual QImage PartsPicture(const V2dPolygon& owner, const DrawContext& context,
                                const LaidPart& laid = {}) const = 0;
    // The pixels the model (with its shadow) may touch; empty when unknown,
    // which makes every change redraw the whole scene.
    virtual QRect DrawnArea(const V2dPolygon& model, const DrawContext& context) { return {}; }
};

class ShadowRegionDrawer {
public:
    virtual ~ShadowRegionDrawer() = default;
    // Darkens the scene built so far inside the moved outline; keeps the
    // patch and its mask in the context's caches.
    virtual void RenderShadowRegion(const V2dPolygon& region, QImage& displayed, const DrawContext& context) = 0;
};

// Draws a model's cached picture (its picture when there is none yet) through
// its outline at its origin; parts draw nothing, and the owner's picture is
// left as it is.
class QuickModelDrawer final : public ModelDrawer {
public:
    void RenderModel(const V2dPolygon& model, QImage& displayed, const DrawContext& context) override;
    void QuickDrawModel(const V2dPolygon& model, QImage& displayed, const DrawContext& context) override;
    QImage PartsPicture(const V2dPolygon&, const DrawContext&, const LaidPart& = {}) const override { return {}; }
};

}  // namespace v2d
