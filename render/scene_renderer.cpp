#include "render/scene_renderer.h"

#include <QScopeGuard>

#include <algorithm>

#include "scene/outline_geometry.h"
#include "base/picture_codec.h"
#include "render/picture_ops.h"
#include "render/region_drawing.h"
#include "render/region_tone.h"

namespace v2d {

namespace {

void Report(const Progress& progress, int done, int count) {
    if (progress && count > 0) progress(static_cast<int>(100LL * done / count));
}

}  // namespace

SceneRenderer::SceneRenderer(const Scene& scene, const ImageOperations& ops) : scene_(scene), ops_(ops) {}

void SceneRenderer::SetModelDrawer(ModelDrawer* drawer) { models_ = drawer ? drawer : &quickModels_; }
void SceneRenderer::SetShadowRegionDrawer(ShadowRegionDrawer* drawer) {
    shadows_ = drawer ? drawer : &shadowRegions_;
}

DrawContext SceneRenderer::Context() const { return DrawContext{scene_, ops_, noProgress_, clip_, &caches_}; }

QRect SceneRenderer::BoundsOf(const V2dPolygon& record) const {
    return record.isModel() ? models_->DrawnArea(record, Context()) : DrawnBounds(record);
}

void SceneRenderer::Drawn(const QRect& area) {
    ++drawings_;
    drawnAreas_[drawings_ % kRememberedDrawings] = area;
}

QRect SceneRenderer::ChangedSince(uint64_t since) const {
    if (since > drawings_ || drawings_ - since > kRememberedDrawings) return displayed_.rect();
    QRect changed;
    for (uint64_t n = since + 1; n <= drawings_; ++n) changed |= drawnAreas_[n % kRememberedDrawings];
    return changed & displayed_.rect();
}

void SceneRenderer::StartFromBackground() {
    counters_ = {};
    drawnList_.clear();  // matches nothing until the pass is complete
    const QImage background = ToRgb32(scene_.background);
    if (background.isNull()) {
        displayed_ = QImage();
        return;
    }
    // The displayed scene's own rows are reused when nobody else holds them:
    // a fresh picture of this size costs the kernel's zeroing of every page.
    if (displayed_.size() != background.size() || displayed_.format() != QImage::Format_RGB32 ||
        !displayed_.isDetached())
        displayed_ = QImage(background.size(), QImage::Format_RGB32);
    if (displayed_.isNull()) return;
    CopyPictureInto(displayed_, background, 0, 0, background.rect());
}

void SceneRenderer::RedrawScene(const V2dPolygon* changed, const Progress& progress) {
    const V2dPolygon* const one[] = {changed};
    RedrawScene(std::span<const V2dPolygon* const>(one, changed ? 1 : 0), progress);
}

void SceneRenderer::RedrawScene(const std::vector<V2dPolygon*>& changed, const Progress& progress) {
    const std::vector<const V2dPolygon*> records(changed.begin(), changed.end());
    RedrawScene(std::span<const V2dPolygon* const>(records), progress);
}

void SceneRenderer::RememberDrawnScene() {
    drawnList_.clear();
    drawnBounds_.clear();
    for (const V2dPolygon* record : scene_.records()) {
        drawnList_.push_back(record->id);
        drawnBounds_.push_back(BoundsOf(*record));
    }
    caches_.KeepOnly(drawnList_);
    drawnBackground_ = scene_.background.cacheKey();
}

bool SceneRenderer::DisplayedMatchesScene() const {
    if (displayed_.isNull() || drawnList_.size() != size_t(scene_.count()) ||
        drawnBackground_ != scene_.background.cacheKey() || displayed_.size() != scene_.background.size())
        return false;
    for (size_t i = 0; i < drawnList_.size(); ++i)
        if (drawnList_[i] != scene_.at(int(i))->id) return false;
    return true;
}

bool SceneRenderer::RedrawArea(std::span<const V2dPolygon* const> changed, int lowestChange, const Progress& progress) {
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
        // A reflection toned afresh (its cache did not fit) mirrors the scene beneath it.
        if (record.reflect >= 1 && caches_.of(record).isNull() && !record.group &&
            record.kind != RecordKind::ShadowRegion && !record.isModel() && DrawsTone(record))
            return false;
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
        CopyPictureInto(displayed_, scene_.background, 0, 0, area);
    }
    clip_ = area;
    const auto unclipped = qScopeGuard([this] { clip_ = QRect(); });  // also when a drawing throws
    for (int j = 0; j < count; ++j) {
        const V2dPolygon& record = *scene_.at(j);
        if (!bounds[size_t(j)].intersects(area))
            ++counters_.untouched;
        else if (render[static_cast<size_t>(j)])
            RenderRegion(record);
        else
            QuickDrawRegion(record);
        Report(progress, j + 1, count);
    }
    RememberDrawnScene();
    Drawn(area);
    return true;
}

