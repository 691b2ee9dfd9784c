#include "document/scene_document.h"

#include <algorithm>

#include "base/atomic_file.h"
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
    const Scene& scene = document.scene_;
    // A model is one thing: its owner and parts change together.
    for (const V2dPolygon* record : records) {
        if (!record) continue;
        const V2dPolygon* owner = record->group && scene.IndexOfPolygon(record->group) >= 0 ? record->group : record;
        records_.push_back(record->id);
        records_.push_back(owner->id);
        for (const V2dPolygon* part : scene.GroupMembers(owner)) records_.push_back(part->id);
    }
    std::sort(records_.begin(), records_.end());
    records_.erase(std::unique(records_.begin(), records_.end()), records_.end());
    before_ = CaptureState(scene, records_, withOrder_, document.CapturedSelection(), document.DrawnFlatTest());
}

SceneDocument::EditScope::~EditScope() {
    if (!committed_) RollBack();
}

void SceneDocument::EditScope::RollBack() noexcept {
    SceneDocument& doc = document_;
    try {
        // What the operation changed, compared with the state it started
        // from, decides what is drawn once the scene is back (nothing for a
        // refusal before any change).
        SceneState now = CaptureState(doc.scene_, records_, withOrder_, {}, doc.DrawnFlatTest());
        KeepOnlyChanges(before_, now);
        RestoreState(doc.scene_, before_, parked_, {});
        doc.selection_ = selection_;
        doc.currentDropped_ = currentDropped_;
        RedrawPlan plan = PlanRedraw(doc.scene_, now, before_);
        if (drawing_) {
            // A drawing that stopped half-way left the picture unfinished.
            doc.renderer_.InvalidateDisplayed();
            plan.fromKept = true;
        }
        doc.Draw(plan, {});
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

void SceneDocument::EditScope::Commit(ChangeAspects aspects, const Progress& progress,
                                      const std::vector<V2dPolygon*>& laid, const LayingSettings& laying) {
    SceneDocument& doc = document_;
    const DrawnFlat drawnFlat = doc.DrawnFlatTest();
    SceneState after = CaptureState(doc.scene_, records_, withOrder_, doc.CapturedSelection(), drawnFlat);
    KeepOnlyChanges(before_, after);
    // A record drawn flat that changed but kept its picture is no flat
    // painting: nothing has drawn it again yet.
    for (RecordState& a : after.records)
        if (const RecordState* b = before_.Of(a.id()); b && b->drawnFlat && !a.keepsPicture) a.drawnFlat = false;
    for (const V2dPolygon* record : laid) {
        // The picture before: the settings it was laid with, when it still is that laying.
        auto last = std::find_if(doc.laidWith_.begin(), doc.laidWith_.end(),
                                 [&](const auto& l) { return std::get<0>(l) == record->id; });
        for (RecordState& b : before_.records)
            if (b.id() == record->id && last != doc.laidWith_.end() && std::get<1>(*last) == b.fields.picture.cacheKey())
                b.relay = std::get<2>(*last);
        for (RecordState& a : after.records)
            if (a.id() == record->id) a.relay = laying;
    }
    drawing_ = true;
    doc.Draw(PlanRedraw(doc.scene_, before_, after), progress);
    // How each record draws now that it is drawn.
    for (RecordState& a : after.records)
        if (const V2dPolygon* record = doc.scene_.Find(a.id())) a.drawnFlat = drawnFlat(*record);
    for (V2dPolygon* record : laid) doc.RememberLaying(*record, laying);
    auto payload = std::make_shared<EditPayload>();
    payload->kind = kind_;
    payload->gesture = doc.gesture_;
    payload->aspects = aspects;
    payload->before = std::move(before_);
    payload->after = std::move(after);
    payload->parked = std::move(parked_);
    committed_ = true;
    const bool changedAnything = !payload->after.records.empty() || !payload->before.records.empty() ||
                                 (payload->before.order && payload->before.order != payload->after.order);
    if (changedAnything) doc.history_.Push(std::move(payload));
    doc.Announce(records_, aspects);
}

void SceneDocument::Draw(const RedrawPlan& plan, const Progress& progress) {
    for (RecordId id : plan.flat)
        if (const V2dPolygon* record = scene_.Find(id)) renderer_.KeepFlat(*record);
    std::vector<const V2dPolygon*> rendered;
    for (RecordId id : plan.rendered)
        if (const V2dPolygon* record = scene_.Find(id)) rendered.push_back(record);
    // Records drawn from what is kept may lie anywhere: the whole scene.
    const bool whole = plan.fromKept || !plan.flat.empty();
    if (rendered.empty()) {
        if (whole) renderer_.QuickRedraw(progress);
        return;
    }
    if (whole) renderer_.InvalidateDisplayed();
    renderer_.RedrawScene(std::span<const V2dPolygon* const>(rendered), progress);
}

DrawnFlat SceneDocument::DrawnFlatTest() const {
    // A model always draws from its own picture; it is drawn through its drawer.
    return [this](const V2dPolygon& record) {
        const QImage& cached = renderer_.CacheOf(record);
        return !record.isModel() && !cached.isNull() && cached.cacheKey() == record.picture.cacheKey();
    };
}

void SceneDocument::RelayPicture(V2dPolygon& record, const LayingSettings& laying) {
    TileRegion(scene_, renderer_, record, laying.panel, laying.effect, {});
}

void SceneDocument::RememberLaying(V2dPolygon& record, const LayingSettings& laying) {
    auto last = std::find_if(laidWith_.begin(), laidWith_.end(), [&](const auto& l) { return std::get<0>(l) == record.id; });
    if (last != laidWith_.end()) laidWith_.erase(last);
    laidWith_.emplace_back(record.id, record.picture.cacheKey(), laying);
}

void SceneDocument::ApplyState(EditPayload& edit, const SceneState& state) {
    const SceneState& from = &state == &edit.after ? edit.before : edit.after;
    RestoreState(scene_, state, edit.parked, [this](V2dPolygon& r, const LayingSettings& l) { RelayPicture(r, l); });
    std::vector<RecordId> touched, owners;
    for (const RecordState& r : state.records) {
        touched.push_back(r.id());
        V2dPolygon* record = scene_.Find(r.id());
        if (!record) continue;
        if (r.relay) RememberLaying(*record, *r.relay);
        if (record->group && scene_.IndexOfPolygon(record->group) >= 0) owners.push_back(record->group->id);
    }
    // A part put back is drawn into its owner's picture again.
    std::sort(owners.begin(), owners.end());
    owners.erase(std::unique(owners.begin(), owners.end()), owners.end());
    for (RecordId owner : owners) StorePartsPicture(renderer_, *scene_.Find(owner), Progress{});
    Draw(PlanRedraw(scene_, from, state), StartProgress());
    RestoreSelection(state.selection);
    Announce(touched, edit.aspects | ChangeAspect::Selection);
}

void SceneDocument::Announce(const std::vector<RecordId>& records, ChangeAspects aspects) {
    SceneChange change;
    change.aspects = aspects;
    for (RecordId id : records)
        if (const V2dPolygon* r = scene_.Find(id);
            r && std::find(change.records.begin(), change.records.end(), r) == change.records.end())
            change.records.push_back(r);
    emit changed(change);
}

std::vector<V2dPolygon*> SceneDocument::SelectedRecords() {
    std::vector<V2dPolygon*> records;
    for (RecordId id : selection_.selected)
        if (V2dPolygon* record = scene_.Find(id)) records.push_back(record);
    return records;
}

RecordSelection SceneDocument::CapturedSelection() const {
    RecordSelection captured;
    if (const V2dPolygon* focused = focusedRecord()) captured.focused = focused->id;
    for (RecordId id : selection_.selected)
        if (scene_.IndexOf(id) >= 0) captured.selected.push_back(id);
    return captured;
}

void SceneDocument::RestoreSelection(const RecordSelection& selection) {
    RecordSelection restored;
    if (scene_.IndexOf(selection.focused) >= 0) restored.focused = selection.focused;
    for (RecordId id : selection.selected)
        if (scene_.IndexOf(id) >= 0) restored.selected.push_back(id);
    selection_ = std::move(restored);
    currentDropped_ = false;
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

Outcome SceneDocument::OpenScheme(const std::filesystem::path& path) { return InstallScheme(ReadScheme(path)); }

Result<SchemeFile> SceneDocument::ReadScheme(const std::filesystem::path& path, const Progress& progress) {
    return ReadSchemeFile(path, progress);
}

Outcome SceneDocument::InstallScheme(Result<SchemeFile> file) {
    if (!file) return file.failure();  // the open scene stays as it was
    LoadScene(std::move(file->scene));
    return Outcome::Done();
}

Outcome SceneDocument::SaveScheme(const std::filesystem::path& path, const CancelToken& cancel) const {
    Result<Bytes> bytes = SerializeScheme(scene_);
    if (!bytes) return bytes.failure();
    if (cancel.cancelled()) return Outcome::NothingToDo();  // the old file stays
    if (!WriteFileAtomically(path, *bytes)) return Error{kMsgWriteFailed};
    return Outcome::Done();
}

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

RegionSelection SceneDocument::selection() const {
    RegionSelection positions;
    positions.focused = scene_.IndexOf(selection_.focused);
    for (RecordId id : selection_.selected)
        if (const int i = scene_.IndexOf(id); i >= 0) positions.selected.push_back(i);
    return positions;
}

const V2dPolygon* SceneDocument::focusedRecord() const {
    return currentDropped_ ? nullptr : scene_.Find(selection_.focused);
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
    std::vector<int> selected = addToSelection ? selection().selected : std::vector<int>{};
    if (index >= 0 && index < scene_.count()) selected.push_back(index);
    SelectFromList(index, std::move(selected));
}

void SceneDocument::ClearSelection() { SelectFromList(-1, {}); }

void SceneDocument::SetSelection(RegionSelection selection) {
    PutSelection(std::move(selection));
    Announce({}, ChangeAspect::Selection);
}

void SceneDocument::PutSelection(RegionSelection selection) {
    const auto idAt = [this](int i) { return i >= 0 && i < scene_.count() ? scene_.at(i)->id : RecordId{}; };
    RecordSelection ids{idAt(selection.focused), {}};
    for (int i : selection.selected)
        if (const RecordId id = idAt(i)) ids.selected.push_back(id);
    selection_ = std::move(ids);
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
        (void)LayPlannedRegions(scene_, renderer_, plan, plan.regions.size() > 1 ? Progress{} : progress);
    }
    return StoreTiling(std::move(plan));
}

TilingPlan SceneDocument::PlanTileSelection() const {
    return PlanTiling(scene_, selection(), focusedRecord(), laying());
}

Outcome SceneDocument::StoreTiling(TilingPlan plan) {
    if (plan.stopped) return *plan.stopped;
    const LayingSettings laying = plan.laying;
    EditScope edit(*this, EditKind::Tiling, SelectedRecords());
    const Progress progress = StartProgress();
    TileCommandResult result = StorePlannedLayings(scene_, std::move(plan), progress);
    edit.Commit(ChangeAspect::Picture, progress, result.tiled, laying);
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
    const Progress progress = StartProgress();
    const bool laid = LayProductIntoRectangle(*region, start, end, laying().panel, renderer_.ops());
    if (laid) edit.Commit(ChangeAspect::Picture, progress);
    return Outcome::Of(laid);
}

Outcome SceneDocument::SetLighten(int lighten) {
    V2dPolygon* record = Focused();
    if (!record) return Outcome::NothingToDo();
    EditScope edit(*this, EditKind::Brightness, {record});
    const Progress progress = StartProgress();
    const bool changed = SetRegionLighten(scene_, renderer_, *record, lighten, progress);
    if (changed) edit.Commit(ChangeAspect::Tone, progress);
    return Outcome::Of(changed);
}

Outcome SceneDocument::SetReflect(int reflect) {
    V2dPolygon* record = Focused();
    if (!record) return Outcome::NothingToDo();
    EditScope edit(*this, EditKind::Reflection, {record});
    const Progress progress = StartProgress();
    const bool changed = SetRegionReflect(scene_, *record, reflect);
    if (changed) edit.Commit(ChangeAspect::Tone, progress);
    return Outcome::Of(changed);
}

Outcome SceneDocument::SetLightMode(LightMode mode) {
    std::vector<V2dPolygon*> regions;
    for (V2dPolygon* record : SelectedRecords())
        if (record->kind == RecordKind::Region && record->partsInfo.lightMode() != mode) regions.push_back(record);
    if (regions.empty()) return Outcome::NothingToDo();
    EditScope edit(*this, EditKind::Light, regions);
    const Progress progress = StartProgress();
    for (V2dPolygon* region : regions) region->partsInfo = WithLightMode(region->partsInfo.text(), mode);
    edit.Commit(ChangeAspect::Tone, progress);
    return Outcome::Done(int(regions.size()));
}

Outcome SceneDocument::PaintSelection(uint32_t colour) {
    EditScope edit(*this, EditKind::Painting, SelectedRecords());
    const Progress progress = StartProgress();
    const int painted =
        PaintRegionsWithColour(scene_, renderer_, selection(), focusedRecord(), colour, laying().panel, progress);
    if (painted == 0) return Outcome::NothingToDo(0);
    edit.Commit(ChangeAspect::Picture, progress);
    return Outcome::Done(painted);
}

Outcome SceneDocument::PaintFromColourCard(uint32_t colour) {
    EditScope edit(*this, EditKind::ColourCard, SelectedRecords());
    const Progress progress = StartProgress();
    const int painted =
        v2d::PaintFromColourCard(scene_, renderer_, selection(), focusedRecord(), colour, laying().panel, progress);
    if (painted == 0) return Outcome::NothingToDo(0);
    edit.Commit(ChangeAspect::Picture, progress);
    return Outcome::Done(painted);
}

Outcome SceneDocument::NudgeFocusedModel(int dx, int dy) {
    V2dPolygon* target = MoveTarget(scene_, Focused());
    if (!target) return Outcome::NothingToDo();
    EditScope edit(*this, EditKind::MoveModel, {target});
    if (!NudgeModel(target, dx, dy)) return Outcome::NothingToDo();
    edit.Commit(ChangeAspect::Geometry, StartProgress());
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
