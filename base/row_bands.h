#pragma once
// Splits a per-row pixel loop into row bands across the pool. Small pictures
// stay on the calling thread: handing bands out costs more than it saves;
// so does every loop inside pool work, which takes all rows as one band.
// The bands' results must not depend on where the bands are cut.
#include <algorithm>
#include <cstddef>

#include "base/parallel_for.h"

namespace v2d {

inline constexpr long long kPixelsWorthSplitting = 256 * 1024;

// fn(firstRow, endRow) over [0, rows); `pixelsPerRow` decides whether to split.
template <class Fn>
void ForEachRowBand(int rows, int pixelsPerRow, Fn&& fn) {
    if (rows <= 0) return;
    const unsigned cores = PoolThreads();
    if (cores == 1 || InsidePoolWork() || rows < 2 ||
        static_cast<long long>(rows) * std::max(pixelsPerRow, 1) < kPixelsWorthSplitting) {
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
