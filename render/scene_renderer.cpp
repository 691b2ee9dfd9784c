#include "render/scene_renderer.h"

#include <algorithm>
#include <cstring>

#include "scene/outline_geometry.h"
#include "base/picture_codec.h"
#include "render/picture_ops.h"
#include "render/region_drawing.h"
#include "render/tone.h"

namespace v2d {

namespace {

void Report(const Progress& progress, int done, int count) {
    if (progress && count > 0) progress(static_cast<int>(100LL * done / count));
}

}  // namespace

SceneRenderer::SceneRenderer(Scene& scene, const ImageOperations& ops) : scene_(scene), ops_(ops) {}

void SceneRenderer::SetModelDrawer(ModelDrawer* drawer) { models_ = drawer ? drawer : &quickModels_; }
void SceneRenderer::SetShadowRegionDrawer(ShadowRegionDrawer* drawer) {
    shadows_ = drawer ? drawer : &shadowRegions_;
}

DrawContext SceneRenderer::Context() const { return DrawContext{scene_, ops_, noProgress_, clip_}; }

QRect SceneRenderer::BoundsOf(const V2dPolygon& record) const {
    return record.isModel() ? models_->DrawnArea(record, Context()) : DrawnBounds(record);
}

void SceneRenderer::StartFromBackground() {
    displayed_ = ToRgb32(scene_.background).copy();
    counters_ = {};
}

void SceneRenderer::RedrawScene(V2dPolygon* changed, const Progress& progress) {
    V2dPolygon* const one[] = {changed};
    RedrawScene(std::span<V2dPolygon* const>(one, changed ? 1 : 0), progress);
}

void SceneRenderer::RememberDrawnScene() {
    drawnList_.clear();
    drawnBounds_.clear();
    for (const PolygonPtr& record : scene_.PolyList) {
        drawnList_.push_back(record.get());
        drawnBounds_.push_back(BoundsOf(*record));
    }
    drawnBackground_ = scene_.background.cacheKey();
}

bool SceneRenderer::DisplayedMatchesScene() const {
    if (displayed_.isNull() || drawnList_.size() != scene_.PolyList.size() ||
        drawnBackground_ != scene_.background.cacheKey() || displayed_.size() != scene_.background.size())
        return false;
    for (size_t i = 0; i < drawnList_.size(); ++i)
        if (drawnList_[i] != scene_.PolyList[i].get()) return false;
    return true;
}

bool SceneRenderer::RedrawArea(std::span<V2dPolygon* const> changed, int lowestChange, const Progress& progress) {
    // A model whose drawer cannot tell where it draws, and a reflection that
    // mirrors the whole scene beneath: both need the whole redraw.
    const int count = scene_.count();
    std::vector<bool> render(static_cast<size_t>(count), false);
    std::vector<QRect> bounds(static_cast<size_t>(count));
    QRect area;
    for (int j = 0; j < count; ++j) {
        const V2dPolygon& record = *scene_.at(j);
        bounds[size_t(j)] = BoundsOf(record);
        if (record.isModel() && !record.group && bounds[size_t(j)].isEmpty()) return false;
        const bool isChanged = std::find(changed.begin(), changed.end(), &record) != changed.end();
        if (!isChanged && !(record.kind == RecordKind::ShadowRegion && j > lowestChange)) continue;
        if (record.group) return false;  // a part changes its owner's picture
        if (record.reflect >= 1) return false;
        render[static_cast<size_t>(j)] = true;
        area |= bounds[size_t(j)] | drawnBounds_[static_cast<size_t>(j)];
    }
    area = area.adjusted(-1, -1, 1, 1) & displayed_.rect();
    counters_ = {};
    if (!area.isEmpty()) {
        const QImage background = ToRgb32(scene_.background);
        for (int y = area.top(); y <= area.bottom(); ++y)
            std::memcpy(displayed_.scanLine(y) + 4 * area.left(), background.constScanLine(y) + 4 * area.left(),
                        static_cast<size_t>(area.width()) * 4);
    }
    clip_ = area;
    for (int j = 0; j < count; ++j) {
        V2dPolygon& record = *scene_.at(j);
        if (!bounds[size_t(j)].intersects(area))
            ++counters_.untouched;
        else if (render[static_cast<size_t>(j)])
            RenderRegion(record);
        else
            QuickDrawRegion(record);
        Report(progress, j + 1, count);
    }
    clip_ = QRect();
    RememberDrawnScene();
    return true;
}

void SceneRenderer::RedrawScene(std::span<V2dPolygon* const> changed, const Progress& progress) {
    // Shadow regions copy the scene beneath them, so they follow any
    // non-shadow change below them.
    int lowestChange = scene_.count();
    for (V2dPolygon* record : changed) {
        const int i = scene_.IndexOfPolygon(record);
        if (i >= 0 && record->kind != RecordKind::ShadowRegion) lowestChange = std::min(lowestChange, i);
    }
    if (DisplayedMatchesScene() && RedrawArea(changed, lowestChange, progress)) return;
    StartFromBackground();
    const int count = scene_.count();
    for (int j = 0; j < count; ++j) {
        V2dPolygon& record = *scene_.at(j);
        const bool isChanged = std::find(changed.begin(), changed.end(), &record) != changed.end();
        if (isChanged || (record.kind == RecordKind::ShadowRegion && j > lowestChange))
            RenderRegion(record);
        else
            QuickDrawRegion(record);
        Report(progress, j + 1, count);
    }
    RememberDrawnScene();
}

void SceneRenderer::RenderAll(const Progress& progress) {
    StartFromBackground();
    const int count = scene_.count();
    for (int j = 0; j < count; ++j) {
        RenderRegion(*scene_.at(j));
        Report(progress, j + 1, count);
    }
    RememberDrawnScene();
}

void SceneRenderer::QuickRedraw(const Progress& progress) {
    StartFromBackground();
    const int count = scene_.count();
    for (int j = 0; j < count; ++j) {
        QuickDrawRegion(*scene_.at(j));
        Report(progress, j + 1, count);
    }
    RememberDrawnScene();
}

void SceneRenderer::RenderRegion(V2dPolygon& record) {
    ++counters_.rendered;
    if (record.group) return;  // its owner draws it
    if (record.isModel()) {
        models_->RenderModel(record, displayed_, Context());
        return;
    }
    if (record.kind == RecordKind::ShadowRegion) {
        shadows_->RenderShadowRegion(record, displayed_, Context());
        return;
    }
    const QImage& picture = record.picture;
    const PixelBox box = OutlineBox(record);
    if (box.empty() || !WithinDrawingRange(record)) return;
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
        const float strength = static_cast<float>(0.01 * std::min(record.reflect, 100));
        toned = ReflectsAsWall(record.corners) ? ReflectWall(toned, displayed_, box.minX, box.minY, strength)
                                               : ReflectFloor(toned, displayed_, box.minX, box.minY, strength);
    }
    DrawRegionPicture(record, toned, displayed_, clip_);
    record.renderCache = std::move(toned);
}

void SceneRenderer::QuickDrawRegion(const V2dPolygon& record) {
    ++counters_.quickDrawn;
    if (record.group) return;
    if (record.isModel()) {
        models_->QuickDrawModel(record, displayed_, Context());
        return;
    }
    if (!record.renderCache.isNull()) DrawRegionPicture(record, record.renderCache, displayed_, clip_);
}

void SceneRenderer::DrawFlat(const V2dPolygon& record, const QImage& picture) {
    DrawRegionPicture(record, picture, displayed_);
    drawnList_.clear();  // drawn outside a redraw: the next one starts afresh
}

}  // namespace v2d
