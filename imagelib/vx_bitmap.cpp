#include "imagelib/vx_bitmap.h"

#include <new>

namespace v2d::vexell {

bool SizeIsAcceptable(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels;
}

std::optional<cv::Mat> ViewOf(const VxBitmap* source) {
    if (source == nullptr || source->bits == nullptr) return std::nullopt;
    if (!SizeIsAcceptable(source->width, source->height)) return std::nullopt;
    if (source->stride < int64_t{4} * source->width) return std::nullopt;
    return cv::Mat(source->height, source->width, CV_8UC4, source->bits, static_cast<size_t>(source->stride));
}

namespace {

// Takes the bitmap back from the caller and frees it with its pixels.
void ReleaseOwned(VxBitmap* self) { OwnedBitmapPtr(static_cast<OwnedBitmap*>(self)); }

}  // namespace

OwnedBitmapPtr NewBitmap(int width, int height) {
    if (!SizeIsAcceptable(width, height)) throw std::bad_alloc();
    const size_t stride = size_t{4} * static_cast<size_t>(width);
    auto bitmap = std::make_unique<OwnedBitmap>();
    // calloc: large blocks come straight from the kernel already zeroed, so a
    // bitmap whose outside stays 0 costs no extra pass.
    bitmap->storage.reset(static_cast<uint8_t*>(std::calloc(static_cast<size_t>(height), stride)));
    if (!bitmap->storage) throw std::bad_alloc();
    bitmap->width = width;
    bitmap->height = height;
    bitmap->stride = static_cast<int32_t>(stride);
    bitmap->bits = bitmap->storage.get();
    bitmap->release = &ReleaseOwned;
    bitmap->pixels = cv::Mat(height, width, CV_8UC4, bitmap->bits, stride);
    return bitmap;
}

}  // namespace v2d::vexell
