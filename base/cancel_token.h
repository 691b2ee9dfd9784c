#pragma once
// The "stop" of a long operation, beside its Progress: the caller keeps a
// copy and calls Cancel() from any thread (the window's cancel button, a
// newer request replacing an older one); the operation asks cancelled() at
// the points where it can stop and leave everything as it found it. Copies
// share one flag.
#include <atomic>
#include <memory>

namespace v2d {

class CancelToken {
public:
    CancelToken() : flag_(std::make_shared<std::atomic<bool>>(false)) {}

    void Cancel() const { flag_->store(true); }
    bool cancelled() const { return flag_->load(); }
    // The flag itself, for a worker that polls a plain atomic (the
    // download's stop); it lives as long as any copy of the token.
    const std::atomic<bool>* flag() const { return flag_.get(); }

private:
    std::shared_ptr<std::atomic<bool>> flag_;
};

}  // namespace v2d
