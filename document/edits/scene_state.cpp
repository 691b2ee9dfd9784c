#include "document/edits/scene_state.h"

#include <algorithm>

#include "scene/owned_by.h"

namespace v2d {
namespace {

size_t BytesOf(const QImage& picture) { return picture.isNull() ? 0 : static_cast<size_t>(picture.sizeInBytes()); }

PolygonPtr Unpark(ParkedRecords& parked, RecordId id, Scene& scene) {
    auto it = std::find_if(parked.records.begin(), parked.records.end(),
                           [&](const PolygonPtr& r) { return r->id == id; });
    if (it == parked.records.end()) return nullptr;
    PolygonPtr taken = std::move(*it);
    parked.records.erase(it);
    if (auto mesh = TakeOwnedBy(parked.meshes, taken.get())) scene.AddMesh(std::move(mesh));
    if (auto frames = TakeOwnedBy(parked.frameSets, taken.get())) scene.AddFrameSet(std::move(frames));
    return taken;
}

void RestoreOrder(Scene& scene, const std::vector<RecordId>& order, ParkedRecords& parked) {
    for (int i = scene.count() - 1; i >= 0; --i) {
        const V2dPolygon* record = scene.at(i);
        if (std::find(order.begin(), order.end(), record->id) == order.end()) Park(scene, record, parked);
    }
    std::vector<PolygonPtr> list;
    list.reserve(order.size());
    for (RecordId id : order) {
        PolygonPtr owned = scene.Take(scene.Find(id));
        if (!owned) owned = Unpark(parked, id, scene);
        if (owned) list.push_back(std::move(owned));
    }
    for (PolygonPtr& rest : scene.TakeAll()) list.push_back(std::move(rest));  // never lose a record
    for (PolygonPtr& record : list) scene.Append(std::move(record));  // each keeps its identity
}

void RestoreFields(Scene& scene, V2dPolygon& record, const RecordState& state, const Relayer& relay) {
    V2dPolygon fields = state.fields;
    if (!state.keepsPicture) fields.picture = record.picture;
    if (!state.keepsSourcePicture) fields.sourcePicture = record.sourcePicture;
    record = std::move(fields);
    if (state.frameCurrent >= 0)
        if (V2dPolygonEx* frames = scene.FrameSetOf(&record)) frames->current = state.frameCurrent;
    if (state.relay && !state.keepsPicture && relay) relay(record, *state.relay);
}

}  // namespace

const RecordState* SceneState::Of(RecordId id) const {
    auto it = std::find_if(records.begin(), records.end(), [&](const RecordState& r) { return r.id() == id; });
    return it == records.end() ? nullptr : &*it;
}

SceneState CaptureState(const Scene& scene, std::span<const RecordId> records, bool withOrder,
                        RecordSelection selection, const DrawnFlat& drawnFlat) {
    SceneState state;
    for (RecordId id : records) {
        const V2dPolygon* record = scene.Find(id);
        if (!record || state.Of(id)) continue;
        RecordState r;
        r.fields = *record;
        r.drawnFlat = drawnFlat && drawnFlat(*record);
        if (const V2dPolygonEx* frames = scene.FrameSetOf(record)) r.frameCurrent = frames->current;
        state.records.push_back(std::move(r));
    }
    if (withOrder) {
        std::vector<RecordId> order;
        for (const V2dPolygon* record : scene.records()) order.push_back(record->id);
        state.order = std::move(order);
        state.groups.assign(scene.groups().begin(), scene.groups().end());
    }
    state.selection = std::move(selection);
    return state;
}

void KeepOnlyChanges(SceneState& before, SceneState& after) {
    for (RecordState& b : before.records) {
        auto a = std::find_if(after.records.begin(), after.records.end(),
                              [&](const RecordState& r) { return r.id() == b.id(); });
        if (a == after.records.end()) continue;
        if (a->fields.picture == b.fields.picture) {
            a->keepsPicture = b.keepsPicture = false;
            a->fields.picture = b.fields.picture = QImage();
        }
        if (a->fields.sourcePicture == b.fields.sourcePicture) {
            a->keepsSourcePicture = b.keepsSourcePicture = false;
            a->fields.sourcePicture = b.fields.sourcePicture = QImage();
        }
    }
    // A record whose fields and frame are as they were needs no state at all.
    std::erase_if(before.records, [&](const RecordState& b) {
        auto a = std::find_if(after.records.begin(), after.records.end(),
                              [&](const RecordState& r) { return r.id() == b.id(); });
        if (a == after.records.end() || a->frameCurrent != b.frameCurrent || a->relay || b.relay) return false;
        // The whole record compares (pictures by identity): a field no edit
        // names is seen as any other.
        if (a->keepsPicture || a->keepsSourcePicture || !(a->fields == b.fields)) return false;
        after.records.erase(a);
        return true;
    });
}

void Park(Scene& scene, const V2dPolygon* record, ParkedRecords& parked) {
    PolygonPtr owned = scene.Take(record);
    if (!owned) return;
    if (auto mesh = scene.TakeMesh(record)) parked.meshes.push_back(std::move(mesh));
    if (auto frames = scene.TakeFrameSet(record)) parked.frameSets.push_back(std::move(frames));
    parked.records.push_back(std::move(owned));
}

void RestoreState(Scene& scene, const SceneState& state, ParkedRecords& parked, const Relayer& relay) {
    if (state.order) {
        RestoreOrder(scene, *state.order, parked);
        scene.SetGroups(state.groups);
    }
    for (const RecordState& record : state.records)
        if (V2dPolygon* restored = scene.Find(record.id())) RestoreFields(scene, *restored, record, relay);
}

size_t ThinLaidPictures(SceneState& state) {
    size_t freed = 0;
    for (RecordState& r : state.records)
        if (r.relay && r.keepsPicture) {
            freed += BytesOf(r.fields.picture);
            r.keepsPicture = false;
            r.fields.picture = QImage();
        }
    return freed;
}

size_t KeptBytes(const SceneState& state) {
    size_t bytes = 0;
    for (const RecordState& r : state.records) {
        if (r.keepsPicture) bytes += BytesOf(r.fields.picture);
        if (r.keepsSourcePicture) bytes += BytesOf(r.fields.sourcePicture);
        bytes += sizeof(V2dPolygon) + r.fields.points.size() * sizeof(V2d_Point);
    }
    if (state.order) bytes += state.order->size() * sizeof(RecordId);
    return bytes;
}

size_t KeptBytes(const ParkedRecords& parked) {
    size_t bytes = 0;
    for (const PolygonPtr& r : parked.records)
        bytes += BytesOf(r->picture) + BytesOf(r->sourcePicture);
    for (const auto& frames : parked.frameSets)
        for (const QImage& frame : frames->frames) bytes += BytesOf(frame);
    return bytes;
}

}  // namespace v2d
