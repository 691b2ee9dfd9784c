#pragma once
// HEIC/HEIF photos (as phones save them) through libheif, where the build
// found it. libheif applies the turn the file records itself.
#include <QImage>

#include <cstdint>
#include <span>

namespace v2d {

// Whether this build reads HEIF files.
bool HeifReadable();
// The file's first bytes name an ISO box of type "ftyp" with a HEIF brand.
bool LooksLikeHeif(std::span<const uint8_t> data);
// The primary picture, upright, as Format_RGB32; null on any error, when
// its size is not allowed (PictureSizeAllowed) or without libheif.
QImage DecodeHeif(std::span<const uint8_t> data);

}  // namespace v2d
