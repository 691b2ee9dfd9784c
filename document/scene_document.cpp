#include "document/scene_document.h"

#include <algorithm>

#include "document/scheme_session.h"
#include "document/tone_controls.h"
#include "scene/scheme_file.h"

namespace v2d {

SceneDocument::SceneDocument(const ImageOperations& ops, QObject* parent) : QObject(parent), ops_(ops) {
    renderer_.SetModelDrawer(&modelDrawer_);
    // Every change of the scene shows in the picture or in the list.
    connect(this, &SceneDocument::displayedChanged, this, [this] { SetModified(true); });
    connect(this, &SceneDocument::listChanged, this, [this] { SetModified(true); });
}

void SceneDocument::SetModified(bool modified) {
    if (modified == modified_) return;
    modified_ = modified;
    emit modifiedChanged(modified_);
}

Progress SceneDocument::StartProgress() {
    lastProgress_ = -1;
    auto report = [this](int percent) {
        percent = std::clamp(percent, 0, 100);
        if (percent == lastProgress_) return;
        lastProgress_ = percent;
        emit progressChanged(percent);
    };
    report(0);
    return report;
}

void SceneDocument::ShowChanges(bool changed) {
    if (changed) emit displayedChanged();
}

// --- Scene files --------------------------------------------------------------

Status SceneDocument::OpenScheme(const std::filesystem::path& path) {
    if (Status opened = OpenSchemeInto(path, renderer_, undo_, StartProgress()); !opened) return opened;
    SceneWasReplaced();
    return Status::Ok();
}

Status SceneDocument::SaveScheme(const std::filesystem::path& path) const { return WriteSchemeFile(scene_, path); }

void SceneDocument::LoadScene(Scene scene) {
    scene_ = std::move(scene);
    ClearUndo(undo_);
    renderer_.RenderAll(StartProgress());
    SceneWasReplaced();
}

void SceneDocument::SceneWasReplaced() {
    selection_ = {};
    scene_.CurPoly = nullptr;
    emit sceneReplaced();
    emit displayedChanged();
    SetModified(false);  // a scene just opened is as its file
}

// --- Selection ----------------------------------------------------------------

void SceneDocument::SelectFromList(int focused, std::vector<int> selected) {
    for (int companion : CompanionSelection(scene_, focused)) selected.push_back(companion);
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    selected.erase(std::remove_if(selected.begin(), selected.end(), [&](int i) { return i < 0 || i >= scene_.count(); }),
                   selected.end());
    SetSelection(RegionSelection{focused, std::move(selected)});
}

void SceneDocument::Select(int index, bool addToSelection) {
    std::vector<int> selected = addToSelection ? selection_.selected : std::vector<int>{};
    if (index >= 0 && index < scene_.count()) selected.push_back(index);
    SelectFromList(index, std::move(selected));
}

void SceneDocument::ClearSelection() { SelectFromList(-1, {}); }

void SceneDocument::SetSelection(RegionSelection selection) {
    const bool valid = selection.focused >= 0 && selection.focused < scene_.count();
    selection_ = std::move(selection);
    if (!valid) selection_.focused = -1;
    scene_.CurPoly = valid ? scene_.at(selection_.focused) : nullptr;
    emit selectionChanged();
}

// --- Current product ------------------------------------------------------------

void SceneDocument::SetProduct(CurrentProduct product) {
    product_ = std::move(product);
    emit productChanged();
}

void SceneDocument::SetDragKind(DragKind kind) { product_.dragKind = kind; }

ProductPanelState SceneDocument::WithCurrentProduct(ProductPanelState controls) const {
    controls.picture = product_.picture;
    controls.descriptor = product_.descriptor;
    controls.isModelProduct = product_.dragKind == DragKind::Model;
    return controls;
}

// --- Operations -----------------------------------------------------------------

TileCommandResult SceneDocument::TileSelection(const ProductPanelState& controls) {
    TileCommandResult result =
        TileSelectedRegions(renderer_, selection_, WithCurrentProduct(controls), effect_, undo_, StartProgress());
    ShowChanges(!result.tiled.empty());
    return result;
}

bool SceneDocument::LayProductInRectangle(V2dPolygon* region, V2d_Point start, V2d_Point end,
                                          const ProductPanelState& controls) {
    if (region == nullptr || scene_.IndexOfPolygon(region) < 0) return false;
    const bool laid =
        LayProductIntoRectangle(renderer_, *region, start, end, WithCurrentProduct(controls), undo_, StartProgress());
    ShowChanges(laid);
    return laid;
}

bool SceneDocument::SetLighten(int lighten) {
    if (selection_.focused < 0 || scene_.count() == 0) return false;
    const bool changed = SetRegionLighten(renderer_, selection_.focused, lighten, StartProgress());
    ShowChanges(changed);
    return changed;
}

bool SceneDocument::SetReflect(int reflect) {
    if (selection_.focused < 0 || scene_.count() == 0) return false;
    const bool changed = SetRegionReflect(renderer_, selection_.focused, reflect, StartProgress());
    ShowChanges(changed);
    return changed;
}

int SceneDocument::PaintSelection(uint32_t colour, const ProductPanelState& controls) {
    const int painted =
        PaintRegionsWithColour(renderer_, selection_, colour, WithCurrentProduct(controls), undo_, StartProgress());
    ShowChanges(painted > 0);
    return painted;
}

int SceneDocument::PaintFromColourCard(uint32_t colour, const ProductPanelState& controls) {
    const int painted = v2d::PaintFromColourCard(renderer_, selection_, colour, WithCurrentProduct(controls),
                                                 StartProgress());
    ShowChanges(painted > 0);
    return painted;
}

UndoOutcome SceneDocument::Undo() {
    const UndoOutcome outcome = UndoAndRedraw(renderer_, undo_, StartProgress());
    if (!outcome.undone) return outcome;
    emit displayedChanged();
    if (outcome.listChanged) {
        emit listChanged();
        SelectFromList(selection_.focused < scene_.count() ? selection_.focused : -1, selection_.selected);
    }
    return outcome;
}

void SceneDocument::UndoAll() {
    bool listMoved = false;
    while (!undo_.empty()) listMoved |= v2d::Undo(scene_, undo_).listChanged;
    Redraw();
    if (listMoved) emit listChanged();
}

bool SceneDocument::NudgeFocusedModel(int dx, int dy) {
    if (selection_.focused < 0) return false;
    if (!NudgeModel(MoveTarget(scene_.CurPoly), dx, dy)) return false;
    Redraw();
    return true;
}

void SceneDocument::Redraw() {
    renderer_.QuickRedraw(StartProgress());
    emit displayedChanged();
}

}  // namespace v2d
