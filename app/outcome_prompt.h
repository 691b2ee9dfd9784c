#pragma once
// What a window does with the answer of a document operation: a refusal is
// shown in a message box, and so is each message of a single record the
// operation passed by. Every slot that calls an operation hands it here.
#include "document/outcome.h"
#include "widgets/user_prompts.h"

namespace v2d {

// True when the operation was refused (its message has been shown).
inline bool ShowOutcome(UserPrompts& prompts, QWidget* parent, const Outcome& outcome) {
    if (outcome.refused()) {
        prompts.Show(parent, outcome.failure());
        return true;
    }
    for (const Error& note : outcome.notes) prompts.Show(parent, note);
    return false;
}

}  // namespace v2d
