#include <gtest/gtest.h>

#include "scene/record_codec.h"
#include "tests/scene/byte_builder.h"

namespace v2d {
namespace {

using testing::ByteBuilder;

// The current record, built field by field with its fill bytes.
ByteBuilder HandBuiltRecord() {
    ByteBuilder b;
    b.field("\xB5\xD8\xC3\xE6", 50);  // "地面" in GBK
    b.fill(2, 0xEE);                   // fill
    b.i32(4).i32(3000).i32(2000);      // pointCount, realWidth, realHeight
    b.i32(0x12345678);                 // points pointer: ignored
    for (int v : {1, 2, 3, 4, 5, 6, 7, 8}) b.i32(v);  // corners
    b.i32(0x1111).i32(0x2222);  // picture, indexList pointers
    b.i32(1);                   // indexCount
    b.i32(-30);                 // lighten
    b.i32(777);                 // pictureSize
    b.i32(45);                  // reflect
    b.field("PartsName=\xB7\xC2\xB9\xC5\xD7\xA9", 1024);  // 仿古砖
    b.i32(6);                   // blurRadius
    b.u8(4).fill(3, 0xEE);      // kind + fill
    b.i32(-7).i32(9);           // originX, originY
    b.i32(0x3333);              // sourcePicture pointer
    b.i32(888);                 // sourcePictureSize
    b.i32(80).i32(120);         // scaleX, scaleY
    b.i32(0x4444);              // renderCache pointer
    b.u8(0).fill(3, 0xEE);      // toneEnabled + fill
    b.i32(3);                   // group
    b.u8(0).fill(3, 0xEE);      // castShadow + fill
    b.i32(-2).i32(11).i32(13);  // shadowX, shadowY, shadowRadius
    b.i32(0x00123456);          // shadowColor
    return b;
}

TEST(RecordCodec, HandBuiltRecordIs1212BytesAndDecodesEveryField) {
    ByteBuilder b = HandBuiltRecord();
    ASSERT_EQ(b.size(), kRecordSize);
    auto decoded = DecodeRecord(b.bytes, 13);
    ASSERT_TRUE(decoded);
    const V2dPolygon& r = *decoded->record;
    EXPECT_EQ(r.name, "地面");
    EXPECT_EQ(decoded->pointCount, 4);
    EXPECT_EQ(r.realWidth, 3000);
    EXPECT_EQ(r.realHeight, 2000);
    EXPECT_EQ(r.corners[0], (V2d_Point{1, 2}));
    EXPECT_EQ(r.corners[3], (V2d_Point{7, 8}));
    EXPECT_EQ(decoded->indexCount, 1);
    EXPECT_EQ(r.lighten, -30);
    EXPECT_EQ(r.pictureSize, 777u);
    EXPECT_EQ(r.reflect, 45);
    EXPECT_EQ(r.partsInfo, "PartsName=仿古砖");
    EXPECT_EQ(r.blurRadius, 6);
    EXPECT_EQ(r.kind, 4);
    EXPECT_EQ(r.originX, -7);
    EXPECT_EQ(r.originY, 9);
    EXPECT_EQ(r.sourcePictureSize, 888u);
    EXPECT_EQ(r.scaleX, 80);
    EXPECT_EQ(r.scaleY, 120);
    EXPECT_EQ(r.toneEnabled, 0);
    EXPECT_EQ(decoded->groupValue, 3);
    EXPECT_EQ(r.castShadow, 0);
    EXPECT_EQ(r.shadowX, -2);
    EXPECT_EQ(r.shadowY, 11);
    EXPECT_EQ(r.shadowRadius, 13);
    EXPECT_EQ(r.shadowColor, 0x00123456u);
}

TEST(RecordCodec, EncodedRecordMatchesTheHandBuiltBytesWithZeroedPointersAndFill) {
    ByteBuilder expected = HandBuiltRecord();
    auto decoded = DecodeRecord(expected.bytes, 13);
    ASSERT_TRUE(decoded);
    V2dPolygon& r = *decoded->record;
    r.points.assign(4, {});
    r.indexList = {3};
    const auto encoded = EncodeRecord(r, 3);
    // Pointer fields and fill bytes are written as zeros.
    for (size_t offset : {size_t(50), size_t(51), size_t(1153), size_t(1154), size_t(1155), size_t(1185),
                          size_t(1186), size_t(1187), size_t(1193), size_t(1194), size_t(1195)})
        expected.bytes[offset] = 0;
    for (size_t offset : {record_offset::points, record_offset::picture, record_offset::indexList,
                          record_offset::sourcePicture, record_offset::renderCache})
        for (size_t k = 0; k < 4; ++k) expected.bytes[offset + k] = 0;
    EXPECT_EQ(std::vector<uint8_t>(encoded.begin(), encoded.end()), expected.bytes);
}

TEST(RecordCodec, UnterminatedTextsAreRejected) {
    ByteBuilder b = HandBuiltRecord();
    std::fill(b.bytes.begin(), b.bytes.begin() + 50, 'A');
    EXPECT_FALSE(DecodeRecord(b.bytes, 13));
    ByteBuilder c = HandBuiltRecord();
    std::fill(c.bytes.begin() + 124, c.bytes.begin() + 1148, 'B');
    EXPECT_FALSE(DecodeRecord(c.bytes, 13));
}

TEST(RecordCodec, LongNamesAreCutToFitTheField) {
    V2dPolygon r;
    r.name = std::string(30, 'x') + "开始铺贴开始铺贴开始铺贴";  // 30 + 24 GBK bytes
    const auto encoded = EncodeRecord(r, 0);
    EXPECT_EQ(encoded[48], 0);  // 30 + 18 = 48 bytes of text, then zero
    EXPECT_NE(encoded[47], 0);
    EXPECT_EQ(encoded[49], 0);
}

TEST(RecordCodec, RecordSizesPerVersion) {
    const std::pair<uint8_t, size_t> sizes[] = {{1, 112},   {2, 116},   {3, 120},   {4, 124},  {5, 1148},
                                                {6, 1152},  {7, 1152},  {8, 1180},  {9, 1184}, {10, 1188},
                                                {11, 1192}, {12, 1212}, {13, 1212}, {0, 1212}, {200, 1212}};
    for (auto [version, size] : sizes) EXPECT_EQ(RecordSizeForVersion(version), size) << int(version);
}

TEST(RecordCodec, FixedPointConversionOfTheOldestVersions) {
    EXPECT_EQ(FromFixedPoint8(0x00006400), 100);
    EXPECT_EQ(FromFixedPoint8(0x000064FF), 100);  // fraction dropped
    EXPECT_EQ(FromFixedPoint8(0x7FFFFF00), 0x7FFFFF);
    // A first hexadecimal digit F marks a negative number: minus 0xFFFFFF.
    EXPECT_EQ(FromFixedPoint8(static_cast<int32_t>(0xFFFFFE00)), -1);
    EXPECT_EQ(FromFixedPoint8(static_cast<int32_t>(0xFFFF9C00)), -100 + 1);
    EXPECT_EQ(FromFixedPoint8(static_cast<int32_t>(0xF0000000)), 0xF00000 - 0xFFFFFF);
    // Only F counts: 0xE... stays positive.
    EXPECT_EQ(FromFixedPoint8(static_cast<int32_t>(0xE0000000)), 0xE00000);
}

TEST(RecordCodec, NewRecordDefaults) {
    PolygonPtr r = NewPolygon();
    EXPECT_EQ(r->pictureSize, 0u);
    EXPECT_EQ(r->reflect, 0);
    EXPECT_EQ(r->blurRadius, 0);
    EXPECT_EQ(r->kind, 0);
    EXPECT_EQ(r->originX, 0);
    EXPECT_EQ(r->scaleX, 100);
    EXPECT_EQ(r->scaleY, 100);
    EXPECT_EQ(r->toneEnabled, 1);
    EXPECT_EQ(r->group, nullptr);
    EXPECT_EQ(r->castShadow, 1);
    EXPECT_EQ(r->shadowX, 5);
    EXPECT_EQ(r->shadowY, 5);
    EXPECT_EQ(r->shadowRadius, 10);
    EXPECT_EQ(r->shadowColor, 0x808080u);
    EXPECT_TRUE(r->picture.isNull());
}

}  // namespace
}  // namespace v2d
