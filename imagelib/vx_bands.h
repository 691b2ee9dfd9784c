#pragma once
// Long operations work on horizontal bands of their result, one after the
// other on the caller's thread (each band spreads over the cores inside
// OpenCV), and report the fraction done after each band. Reporting stays on
// the caller's thread because the callback drives the caller's progress bar.
#include "imagelib/vexell_api.h"

#include <algorithm>

namespace v2d::vexell {

inline constexpr int kMinBandRows = 32;
inline constexpr int kMaxBands = 20;

inline int BandCount(int rows) { return std::clamp(rows / kMinBandRows, 1, kMaxBands); }

// Calls work(firstRow, endRow) for each band in order. The fractions rise
// strictly and the last one is exactly 1; a null callback hears nothing.
template <class Work>
void ForEachBand(int rows, VxProgress progress, Work&& work) {
    const int bands = BandCount(rows);
    for (int band = 0; band < bands; ++band) {
        const int first = static_cast<int>(static_cast<long long>(rows) * band / bands);
        const int end = static_cast<int>(static_cast<long long>(rows) * (band + 1) / bands);
        work(first, end);
        if (progress != nullptr) progress(band + 1 == bands ? 1.0 : static_cast<double>(band + 1) / bands);
    }
}

}  // namespace v2d::vexell
