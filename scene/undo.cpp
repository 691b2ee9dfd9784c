#include "scene/undo.h"

#include <algorithm>

namespace v2d {
namespace {

bool InScene(const Scene& scene, const V2dPolygon* record) {
    return record && scene.IndexOfPolygon(record) >= 0;
}

std::unique_ptr<V2dPolygonEx> CopyFrameSet(const V2dPolygonEx& frames, V2dPolygon* newOwner) {
    auto copy = std::make_unique<V2dPolygonEx>();
    copy->owner = newOwner;
    copy->current = frames.current;
    for (const QImage& frame : frames.frames) copy->frames.push_back(frame.copy());
    return copy;
}

std::unique_ptr<V2dPolygonMesh> CopyMesh(const V2dPolygonMesh& mesh, V2dPolygon* newOwner) {
    auto copy = std::make_unique<V2dPolygonMesh>(mesh);
    copy->owner = newOwner;
    return copy;
}

std::vector<V2dPolygon*> InListOrder(const Scene& scene, std::vector<V2dPolygon*> records) {
    std::sort(records.begin(), records.end(), [&](V2dPolygon* a, V2dPolygon* b) {
        return scene.IndexOfPolygon(a) < scene.IndexOfPolygon(b);
    });
    return records;
}

// A copy of every field. Pictures are copy-on-write values: the snapshot
// keeps the old pixels however the record's pictures are changed or replaced
// later, without copying scene-sized pictures up front.
PolygonPtr Snapshot(const V2dPolygon& record) { return std::make_unique<V2dPolygon>(record); }

}  // namespace

UndoObject PictureUndo(const Scene& scene, V2dPolygon& record) {
    UndoObject u;
    u.type = UndoKind::Picture;
    V2dPolygon* owner = record.group && InScene(scene, record.group) ? record.group : nullptr;
    u.target = owner ? owner : &record;
    u.saved = Snapshot(*u.target);
    u.saved->group = nullptr;
    if (owner) {
        u.saved->group = &record;
        u.saved->sourcePicture = record.picture;
    }
    return u;
}

UndoObject ModelMoveUndo(V2dPolygon& model) {
    UndoObject u;
    u.type = UndoKind::ModelMoved;
    u.target = model.group ? model.group : &model;
    u.saved = Snapshot(*u.target);
    return u;
}

UndoObject RemovalUndo(const Scene& scene, const std::vector<V2dPolygon*>& removed) {
    UndoObject u;
    if (removed.empty()) return u;
    const std::vector<V2dPolygon*> ordered = InListOrder(scene, removed);
    u.position = std::max(0, scene.IndexOfPolygon(ordered.front()));
    std::vector<PolygonPtr> copies;
    for (V2dPolygon* r : ordered) copies.push_back(CopyPolygon(*r));
    // Parts refer to the copy of their owner; owners outside the removal stay.
    for (size_t i = 0; i < ordered.size(); ++i) {
        for (size_t k = 0; k < ordered.size(); ++k)
            if (ordered[i]->group == ordered[k]) copies[i]->group = copies[k].get();
        if (const V2dPolygonEx* frames = scene.FrameSetOf(ordered[i]))
            u.frameSets.push_back(CopyFrameSet(*frames, copies[i].get()));
        if (const V2dPolygonMesh* mesh = scene.MeshOf(ordered[i])) u.meshes.push_back(CopyMesh(*mesh, copies[i].get()));
    }
    if (copies.size() == 1) {
        u.type = UndoKind::RecordRemoved;
        u.saved = std::move(copies.front());
    } else {
        u.type = UndoKind::ModelRemoved;
        u.records = std::move(copies);
    }
    return u;
}

std::vector<std::pair<const V2dPolygon*, V2dPolygon*>> RemovedCopies(const Scene& scene,
                                                                     const std::vector<V2dPolygon*>& removed,
                                                                     UndoObject& removal) {
    std::vector<std::pair<const V2dPolygon*, V2dPolygon*>> pairs;
    const std::vector<V2dPolygon*> ordered = InListOrder(scene, removed);
    if (removal.saved && ordered.size() == 1) pairs.emplace_back(ordered.front(), removal.saved.get());
    for (size_t i = 0; i < ordered.size() && i < removal.records.size(); ++i)
        pairs.emplace_back(ordered[i], removal.records[i].get());
    return pairs;
}

void RedirectUndo(UndoList& undoList, const V2dPolygon* from, V2dPolygon* to) {
    for (UndoObject& u : undoList) {
        if (u.type != UndoKind::Picture && u.type != UndoKind::ModelMoved) continue;
        if (u.target == from) u.target = to;
        if (u.saved && u.saved->group == from) u.saved->group = to;
    }
}

void PushUndo(UndoList& undoList, UndoObject undoObject) { undoList.push_back(std::move(undoObject)); }

void ClearUndo(UndoList& undoList) { undoList.clear(); }

UndoOutcome Undo(Scene& scene, UndoList& undoList) {
    UndoOutcome outcome;
    if (undoList.empty()) return outcome;
    UndoObject u = std::move(undoList.back());
    undoList.pop_back();
    outcome.undone = true;
    outcome.type = u.type;
    switch (u.type) {
        case UndoKind::Picture: {
            if (!InScene(scene, u.target) || !u.saved) break;
            V2dPolygon& target = *u.target;
            target.picture = std::move(u.saved->picture);
            target.renderCache = std::move(u.saved->renderCache);
            // The product descriptor and tone flag belong to the picture too:
            // a report must not list a product that is no longer shown.
            target.partsInfo = u.saved->partsInfo;
            target.toneEnabled = u.saved->toneEnabled;
            V2dPolygon* part = u.saved->group;
            if (!scene.GroupMembers(&target).empty() && InScene(scene, part) && part->group == &target)
                part->picture = std::move(u.saved->sourcePicture);
            outcome.target = &target;
            break;
        }
        case UndoKind::ModelMoved: {
            if (!InScene(scene, u.target) || !u.saved) break;
            u.target->originX = u.saved->originX;
            u.target->originY = u.saved->originY;
            outcome.target = u.target;
            outcome.redrawSelection = scene.CurPoly == u.target || (scene.CurPoly && scene.CurPoly->group == u.target);
            break;
        }
        case UndoKind::RecordRemoved:
        case UndoKind::ModelRemoved: {
            std::vector<PolygonPtr> records = std::move(u.records);
            if (u.saved) records.insert(records.begin(), std::move(u.saved));
            if (records.empty()) break;
            const int p = std::clamp(u.position, 0, scene.count());
            outcome.insertedAt = p;
            outcome.insertedCount = static_cast<int>(records.size());
            // An owner freed since the removal cannot own the restored parts.
            for (const PolygonPtr& r : records) {
                const bool ownerBack = std::any_of(records.begin(), records.end(),
                                                   [&](const PolygonPtr& o) { return o.get() == r->group; });
                if (r->group && !ownerBack && !InScene(scene, r->group)) r->group = nullptr;
            }
            for (size_t j = 0; j < records.size(); ++j) scene.Insert(p + static_cast<int>(j), std::move(records[j]));
            for (auto& frames : u.frameSets) {
                frames->current = frames->clampedCurrent();
                scene.FrameSetList.push_back(std::move(frames));
            }
            for (auto& mesh : u.meshes) scene.MeshList.push_back(std::move(mesh));
            outcome.listChanged = true;
            break;
        }
        default:
            break;
    }
    return outcome;
}

}  // namespace v2d
