#pragma once
// One change of the scene as a step of the history: the touched records'
// state before and after, applied by the document on undo and redo. A drag
// (a slider, a handle, an offset) sends many edits of one gesture; the
// stack merges them into one step.
#include <QString>
#include <QUndoCommand>

#include <memory>

#include "document/edits/scene_change.h"
#include "document/edits/scene_state.h"

namespace v2d {

enum class EditKind {
    Tiling = 1,
    LayInRectangle,
    DropMaterial,
    Brightness,
    Reflection,
    Painting,
    ColourCard,
    EffectOffsets,
    DropModel,
    ReplaceModel,
    PlaceModel,
    MoveModel,
    ShapeModel,
    MirrorModel,
    ResetModel,
    CopyModel,
    DeleteRecords,
    RotationFrame,
    Shadow,
    DecorationLine,
    Reorder,
    Light,
};

// The step's name as the menus show it after "撤销" and "重做".
QString EditName(EditKind kind);

struct EditPayload {
    EditKind kind = EditKind::Tiling;
    int gesture = 0;  // 0: never merged
    ChangeAspects aspects;
    SceneState before;
    SceneState after;
    ParkedRecords parked;
    size_t bytes() const { return KeptBytes(before) + KeptBytes(after) + KeptBytes(parked); }
};

// The document's side of undo and redo.
class EditApplier {
public:
    virtual ~EditApplier() = default;
    virtual void ApplyState(EditPayload& edit, const SceneState& state) = 0;
};

class SceneEdit : public QUndoCommand {
public:
    // `applied`: the change is already in the scene, so the stack's first
    // redo does nothing.
    SceneEdit(std::shared_ptr<EditPayload> payload, EditApplier& applier, bool applied);

    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

    const std::shared_ptr<EditPayload>& payload() const { return payload_; }
    // While the history is rebuilt, undo and redo only move the index.
    void SetReplaying(bool replaying) { replaying_ = replaying; }

private:
    std::shared_ptr<EditPayload> payload_;
    EditApplier& applier_;
    bool skipRedo_;
    bool replaying_ = false;
};

}  // namespace v2d
