#include "scene/record_codec.h"

#include <cstring>

#include "base/gbk_text.h"
#include "base/picture_codec.h"

namespace v2d {
namespace {

namespace off = record_offset;

void PutText(uint8_t* field, size_t width, const std::string& utf8) {
    const std::string gbk = GbkForField(utf8, width);
    std::memcpy(field, gbk.data(), gbk.size());
}

// A zero-terminated GBK field to UTF-8; nullopt when no zero ends it.
std::optional<std::string> GetText(const uint8_t* field, size_t width) {
    const void* zero = std::memchr(field, 0, width);
    if (!zero) return std::nullopt;
    return GbkToUtf8(std::string_view(reinterpret_cast<const char*>(field),
                                      static_cast<size_t>(static_cast<const uint8_t*>(zero) - field)));
}

static_assert(kCoordinateLimit == 4 * kMaxPictureSide);

// Percent settings (brightness, reflection, scales) of a real scene stay far
// inside this; beyond it the arithmetic on them would leave the int range.
constexpr int32_t kPercentLimit = 100000;
// A blur or shadow radius wider than this blurs nothing a picture could show.
constexpr int32_t kRadiusLimit = 65535;

bool Within(int32_t v, int32_t low, int32_t high) { return v >= low && v <= high; }

// Every number the drawers compute with lies where a real scene puts it.
bool FieldsInRange(const V2dPolygon& r) {
    for (const V2d_Point& c : r.corners)
        if (!WithinCoordinateLimit(c.x) || !WithinCoordinateLimit(c.y)) return false;
    return WithinCoordinateLimit(r.originX) && WithinCoordinateLimit(r.originY) &&
           WithinCoordinateLimit(r.shadowX) && WithinCoordinateLimit(r.shadowY) &&
           Within(r.lighten, -kPercentLimit, kPercentLimit) && Within(r.reflect, -kPercentLimit, kPercentLimit) &&
           Within(r.scaleX, 0, kPercentLimit) && Within(r.scaleY, 0, kPercentLimit) &&
           Within(r.blurRadius, -kRadiusLimit, kRadiusLimit) &&
           Within(r.shadowRadius, -kRadiusLimit, kRadiusLimit) &&
           Within(r.realWidth, -kPercentLimit * 100, kPercentLimit * 100) &&
           Within(r.realHeight, -kPercentLimit * 100, kPercentLimit * 100);
}

}  // namespace

size_t RecordSizeForVersion(uint8_t version) {
    switch (version) {
        case 1: return 112;
        case 2: return 116;
        case 3: return 120;
        case 4: return 124;
        case 5: return 1148;
        case 6:
        case 7: return 1152;
        case 8: return 1180;
        case 9: return 1184;
        case 10: return 1188;
        case 11: return 1192;
        default: return kRecordSize;
    }
}

int32_t FromFixedPoint8(int32_t stored) {
    const uint32_t bits = static_cast<uint32_t>(stored);
    int32_t value = static_cast<int32_t>(bits >> 8);
    if ((bits >> 28) == 0xF) value -= 0xFFFFFF;
    return value;
}

int32_t ToFixedPoint8(int32_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value) << 8); }

std::array<uint8_t, kRecordSize> EncodeRecord(const V2dPolygon& r, int32_t groupValue) {
    std::array<uint8_t, kRecordSize> b{};
    uint8_t* p = b.data();
    PutText(p + off::name, kNameBytes, r.name);
    WriteI32(p + off::pointCount, r.pointCount());
    WriteI32(p + off::realWidth, r.realWidth);
    WriteI32(p + off::realHeight, r.realHeight);
    for (int i = 0; i < 4; ++i) {
        WriteI32(p + off::corners + 8 * i, r.corners[i].x);
        WriteI32(p + off::corners + 8 * i + 4, r.corners[i].y);
    }
    WriteI32(p + off::indexCount, r.indexCount());
    WriteI32(p + off::lighten, r.lighten);
    WriteI32(p + off::pictureSize, static_cast<int32_t>(r.pictureSize));
    WriteI32(p + off::reflect, r.reflect);
    PutText(p + off::partsInfo, kPartsInfoBytes, r.partsInfo.text());
    WriteI32(p + off::blurRadius, r.blurRadius);
    p[off::kind] = static_cast<uint8_t>(r.kind);
    WriteI32(p + off::originX, r.originX);
    WriteI32(p + off::originY, r.originY);
    WriteI32(p + off::sourcePictureSize, static_cast<int32_t>(r.sourcePictureSize));
    WriteI32(p + off::scaleX, r.scaleX);
    WriteI32(p + off::scaleY, r.scaleY);
    p[off::toneEnabled] = r.toneEnabled;
    WriteI32(p + off::group, groupValue);
    p[off::castShadow] = r.castShadow;
    WriteI32(p + off::shadowX, r.shadowX);
    WriteI32(p + off::shadowY, r.shadowY);
    WriteI32(p + off::shadowRadius, r.shadowRadius);
    WriteI32(p + off::shadowColor, static_cast<int32_t>(r.shadowColor));
    return b;
}

