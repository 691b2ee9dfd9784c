// The scene document's model operations: loading a model file, dropping a
// model product on the scene, deleting records.
#include <QScopeGuard>

#include <algorithm>

#include "document/scene_document.h"
#include "library/product.h"
#include "models/drawing_order.h"
#include "models/model_loading.h"
#include "models/model_placement.h"
#include "render/decoration_line.h"
#include "render/tiling.h"

namespace v2d {
namespace {

// Moves the record to just after `anchor` in PolyList.
void MoveAfter(Scene& scene, V2dPolygon* record, const V2dPolygon* anchor) {
    const int at = scene.IndexOfPolygon(record), after = scene.IndexOfPolygon(anchor);
    scene.Move(record, at < after ? after : after + 1);
}

// A free model centred on the point; a cut-out's handles frame its picture.
void CentreFreeModel(V2dPolygon& model, V2d_Point point) {
    CentreModelOn(model, point);
    ResetCutoutCorners(model);
}

void TakePlaceOf(V2dPolygon& model, const V2dPolygon& old) {
    std::copy(std::begin(old.corners), std::end(old.corners), model.corners);
    model.originX = old.originX;
    model.originY = old.originY;
    model.scaleX = old.scaleX;
    model.scaleY = old.scaleY;
}

// A placement's position as an outcome: -1 placed nothing.
Outcome Placed(const Result<int>& position) {
    if (!position) return position.failure();
    return *position < 0 ? Outcome::NothingToDo() : Outcome::Done(*position);
}

}  // namespace

Result<int> SceneDocument::AppendModelFile(const std::filesystem::path& path) {
    std::error_code missing;
    if (!std::filesystem::is_regular_file(path, missing)) return 0;
    const std::optional<CarriedModel>& carried = product_.model;
    Result<ModelFile> model = carried && carried->Stands(path)
                                  ? ParseModelFile(carried->bytes(), PictureCheck::Strict, path.filename().string())
                                  : ReadModelFile(path);
    if (!model) return Error{model.error()};
    return AddModelToScene(scene_, std::move(*model), path.stem().string());
}

Outcome SceneDocument::LoadModelFile(const std::filesystem::path& path) {
    EditScope edit(*this, EditKind::DropModel, {}, true);
    Result<int> added = AppendModelFile(path);
    // A file that does not read leaves the selection as it was.
    if (!added) return added.failure();
    if (*added == 0) return Outcome::NothingToDo(0);
    std::vector<V2dPolygon*> loaded;
    for (int i = scene_.count() - *added; i < scene_.count(); ++i) loaded.push_back(scene_.at(i));
    for (V2dPolygon* record : loaded) edit.Add(record);
    selection_ = {};
    edit.Commit(ChangeAspect::Order | ChangeAspect::Selection, StartProgress());
    return Outcome::Done(*added);
}

Result<V2dPolygon*> SceneDocument::LoadModelForPlacement(const std::filesystem::path& path,
                                                        const Product& product) {
    const int before = scene_.count();
    Result<int> added = AppendModelFile(path);
    if (!added) return Error{added.error()};
    if (*added == 0) return nullptr;
    V2dPolygon* model = scene_.at(before);
    if (!product.empty())
        model->partsInfo = product.descriptor();
    else if (model->partsInfo.empty() && *added > 1)
        model->partsInfo = scene_.at(before + 1)->partsInfo;  // an owner speaks for its parts
    return model;
}

V2dPolygon* SceneDocument::FocusedModel() {
    V2dPolygon* target = MoveTarget(scene_, Focused());
    return target && target->kind != RecordKind::Region ? target : nullptr;
}

int SceneDocument::ModelDropTarget(V2d_Point point) const {
    const int hit = HitTest(scene_, point.x, point.y, MapperOf(ops_));
    if (hit < 0) return -1;
    const V2dPolygon* record = scene_.at(hit);
    return record->group ? scene_.IndexOfPolygon(record->group) : hit;
}

Outcome SceneDocument::DropModel(const ModelDrop& drop) {
    if (drop.product.kind() == ModelKind::DecorationLine)
        return Placed(DrawDecorationLineAt(drop));
    EditScope edit(*this, EditKind::DropModel, {}, true);
    // Nothing placed: the records loaded for it go again with the scope, unannounced.
    return Placed(DropModelInto(drop, edit));
}

Result<int> SceneDocument::DropModelInto(const ModelDrop& drop, EditScope& edit) {
    const int before = scene_.count();
    Result<V2dPolygon*> loaded = LoadModelForPlacement(drop.modelFile, drop.product);
    if (!loaded) return Error{loaded.error()};
    V2dPolygon* model = *loaded;
    if (!model) return -1;
    V2dPolygon* target = drop.target >= 0 && drop.target < before ? scene_.at(drop.target) : nullptr;
    // The product dropped, else the one the model file's own record names.
    const Product product = drop.product.empty() ? model->partsInfo.product() : drop.product;
    const ModelKind kind = product.kind();
    // Furniture let go on a carpet or a picture stands on the region beneath.
    if (target && target->kind == RecordKind::PictureModel && LiesFlat(*target) && !DrawnInPerspective(kind)) {
        const int region = RegionAt(scene_, drop.point.x, drop.point.y);
        target = region >= 0 ? scene_.at(region) : nullptr;
    }
    if (target && target->kind == RecordKind::PictureModel && !(drop.confirmReplace ? drop.confirmReplace() : drop.replace))
        target = nullptr;

    if (target && target->kind == RecordKind::Region && (kind != ModelKind::Uncategorised || drop.fitIntoRegion)) {
        const ProductSize specs = product.size();
        model->realWidth = drop.realWidth > 0 ? drop.realWidth : specs.width;
        model->realHeight = drop.realHeight > 0 ? drop.realHeight : specs.height;
        if (target->realWidth <= 0 || target->realHeight <= 0 || model->realWidth <= 0 || model->realHeight <= 0)
            return Error{kMsgNoRealSize};  // without real sizes there is no fit; the drop is taken back whole
        if (FitModelIntoRegion(*target, *model, drop.point, ops_)) {
            if (StandsOnBottomEdge(kind)) AlignToBottomEdge(*target, *model);
            SettleCutoutPlacement(*model, CutoutStanceFor(kind));
        } else {
            CentreFreeModel(*model, drop.point);  // a region the library cannot rectify
        }
        BringToFront(scene_, model, MapperOf(ops_));
    } else if (!target || target->kind != RecordKind::PictureModel) {
        CentreFreeModel(*model, drop.point);
        BringToFront(scene_, model, MapperOf(ops_));
    } else {
        // A replacement keeps the drawing order the old model had.
        edit.SetKind(EditKind::ReplaceModel);
        TakePlaceOf(*model, *target);
        SettleCutoutPlacement(*model, CutoutStance::FillsBox);
        MoveAfter(scene_, model, target);
        std::vector<V2dPolygon*> removed = scene_.GroupMembers(target);
        removed.insert(removed.begin(), target);
        edit.Remove(removed);
    }
    return ShowPlacedModel(model, edit);
}

int SceneDocument::ShowPlacedModel(V2dPolygon* model, EditScope& edit) {
    const Progress progress = StartProgress();
    const int position = scene_.IndexOfPolygon(model);
    edit.Add(model);
    for (V2dPolygon* part : scene_.GroupMembers(model)) edit.Add(part);
    SelectQuietly(position, {position});
    edit.Commit(ChangeAspect::Order | ChangeAspect::Picture | ChangeAspect::Selection, progress);
    return position;
}

Result<int> SceneDocument::DrawDecorationLineAt(const ModelDrop& drop) {
    V2dPolygon* region = drop.target >= 0 && drop.target < scene_.count() ? scene_.at(drop.target) : nullptr;
    if (!region || region->kind != RecordKind::Region) return -1;
    std::error_code missing;
    if (!std::filesystem::is_regular_file(drop.modelFile, missing)) return -1;
    const int height =
        drop.realHeight > 0 ? drop.realHeight : drop.product.size().height;
    EditScope edit(*this, EditKind::DecorationLine, {region});
    const std::optional<CarriedModel>& carried = product_.model;
    const QImage line = carried && carried->Stands(drop.modelFile) ? carried->preview() : ReadModelPreview(drop.modelFile);
    QImage drawn = DrawDecorationLine(*region, line, height, drop.point);
    if (drawn.isNull()) return -1;
    region->picture = std::move(drawn);
    edit.Commit(ChangeAspect::Picture, StartProgress());
    return drop.target;
}

Outcome SceneDocument::PlaceModelInRectangle(const std::filesystem::path& modelFile, const Product& product,
                                              const Quad& corners) {
    EditScope edit(*this, EditKind::PlaceModel, {}, true);
    Result<V2dPolygon*> loaded = LoadModelForPlacement(modelFile, product);
    if (!loaded) return loaded.failure();
    V2dPolygon* model = *loaded;
    if (!model) return Outcome::NothingToDo();
    for (size_t i = 0; i < corners.size(); ++i)
        model->corners[i] = V2d_Point{corners[i].x - model->originX, corners[i].y - model->originY};
    SettleCutoutPlacement(*model, CutoutStance::FillsBox);  // the rectangle drawn for it
    BringToFront(scene_, model, MapperOf(ops_));
    return Outcome::Done(ShowPlacedModel(model, edit));
}

Outcome SceneDocument::DropMaterial(V2d_Point point) {
    const Hit hit = HitTestRecord(scene_, point.x, point.y, MapperOf(ops_));
    if (hit.index < 0) return Outcome::NothingToDo();
    V2dPolygon* record = scene_.at(hit.index);
    if (record->kind == RecordKind::ShadowRegion || record->kind == RecordKind::CutOutModel)
        return Outcome::NothingToDo();
    if (!scene_.GroupMembers(record).empty()) {
        const int part = PartAt(scene_, record, hit.ring);
        if (part < 0) return Outcome::NothingToDo();
        record = scene_.at(part);
    }
    const LayingSettings laying = this->laying();
    EditScope edit(*this, EditKind::DropMaterial, {record});
    const Progress progress = StartProgress();
    const TileOutcome outcome = TileRegion(scene_, renderer_, *record, laying.panel, laying.effect, progress);
    if (outcome.message) return *outcome.message;
    if (outcome.status != TileStatus::Tiled) return Outcome::NothingToDo();
    edit.Commit(ChangeAspect::Picture, progress, {record}, laying);
    return Outcome::Done();
}

Outcome SceneDocument::MoveFocusedModel(int dx, int dy, bool firstStep) {
    V2dPolygon* target = FocusedModel();
    if (!target) return Outcome::NothingToDo();
    if (firstStep || !drag_) drag_.emplace(*this, EditKind::MoveModel, std::vector<V2dPolygon*>{target});
    target->originX += dx;
    target->originY += dy;
    return Outcome::Done();
}

void SceneDocument::FinishModelMove() {
    V2dPolygon* target = MoveTarget(scene_, Focused());
    if (!target) return;
    const auto finished = qScopeGuard([this] { drag_.reset(); });  // a drawing that throws rolls the drag back
    const Progress progress = StartProgress();
    if (drag_) drag_->Commit(ChangeAspect::Geometry, progress);
}

Outcome SceneDocument::ShapeFocusedModel(const HandlePositions& handles, QPoint viewOffset, double zoom) {
    V2dPolygon* target = FocusedModel();
    if (!target) return Outcome::NothingToDo();
    if (!drag_) drag_.emplace(*this, EditKind::ShapeModel, std::vector<V2dPolygon*>{target});
    CornersFromHandles(*target, handles, viewOffset, zoom);
    return Outcome::Done();
}

void SceneDocument::FinishModelShaping() {
    V2dPolygon* target = FocusedModel();
    if (!target) return;
    const auto finished = qScopeGuard([this] { drag_.reset(); });
    if (target->kind == RecordKind::CutOutModel) SettleCutoutCorners(*target);
    const Progress progress = StartProgress();
    if (drag_) drag_->Commit(ChangeAspect::Geometry, progress);
}

}  // namespace v2d
