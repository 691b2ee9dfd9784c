// The effect window's live re-tiling of the focused region.
#include "document/scene_document.h"
#include "render/tiling.h"

namespace v2d {

Result<bool> SceneDocument::TileFocusedRegion(const ProductPanelState& controls) {
    V2dPolygon* focused = scene_.CurPoly;
    if (focused == nullptr || scene_.IndexOfPolygon(focused) < 0 || focused->kind != RecordKind::Region) return false;
    const ProductPanelState panel = WithCurrentProduct(controls);
    if (panel.picture.isNull()) return Error{kMsgNoProduct};
    if (panel.isModelProduct) return Error{kMsgModelProduct};
    const TileOutcome outcome = TileRegion(renderer_, *focused, panel, effect_, undo_, StartProgress());
    if (outcome.message) return *outcome.message;
    const bool tiled = outcome.status == TileStatus::Tiled;
    ShowChanges(tiled);
    return tiled;
}

}  // namespace v2d
