#pragma once
// Runs fn(i) for i in [0, count) on up to `threads` threads of the pool (the
// caller's among them). Inside another loop's job or a pool job it runs on
// the calling thread alone. For coarse jobs such as one picture codec call
// each.
#include <cstddef>
#include <memory>

#include "base/thread_pool.h"

namespace v2d {

template <class Fn>
void ParallelFor(size_t count, Fn&& fn, unsigned threads = PoolThreads()) {
    using Job = std::remove_reference_t<Fn>;
    RunIndexed(count, threads, [](void* context, size_t i) { (*static_cast<Job*>(context))(i); },
               const_cast<void*>(static_cast<const void*>(std::addressof(fn))));
}

}  // namespace v2d