std::optional<DecodedRecord> DecodeRecord(std::span<const uint8_t> block, uint8_t version) {
    const size_t size = RecordSizeForVersion(version);
    if (block.size() < size) return std::nullopt;
    const uint8_t* p = block.data();
    const bool fixedPoint = version == 1 || version == 2;
    auto integer = [&](size_t offset) {
        const int32_t v = ReadI32(p + offset);
        return fixedPoint ? FromFixedPoint8(v) : v;
    };
    auto has = [&](size_t offset, size_t width) { return offset + width <= size; };

    DecodedRecord out;
    out.record = NewPolygon();
    V2dPolygon& r = *out.record;
    // Upgrade defaults for fields older versions lack; a new record's shadow
    // offsets differ (5, 5), files without them always read 10, 10.
    r.shadowX = 10;
    r.shadowY = 10;
    r.shadowRadius = 10;

    if (fixedPoint) {
        // Length-prefixed name: the first byte is the length.
        const size_t length = std::min<size_t>(p[off::name], kNameBytes - 1);
        const auto* text = reinterpret_cast<const char*>(p + off::name + 1);
        r.name = GbkToUtf8(FixedFieldText(text, length));
    } else {
        auto name = GetText(p + off::name, kNameBytes);
        if (!name) return std::nullopt;
        r.name = std::move(*name);
    }
    out.pointCount = integer(off::pointCount);
    r.realWidth = integer(off::realWidth);
    r.realHeight = integer(off::realHeight);
    for (int i = 0; i < 4; ++i) {
        r.corners[i].x = integer(off::corners + 8 * i);
        r.corners[i].y = integer(off::corners + 8 * i + 4);
    }
    out.indexCount = integer(off::indexCount);
    if (has(off::lighten, 4)) r.lighten = integer(off::lighten);
    if (has(off::pictureSize, 4)) r.pictureSize = ReadU32(p + off::pictureSize);
    if (has(off::reflect, 4)) r.reflect = ReadI32(p + off::reflect);
    if (has(off::partsInfo, kPartsInfoBytes)) {
        auto info = GetText(p + off::partsInfo, kPartsInfoBytes);
        if (!info) return std::nullopt;
        r.partsInfo = PartsInfo(std::move(*info));
    }
    if (has(off::blurRadius, 4)) r.blurRadius = ReadI32(p + off::blurRadius);
    if (has(off::kind, 1)) r.kind = static_cast<RecordKind>(p[off::kind]);  // unknown numbers kept
    if (has(off::originX, 4)) r.originX = ReadI32(p + off::originX);
    if (has(off::originY, 4)) r.originY = ReadI32(p + off::originY);
    if (has(off::sourcePictureSize, 4)) r.sourcePictureSize = ReadU32(p + off::sourcePictureSize);
    if (has(off::scaleX, 4)) r.scaleX = ReadI32(p + off::scaleX);
    if (has(off::scaleY, 4)) r.scaleY = ReadI32(p + off::scaleY);
    if (has(off::toneEnabled, 1)) r.toneEnabled = p[off::toneEnabled];
    if (has(off::group, 4)) out.groupValue = ReadI32(p + off::group);
    if (has(off::castShadow, 1)) r.castShadow = p[off::castShadow];
    if (has(off::shadowX, 4)) r.shadowX = ReadI32(p + off::shadowX);
    if (has(off::shadowY, 4)) r.shadowY = ReadI32(p + off::shadowY);
    if (has(off::shadowRadius, 4)) r.shadowRadius = ReadI32(p + off::shadowRadius);
    if (has(off::shadowColor, 4)) r.shadowColor = ReadU32(p + off::shadowColor);
    if (!FieldsInRange(r)) return std::nullopt;
    return out;
}

}  // namespace v2d
