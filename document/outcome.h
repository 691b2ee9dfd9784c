#pragma once
// What a document operation did, the one answer every operation gives:
// it was done (a step was made, a file read or written), there was nothing
// to do, or it was refused with the user's message, worded as the program
// shows it. A value comes along where the operation yields one (the
// position of a placed record, the number of records painted), and so do
// the messages of single records that an operation over many passed by.
#include <string>
#include <utility>
#include <vector>

#include "base/result.h"

namespace v2d {

class [[nodiscard]] Outcome {
public:
    enum class Kind { Done, NothingToDo, Refused };

    static Outcome Done(int value = -1) { return Outcome(Kind::Done, value); }
    static Outcome NothingToDo(int value = -1) { return Outcome(Kind::NothingToDo, value); }
    static Outcome Of(bool done) { return done ? Done() : NothingToDo(); }
    Outcome(Error refusal) : kind_(Kind::Refused), refusal_(std::move(refusal)) {}
    Outcome(const Status& status) : Outcome(status.ok() ? Done() : Outcome(status.failure())) {}

    Kind kind() const { return kind_; }
    bool done() const { return kind_ == Kind::Done; }
    bool refused() const { return kind_ == Kind::Refused; }
    // Not refused: done, or nothing to do. Like a Result, an Outcome has no
    // truth of its own: a caller says done(), ok() or refused().
    bool ok() const { return !refused(); }

    const std::string& error() const { return refusal_.message; }
    const Error& failure() const { return refusal_; }
    // For callers that only tell success from a refusal.
    Status status() const { return refused() ? Status(refusal_) : Status::Ok(); }
    // The position placed or the count; -1 when the operation yields none.
    int value() const { return value_; }
    int operator*() const { return value_; }

    // Messages of single records the operation passed by, in list order.
    std::vector<Error> notes;
    // The hint line's text afterwards, when the operation sets one.
    std::string hint;

private:
    Outcome(Kind kind, int value) : kind_(kind), value_(value) {}
    Kind kind_;
    int value_ = -1;
    Error refusal_;
};

}  // namespace v2d
