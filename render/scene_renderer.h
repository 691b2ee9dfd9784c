#pragma once
// Builds the displayed scene: the background photo with every record's
// picture drawn over it in list order. A change re-renders only the changed
// records (and the shadow regions above them); every other record is drawn
// from the picture the renderer keeps for it.
#include <QImage>

#include <QRect>

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "imagelib/image_operations.h"
#include "render/cast_shadow.h"
#include "render/model_drawer.h"
#include "scene/scene.h"

namespace v2d {

// How many records the last redraw rendered with tone and drew from cache.
struct RedrawCounters {
    int rendered = 0;
    int quickDrawn = 0;
    int untouched = 0;  // lay wholly outside the changed area and kept their pixels
};

// Room for a 60-megapixel photo and its displayed scene (240 MB each) and
// the working rows beside them; an ordinary scene keeps every cache.
inline constexpr int64_t kDefaultRenderBudget = int64_t(512) << 20;
inline constexpr int kFewestBandRows = 16, kMostBandRows = 1024;

class SceneRenderer {
public:
    SceneRenderer(const Scene& scene, const ImageOperations& ops);
    SceneRenderer(const SceneRenderer&) = delete;
    SceneRenderer& operator=(const SceneRenderer&) = delete;

    // The picture the scene view shows.
    const QImage& displayed() const { return displayed_; }
    // The scene it draws; it never changes the list, only records' caches.
    const Scene& scene() const { return scene_; }
    const ImageOperations& ops() const { return ops_; }

    // The model drawing (and the shadow-region drawing) in use; null
    // restores the defaults: models from their caches, shadow regions
    // darkening the scene through their masks.
    void SetModelDrawer(ModelDrawer* drawer);
    void SetShadowRegionDrawer(ShadowRegionDrawer* drawer);
    ModelDrawer& modelDrawer() { return *models_; }
    const ModelDrawer& modelDrawer() const { return *models_; }

    // After `changed` was modified. Progress advances per record. When the
    // displayed picture is known to match the scene, only the changed
    // records' area is rebuilt (the pixels outside it cannot differ).
    void RedrawScene(const V2dPolygon* changed, const Progress& progress = {});
    // Several records changed in one command: each is rendered once, and the
    // shadow regions above the lowest changed one are recomputed.
    void RedrawScene(std::span<const V2dPolygon* const> changed, const Progress& progress = {});
    void RedrawScene(const std::vector<V2dPolygon*>& changed, const Progress& progress = {});
    // Every record rendered in list order, as after opening a scheme.
    void RenderAll(const Progress& progress = {});
    // Every record from its current cache, as after undo or reordering.
    void QuickRedraw(const Progress& progress = {});

    // Full render of one record onto the displayed scene built so far.
    void RenderRegion(const V2dPolygon& record);
    // A record from its kept picture onto the displayed scene.
    void QuickDrawRegion(const V2dPolygon& record);
    // The picture kept for a record (null when none).
    const QImage& CacheOf(const V2dPolygon& record) const { return caches_.of(record); }
    // The mask a shadow region was last shaded with (null when none).
    const QImage& ShadowMaskOf(const V2dPolygon& region) const { return caches_.shadowMaskOf(region); }
    // A record drawn flat, without tone (a flat painting, or one undone or
    // redone): its picture is what it draws from until it is rendered again.
    void KeepFlat(const V2dPolygon& record) { caches_.set(record, record.picture); }

    const RedrawCounters& counters() const { return counters_; }
    // Light maps made (the room's, an edge blur's) since the renderer began.
    int64_t lightMapsMade() const { return caches_.lightMapsMade(); }

    // How many times the displayed scene has been drawn on, and the part of
    // it that may differ from what it was after drawing `since`: the areas
    // the redraws since rebuilt, or all of it after a redraw from the
    // background or when more drawings passed than are remembered.
    uint64_t drawings() const { return drawings_; }
    QRect ChangedSince(uint64_t since) const;

    // Bytes the photo, the displayed scene, the kept pictures and a
    // render's working pictures may take together. Regions whose cache
    // would not fit are toned afresh when drawn, and a region too large to
    // tone at once is toned band by band; the pixels stay the same.
    void SetMemoryBudget(int64_t bytes) { budget_ = bytes; }
    // A scene drawn once more and then written out keeps less: the displayed
    // scene is let go until the next redraw builds it afresh (from the kept
    // pictures, as an area redraw would), and only `workingBytes` are allowed
    // beside the photo and the displayed scene, so a large region is toned
    // band by band and not kept. A reflection, which mirrors the scene as it
    // was beneath it, keeps its picture as the ordinary budget allows.
    void DrawOnce(int64_t workingBytes) {
        working_ = workingBytes;
        displayed_ = QImage();
        drawnList_.clear();
        Drawn(kWholeScene);
    }

    // Code that changes records' caches, the list or the background without
    // a redraw of its own makes the next RedrawScene start from scratch.
    void InvalidateDisplayed() { drawnList_.clear(); }

private:
    static constexpr QRect kWholeScene{QPoint(-(1 << 29), -(1 << 29)), QPoint(1 << 29, 1 << 29)};
    static constexpr size_t kRememberedDrawings = 16;
    // One more drawing on the displayed scene, within `area`.
    void Drawn(const QRect& area);
    void StartFromBackground();
    // A plain region with something to tone inside the drawing range.
    bool DrawsTone(const V2dPolygon& record) const;
    // What the budget leaves beside the photo, the displayed scene and the
    // caches of all records but `except`.
    int64_t FreeBytes(const V2dPolygon* except) const;
    // Tones and draws a plain region, whole when that fits the budget (the
    // toned picture goes to `toned`), else in bands. False when nothing drew.
    bool DrawPlainRegion(const V2dPolygon& record, QImage* toned);
    // Drops the caches of regions toned from themselves alone until `bytes`
    // fit beside the others; true when they do.
    bool MakeRoom(int64_t bytes, const V2dPolygon& keeping);
    void RememberDrawnScene();
    bool DisplayedMatchesScene() const;
    bool RedrawArea(std::span<const V2dPolygon* const> changed, int lowestChange, const Progress& progress);
    DrawContext Context() const;
    // Where a record draws: its outline box, or for a model what its drawer says.
    QRect BoundsOf(const V2dPolygon& record) const;

    const Scene& scene_;
    const ImageOperations& ops_;
    mutable RenderCaches caches_;  // filled while drawing, also by the drawers
    QuickModelDrawer quickModels_;
    ShadowRegionRenderer shadowRegions_;
    ModelDrawer* models_ = &quickModels_;
    ShadowRegionDrawer* shadows_ = &shadowRegions_;
    QImage displayed_;
    RedrawCounters counters_;
    Progress noProgress_;
    QRect clip_;  // while an area is rebuilt
    // What displayed_ was last built from.
    std::vector<RecordId> drawnList_;
    std::vector<QRect> drawnBounds_;
    qint64 drawnBackground_ = 0;
    int64_t budget_ = kDefaultRenderBudget;
    std::optional<int64_t> working_;  // see DrawOnce
    uint64_t drawings_ = 0;
    std::array<QRect, kRememberedDrawings> drawnAreas_{};  // of the last drawings, by number
};

}  // namespace v2d