void SceneRenderer::RedrawScene(std::span<const V2dPolygon* const> changed, const Progress& progress) {
    // Shadow regions copy the scene beneath them, so they follow any
    // non-shadow change below them.
    int lowestChange = scene_.count();
    for (const V2dPolygon* record : changed) {
        const int i = scene_.IndexOfPolygon(record);
        if (i >= 0 && record->kind != RecordKind::ShadowRegion) lowestChange = std::min(lowestChange, i);
    }
    if (DisplayedMatchesScene() && RedrawArea(changed, lowestChange, progress)) return;
    StartFromBackground();
    const int count = scene_.count();
    for (int j = 0; j < count; ++j) {
        const V2dPolygon& record = *scene_.at(j);
        const bool isChanged = std::find(changed.begin(), changed.end(), &record) != changed.end();
        if (isChanged || (record.kind == RecordKind::ShadowRegion && j > lowestChange))
            RenderRegion(record);
        else
            QuickDrawRegion(record);
        Report(progress, j + 1, count);
    }
    RememberDrawnScene();
    Drawn(kWholeScene);
}

void SceneRenderer::RenderAll(const Progress& progress) {
    caches_.clear();
    StartFromBackground();
    const int count = scene_.count();
    for (int j = 0; j < count; ++j) {
        RenderRegion(*scene_.at(j));
        Report(progress, j + 1, count);
    }
    RememberDrawnScene();
    Drawn(kWholeScene);
}

void SceneRenderer::QuickRedraw(const Progress& progress) {
    StartFromBackground();
    const int count = scene_.count();
    for (int j = 0; j < count; ++j) {
        QuickDrawRegion(*scene_.at(j));
        Report(progress, j + 1, count);
    }
    RememberDrawnScene();
    Drawn(kWholeScene);
}

void SceneRenderer::RenderRegion(const V2dPolygon& record) {
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
    if (!DrawsTone(record)) {
        caches_.drop(record);  // nothing to draw: no picture kept from before (an undone laying) either
        return;
    }
    // Over the budget the old cache goes first: it is replaced anyway.
    if (WholeToningBytes(record) > FreeBytes(&record)) caches_.drop(record);
    QImage toned;
    if (!DrawPlainRegion(record, &toned)) return;
    // The toned picture is kept while the caches stay within the budget; a
    // region without one is toned afresh whenever it is drawn.
    if (toned.sizeInBytes() > FreeBytes(&record) && !(record.reflect >= 1 && MakeRoom(toned.sizeInBytes(), record))) {
        caches_.drop(record);  // its light map with it
        return;
    }
    caches_.set(record, std::move(toned));
}

bool SceneRenderer::MakeRoom(int64_t bytes, const V2dPolygon& keeping) {
    // A reflection mirrors the scene as it was beneath the region when it was
    // toned, so its cache is worth more than one toned from the region alone.
    for (const V2dPolygon* other : scene_.records()) {
        if (FreeBytes(&keeping) >= bytes) return true;
        const V2dPolygon& r = *other;
        const bool shared = caches_.of(r).cacheKey() == r.picture.cacheKey();  // drawn flat: nothing to tone afresh
        if (&r != &keeping && !r.group && !r.isModel() && r.kind != RecordKind::ShadowRegion && r.reflect < 1 && !shared)
            caches_.drop(r);
    }
    return FreeBytes(&keeping) >= bytes;
}

bool SceneRenderer::DrawsTone(const V2dPolygon& record) const {
    const PixelBox box = OutlineBox(record);
    return !box.empty() && WithinDrawingRange(record) && (!record.picture.isNull() || record.blurRadius > 0);
}

int64_t SceneRenderer::FreeBytes(const V2dPolygon* except) const {
    const QImage& photo = scene_.background;
    const int64_t whole = displayed_.sizeInBytes() + 4 * int64_t(photo.width()) * photo.height();
    const bool working = working_ && !(except != nullptr && except->reflect >= 1);
    return (working ? *working_ + whole : budget_) - whole - caches_.bytes(except);
}

bool SceneRenderer::DrawPlainRegion(const V2dPolygon& record, QImage* toned) {
    const int64_t free = FreeBytes(&record);
    if (WholeToningBytes(record) > free && CanToneInBands(record)) {
        // Working pictures of a band: the stamped rows, the stretched and
        // blurred ones with their margins, the light, the tone, the reflection.
        constexpr int kWorkingPictures = 8;
        const int64_t rows = free / (kWorkingPictures * BandRowBytes(record));
        return DrawRegionInBands(record, scene_.background, displayed_, ops_, clip_,
                                 static_cast<int>(std::clamp<int64_t>(rows, kFewestBandRows, kMostBandRows)));
    }
    // Only a render that may keep its toned picture keeps the light map too.
    QImage whole = TonedRegionPicture(record, scene_.background, displayed_, ops_, toned ? &caches_ : nullptr);
    if (whole.isNull()) return false;
    DrawRegionPicture(record, whole, displayed_, clip_);
    if (toned) *toned = std::move(whole);
    return true;
}

void SceneRenderer::QuickDrawRegion(const V2dPolygon& record) {
    ++counters_.quickDrawn;
    if (record.group) return;
    if (record.isModel()) {
        models_->QuickDrawModel(record, displayed_, Context());
        return;
    }
    if (const QImage& cached = caches_.of(record); !cached.isNull())
        DrawRegionPicture(record, cached, displayed_, clip_);
    else if (record.kind != RecordKind::ShadowRegion && DrawsTone(record))
        DrawPlainRegion(record, nullptr);  // its cache did not fit the budget
}

}  // namespace v2d
