#include "document/tile_command.h"

#include <algorithm>
#include <cstdlib>

namespace v2d {

namespace {

bool TiledByCommand(const Scene& scene, const V2dPolygon& record, const V2dPolygon* focused) {
    if (record.isRegion()) return true;  // a shadow region says why not
    if (record.group) return &record == focused;
    return record.kind == RecordKind::PictureModel && scene.GroupMembers(&record).empty();
}

}  // namespace

TileCommandResult TileSelectedRegions(SceneRenderer& renderer, const RegionSelection& selection,
                                      const V2dPolygon* focused, const LayingSettings& laying,
                                      const Progress& progress) {
    const ProductPanelState& panel = laying.panel;
    TileCommandResult result;
    const Scene& scene = renderer.scene();
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

    std::vector<V2dPolygon*> redraw;
    for (int i = 0; i < scene.count(); ++i) {
        if (!selection.isSelected(i)) continue;
        V2dPolygon& region = *scene.at(i);
        if (!TiledByCommand(scene, region, focused)) continue;
        TileOutcome outcome = TileRegion(renderer, region, panel, laying.effect, progress, false);
        if (outcome.message) result.messages.push_back(*outcome.message);
        if (outcome.status == TileStatus::Tiled) {
            result.tiled.push_back(&region);
            if (std::find(redraw.begin(), redraw.end(), outcome.redraw) == redraw.end())
                redraw.push_back(outcome.redraw);
        }
    }
    if (!redraw.empty()) renderer.RedrawScene(redraw, progress);
    result.hint = kHintTilingDone;
    return result;
}

bool LayProductIntoRectangle(SceneRenderer& renderer, V2dPolygon& region, V2d_Point start, V2d_Point end,
                             const ProductPanelState& panel, const Progress& progress) {
    if (region.kind != RecordKind::Region || panel.isModelProduct || panel.picture.isNull() || region.picture.isNull())
        return false;
    if (std::llabs(static_cast<long long>(end.x) - start.x) < 2 || std::llabs(static_cast<long long>(end.y) - start.y) < 2)
        return false;
    const QImage canvas = BuildRectangleCanvas(region, panel);
    if (canvas.isNull()) return false;
    const ProductPanelState* pattern = panel.pattern.isPlain() ? nullptr : &panel;
    if (!TileIntoRectangle(start, end, region, canvas, panel.fit, renderer.ops(), pattern)) return false;
    renderer.RedrawScene(&region, progress);
    return true;
}

}  // namespace v2d
