#pragma once
// The undo stack: operations that change a record's picture, move a model or
// delete records push one UndoObject before they change the scene; Undo
// reverts the newest. There is no redo and no depth limit.
#include <cstdint>
#include <memory>
#include <vector>

#include "scene/scene.h"

namespace v2d {

// What an entry undoes; the numbers are the program's own type codes.
enum class UndoKind : uint8_t {
    Picture = 0,        // a record's picture changed
    RecordRemoved = 1,  // a model without parts was deleted
    ModelMoved = 2,     // a model was moved
    ModelRemoved = 4,   // a model with its parts was deleted
};

struct UndoObject {
    UndoKind type = UndoKind::Picture;
    V2dPolygon* target = nullptr;  // types 0 and 2: the changed record
    int position = 0;              // types 1 and 4: where the removed records stood
    PolygonPtr saved;              // types 0 and 2: the target before; type 1: the removed record
    std::vector<PolygonPtr> records;  // type 4: the removed records in their former order
    // Rotation frames of removed cut-out models and warp meshes of removed
    // regions, put back with them.
    std::vector<std::unique_ptr<V2dPolygonEx>> frameSets;
    std::vector<std::unique_ptr<V2dPolygonMesh>> meshes;
};

using UndoList = std::vector<UndoObject>;

// Type 0 for a record about to get a new picture. For a model part the
// entry is the owner's; the snapshot's `group` then names the part and its
// `sourcePicture` holds the part's picture, so both come back.
UndoObject PictureUndo(const Scene& scene, V2dPolygon& record);
// Type 2 for a model about to move (its owner when it is a part).
UndoObject ModelMoveUndo(V2dPolygon& model);
// Types 1 and 4 for records about to be removed from the list: a single
// record gives type 1, several (a model and its parts) type 4. Copies are
// taken now, with parts pointing at the copied owner; frame sets and warp
// meshes are copied with them.
UndoObject RemovalUndo(const Scene& scene, const std::vector<V2dPolygon*>& removed);
// The copies a removal entry holds, paired with the records they copy (the
// entry's own order), so that older entries can follow the records.
std::vector<std::pair<const V2dPolygon*, V2dPolygon*>> RemovedCopies(const Scene& scene,
                                                                     const std::vector<V2dPolygon*>& removed,
                                                                     UndoObject& removal);
// Older entries about a record that is being removed name its copy from
// now on (their target, and the part a picture snapshot names), so undoing
// the removal and then them changes the record that came back.
void RedirectUndo(UndoList& undoList, const V2dPolygon* from, V2dPolygon* to);

void PushUndo(UndoList& undoList, UndoObject undoObject);
void ClearUndo(UndoList& undoList);

// What the window does after an undo.
struct UndoOutcome {
    bool undone = false;         // an entry was taken from the stack
    UndoKind type = UndoKind::Picture;
    V2dPolygon* target = nullptr;  // the record that changed back (types 0, 2)
    int insertedAt = -1;         // types 1 and 4: first position put back
    int insertedCount = 0;
    // Type 2: the selection outline and handles are to be drawn again.
    bool redrawSelection = false;
    // Types 1 and 4: the region list changed; run the selection handler.
    bool listChanged = false;
};

// Undoes the newest entry. An entry whose target is no longer in the scene
// is removed without changing anything. The caller redraws the scene quickly
// (every record from its cache).
UndoOutcome Undo(Scene& scene, UndoList& undoList);

}  // namespace v2d
