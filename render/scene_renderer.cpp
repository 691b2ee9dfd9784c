#include "render/scene_renderer.h"

#include <algorithm>

#include "render/outline.h"
#include "render/picture_ops.h"
#include "render/region_drawing.h"
#include "render/tone.h"

namespace v2d {
namespace {

void Report(const RenderProgress& progress, int done, int count) {
    if (progress && count > 0) progress(static_cast<int>(100LL * done / count));
}

}  // namespace

SceneRenderer::SceneRenderer(Scene& scene, ImageOperations& ops) : scene_(scene), ops_(ops) {}

void SceneRenderer::SetModelDrawer(ModelDrawer* drawer) { models_ = drawer ? drawer : &quickModels_; }
void SceneRenderer::SetShadowRegionDrawer(ShadowRegionDrawer* drawer) {
    shadows_ = drawer ? drawer : &quickShadows_;
}

DrawContext SceneRenderer::Context() const { return DrawContext{scene_, ops_, noProgress_}; }

void SceneRenderer::StartFromBackground() {
    displayed_ = ToRgb32(scene_.background).copy();
    counters_ = {};
}

void SceneRenderer::RedrawScene(V2dPolygon* changed, const RenderProgress& progress) {
    V2dPolygon* const one[] = {changed};
    RedrawScene(std::span<V2dPolygon* const>(one, changed ? 1 : 0), progress);
}

void SceneRenderer::RedrawScene(std::span<V2dPolygon* const> changed, const RenderProgress& progress) {
    StartFromBackground();
    // Shadow regions copy the scene beneath them, so they follow any
    // non-shadow change below them.
    int lowestChange = scene_.count();
    for (V2dPolygon* record : changed) {
        const int i = scene_.IndexOfPolygon(record);
        if (i >= 0 && record->kind != kShadowRegion) lowestChange = std::min(lowestChange, i);
    }
    const int count = scene_.count();
    for (int j = 0; j < count; ++j) {
        V2dPolygon& record = *scene_.at(j);
        const bool isChanged = std::find(changed.begin(), changed.end(), &record) != changed.end();
        if (isChanged || (record.kind == kShadowRegion && j > lowestChange))
            RenderRegion(record);
        else
            QuickDrawRegion(record);
        Report(progress, j + 1, count);
    }
}

void SceneRenderer::RenderAll(const RenderProgress& progress) {
    StartFromBackground();
    const int count = scene_.count();
    for (int j = 0; j < count; ++j) {
        RenderRegion(*scene_.at(j));
        Report(progress, j + 1, count);
    }
}

void SceneRenderer::QuickRedraw(const RenderProgress& progress) {
    StartFromBackground();
    const int count = scene_.count();
    for (int j = 0; j < count; ++j) {
        QuickDrawRegion(*scene_.at(j));
        Report(progress, j + 1, count);
    }
}

void SceneRenderer::RenderRegion(V2dPolygon& record) {
    ++counters_.rendered;
    if (record.group) return;  // its owner draws it
    if (record.kind == kPictureModel || record.kind == kPictureModel3 || record.kind == kCutOutModel) {
        models_->RenderModel(record, displayed_, Context());
        return;
    }
    if (record.kind == kShadowRegion) {
        shadows_->RenderShadowRegion(record, displayed_, Context());
        return;
    }
    const QImage& picture = record.picture;
    const PixelBox box = OutlineBox(record);
    if (box.empty()) return;
    const double factor = 1.0 + 0.01 * record.lighten;
    QImage toned;
    if (record.blurRadius <= 0) {
        if (picture.isNull()) return;
        toned = record.toneEnabled ? ApplyLightMap(picture, scene_.background, box.minX, box.minY, factor)
                                   : ToRgb32(picture).copy();
    } else {
        const QImage light = BuildSmoothedLightMap(record, scene_.background, record.blurRadius, ops_);
        if (picture.isNull())
            toned = light;
        else if (!record.toneEnabled)
            toned = ToRgb32(picture).copy();
        else
            toned = ApplyLightMap(picture, light, 0, 0, factor);
    }
    if (toned.isNull()) return;
    if (record.reflect >= 1) {
        const float strength = static_cast<float>(0.01 * record.reflect);
        toned = ReflectsAsWall(record.corners) ? ReflectWall(toned, displayed_, box.minX, box.minY, strength)
                                               : ReflectFloor(toned, displayed_, box.minX, box.minY, strength);
    }
    DrawRegionPicture(record, toned, displayed_);
    record.renderCache = std::move(toned);
}

void SceneRenderer::QuickDrawRegion(const V2dPolygon& record) {
    ++counters_.quickDrawn;
    if (record.group) return;
    if (record.kind == kPictureModel || record.kind == kPictureModel3 || record.kind == kCutOutModel) {
        models_->QuickDrawModel(record, displayed_, Context());
        return;
    }
    if (!record.renderCache.isNull()) DrawRegionPicture(record, record.renderCache, displayed_);
}

void SceneRenderer::DrawFlat(const V2dPolygon& record, const QImage& picture) {
    DrawRegionPicture(record, picture, displayed_);
}

}  // namespace v2d
