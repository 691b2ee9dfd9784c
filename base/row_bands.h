#pragma once
// Splits a per-row pixel loop into row bands across the cores. Small pictures
// stay on the calling thread: starting threads costs more than it saves.
#include <algorithm>
#include <cstddef>
#include <thread>

#include "base/parallel_for.h"

namespace v2d {

inline constexpr long long kPixelsWorthSplitting = 256 * 1024;

// fn(firstRow, endRow) over [0, rows); `pixelsPerRow` decides whether to split.
template <class Fn>
void ForEachRowBand(int rows, int pixelsPerRow, Fn&& fn) {
    if (rows <= 0) return;
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    if (cores == 1 || static_cast<long long>(rows) * std::max(pixelsPerRow, 1) < kPixelsWorthSplitting || rows < 2) {
        fn(0, rows);
        return;
    }
    const int bands = static_cast<int>(std::min<unsigned>(cores, static_cast<unsigned>(rows)));
    ParallelFor(static_cast<size_t>(bands), [&](size_t band) {
        const int first = static_cast<int>(static_cast<long long>(rows) * band / bands);
        const int end = static_cast<int>(static_cast<long long>(rows) * (band + 1) / bands);
        fn(first, end);
    }, cores);
}

}  // namespace v2d
