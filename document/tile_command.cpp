#include "document/tile_command.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <mutex>

#include "base/parallel_for.h"

namespace v2d {

namespace {

bool TiledByCommand(const Scene& scene, const V2dPolygon& record, const V2dPolygon* focused) {
    if (record.isRegion()) return true;  // a shadow region says why not
    if (record.group) return &record == focused;
    return record.kind == RecordKind::PictureModel && scene.GroupMembers(&record).empty();
}

}  // namespace

TilingPlan PlanTiling(const Scene& scene, const RegionSelection& selection, const V2dPolygon* focused,
                      const LayingSettings& laying) {
    const ProductPanelState& panel = laying.panel;
    TilingPlan plan;
    plan.laying = laying;
    if (panel.picture.isNull()) {
        plan.stopped = Error{kMsgNoProduct, "", MessageIcon::Information};
        return plan;
    }
    if (panel.isModelProduct) {
        plan.stopped = Error{kMsgModelProduct, "", MessageIcon::Information};
        return plan;
    }
    if (selection.focused < 0 || selection.focused >= scene.count() || selection.selected.empty()) {
        plan.stopped = Error{kMsgSelectRegion, "", MessageIcon::Information};
        return plan;
    }
    if (scene.background.width() == 0 || scene.background.height() == 0) {
        plan.noPhoto = true;
        return plan;
    }
    for (int i = 0; i < scene.count(); ++i)
        if (selection.isSelected(i) && TiledByCommand(scene, *scene.at(i), focused)) plan.regions.push_back(scene.at(i));
    return plan;
}

bool LayPlannedRegions(const Scene& scene, const SceneRenderer& renderer, TilingPlan& plan, const Progress& progress,
                       const CancelToken& cancel) {
    // The layings are computed side by side, each from its region alone.
    const std::vector<const V2dPolygon*>& regions = plan.regions;
    std::vector<RegionLaying> laid(regions.size());
    std::vector<std::exception_ptr> failed(regions.size());
    const Progress quiet;
    std::mutex reporting;
    size_t made = 0;
    ParallelFor(regions.size(), [&](size_t k) {
        if (cancel.cancelled()) return;
        try {
            laid[k] = LayRegion(scene, renderer.ops(), renderer.modelDrawer(), *regions[k], plan.laying.panel,
                                plan.laying.effect, regions.size() > 1 ? quiet : progress, cancel);
        } catch (...) {
            failed[k] = std::current_exception();  // thrown again on the caller's thread
        }
        if (regions.size() > 1 && progress) {
            const std::lock_guard lock(reporting);
            progress(static_cast<int>(100 * ++made / regions.size()));
        }
    });
    for (const std::exception_ptr& e : failed)
        if (e) std::rethrow_exception(e);
    if (cancel.cancelled()) return false;
    plan.laid = std::move(laid);
    return true;
}

TileCommandResult StorePlannedLayings(Scene& scene, TilingPlan plan, const Progress& progress) {
    TileCommandResult result;
    result.stopped = std::move(plan.stopped);
    if (result.stopped || plan.noPhoto) return result;
    // The bar moves as each laying is stored, in list order.
    const size_t count = plan.regions.size();
    for (size_t k = 0; k < count; ++k) {
        V2dPolygon& region = *scene.Writable(plan.regions[k]);
        TileOutcome outcome = StoreRegionLaying(scene, region, std::move(plan.laid[k]));
        if (count > 1 && progress) progress(static_cast<int>(100 * (k + 1) / count));
        if (outcome.message) result.messages.push_back(*outcome.message);
        if (outcome.status == TileStatus::Tiled) result.tiled.push_back(&region);
    }
    result.hint = kHintTilingDone;
    return result;
}

TileCommandResult TileSelectedRegions(Scene& scene, const SceneRenderer& renderer, const RegionSelection& selection,
                                      const V2dPolygon* focused, const LayingSettings& laying,
                                      const Progress& progress, const CancelToken& cancel) {
    TilingPlan plan = PlanTiling(scene, selection, focused, laying);
    if (!plan.stopped && !plan.noPhoto &&
        !LayPlannedRegions(scene, renderer, plan, plan.regions.size() > 1 ? Progress{} : progress, cancel)) {
        TileCommandResult result;
        result.cancelled = true;
        return result;
    }
    return StorePlannedLayings(scene, std::move(plan), progress);
}

bool LayProductIntoRectangle(V2dPolygon& region, V2d_Point start, V2d_Point end, const ProductPanelState& panel,
                             const ImageOperations& ops) {
    if (region.kind != RecordKind::Region || panel.isModelProduct || panel.picture.isNull() || region.picture.isNull())
        return false;
    if (std::llabs(static_cast<long long>(end.x) - start.x) < 2 || std::llabs(static_cast<long long>(end.y) - start.y) < 2)
        return false;
    const QImage canvas = BuildRectangleCanvas(region, panel);
    if (canvas.isNull()) return false;
    QImage laid = TileIntoRectangle(start, end, region, canvas, panel, ops);
    if (laid.isNull()) return false;
    region.picture = std::move(laid);
    return true;
}

TileOutcome StoreRegionLaying(Scene& scene, V2dPolygon& region, RegionLaying laid) {
    if (laid.toneEnabled) region.toneEnabled = 1;
    TileOutcome outcome{laid.status, std::move(laid.message)};
    if (outcome.status != TileStatus::Tiled) return outcome;
    region.picture = std::move(laid.picture);
    if (region.kind == RecordKind::PictureModel) {
        V2dPolygon* owner = scene.Find(laid.owner);
        if (owner && !laid.ownerPicture.isNull()) owner->picture = std::move(laid.ownerPicture);
    } else {
        region.partsInfo = std::move(laid.partsInfo);
    }
    return outcome;
}

TileOutcome TileRegion(Scene& scene, SceneRenderer& renderer, V2dPolygon& region, const ProductPanelState& panel,
                       const EffectSettings& effect, const Progress& progress) {
    return StoreRegionLaying(
        scene, region, LayRegion(scene, renderer.ops(), renderer.modelDrawer(), region, panel, effect, progress));
}

}  // namespace v2d
