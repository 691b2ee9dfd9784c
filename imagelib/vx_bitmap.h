#pragma once
// Bitmaps at the library's edge: checking the caller's views and handing out
// bitmaps that the caller releases through their own function pointer.
#include "imagelib/vexell_api.h"

#include <opencv2/core.hpp>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>

namespace v2d::vexell {

// Sizes beyond these are refused rather than attempted: a side of 32768 pixels
// or 128 M pixels (512 MiB) is far beyond any room photo or canvas.
inline constexpr int64_t kMaxSide = 32768;
inline constexpr int64_t kMaxPixels = int64_t{1} << 27;

bool SizeIsAcceptable(int64_t width, int64_t height);

// A read-only cv::Mat header over the caller's pixels, or nothing when the
// view is null, empty, too large or has a short stride.
std::optional<cv::Mat> ViewOf(const VxBitmap* source);

// A new 32-bit bitmap, zero-filled, that owns its pixels and frees them in its
// release; `pixels` is a header over the same memory. Throws std::bad_alloc.
struct FreeDeleter {
    void operator()(void* memory) const { std::free(memory); }
};
struct OwnedBitmap : VxBitmap {
    std::unique_ptr<uint8_t[], FreeDeleter> storage;
    cv::Mat pixels;
};
using OwnedBitmapPtr = std::unique_ptr<OwnedBitmap>;

OwnedBitmapPtr NewBitmap(int width, int height);

// Gives the bitmap to the caller.
inline VxBitmap* HandOver(OwnedBitmapPtr bitmap) { return bitmap.release(); }

}  // namespace v2d::vexell
