// Older scheme versions, each built by hand and read back with the upgrade
// defaults for the fields it lacks.
#include <gtest/gtest.h>

#include "base/picture_codec.h"
#include "scene/record_codec.h"
#include "scene/scheme_file.h"
#include "tests/scene/byte_builder.h"
#include "tests/scene/scene_fixtures.h"

namespace v2d {
namespace {

using testing::ByteBuilder;

ByteBuilder Header(int32_t version, int32_t records, const Bytes& background) {
    ByteBuilder b;
    b.raw("d2v.").i32(version).i32(int32_t(background.size() + 1)).i32(1).i32(records).raw(background).u8(0xFF);
    return b;
}

// A record with every field set away from its default, as the current layout.
V2dPolygon FullRecord() {
    V2dPolygon r;
    r.name = "客厅";
    r.points = {{10, 20}, {30, 20}, {30, 40}, {10, 40}};
    r.indexList = {3};
    r.corners[0] = {10, 20}, r.corners[1] = {30, 20}, r.corners[2] = {30, 40}, r.corners[3] = {10, 40};
    r.realWidth = 3600;
    r.realHeight = 2400;
    r.lighten = 25;
    r.reflect = 40;
    r.partsInfo = "PartsName=壁纸";
    r.blurRadius = 3;
    r.kind = kShadowRegion;
    r.originX = 5, r.originY = 6;
    r.scaleX = 90, r.scaleY = 110;
    r.toneEnabled = 0;
    r.castShadow = 0;
    r.shadowX = 1, r.shadowY = 2, r.shadowRadius = 3, r.shadowColor = 0x010203;
    return r;
}

Bytes FileOfVersion(uint8_t version) {
    const Bytes background = *EncodeJpeg(testing::SolidPicture(6, 4, 0xFF204060), 100);
    ByteBuilder b = Header(version, 1, background);
    const V2dPolygon r = FullRecord();
    auto block = EncodeRecord(r, 0);
    b.raw(std::vector<uint8_t>(block.begin(), block.begin() + RecordSizeForVersion(version)));
    for (const V2d_Point& p : r.points) b.i32(p.x).i32(p.y);
    for (int32_t v : r.indexList) b.i32(v);
    if (version >= 7) b.i32(0);
    return b.bytes;
}

TEST(SchemeVersions, EachVersionReadsItsFieldsAndDefaultsTheRest) {
    for (uint8_t version = 3; version <= 12; ++version) {
        SCOPED_TRACE(int(version));
        Result<SchemeFile> file = ParseScheme(FileOfVersion(version));
        ASSERT_TRUE(file.ok()) << file.error();
        ASSERT_EQ(file->scene.count(), 1);
        const V2dPolygon& r = *file->scene.at(0);
        const size_t size = RecordSizeForVersion(version);
        EXPECT_EQ(r.name, "客厅");
        EXPECT_EQ(r.points.size(), 4u);
        EXPECT_EQ(r.realWidth, 3600);
        EXPECT_EQ(r.lighten, 25);
        EXPECT_EQ(r.reflect, size >= 124 ? 40 : 0);
        EXPECT_EQ(r.partsInfo, size >= 1148 ? "PartsName=壁纸" : "");
        EXPECT_EQ(r.blurRadius, size >= 1152 ? 3 : 0);
        EXPECT_EQ(r.kind, size >= 1180 ? kShadowRegion : kRegion);
        EXPECT_EQ(r.originX, size >= 1180 ? 5 : 0);
        EXPECT_EQ(r.scaleX, size >= 1180 ? 90 : 100);
        EXPECT_EQ(r.scaleY, size >= 1180 ? 110 : 100);
        EXPECT_EQ(r.toneEnabled, size >= 1188 ? 0 : 1);
        EXPECT_EQ(r.castShadow, size >= 1212 ? 0 : 1);
        // Files without shadow fields read 10, 10, 10 (not a new record's 5, 5, 10).
        EXPECT_EQ(r.shadowX, size >= 1212 ? 1 : 10);
        EXPECT_EQ(r.shadowY, size >= 1212 ? 2 : 10);
        EXPECT_EQ(r.shadowRadius, size >= 1212 ? 3 : 10);
        EXPECT_EQ(r.shadowColor, size >= 1212 ? 0x010203u : 0x808080u);
        EXPECT_FALSE(file->scene.background.isNull());
    }
}

TEST(SchemeVersions, VersionSixHasNoGroupSection) {
    Bytes bytes = FileOfVersion(6);
    Result<SchemeFile> file = ParseScheme(bytes);
    ASSERT_TRUE(file.ok());
    EXPECT_TRUE(file->scene.GroupList.empty());
    // Bytes after the records are not a group section in version 6.
    ByteBuilder extra;
    extra.raw(bytes).i32(5).fill(20, 0xAB);
    EXPECT_TRUE(ParseScheme(extra.bytes).ok());
}

TEST(SchemeVersions, OnlyTheLowByteOfTheVersionCounts) {
    Bytes bytes = FileOfVersion(6);
    bytes[5] = 0x01;  // version 0x106
    Result<SchemeFile> file = ParseScheme(bytes);
    ASSERT_TRUE(file.ok()) << file.error();
    EXPECT_EQ(file->scene.at(0)->blurRadius, 3);
    EXPECT_EQ(file->scene.at(0)->kind, kRegion);
}

// Versions 1 and 2: a length-prefixed name and integers with 8 fraction bits.
Bytes FixedPointFile(uint8_t version) {
    const Bytes background = *EncodeJpeg(testing::SolidPicture(6, 4, 0xFF204060), 100);
    ByteBuilder b = Header(version, 1, background);
    const std::string name = "\xBF\xCD\xCC\xFC";  // 客厅
    ByteBuilder record;
    record.u8(uint8_t(name.size())).raw(name).fill(50 - 1 - name.size(), 0x20);  // no terminating zero
    record.fill(2);
    record.i32(ToFixedPoint8(3)).i32(0x00006400).i32(ToFixedPoint8(250));  // pointCount, 100, 250
    record.i32(0);                                                          // points pointer
    for (int v : {0, 0, 9, 0, 9, 9, 0, 9}) record.i32(ToFixedPoint8(v));
    record.i32(0).i32(0);                                 // picture, indexList pointers
    record.i32(ToFixedPoint8(1));                         // indexCount
    if (version == 2) record.i32(static_cast<int32_t>(0xFFFFE200));  // lighten: F... is negative
    b.raw(record.bytes);
    b.i32(ToFixedPoint8(0)).i32(ToFixedPoint8(0));
    b.i32(ToFixedPoint8(9)).i32(ToFixedPoint8(0));
    b.i32(ToFixedPoint8(9)).i32(ToFixedPoint8(9));
    b.i32(ToFixedPoint8(2));
    return b.bytes;
}

TEST(SchemeVersions, VersionsOneAndTwoConvertFixedPointAndDropTheLengthByte) {
    for (uint8_t version : {1, 2}) {
        SCOPED_TRACE(int(version));
        Bytes bytes = FixedPointFile(version);
        ASSERT_EQ(bytes.size() - 20 - (static_cast<uint32_t>(testing::I32At(bytes, 8))),
                  RecordSizeForVersion(version) + 3 * 8 + 4);
        Result<SchemeFile> file = ParseScheme(bytes);
        ASSERT_TRUE(file.ok()) << file.error();
        const V2dPolygon& r = *file->scene.at(0);
        EXPECT_EQ(r.name, "客厅");
        EXPECT_EQ(r.realWidth, 100);
        EXPECT_EQ(r.realHeight, 250);
        EXPECT_EQ(r.points, (std::vector<V2d_Point>{{0, 0}, {9, 0}, {9, 9}}));
        EXPECT_EQ(r.indexList, std::vector<int32_t>{2});
        EXPECT_EQ(r.corners[2], (V2d_Point{9, 9}));
        EXPECT_EQ(r.lighten, version == 2 ? 0xFFFFE2 - 0xFFFFFF : 0);
        EXPECT_EQ(r.pictureSize, 0u);
        EXPECT_EQ(r.reflect, 0);
        EXPECT_EQ(r.shadowX, 10);
        EXPECT_TRUE(file->scene.GroupList.empty());
    }
}

TEST(SchemeVersions, ConvertedFileReadsBackAsVersion13) {
    Result<SchemeFile> old = ParseScheme(FixedPointFile(2));
    ASSERT_TRUE(old.ok());
    Result<Bytes> bytes = SerializeScheme(old->scene);
    ASSERT_TRUE(bytes.ok());
    Result<SchemeFile> back = ParseScheme(*bytes);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back->version, 13);
    EXPECT_EQ(back->scene.at(0)->name, "客厅");
    EXPECT_EQ(back->scene.at(0)->realHeight, 250);
    EXPECT_EQ(back->scene.at(0)->shadowX, 10);
}

}  // namespace
}  // namespace v2d
