#include "models/model_operations.h"

#include <algorithm>
#include <utility>

#include "base/geometry.h"
#include "scene/outline_geometry.h"

namespace v2d {

bool MirrorModelCorners(V2dPolygon& model, MirrorAxis axis) {
    if (model.kind != RecordKind::PictureModel) return false;
    auto coordinate = [axis](V2d_Point& p) -> int32_t& { return axis == MirrorAxis::X ? p.x : p.y; };
    int32_t low = coordinate(model.corners[0]), high = low;
    for (V2d_Point& c : model.corners) low = std::min(low, coordinate(c)), high = std::max(high, coordinate(c));
    const int64_t sum = int64_t{low} + high;
    for (V2d_Point& c : model.corners) coordinate(c) = static_cast<int32_t>(sum - coordinate(c));
    return true;
}

void ResetModelCorners(V2dPolygon& model) {
    SetCornersFromBoundingBox(model);
    model.scaleX = 100;
    model.scaleY = 100;
}

void ResetCutoutCorners(V2dPolygon& record) {
    if (record.kind != RecordKind::CutOutModel || record.picture.isNull()) return;
    const int32_t w = TruncToInt(record.picture.width() * record.scaleX * 0.01);
    const int32_t h = TruncToInt(record.picture.height() * record.scaleY * 0.01);
    record.corners[0] = {0, 0};
    record.corners[1] = {w, 0};
    record.corners[2] = {w, h};
    record.corners[3] = {0, h};
}

bool StepRotationFrame(Scene& scene, V2dPolygon& model, int direction) {
    if (model.kind != RecordKind::CutOutModel) return false;
    V2dPolygonEx* frames = scene.FrameSetOf(&model);
    if (!frames || frames->frames.size() < 2) return false;
    const int32_t n = static_cast<int32_t>(frames->frames.size());
    const int32_t c = frames->clampedCurrent();
    const int32_t next = direction >= 0 ? (c == n - 1 ? 0 : c + 1) : (c == 0 ? n - 1 : c - 1);
    frames->current = next;
    model.picture = frames->frames[static_cast<size_t>(next)];
    ResetCutoutCorners(model);
    return true;
}

V2dPolygon* CopyModel(Scene& scene, V2dPolygon* record) {
    if (!IsPlacedModel(record)) return nullptr;
    const V2dPolygon* owner = record->group ? record->group : record;
    const std::vector<const V2dPolygon*> parts = std::as_const(scene).GroupMembers(owner);
    V2dPolygon* copy = scene.Append(CopyPolygon(*owner));
    copy->group = nullptr;
    for (const V2dPolygon* part : parts) {
        PolygonPtr partCopy = CopyPolygon(*part);
        partCopy->group = copy;
        scene.Append(std::move(partCopy));
    }
    return copy;
}

std::vector<V2dPolygon*> RecordsToDelete(Scene& scene, const std::vector<V2dPolygon*>& records) {
    std::vector<V2dPolygon*> all;
    auto add = [&all](V2dPolygon* r) {
        if (r && std::find(all.begin(), all.end(), r) == all.end()) all.push_back(r);
    };
    for (V2dPolygon* r : records) {
        if (scene.IndexOfPolygon(r) < 0) continue;
        add(r);
        for (V2dPolygon* part : scene.GroupMembers(r)) add(part);
    }
    std::sort(all.begin(), all.end(),
              [&](V2dPolygon* a, V2dPolygon* b) { return scene.IndexOfPolygon(a) < scene.IndexOfPolygon(b); });
    return all;
}

bool AnyInRegionGroup(const Scene& scene, const std::vector<V2dPolygon*>& records) {
    for (const V2dGroupPL& group : scene.groups())
        for (const V2dPolygon* member : group.members)
            if (std::find(records.begin(), records.end(), member) != records.end()) return true;
    return false;
}

}  // namespace v2d
