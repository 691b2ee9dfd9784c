#pragma once
// The model operations of the model menu, without any widget: mirroring and
// resetting a model's corners, stepping a cut-out's rotation frames, copying
// a model with its parts and choosing what a deletion removes.
#include <string>
#include <vector>

#include "scene/scene.h"

namespace v2d {

enum class MirrorAxis { X, Y };

// A picture model's corners mirrored about the middle of their span on the
// axis: c becomes (min + max) - c; the corner order stays, so the picture
// warped onto them is drawn mirrored. False (nothing changed) for any other
// kind.
bool MirrorModelCorners(V2dPolygon& model, MirrorAxis axis);

// The corners become the outline's bounding rectangle, top-left first, at
// 100 % scale; the origin stays.
void ResetModelCorners(V2dPolygon& model);

// A cut-out model's corners become the rectangle of its picture at its
// scale: (0, 0) to (trunc(w * scaleX / 100), trunc(h * scaleY / 100)).
// Records of other kinds are left alone.
void ResetCutoutCorners(V2dPolygon& record);

// A cut-out model with two or more frames shows the next (+1) or previous
// (-1) frame, wrapping at both ends, and its corners are reset to the new
// frame's size. False for anything else.
bool StepRotationFrame(Scene& scene, V2dPolygon& model, int direction);

// A copy of a model at the end of PolyList, lying exactly over it: a model
// without parts is copied alone; a part, or an owner, brings the whole
// model, its parts pointing at the copied owner. The copy of a cut-out shows
// only the frame it showed. The copied owner (or the single copy) is
// returned; null for a record that is not a model.
V2dPolygon* CopyModel(Scene& scene, V2dPolygon* record);

// What deleting the records removes: the records themselves and the parts
// of every owner among them, in list order.
std::vector<V2dPolygon*> RecordsToDelete(Scene& scene, const std::vector<V2dPolygon*>& records);

// True when one of the records belongs to a named region group.
bool AnyInRegionGroup(const Scene& scene, const std::vector<V2dPolygon*>& records);

}  // namespace v2d
