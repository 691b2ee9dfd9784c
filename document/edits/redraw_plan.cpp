#include "document/edits/redraw_plan.h"

#include <algorithm>

namespace v2d {
namespace {

// Whether the two states of a record differ in nothing but where it is put
// and how it reflects (with `andPlace`), or only in how it reflects.
bool DiffersOnlyInReflection(const RecordState& was, const RecordState& now, bool andPlace) {
    if (was.relay || now.relay || was.frameCurrent != now.frameCurrent || was.keepsPicture != now.keepsPicture ||
        was.keepsSourcePicture != now.keepsSourcePicture)
        return false;
    V2dPolygon moved = now.fields;
    moved.reflect = was.fields.reflect;
    if (andPlace) {
        moved.originX = was.fields.originX;
        moved.originY = was.fields.originY;
    }
    return moved == was.fields;
}

bool SameGroups(std::span<const V2dGroupPL> a, std::span<const V2dGroupPL> b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const V2dGroupPL& x, const V2dGroupPL& y) {
        return x.name == y.name && x.members == y.members;
    });
}

}  // namespace

RedrawPlan PlanRedraw(const Scene& scene, const SceneState& from, const SceneState& to) {
    RedrawPlan plan;
    plan.fromKept = from.order && to.order && (*from.order != *to.order || !SameGroups(from.groups, to.groups));
    for (const RecordState& now : to.records) {
        const V2dPolygon* record = scene.Find(now.id());
        if (!record) continue;
        if (now.drawnFlat) {
            plan.flat.push_back(now.id());
            continue;
        }
        if (const RecordState* was = from.Of(now.id())) {
            // A picture model is drawn from its kept picture wherever it is
            // put and however it reflects; a shadow region shows no reflection.
            if (record->kind == RecordKind::PictureModel && DiffersOnlyInReflection(*was, now, true)) {
                plan.fromKept = true;
                continue;
            }
            if (record->kind == RecordKind::ShadowRegion && DiffersOnlyInReflection(*was, now, false)) continue;
        }
        const V2dPolygon* owner = record->group && scene.IndexOfPolygon(record->group) >= 0 ? record->group : record;
        if (std::find(plan.rendered.begin(), plan.rendered.end(), owner->id) == plan.rendered.end())
            plan.rendered.push_back(owner->id);
    }
    return plan;
}

}  // namespace v2d
