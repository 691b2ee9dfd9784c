#pragma once
// Runs fn(i) for i in [0, count) on up to `threads` threads (the caller's
// among them). For coarse jobs such as one picture codec call each.
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

namespace v2d {

template <class Fn>
void ParallelFor(size_t count, Fn&& fn, unsigned threads = std::max(1u, std::thread::hardware_concurrency())) {
    if (count == 0) return;
    const unsigned workers = static_cast<unsigned>(std::min<size_t>(threads, count));
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i = next++; i < count; i = next++) fn(i);
    };
    std::vector<std::jthread> pool;
    for (unsigned t = 1; t < workers; ++t) pool.emplace_back(work);
    work();
}

}  // namespace v2d
