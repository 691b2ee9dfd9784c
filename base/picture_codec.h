#pragma once
// Picture files in memory: JPEG through libjpeg, PNG and BMP through QtGui's
// built-in codecs. Every decoder fails softly with a null image.
#include <QImage>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace v2d {

using Bytes = std::vector<uint8_t>;

// Largest picture side and area accepted from a file; guards against hostile
// headers. 60 million pixels is beyond any room photograph and keeps a scene
// rendered from such a picture (background, displayed scene, output) well
// under 600 MB.
inline constexpr int kMaxPictureSide = 30000;
inline constexpr int64_t kMaxPicturePixels = 60'000'000;
// Pictures larger than this are refused rather than allocated.
inline bool PictureSizeAllowed(int width, int height) {
    return width >= 1 && height >= 1 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           static_cast<long long>(width) * height <= kMaxPicturePixels;
}

// JPEG to a 32-bit bitmap (QImage::Format_RGB32); null on any error.
QImage DecodeJpeg(std::span<const uint8_t> data);
// A JPEG decoded at 1/2, 1/4 or 1/8 of its size in libjpeg's DCT, the
// smallest whose longer side is still at least `longestSide` (whole when
// none is): thumbnails cost a fraction of a full decode.
QImage DecodeJpegForSize(std::span<const uint8_t> data, int longestSide);
// Any 32-bit or other image to JPEG; quality 1..100.
std::optional<Bytes> EncodeJpeg(const QImage& image, int quality = 100);
// The same, handed to `sink` a chunk at a time while it is made (a large
// picture goes to its file as it is encoded); false when encoding failed or
// the sink refused a chunk.
using JpegSink = std::function<bool(std::span<const uint8_t>)>;
bool EncodeJpeg(const QImage& image, int quality, const JpegSink& sink);

// PNG with alpha (QImage::Format_ARGB32); null on any error.
QImage DecodePng(std::span<const uint8_t> data);
std::optional<Bytes> EncodePng(const QImage& image);

// BMP file (as stored in older schemes and product maps) to Format_RGB32.
QImage DecodeBmp(std::span<const uint8_t> data);

// The width and height a JPEG, PNG or BMP file's header gives, read without
// decoding; nullopt when the header is broken or the size not allowed.
std::optional<QSize> PictureFileSize(std::span<const uint8_t> data);

// Sniffs JPEG, PNG or BMP by its first bytes and decodes it.
QImage DecodePicture(std::span<const uint8_t> data);

}  // namespace v2d
