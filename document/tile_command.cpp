#include "document/tile_command.h"

#include <algorithm>
#include <cstdlib>
#include <exception>

#include "base/parallel_for.h"

namespace v2d {

namespace {

bool TiledByCommand(const Scene& scene, const V2dPolygon& record, const V2dPolygon* focused) {
    if (record.isRegion()) return true;  // a shadow region says why not
    if (record.group) return &record == focused;
    return record.kind == RecordKind::PictureModel && scene.GroupMembers(&record).empty();
}

}  // namespace

TileCommandResult TileSelectedRegions(Scene& scene, SceneRenderer& renderer, const RegionSelection& selection,
                                      const V2dPolygon* focused, const LayingSettings& laying,
                                      const Progress& progress, const CancelToken& cancel) {
    const ProductPanelState& panel = laying.panel;
    TileCommandResult result;
    if (panel.picture.isNull()) {
        result.stopped = Error{kMsgNoProduct, "", MessageIcon::Information};
        return result;
    }
    if (panel.isModelProduct) {
        result.stopped = Error{kMsgModelProduct, "", MessageIcon::Information};
        return result;
    }
    if (selection.focused < 0 || selection.focused >= scene.count() || selection.selected.empty()) {
        result.stopped = Error{kMsgSelectRegion, "", MessageIcon::Information};
        return result;
    }
    if (scene.background.width() == 0 || scene.background.height() == 0) return result;

    std::vector<V2dPolygon*> regions;
    for (int i = 0; i < scene.count(); ++i)
        if (selection.isSelected(i) && TiledByCommand(scene, *scene.at(i), focused)) regions.push_back(scene.at(i));
    // The layings are computed side by side, each from its region alone, and
    // stored in list order; the bar moves as each is stored.
    std::vector<RegionLaying> laid(regions.size());
    std::vector<std::exception_ptr> failed(regions.size());
    const Progress quiet;
    ParallelFor(regions.size(), [&](size_t k) {
        if (cancel.cancelled()) return;
        try {
            laid[k] = LayRegion(scene, renderer.ops(), renderer.modelDrawer(), *regions[k], panel, laying.effect,
                                regions.size() > 1 ? quiet : progress);
        } catch (...) {
            failed[k] = std::current_exception();  // thrown again on the caller's thread
        }
    });
    for (const std::exception_ptr& e : failed)
        if (e) std::rethrow_exception(e);
    if (cancel.cancelled()) {
        result.cancelled = true;
        return result;
    }
    for (size_t k = 0; k < regions.size(); ++k) {
        V2dPolygon& region = *regions[k];
        TileOutcome outcome = StoreRegionLaying(scene, region, std::move(laid[k]));
        if (regions.size() > 1 && progress) progress(static_cast<int>(100 * (k + 1) / regions.size()));
        if (outcome.message) result.messages.push_back(*outcome.message);
        if (outcome.status == TileStatus::Tiled) result.tiled.push_back(&region);
    }
    result.hint = kHintTilingDone;
    return result;
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
