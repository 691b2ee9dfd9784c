#include "document/edits/edit_history.h"

#include <algorithm>
#include <vector>

namespace v2d {
namespace {

const SceneEdit* EditAt(const QUndoStack& stack, int index) {
    return static_cast<const SceneEdit*>(stack.command(index));
}

}  // namespace

void EditHistory::Push(std::shared_ptr<EditPayload> edit) {
    stack_.push(new SceneEdit(std::move(edit), applier_, true));
    DropOldestOverBudget();
}

void EditHistory::Clear() {
    stack_.clear();
    stack_.setClean();
}

void EditHistory::SetBudget(size_t bytes) {
    budget_ = bytes;
    DropOldestOverBudget();
}

size_t EditHistory::keptBytes() const {
    size_t bytes = 0;
    for (int i = 0; i < stack_.count(); ++i) bytes += EditAt(stack_, i)->payload()->bytes();
    return bytes;
}

void EditHistory::DropOldestOverBudget() {
    size_t bytes = keptBytes();
    // Laid pictures go first, oldest first: their steps lay them again.
    for (int i = 0; i < stack_.count() && bytes > budget_; ++i) {
        EditPayload& edit = *EditAt(stack_, i)->payload();
        const size_t freed = ThinLaidPictures(edit.before) + ThinLaidPictures(edit.after);
        bytes -= std::min(bytes, freed);
    }
    int dropped = 0;
    while (bytes > budget_ && stack_.count() - dropped > 1) {
        bytes -= EditAt(stack_, dropped)->payload()->bytes();
        ++dropped;
    }
    if (dropped == 0) return;
    // Qt's stack cannot drop its oldest commands, so it is built again from
    // the steps that stay; their payloads outlive the old commands.
    std::vector<std::shared_ptr<EditPayload>> kept;
    for (int i = dropped; i < stack_.count(); ++i) kept.push_back(EditAt(stack_, i)->payload());
    const int index = stack_.index() - dropped;
    const int clean = stack_.cleanIndex() - dropped;
    rebuilding_ = true;
    stack_.clear();
    std::vector<SceneEdit*> rebuilt;
    for (auto& payload : kept) {
        rebuilt.push_back(new SceneEdit(std::move(payload), applier_, true));
        rebuilt.back()->SetReplaying(true);
        stack_.push(rebuilt.back());
    }
    if (clean >= 0) {
        stack_.setIndex(clean);
        stack_.setClean();
    } else {
        stack_.resetClean();
    }
    stack_.setIndex(index < 0 ? 0 : index);
    for (SceneEdit* edit : rebuilt) edit->SetReplaying(false);
    rebuilding_ = false;
}

}  // namespace v2d
