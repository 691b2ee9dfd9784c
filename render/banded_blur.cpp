#include "render/banded_blur.h"

#include <algorithm>
#include <cstring>

namespace v2d {
namespace {

void CopyRows(const QImage& from, int fromRow, QImage& to, int toRow, int rows) {
    const size_t bytes = size_t(from.width()) * 4;
    for (int y = 0; y < rows; ++y) std::memcpy(to.scanLine(toRow + y), from.constScanLine(fromRow + y), bytes);
}

}  // namespace

void ForEachBlurBand(int rows, int width, long long bandPixels, const std::function<bool(int, int)>& fn) {
    const int bandRows = int(std::clamp<long long>(bandPixels / std::max(width, 1), 1, std::max(rows, 1)));
    for (int first = 0; first < rows; first += bandRows)
        if (!fn(first, std::min(rows, first + bandRows))) return;
}

bool BlurInBands(QImage& picture, int radius, double sigma, const ImageOperations& ops, long long bandPixels) {
    if (picture.isNull() || radius < 1) return false;
    if (picture.depth() != 32) {
        QImage blurred = ops.GaussBlurCV2(picture, radius, sigma);
        if (blurred.isNull()) return false;
        picture = std::move(blurred);
        return true;
    }
    const int width = picture.width(), height = picture.height();
    // The original rows just above the next band, already overwritten in the picture.
    QImage above;
    bool done = true;
    ForEachBlurBand(height, width, bandPixels, [&](int first, int end) {
        const int top = std::max(0, first - radius), bottom = std::min(height, end + radius);
        QImage band(width, bottom - top, picture.format());
        if (band.isNull()) return done = false;
        CopyRows(above, 0, band, 0, first - top);
        CopyRows(picture, first, band, first - top, bottom - first);
        const QImage blurred = ops.GaussBlurCV2(band, radius, sigma);
        if (blurred.isNull() || blurred.depth() != 32) return done = false;
        const int keptFirst = std::max(top, end - radius);
        above = band.copy(0, keptFirst - top, width, end - keptFirst);
        CopyRows(blurred, first - top, picture, first, end - first);
        return true;
    });
    return done;
}

}  // namespace v2d
