// The scene document's model menu, shadow settings and region-list
// reordering.
#include "document/scene_document.h"
#include "document/tone_controls.h"
#include "models/drawing_order.h"

namespace v2d {
namespace {

inline constexpr const char* kMsgSelectRegionFirst = "请先选择区域。";
inline constexpr const char* kMsgUngroupFirst = "选择集中有区域是组成员,请解组后再操作。";
// How far a copy lands right of and below its original, in picture pixels.
constexpr int kCopyOffset = 20;

}  // namespace

Outcome SceneDocument::MirrorSelected(MirrorAxis axis) {
    V2dPolygon* record = scene_.Find(selection_.focused);
    if (!record) return Outcome::NothingToDo();
    EditScope edit(*this, EditKind::MirrorModel, {record});
    if (!MirrorModelCorners(*record, axis)) return Outcome::NothingToDo();
    edit.Commit(ChangeAspect::Geometry | ChangeAspect::Selection, StartProgress());
    return Outcome::Done();
}

Outcome SceneDocument::ResetSelected() {
    V2dPolygon* record = scene_.Find(selection_.focused);
    if (!record) return Outcome::NothingToDo();
    EditScope edit(*this, EditKind::ResetModel, {record});
    ResetModelCorners(*record);
    // The outline and handles follow the corners.
    edit.Commit(ChangeAspect::Geometry | ChangeAspect::Selection, StartProgress());
    return Outcome::Done();
}

Outcome SceneDocument::CopyFocusedModel() {
    V2dPolygon* focused = Focused();
    EditScope edit(*this, EditKind::CopyModel, {}, true);
    V2dPolygon* copy = CopyModel(scene_, IsPlacedModel(focused) ? focused : nullptr);
    if (!copy) return Outcome::NothingToDo();
    // Set off from the original, inside the picture, and in front of it.
    const OutlineMapper mapper = MapperOf(ops_);
    const QRect box = CoveredArea(*copy, mapper).boundingRect().toAlignedRect();
    copy->originX += CopyOffset(box.left(), box.right(), scene_.background.width(), kCopyOffset);
    copy->originY += CopyOffset(box.top(), box.bottom(), scene_.background.height(), kCopyOffset);
    BringToFront(scene_, copy, mapper);
    return Outcome::Done(ShowPlacedModel(copy, edit));
}

Outcome SceneDocument::DeleteSelection(const std::function<bool()>& confirm) {
    V2dPolygon* focused = scene_.Find(selection_.focused);
    if (!focused) return Error{kMsgSelectRegionFirst};
    if (confirm && !confirm()) return Outcome::NothingToDo();
    std::vector<V2dPolygon*> selected = SelectedRecords();
    if (selected.empty()) selected.push_back(focused);
    if (AnyInRegionGroup(scene_, selected)) return Error{kMsgUngroupFirst};
    EditScope edit(*this, EditKind::DeleteRecords, selected, true);
    edit.Remove(selected);
    edit.Commit(ChangeAspect::Order | ChangeAspect::Selection, StartProgress());
    return Outcome::Done();
}

Outcome SceneDocument::StepFocusedFrame(int direction) {
    V2dPolygon* model = Focused();
    if (!model) return Outcome::NothingToDo();
    EditScope edit(*this, EditKind::RotationFrame, {model});
    if (!StepRotationFrame(scene_, *model, direction)) return Outcome::NothingToDo();
    // The handles follow the new frame's size.
    edit.Commit(ChangeAspect::Geometry | ChangeAspect::Selection, StartProgress());
    return Outcome::Done();
}

std::optional<SceneDocument::ShadowSettings> SceneDocument::FocusedShadow() const {
    const V2dPolygon* model = focusedRecord();
    if (!IsPlacedModel(model)) return std::nullopt;
    return ShadowSettings{model->castShadow != 0, model->shadowX, model->shadowY, model->shadowRadius,
                          model->shadowColor};
}

Outcome SceneDocument::SetFocusedShadow(const ShadowSettings& settings) {
    V2dPolygon* model = Focused();
    if (!IsPlacedModel(model) || FocusedShadow() == settings) return Outcome::NothingToDo();
    EditScope edit(*this, EditKind::Shadow, {model});
    model->castShadow = settings.castShadow ? 1 : 0;
    model->shadowX = settings.shadowX;
    model->shadowY = settings.shadowY;
    model->shadowRadius = settings.shadowRadius;
    model->shadowColor = settings.shadowColor;
    if (model->group && scene_.IndexOfPolygon(model->group) >= 0)
        StorePartsPicture(renderer_, *scene_.Writable(model->group), Progress{});
    edit.Commit(ChangeAspect::Tone, StartProgress());
    return Outcome::Done();
}

Outcome SceneDocument::MoveRecord(int from, int to) {
    const int count = scene_.count();
    if (from < 0 || from >= count || to < 0 || to >= count || from == to) return Outcome::NothingToDo();
    if (scene_.at(from)->group) return Outcome::NothingToDo();  // parts stay with their model's order
    EditScope edit(*this, EditKind::Reorder, {}, true);
    scene_.Move(scene_.at(from), to);
    SelectQuietly(to, {to});
    edit.Add(scene_.at(to));
    edit.Commit(ChangeAspect::Order | ChangeAspect::Selection, StartProgress());
    return Outcome::Done();
}

}  // namespace v2d
