#pragma once
// The document's history: Qt's undo stack of scene edits, bounded by a byte
// budget. When the pictures the steps keep exceed it, laid pictures are
// given up for their laying settings, oldest first; if that is not enough,
// the oldest steps are dropped (never the newest one).
#include <QUndoStack>

#include <cstddef>
#include <memory>

#include "document/edits/scene_edit.h"

namespace v2d {

inline constexpr size_t kDefaultHistoryBudget = size_t{256} << 20;

class EditHistory {
public:
    explicit EditHistory(EditApplier& applier) : applier_(applier) {}

    QUndoStack& stack() { return stack_; }
    const QUndoStack& stack() const { return stack_; }

    // A change already made to the scene becomes the newest step (or joins
    // the newest step of the same gesture).
    void Push(std::shared_ptr<EditPayload> edit);
    void Clear();

    void SetBudget(size_t bytes);
    // Bytes the steps keep now.
    size_t keptBytes() const;
    // True while the stack is rebuilt: its signals say nothing about the scene.
    bool rebuilding() const { return rebuilding_; }

private:
    void DropOldestOverBudget();

    EditApplier& applier_;
    QUndoStack stack_;
    size_t budget_ = kDefaultHistoryBudget;
    bool rebuilding_ = false;
};

}  // namespace v2d
