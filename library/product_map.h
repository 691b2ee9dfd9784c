#pragma once
// Product map files (*.h2d): a 20-byte little-endian header, then one whole
// BMP or JPEG file, the picture that is tiled into regions.
#include <QImage>

#include <cstdint>
#include <filesystem>
#include <span>

#include "base/picture_codec.h"
#include "base/result.h"

namespace v2d {

inline constexpr uint32_t kProductMapSignature = 0x20040410;
inline constexpr int32_t kProductMapVersion = 1;
inline constexpr size_t kProductMapHeaderSize = 20;
inline constexpr int32_t kProductMapDefaultTolerance = 10;

inline constexpr const char* kMsgMapCannotOpen = "文件打不开。";
inline constexpr const char* kMsgMapInvalid = "文件不合法。";

enum class ProductMapKind : int32_t { Bmp = 0, Jpeg = 1 };

struct ProductMap {
    QImage picture;  // Format_RGB32; null for a kind that is neither BMP nor JPEG
    int32_t tolerance = kProductMapDefaultTolerance;
    int32_t kind = 0;
    // A map of an unknown kind carries no picture; callers treat it like a
    // missing map.
    bool hasPicture() const { return !picture.isNull(); }
};

// Reads a map held in memory. A short header, a wrong signature, a length
// beyond the data or a picture that does not decode gives "文件不合法。".
Result<ProductMap> ParseProductMap(std::span<const uint8_t> bytes, int longestSide = 0);

// LoadProductMap: "文件打不开。" when the file cannot be read, else as
// ParseProductMap. The picture is decoded in memory; no scratch file.
// A longestSide above 0 lets a JPEG map decode at a reduced size no
// smaller than that (thumbnails).
Result<ProductMap> LoadProductMap(const std::filesystem::path& file, int longestSide = 0);

// Builds a map file (the workspace generator and tests write them).
Bytes BuildProductMap(std::span<const uint8_t> picture, ProductMapKind kind,
                      int32_t tolerance = kProductMapDefaultTolerance);

}  // namespace v2d
