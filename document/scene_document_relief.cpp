// The effect window's live re-tiling of the focused region.
#include "document/scene_document.h"
#include "render/tiling.h"

namespace v2d {

Result<bool> SceneDocument::TileFocusedRegion(const ProductPanelState& controls) {
    V2dPolygon* focused = focusedRecord();
    if (focused == nullptr || focused->kind != RecordKind::Region) return false;
    const LayingSettings laying{WithCurrentProduct(controls), effect_};
    if (laying.panel.picture.isNull()) return Error{kMsgNoProduct};
    if (laying.panel.isModelProduct) return Error{kMsgModelProduct};
    PendingEdit edit = BeginEdit(EditKind::EffectOffsets, {focused});
    const TileOutcome outcome = TileRegion(renderer_, *focused, laying.panel, laying.effect, StartProgress());
    if (outcome.message) return *outcome.message;
    const bool tiled = outcome.status == TileStatus::Tiled;
    if (tiled) CommitEdit(std::move(edit), ChangeAspect::Picture, {focused}, laying);
    return tiled;
}

}  // namespace v2d
