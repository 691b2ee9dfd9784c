#include "library/product_map.h"

#include "base/atomic_file.h"
#include "base/byte_reader.h"

namespace v2d {

namespace {

// Map files are pictures of a few megabytes; anything far larger is not one.
constexpr uint64_t kMaxProductMapBytes = uint64_t(512) << 20;

void PutI32(Bytes& out, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

}  // namespace

Result<ProductMap> ParseProductMap(std::span<const uint8_t> bytes, int longestSide) {
    ByteReader reader(bytes);
    uint32_t signature = 0, length = 0;
    int32_t version = 0, kind = 0, tolerance = 0;
    if (!reader.readU32(signature) || signature != kProductMapSignature)
        return Error{kMsgMapInvalid};
    if (!reader.readI32(version) || !reader.readU32(length) || !reader.readI32(kind) ||
        !reader.readI32(tolerance))
        return Error{kMsgMapInvalid};

    std::span<const uint8_t> picture;
    if (!reader.take(length, picture)) return Error{kMsgMapInvalid};

    ProductMap map;
    map.tolerance = tolerance;
    map.kind = kind;
    if (kind == static_cast<int32_t>(ProductMapKind::Bmp)) {
        map.picture = DecodeBmp(picture);
    } else if (kind == static_cast<int32_t>(ProductMapKind::Jpeg)) {
        map.picture = longestSide > 0 ? DecodeJpegForSize(picture, longestSide) : DecodeJpeg(picture);
    } else {
        return map;  // an unknown kind: no picture and no message
    }
    if (map.picture.isNull()) return Error{kMsgMapInvalid};
    if (map.picture.format() != QImage::Format_RGB32)
        map.picture = map.picture.convertToFormat(QImage::Format_RGB32);
    return map;
}

Result<ProductMap> LoadProductMap(const std::filesystem::path& file, int longestSide) {
    std::optional<Bytes> bytes = ReadWholeFile(file, kMaxProductMapBytes);
    if (!bytes) return Error{kMsgMapCannotOpen};
    return ParseProductMap(*bytes, longestSide);
}

Bytes BuildProductMap(std::span<const uint8_t> picture, ProductMapKind kind, int32_t tolerance) {
    Bytes out;
    out.reserve(kProductMapHeaderSize + picture.size());
    PutI32(out, static_cast<int32_t>(kProductMapSignature));
    PutI32(out, kProductMapVersion);
    PutI32(out, static_cast<int32_t>(picture.size()));
    PutI32(out, static_cast<int32_t>(kind));
    PutI32(out, tolerance);
    out.insert(out.end(), picture.begin(), picture.end());
    return out;
}

}  // namespace v2d
