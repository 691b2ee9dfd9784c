#pragma once
// Picture files in memory: JPEG through libjpeg, PNG through libpng, BMP
// through QtGui's built-in codec, HEIC through libheif where it is built in.
// Every decoder fails softly with a null image.
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

// How a decoder takes a JPEG whose data ends early or is corrupt. libjpeg
// decodes such a file with a warning, the missing rows grey and the rest
// smeared: pictures of files already made read that way as they always have
// (Lenient), while a picture being added to the catalogue, a scheme or the
// material editor must be whole (Strict: the warning is a failure).
enum class PictureCheck { Lenient, Strict };

// The kind of a picture file by its first bytes.
enum class PictureKind { Unknown, Jpeg, Png, Bmp };
PictureKind SniffPicture(std::span<const uint8_t> data);

// What a picture being added is refused with, followed by the file's name:
// a JPEG, PNG or BMP file that does not decode whole.
inline constexpr const char* kMsgPictureDamaged = "图片文件已损坏：";

// JPEG to a 32-bit bitmap (QImage::Format_RGB32); null on any error.
QImage DecodeJpeg(std::span<const uint8_t> data, PictureCheck check = PictureCheck::Lenient);
// A JPEG decoded at 1/2, 1/4 or 1/8 of its size in libjpeg's DCT, the
// smallest whose longer side is still at least `longestSide` (whole when
// none is): thumbnails cost a fraction of a full decode. The whole file is
// still read, so a strict check sees every row's data.
QImage DecodeJpegForSize(std::span<const uint8_t> data, int longestSide, PictureCheck check = PictureCheck::Lenient);
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
// Strict: a file shorter than its rows is refused.
QImage DecodeBmp(std::span<const uint8_t> data, PictureCheck check = PictureCheck::Lenient);

// The width and height a JPEG, PNG or BMP file's header gives, read without
// decoding; nullopt when the header is broken or the size not allowed.
std::optional<QSize> PictureFileSize(std::span<const uint8_t> data);

// The width and height a JPEG, PNG or BMP header states, allowed or not
// (a photo refused for its size is told so); nullopt when it is broken.
std::optional<QSize> StatedPictureSize(std::span<const uint8_t> data);

// A room photo as it stands: a JPEG, PNG or BMP decoded as DecodePicture
// does, or a HEIC file where this build reads them (base/heif_picture.h),
// turned as its camera recorded (base/exif_orientation.h), with the turn
// noted in the picture (NotedOrientation). A photo recorded as stored reads
// exactly as DecodePicture reads it; a turned JPEG is placed turned band by
// band as it is decoded, so it costs no second copy.
QImage DecodeUprightPhoto(std::span<const uint8_t> data, PictureCheck check = PictureCheck::Lenient);

// Sniffs JPEG, PNG or BMP by its first bytes and decodes it. A PNG is whole
// or refused either way (libpng stops at a short or corrupt file).
QImage DecodePicture(std::span<const uint8_t> data, PictureCheck check = PictureCheck::Lenient);

}  // namespace v2d
