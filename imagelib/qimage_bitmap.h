#pragma once
// QImage on one side, the library's VxBitmap on the other.
#include "imagelib/vexell_api.h"

#include <QImage>

#include <memory>

namespace v2d {

// The image itself when its rows are already 32-bit pixels the library reads
// (RGB32, ARGB32, premultiplied ARGB32), otherwise a converted copy.
QImage As32BitPicture(const QImage& image);

// A read-only view of a 32-bit picture; it lives as long as the picture.
VxBitmap BitmapViewOf(const QImage& picture32);

// A copy of a bitmap the library returned, as a QImage of the same size in
// `format`; RGB32 results get an opaque fourth byte, since the library writes
// it as 0. A null QImage when the bitmap is unusable.
QImage CopyBitmap(const VxBitmap& bitmap, QImage::Format format);

// The bitmap the library returned, taken over without a copy: the QImage
// shows its rows and releases it when the last copy of the image goes;
// `keepAlive` (the loaded library) lives as long, so that its release
// function stays mapped. RGB32 results get their opaque fourth byte in place.
// Falls back to CopyBitmap for a bitmap without a release function.
QImage AdoptBitmap(VxBitmap* bitmap, QImage::Format format, std::shared_ptr<void> keepAlive);

struct BitmapReleaser {
    void operator()(VxBitmap* bitmap) const {
        if (bitmap != nullptr && bitmap->release != nullptr) bitmap->release(bitmap);
    }
};
using LibraryBitmap = std::unique_ptr<VxBitmap, BitmapReleaser>;

}  // namespace v2d
