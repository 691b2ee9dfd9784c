#pragma once
// The main window's tiling commands as core operations: "开始铺贴" over the
// selection, and the rubber-band rectangle inside a region.
#include <optional>
#include <string>
#include <vector>

#include "base/cancel_token.h"
#include "models/scene_selection.h"
#include "render/tiling.h"

namespace v2d {

struct TileCommandResult {
    // A check that stopped the command before any region was touched.
    std::optional<Error> stopped;
    // Messages of single regions, in list order; the others were tiled.
    std::vector<Error> messages;
    std::vector<V2dPolygon*> tiled;
    // The hint label's text afterwards (empty when the command stopped).
    std::string hint;
    // The caller cancelled while the layings were made: no region was
    // touched and nothing was redrawn.
    bool cancelled = false;
};

// BitBtnApplyClick. Checks in order: a product picture, not a model product,
// a focused and a selected region, a non-empty photo (silent). Then every
// selected region that can be tiled is, in list order (a model part's owner
// takes its parts' pictures again); the caller draws the scene.
// `focused` is the record the outline is on: of a model's parts only that
// one is laid. `cancel` is asked before each region's laying is made; once
// it is set, the layings made are dropped and the scene stays as it was.
// It is the three steps below in turn.
TileCommandResult TileSelectedRegions(Scene& scene, const SceneRenderer& renderer, const RegionSelection& selection,
                                      const V2dPolygon* focused, const LayingSettings& laying,
                                      const Progress& progress = {}, const CancelToken& cancel = {});

// The same command in steps, for a caller that computes the layings away from
// the scene's thread while the scene stays as it is: the checks and the
// regions to lay, the layings computed from the const scene (any thread),
// then the layings stored into the regions.
struct TilingPlan {
    std::optional<Error> stopped;  // as TileCommandResult::stopped
    bool noPhoto = false;          // nothing to lay into (silent)
    std::vector<const V2dPolygon*> regions;  // in list order
    LayingSettings laying;
    std::vector<RegionLaying> laid;  // one per region once computed
};
TilingPlan PlanTiling(const Scene& scene, const RegionSelection& selection, const V2dPolygon* focused,
                      const LayingSettings& laying);
// The layings side by side on the pool. `progress` follows a single region's
// warp, or moves as each of several is made (then it is called from the
// pool's threads, one call at a time). False when cancelled: `laid` is empty.
bool LayPlannedRegions(const Scene& scene, const SceneRenderer& renderer, TilingPlan& plan,
                       const Progress& progress, const CancelToken& cancel = {});
// The computed layings stored in list order, the bar moving as each is
// stored; the edit they are part of draws them.
TileCommandResult StorePlannedLayings(Scene& scene, TilingPlan plan, const Progress& progress = {});

// Release of the rubber band over an ordinary region: with a material in the
// panel and a rectangle at least 2 x 2 pixels, the product is laid into the
// rectangle part of the region's picture. False when nothing happened.
bool LayProductIntoRectangle(V2dPolygon& region, V2d_Point start, V2d_Point end, const ProductPanelState& panel,
                             const ImageOperations& ops);

// A laying stored: how it went.
struct TileOutcome {
    TileStatus status = TileStatus::NoCanvas;
    std::optional<Error> message;
};

// Stores a laying LayRegion made of `region`: toneEnabled once a canvas was
// made; when laid, the picture, a region's partsInfo and a part's owner's
// picture.
TileOutcome StoreRegionLaying(Scene& scene, V2dPolygon& region, RegionLaying laid);

// One region laid and stored; the edit it is part of draws it.
TileOutcome TileRegion(Scene& scene, SceneRenderer& renderer, V2dPolygon& region, const ProductPanelState& panel,
                       const EffectSettings& effect, const Progress& progress);

}  // namespace v2d
