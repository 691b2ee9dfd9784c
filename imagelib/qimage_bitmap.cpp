#include "imagelib/qimage_bitmap.h"

#include <cstring>

#include "base/row_bands.h"

namespace v2d {

QImage As32BitPicture(const QImage& image) {
    switch (image.format()) {
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32:
        case QImage::Format_ARGB32_Premultiplied: return image;
        default: return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    }
}

VxBitmap BitmapViewOf(const QImage& picture32) {
    // constBits: the library only reads, and the picture must not detach.
    return VxBitmap{picture32.width(), picture32.height(), static_cast<int32_t>(picture32.bytesPerLine()),
                    const_cast<uint8_t*>(picture32.constBits()), nullptr};
}

QImage CopyBitmap(const VxBitmap& bitmap, QImage::Format format) {
    if (bitmap.bits == nullptr || bitmap.width <= 0 || bitmap.height <= 0 ||
        bitmap.stride < int64_t{4} * bitmap.width) {
        return {};
    }
    QImage copy(bitmap.width, bitmap.height, format);
    if (copy.isNull()) return {};
    const size_t rowBytes = size_t{4} * static_cast<size_t>(bitmap.width);
    for (int y = 0; y < bitmap.height; ++y) {
        const uint8_t* from = bitmap.bits + static_cast<size_t>(y) * static_cast<size_t>(bitmap.stride);
        uint8_t* to = copy.scanLine(y);
        std::memcpy(to, from, rowBytes);
        if (format == QImage::Format_RGB32) {
            for (size_t x = 3; x < rowBytes; x += 4) to[x] = 0xFF;
        }
    }
    return copy;
}

namespace {

struct AdoptedBitmap {
    VxBitmap* bitmap;
    std::shared_ptr<void> keepAlive;
};

void ReleaseAdopted(void* info) {
    auto* adopted = static_cast<AdoptedBitmap*>(info);
    adopted->bitmap->release(adopted->bitmap);
    delete adopted;
}

}  // namespace

QImage AdoptBitmap(VxBitmap* bitmap, QImage::Format format, std::shared_ptr<void> keepAlive) {
    if (bitmap == nullptr) return {};
    if (bitmap->release == nullptr) return CopyBitmap(*bitmap, format);
    LibraryBitmap owned(bitmap);
    if (bitmap->bits == nullptr || bitmap->width <= 0 || bitmap->height <= 0 ||
        bitmap->stride < int64_t{4} * bitmap->width)
        return {};
    auto* adopted = new AdoptedBitmap{owned.release(), std::move(keepAlive)};
    QImage image(bitmap->bits, bitmap->width, bitmap->height, bitmap->stride, format, &ReleaseAdopted, adopted);
    if (image.isNull()) {
        ReleaseAdopted(adopted);
        return {};
    }
    if (format == QImage::Format_RGB32) {
        // The sizes are read once: the rows' writes could otherwise alias them.
        const int width = bitmap->width;
        const size_t stride = static_cast<size_t>(bitmap->stride);
        uint8_t* const bits = bitmap->bits;
        ForEachRowBand(image.height(), width, [&](int first, int end) {
            for (int y = first; y < end; ++y) {
                auto* row = reinterpret_cast<uint32_t*>(bits + static_cast<size_t>(y) * stride);
                for (int x = 0; x < width; ++x) row[x] |= 0xFF000000u;
            }
        });
    }
    return image;
}

}  // namespace v2d
