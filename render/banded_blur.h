#pragma once
// Large masks are blurred a band of rows at a time, in place: each band is
// blurred with `radius` rows of its neighbours around it, so every kept row
// sees the same pixels as in one whole-picture blur, and only one band's
// copies live beside the picture.
#include <QImage>

#include <functional>

#include "imagelib/image_operations.h"

namespace v2d {

// Pixels per band (about 1 MB of 32-bit rows), at least one row.
inline constexpr long long kBlurBandPixels = 256 * 1024;

// The picture (32 bits a pixel, not shared) becomes ops.GaussBlurCV2(picture,
// radius, sigma). False, with the picture possibly part-blurred, when the
// blur refuses; a picture of another depth is blurred whole.
bool BlurInBands(QImage& picture, int radius, double sigma, const ImageOperations& ops,
                 long long bandPixels = kBlurBandPixels);

// fn(firstRow, endRow) over [0, rows) in bands of about bandPixels, in order.
void ForEachBlurBand(int rows, int width, long long bandPixels, const std::function<bool(int, int)>& fn);

}  // namespace v2d
