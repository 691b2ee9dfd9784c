#include "imagelib/qimage_bitmap.h"

#include <cstring>

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

}  // namespace v2d
