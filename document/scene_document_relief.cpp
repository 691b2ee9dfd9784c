// The effect window's live re-tiling of the focused region.
#include "document/scene_document.h"
#include "render/tiling.h"

namespace v2d {

Outcome SceneDocument::TileFocusedRegion() {
    V2dPolygon* focused = Focused();
    if (focused == nullptr || focused->kind != RecordKind::Region) return Outcome::NothingToDo();
    const LayingSettings laying = this->laying();
    if (laying.panel.picture.isNull()) return Error{kMsgNoProduct};
    if (laying.panel.isModelProduct) return Error{kMsgModelProduct};
    EditScope edit(*this, EditKind::EffectOffsets, {focused});
    const Progress progress = StartProgress();
    const TileOutcome outcome = TileRegion(scene_, renderer_, *focused, laying.panel, laying.effect, progress);
    if (outcome.message) return *outcome.message;
    if (outcome.status != TileStatus::Tiled) return Outcome::NothingToDo();
    edit.Commit(ChangeAspect::Picture, progress, {focused}, laying);
    return Outcome::Done();
}

}  // namespace v2d
