#pragma once
// What a change of the scene needs drawn again, decided in one place from
// the records' states on either side of it: for an edit from before to
// after, for an undo from after to before, for a scope left half-way from
// where it stopped back to before. The smallest redraw that shows the new
// state: the changed records rendered (a model's owner for its part, since
// the owner draws its parts), a flat painting drawn flat, and the whole
// scene from the kept pictures where the list changed or a picture model
// only moved.
#include <vector>

#include "document/edits/scene_state.h"

namespace v2d {

struct RedrawPlan {
    // Rendered afresh (shadow regions above them follow, as the renderer does).
    std::vector<RecordId> rendered;
    // Drawn flat from their own picture again, not toned.
    std::vector<RecordId> flat;
    // Every record drawn from what the renderer keeps for it.
    bool fromKept = false;

    bool empty() const { return rendered.empty() && flat.empty() && !fromKept; }
};

// `from` and `to` hold the records that changed (see KeepOnlyChanges) as
// they were and as they are now; records of `to` no longer in the scene
// need nothing.
RedrawPlan PlanRedraw(const Scene& scene, const SceneState& from, const SceneState& to);

}  // namespace v2d
