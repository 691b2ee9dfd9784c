#include "document/scene_document.h"

#include <algorithm>

#include "document/tone_controls.h"
#include "scene/scheme_file.h"

namespace v2d {

SceneDocument::SceneDocument(const ImageOperations& ops, QObject* parent) : QObject(parent), ops_(ops) {
    renderer_.SetModelDrawer(&modelDrawer_);
    connect(&history_.stack(), &QUndoStack::cleanChanged, this, [this](bool clean) {
        if (!history_.rebuilding()) emit modifiedChanged(!clean);
    });
}

SceneDocument::~SceneDocument() {
    // The stack empties itself on the way out; nobody is to hear of it.
    history_.stack().disconnect(this);
    blockSignals(true);
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

// --- Edits --------------------------------------------------------------------

SceneDocument::EditScope::EditScope(SceneDocument& document, EditKind kind, std::vector<V2dPolygon*> records,
                                    bool withOrder)
    : document_(document), kind_(kind), withOrder_(withOrder), selection_(document.selection_),
      currentDropped_(document.currentDropped_) {
    Scene& scene = document.scene_;
    // A model is one thing: its owner and parts change together.
    const std::vector<V2dPolygon*> named = records;
    for (V2dPolygon* record : named) {
        if (!record) continue;
        V2dPolygon* owner = record->group && scene.IndexOfPolygon(record->group) >= 0 ? record->group : record;
        records.push_back(owner);
        for (V2dPolygon* part : scene.GroupMembers(owner)) records.push_back(part);
    }
    std::sort(records.begin(), records.end());
    records.erase(std::unique(records.begin(), records.end()), records.end());
    std::erase(records, nullptr);
    records_ = std::move(records);
    before_ = CaptureState(scene, records_, withOrder_, document.Focused(), document.SelectedRecords(),
                           document.DrawnFlatTest());
}

SceneDocument::EditScope::~EditScope() {
    if (!committed_) RollBack();
}

void SceneDocument::EditScope::RollBack() noexcept {
    SceneDocument& doc = document_;
    try {
        // A refusal before any change draws nothing. Otherwise the edit's
        // records are rendered as they were again, over whatever a drawing
        // that stopped half-way left; a changed list is drawn afresh.
        const bool changed = std::any_of(before_.records.begin(), before_.records.end(), [&](const RecordState& r) {
            return doc.scene_.IndexOfPolygon(r.record) >= 0 && !(*r.record == r.fields);
        });
        std::vector<const V2dPolygon*> order(doc.scene_.records().begin(), doc.scene_.records().end());
        const bool reordered = before_.order && *before_.order != order;
        RestoreState(doc.scene_, before_, parked_, {});
        doc.selection_ = selection_;
        doc.currentDropped_ = currentDropped_;
        if (!changed && !reordered) return;
        if (reordered) doc.renderer_.InvalidateDisplayed();
        std::vector<V2dPolygon*> redraw;
        for (const RecordState& r : before_.records)
            if (doc.scene_.IndexOfPolygon(r.record) >= 0) redraw.push_back(r.record);
        doc.renderer_.RedrawScene(redraw);
    } catch (...) {
        doc.renderer_.InvalidateDisplayed();  // the next redraw starts afresh
    }
}

void SceneDocument::EditScope::Remove(const std::vector<V2dPolygon*>& records) {
    Scene& scene = document_.scene_;
    // An owner never leaves its parts behind.
    for (V2dPolygon* record : RecordsToDelete(scene, records)) {
        scene.LeaveGroups(record);
        Park(scene, record, parked_);
    }
    document_.selection_ = {};
}

void SceneDocument::EditScope::Commit(ChangeAspects aspects, const std::vector<V2dPolygon*>& laid,
                                      const LayingSettings& laying) {
    SceneDocument& doc = document_;
    auto payload = std::make_shared<EditPayload>();
    payload->kind = kind_;
    payload->gesture = doc.gesture_;
    payload->aspects = aspects;
    payload->after =
        CaptureState(doc.scene_, records_, withOrder_, doc.Focused(), doc.SelectedRecords(), doc.DrawnFlatTest());
    payload->before = std::move(before_);
    payload->parked = std::move(parked_);
    committed_ = true;
    KeepOnlyChanges(payload->before, payload->after);
    for (V2dPolygon* record : laid) {
        // The picture before: the settings it was laid with, when it still is that laying.
        auto last = std::find_if(doc.laidWith_.begin(), doc.laidWith_.end(),
                                 [&](const auto& l) { return std::get<0>(l) == record->id; });
        for (RecordState& b : payload->before.records)
            if (b.record == record && last != doc.laidWith_.end() && std::get<1>(*last) == b.fields.picture.cacheKey())
                b.relay = std::get<2>(*last);
        for (RecordState& a : payload->after.records)
            if (a.record == record) a.relay = laying;
        doc.RememberLaying(*record, laying);
    }
    const bool changedAnything = !payload->after.records.empty() || !payload->before.records.empty() ||
                                 (payload->before.order && payload->before.order != payload->after.order);
    if (changedAnything) doc.history_.Push(std::move(payload));
    doc.Announce(std::move(records_), aspects);
}

DrawnFlat SceneDocument::DrawnFlatTest() const {
    return [this](const V2dPolygon& record) {
        const QImage& cached = renderer_.CacheOf(record);
        return !cached.isNull() && cached.cacheKey() == record.picture.cacheKey();
    };
}

void SceneDocument::RelayPicture(V2dPolygon& record, const LayingSettings& laying) {
    TileRegion(renderer_, record, laying.panel, laying.effect, {}, false);
}

void SceneDocument::RememberLaying(V2dPolygon& record, const LayingSettings& laying) {
    auto last = std::find_if(laidWith_.begin(), laidWith_.end(), [&](const auto& l) { return std::get<0>(l) == record.id; });
    if (last != laidWith_.end()) laidWith_.erase(last);
    laidWith_.emplace_back(record.id, record.picture.cacheKey(), laying);
}

void SceneDocument::ApplyState(EditPayload& edit, const SceneState& state) {
    RestoreState(scene_, state, edit.parked, [this](V2dPolygon& r, const LayingSettings& l) { RelayPicture(r, l); });
    for (const RecordState& r : state.records)
        if (r.relay && scene_.IndexOfPolygon(r.record) >= 0) RememberLaying(*r.record, *r.relay);
    std::vector<V2dPolygon*> render;
    bool flatKept = false;
    for (const RecordState& r : state.records) {
        if (scene_.IndexOfPolygon(r.record) < 0) continue;
        flatKept |= r.drawnFlat;
        if (r.drawnFlat) renderer_.KeepFlat(*r.record);
        V2dPolygon* drawn = r.record;
        if (drawn->group && scene_.IndexOfPolygon(drawn->group) >= 0) {
            drawn = drawn->group;
            StorePartsPicture(renderer_, *drawn, Progress{});
        }
        if (!r.drawnFlat && std::find(render.begin(), render.end(), drawn) == render.end())
            render.push_back(drawn);
    }
    const Progress progress = StartProgress();
    if (!render.empty()) renderer_.RedrawScene(render, progress);
    if (flatKept || (render.empty() && state.order)) renderer_.QuickRedraw(progress);
    RestoreSelection(state);
    std::vector<V2dPolygon*> touched;
    for (const RecordState& r : state.records) touched.push_back(r.record);
    Announce(std::move(touched), edit.aspects | ChangeAspect::Selection);
}

void SceneDocument::Announce(std::vector<V2dPolygon*> records, ChangeAspects aspects) {
    SceneChange change;
    change.aspects = aspects;
    for (V2dPolygon* r : records)
        if (scene_.IndexOfPolygon(r) >= 0 &&
            std::find(change.records.begin(), change.records.end(), r) == change.records.end())
            change.records.push_back(r);
    emit changed(change);
}

std::vector<V2dPolygon*> SceneDocument::SelectedRecords() {
    std::vector<V2dPolygon*> records;
    for (int i : selection_.selected)
        if (i >= 0 && i < scene_.count()) records.push_back(scene_.at(i));
    return records;
}

void SceneDocument::RestoreSelection(const SceneState& state) {
    RegionSelection selection;
    selection.focused = scene_.IndexOfPolygon(state.focused);
    for (V2dPolygon* r : state.selected)
        if (const int i = scene_.IndexOfPolygon(r); i >= 0) selection.selected.push_back(i);
    PutSelection(std::move(selection));
}

Outcome SceneDocument::Undo() {
    if (!history_.stack().canUndo()) return Outcome::NothingToDo();
    history_.stack().undo();
    return Outcome::Done();
}

Outcome SceneDocument::Redo() {
    if (!history_.stack().canRedo()) return Outcome::NothingToDo();
    history_.stack().redo();
    return Outcome::Done();
}

void SceneDocument::UndoAll() {
    if (history_.stack().index() > 0) history_.stack().setIndex(0);
}

// --- Scene files --------------------------------------------------------------

Outcome SceneDocument::OpenScheme(const std::filesystem::path& path) {
    Result<SchemeFile> file = ReadSchemeFile(path);
    if (!file) return file.failure();  // the open scene stays as it was
    LoadScene(std::move(file->scene));
    return Outcome::Done();
}

Outcome SceneDocument::SaveScheme(const std::filesystem::path& path) const { return WriteSchemeFile(scene_, path); }

void SceneDocument::LoadScene(Scene scene) {
    scene_ = std::move(scene);
    renderer_.RenderAll(StartProgress());
    SceneWasReplaced();
}

void SceneDocument::LoadBackground(QImage background) {
    Scene scene;
    scene.background = std::move(background);
    LoadScene(std::move(scene));
}

void SceneDocument::SceneWasReplaced() {
    selection_ = {};
    currentDropped_ = false;
    laidWith_.clear();
    drag_.reset();
    history_.Clear();  // a scene just opened is as its file
    emit modifiedChanged(false);
    emit sceneReplaced();
    Announce({}, ChangeAspect::Picture | ChangeAspect::Order);
}

// --- Selection ----------------------------------------------------------------

const V2dPolygon* SceneDocument::focusedRecord() const {
    const bool valid = !currentDropped_ && selection_.focused >= 0 && selection_.focused < scene_.count();
    return valid ? scene_.at(selection_.focused) : nullptr;
}

V2dPolygon* SceneDocument::Focused() { return scene_.Writable(focusedRecord()); }

void SceneDocument::SelectFromList(int focused, std::vector<int> selected) {
    SelectQuietly(focused, std::move(selected));
    Announce({}, ChangeAspect::Selection);
}

void SceneDocument::SelectQuietly(int focused, std::vector<int> selected) {
    for (int companion : CompanionSelection(scene_, focused)) selected.push_back(companion);
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    selected.erase(std::remove_if(selected.begin(), selected.end(), [&](int i) { return i < 0 || i >= scene_.count(); }),
                   selected.end());
    PutSelection(RegionSelection{focused, std::move(selected)});
}

void SceneDocument::Select(int index, bool addToSelection) {
    std::vector<int> selected = addToSelection ? selection_.selected : std::vector<int>{};
    if (index >= 0 && index < scene_.count()) selected.push_back(index);
    SelectFromList(index, std::move(selected));
}

void SceneDocument::ClearSelection() { SelectFromList(-1, {}); }

void SceneDocument::SetSelection(RegionSelection selection) {
    PutSelection(std::move(selection));
    Announce({}, ChangeAspect::Selection);
}

void SceneDocument::PutSelection(RegionSelection selection) {
    const bool valid = selection.focused >= 0 && selection.focused < scene_.count();
    selection_ = std::move(selection);
    if (!valid) selection_.focused = -1;
    currentDropped_ = false;
}

void SceneDocument::DropCurrentRecord() {
    currentDropped_ = true;  // the view drops the outline itself; the panel keeps its commands
}

// --- Current product ------------------------------------------------------------

void SceneDocument::SetProduct(CurrentProduct product) {
    product_ = std::move(product);
    emit productChanged();
}

void SceneDocument::SetDragKind(DragKind kind) { product_.dragKind = kind; }

void SceneDocument::SetPanelControls(const ProductPanelState& controls) {
    laying_.panel = controls;
    laying_.panel.picture = {};  // the product is product_'s alone
    laying_.panel.product = {};
}

LayingSettings SceneDocument::laying() const {
    LayingSettings laying = laying_;
    laying.panel.picture = product_.picture;
    laying.panel.product = product_.product;
    laying.panel.isModelProduct = product_.dragKind == DragKind::Model;
    return laying;
}

// --- Operations -----------------------------------------------------------------

Outcome SceneDocument::TileSelection() {
    TilingPlan plan = PlanTileSelection();
    if (!plan.stopped && !plan.noPhoto) {
        const Progress progress = StartProgress();
        (void)LayPlannedRegions(scene_, ops_, plan, plan.regions.size() > 1 ? Progress{} : progress);
    }
    return StoreTiling(std::move(plan));
}

TilingPlan SceneDocument::PlanTileSelection() const {
    return PlanTiling(scene_, selection_, focusedRecord(), laying());
}

Outcome SceneDocument::StoreTiling(TilingPlan plan) {
    if (plan.stopped) return *plan.stopped;
    const LayingSettings laying = plan.laying;
    EditScope edit(*this, EditKind::Tiling, SelectedRecords());
    TileCommandResult result = StorePlannedLayings(scene_, renderer_, std::move(plan), StartProgress());
    edit.Commit(ChangeAspect::Picture, result.tiled, laying);
    const int tiled = static_cast<int>(result.tiled.size());
    Outcome outcome = tiled > 0 ? Outcome::Done(tiled) : Outcome::NothingToDo(0);
    outcome.notes = std::move(result.messages);
    outcome.hint = std::move(result.hint);
    return outcome;
}

Outcome SceneDocument::LayProductInRectangle(const V2dPolygon* shown, V2d_Point start, V2d_Point end) {
    V2dPolygon* region = scene_.Writable(shown);
    if (region == nullptr) return Outcome::NothingToDo();
    EditScope edit(*this, EditKind::LayInRectangle, {region});
    const bool laid = LayProductIntoRectangle(renderer_, *region, start, end, laying().panel, StartProgress());
    if (laid) edit.Commit(ChangeAspect::Picture);
    return Outcome::Of(laid);
}

Outcome SceneDocument::SetLighten(int lighten) {
    V2dPolygon* record = Focused();
    if (!record) return Outcome::NothingToDo();
    EditScope edit(*this, EditKind::Brightness, {record});
    const bool changed = SetRegionLighten(scene_, renderer_, *record, lighten, StartProgress());
    if (changed) edit.Commit(ChangeAspect::Tone);
    return Outcome::Of(changed);
}

Outcome SceneDocument::SetReflect(int reflect) {
    V2dPolygon* record = Focused();
    if (!record) return Outcome::NothingToDo();
    EditScope edit(*this, EditKind::Reflection, {record});
    const bool changed = SetRegionReflect(scene_, renderer_, *record, reflect, StartProgress());
    if (changed) edit.Commit(ChangeAspect::Tone);
    return Outcome::Of(changed);
}

Outcome SceneDocument::PaintSelection(uint32_t colour) {
    EditScope edit(*this, EditKind::Painting, SelectedRecords());
    const int painted =
        PaintRegionsWithColour(scene_, renderer_, selection_, focusedRecord(), colour, laying().panel, StartProgress());
    if (painted == 0) return Outcome::NothingToDo(0);
    edit.Commit(ChangeAspect::Picture);
    return Outcome::Done(painted);
}

Outcome SceneDocument::PaintFromColourCard(uint32_t colour) {
    EditScope edit(*this, EditKind::ColourCard, SelectedRecords());
    const int painted =
        v2d::PaintFromColourCard(scene_, renderer_, selection_, focusedRecord(), colour, laying().panel, StartProgress());
    if (painted == 0) return Outcome::NothingToDo(0);
    edit.Commit(ChangeAspect::Picture);
    return Outcome::Done(painted);
}

Outcome SceneDocument::NudgeFocusedModel(int dx, int dy) {
    V2dPolygon* target = MoveTarget(Focused());
    if (!target) return Outcome::NothingToDo();
    EditScope edit(*this, EditKind::MoveModel, {target});
    if (!NudgeModel(target, dx, dy)) return Outcome::NothingToDo();
    renderer_.QuickRedraw(StartProgress());
    edit.Commit(ChangeAspect::Geometry);
    return Outcome::Done();
}

void SceneDocument::RenderAll() {
    renderer_.RenderAll(StartProgress());
    Announce({}, ChangeAspect::Picture);
}

void SceneDocument::Redraw() {
    renderer_.QuickRedraw(StartProgress());
    Announce({}, ChangeAspect::Picture);
}

}  // namespace v2d
