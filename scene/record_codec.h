#pragma once
// The 1212-byte record block of scheme and model files, and its shorter
// forms in older scheme versions.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "base/byte_reader.h"
#include "scene/v2d_polygon.h"

namespace v2d {

inline constexpr size_t kRecordSize = 1212;

// Byte offsets of the record block.
namespace record_offset {
inline constexpr size_t name = 0, pointCount = 52, realWidth = 56, realHeight = 60, points = 64,
                        corners = 68, picture = 100, indexList = 104, indexCount = 108,
                        lighten = 112, pictureSize = 116, reflect = 120, partsInfo = 124,
                        blurRadius = 1148, kind = 1152, originX = 1156, originY = 1160,
                        sourcePicture = 1164, sourcePictureSize = 1168, scaleX = 1172,
                        scaleY = 1176, renderCache = 1180, toneEnabled = 1184, group = 1188,
                        castShadow = 1192, shadowX = 1196, shadowY = 1200, shadowRadius = 1204,
                        shadowColor = 1208;
}

// Record block size for a scheme version (low byte of the version field).
size_t RecordSizeForVersion(uint8_t version);

// Versions 1 and 2 store integers with 8 fraction bits.
int32_t FromFixedPoint8(int32_t stored);
int32_t ToFixedPoint8(int32_t value);

// A record as read, before its outline and pictures.
struct DecodedRecord {
    PolygonPtr record;
    int32_t pointCount = 0;
    int32_t indexCount = 0;
    int32_t groupValue = 0;  // owner position + 1, 0 = none
};

// Encodes the record with the given group value; pointCount and indexCount
// come from the outline and index list; pointer fields are written as 0.
std::array<uint8_t, kRecordSize> EncodeRecord(const V2dPolygon& record, int32_t groupValue);

// Decodes a record block of the given version; the block must hold
// RecordSizeForVersion(version) bytes. Fields the version lacks get the
// upgrade defaults. Nullopt when a text field is not terminated or a field
// lies outside what any real scene holds (coordinates beyond
// kCoordinateLimit, percentages or radii beyond their limits).
std::optional<DecodedRecord> DecodeRecord(std::span<const uint8_t> block, uint8_t version);

// Little-endian helpers shared by the file formats; ReadI32 and ReadU32
// come with the byte reader.
inline void WriteI32(uint8_t* p, int32_t v) {
    const uint32_t u = static_cast<uint32_t>(v);
    p[0] = uint8_t(u), p[1] = uint8_t(u >> 8), p[2] = uint8_t(u >> 16), p[3] = uint8_t(u >> 24);
}

}  // namespace v2d
