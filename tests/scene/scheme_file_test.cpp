// Scheme files and their 1212-byte records: the byte layout of version 13,
// what the older versions read as, and hostile input. Expected bytes are
// built by hand, field by field; scheme_mutation_test adds thousands of
// damaged files on top.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "scene/model_file.h"
#include "scene/record_codec.h"
#include "scene/scheme_file.h"
#include "tests/scene/byte_builder.h"
#include "tests/scene/scene_fixtures.h"

namespace v2d {
namespace {
namespace fs = std::filesystem;
using testing::ByteBuilder;
using testing::I32At;

Bytes Serialize(const Scene& scene) {
    Result<Bytes> bytes = SerializeScheme(scene);
    EXPECT_TRUE(bytes.ok()) << (bytes.ok() ? "" : bytes.error());
    return bytes.ok() ? *bytes : Bytes{};
}

SchemeFile Parse(const Bytes& bytes) {
    Result<SchemeFile> file = ParseScheme(bytes);
    EXPECT_TRUE(file.ok()) << (file.ok() ? "" : file.error());
    return file.ok() ? std::move(*file) : SchemeFile{};
}

uint32_t U32At(const Bytes& b, size_t offset) { return static_cast<uint32_t>(I32At(b, offset)); }
// Where the first record starts: after the header and the background block.
size_t FirstRecord(const Bytes& b) { return kSchemeHeaderSize + U32At(b, 8); }

// The header and a small JPEG background of a hand-built file.
ByteBuilder Header(int32_t version, int32_t records) {
    const Bytes jpeg = *EncodeJpeg(testing::SolidPicture(6, 4, 0xFF204060), 100);
    ByteBuilder b;
    b.raw("d2v.").i32(version).i32(int32_t(jpeg.size() + 1)).i32(1).i32(records).raw(jpeg).u8(0xFF);
    return b;
}

// A version-13 record with its outline, index list (and frame count).
void AppendPlainRecord(ByteBuilder& b, RecordKind kind, int32_t group, std::vector<int32_t> rings = {3}) {
    V2dPolygon r;
    r.name = "r";
    r.kind = kind;
    r.points.assign(4, V2d_Point{1, 1});
    r.indexList = rings;
    const auto block = EncodeRecord(r, group);
    b.raw(std::vector<uint8_t>(block.begin(), block.end()));
    for (int i = 0; i < 4; ++i) b.i32(1).i32(1);
    for (int32_t v : rings) b.i32(v);
    if (kind == RecordKind::CutOutModel) b.i32(1);
}

Scene SingleCutOut(int frameCount, int current) {
    Scene scene;
    scene.background = testing::SolidPicture(8, 8, 0xFF445566);
    V2dPolygon* r = scene.Append(testing::Region("花瓶", {{0, 0}, {3, 0}, {3, 3}, {0, 3}}, {3}));
    r->kind = RecordKind::CutOutModel;
    const QRgb colours[] = {0xFF0000, 0x00FF00, 0x0000FF};
    if (frameCount <= 1) {
        r->picture = testing::AlphaPicture(4, 4, colours[0], 200);
        return scene;
    }
    auto frames = std::make_unique<V2dPolygonEx>();
    frames->owner = r;
    for (int j = 0; j < frameCount; ++j) frames->frames.push_back(testing::AlphaPicture(4, 4, colours[j], 100 + j));
    frames->current = current;
    r->picture = frames->frames[size_t(current)];
    scene.AddFrameSet(std::move(frames));
    return scene;
}

// Where the frame section of SingleCutOut's record starts.
size_t FrameSection(const Bytes& bytes) {
    const size_t record = FirstRecord(bytes);
    return record + kRecordSize + 4 * 8 + 4 + U32At(bytes, record + record_offset::pictureSize);
}

// --- Byte layout ---------------------------------------------------------------

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

TEST(RecordLayout, HandBuiltRecordIs1212BytesAndDecodesEveryField) {
    ByteBuilder b = HandBuiltRecord();
    ASSERT_EQ(b.size(), kRecordSize);
    auto decoded = DecodeRecord(b.bytes, 13);
    ASSERT_TRUE(decoded);
    const V2dPolygon& r = *decoded->record;
    EXPECT_EQ(r.name, "地面");
    EXPECT_EQ(r.partsInfo.text(), "PartsName=仿古砖");
    EXPECT_EQ(std::tuple(decoded->pointCount, decoded->indexCount, decoded->groupValue), std::tuple(4, 1, 3));
    EXPECT_EQ(std::tuple(r.realWidth, r.realHeight, r.corners[0], r.corners[3]),
              std::tuple(3000, 2000, V2d_Point{1, 2}, V2d_Point{7, 8}));
    EXPECT_EQ(std::tuple(r.lighten, r.pictureSize, r.reflect, r.blurRadius, r.kind),
              std::tuple(-30, 777u, 45, 6, RecordKind::CutOutModel));
    EXPECT_EQ(std::tuple(r.originX, r.originY, r.sourcePictureSize, r.scaleX, r.scaleY),
              std::tuple(-7, 9, 888u, 80, 120));
    EXPECT_EQ(std::tuple(r.toneEnabled, r.castShadow), std::tuple(0, 0));
    EXPECT_EQ(std::tuple(r.shadowX, r.shadowY, r.shadowRadius, r.shadowColor), std::tuple(-2, 11, 13, 0x00123456u));
}

TEST(RecordLayout, EncodedRecordMatchesTheHandBuiltBytesWithZeroedPointersAndFill) {
    ByteBuilder expected = HandBuiltRecord();
    auto decoded = DecodeRecord(expected.bytes, 13);
    ASSERT_TRUE(decoded);
    V2dPolygon& r = *decoded->record;
    r.points.assign(4, {});
    r.indexList = {3};
    const auto encoded = EncodeRecord(r, 3);
    for (size_t offset : {50, 51, 1153, 1154, 1155, 1185, 1186, 1187, 1193, 1194, 1195}) expected.bytes[offset] = 0;
    for (size_t offset : {record_offset::points, record_offset::picture, record_offset::indexList,
                          record_offset::sourcePicture, record_offset::renderCache})
        for (size_t k = 0; k < 4; ++k) expected.bytes[offset + k] = 0;
    EXPECT_EQ(std::vector<uint8_t>(encoded.begin(), encoded.end()), expected.bytes);
}

// Parts info is read into the product and its laying once, and written back
// byte for byte: a repeated key, odd blanks, items no build knows and a value
// running to the field's last byte.
TEST(RecordLayout, PartsInfoReadsTypedAndWritesBackByteForByte) {
    std::string gbk = "PartsName=\xB7\xC2\xB9\xC5\xD7\xA9&PartsName=again& Odd = &&LayPattern=4&LaySize=600*300&Later=";
    gbk.resize(kPartsInfoBytes - 1, 'x');
    ByteBuilder block = HandBuiltRecord();
    std::copy(gbk.begin(), gbk.end(), block.bytes.begin() + record_offset::partsInfo);
    auto decoded = DecodeRecord(block.bytes, 13);
    ASSERT_TRUE(decoded);
    const PartsInfo& info = decoded->record->partsInfo;
    EXPECT_EQ(info.product().name(), "仿古砖");
    EXPECT_EQ(info.pattern().pattern, LayingPattern::Herringbone);
    ASSERT_TRUE(info.laidSize());
    EXPECT_EQ(std::pair(info.laidSize()->width, info.laidSize()->height), std::pair(600, 300));
    const auto encoded = EncodeRecord(*decoded->record, 3);
    EXPECT_TRUE(std::equal(encoded.begin() + record_offset::partsInfo,
                           encoded.begin() + record_offset::partsInfo + kPartsInfoBytes,
                           block.bytes.begin() + record_offset::partsInfo));
}

TEST(RecordLayout, NewRecordEncodesItsDefaults) {
    // Zeros up to scaleX, then 100, 100, tone on, no mesh, shadow 5, 5, 10, grey.
    ByteBuilder expected;
    expected.fill(1172).i32(100).i32(100).i32(0).u8(1).fill(3).i32(0).u8(1).fill(3);
    expected.i32(5).i32(5).i32(10).i32(0x808080);
    PolygonPtr r = NewPolygon();
    const auto encoded = EncodeRecord(*r, 0);
    EXPECT_EQ(std::vector<uint8_t>(encoded.begin(), encoded.end()), expected.bytes);
    EXPECT_EQ(r->group, nullptr);
    EXPECT_TRUE(r->picture.isNull());
}

TEST(RecordLayout, LongNamesAreCutToFitTheField) {
    V2dPolygon r;
    r.name = std::string(30, 'x') + "开始铺贴开始铺贴开始铺贴";  // 30 + 24 GBK bytes
    const auto encoded = EncodeRecord(r, 0);
    // 30 + 18 = 48 bytes of text, then zeros.
    EXPECT_EQ(std::tuple(encoded[47] != 0, encoded[48], encoded[49]), std::tuple(true, 0, 0));
}

TEST(SchemeLayout, HeaderAndBackgroundBlock) {
    Scene scene = testing::RichScene();
    const Bytes bytes = Serialize(scene);
    ASSERT_GT(bytes.size(), 20u);
    // Signature, version, a JPEG background, six records.
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "d2v.");
    EXPECT_EQ(std::tuple(I32At(bytes, 4), I32At(bytes, 12), I32At(bytes, 16)), std::tuple(13, 1, 6));
    // The block is a whole JPEG file (FF D8 ... FF D9) plus one 0xFF byte, counted in the length.
    const uint32_t length = U32At(bytes, 8);
    const auto jpeg = EncodeJpeg(scene.background, 100);
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(length, jpeg->size() + 1);
    const uint8_t* block = bytes.data() + 20;
    EXPECT_EQ(std::tuple(block[0], block[1], block[length - 3], block[length - 2], block[length - 1]),
              std::tuple(0xFF, 0xD8, 0xFF, 0xD9, 0xFF));
}

TEST(SchemeLayout, RecordSectionsWithAMeshAndTheGroupAsOwnerPositionPlusOne) {
    const Bytes bytes = Serialize(testing::RichScene());
    size_t offset = FirstRecord(bytes);
    // Walk to record 3 (the model part) through the section layout.
    for (int i = 0; i < 3; ++i) {
        namespace off = record_offset;
        const int32_t points = I32At(bytes, offset + off::pointCount), indices = I32At(bytes, offset + off::indexCount);
        const uint32_t picture = U32At(bytes, offset + off::pictureSize);
        const uint32_t source = U32At(bytes, offset + off::sourcePictureSize);
        const auto kind = static_cast<RecordKind>(bytes[offset + off::kind]);
        const uint8_t castShadow = bytes[offset + off::castShadow];
        offset += kRecordSize + 8 * size_t(points) + 4 * size_t(indices) + picture + source;
        if (picture) {
            EXPECT_EQ(bytes[offset - source - 1], 0xFF);
        }
        if (kind == RecordKind::Region && castShadow == 0) {
            const int32_t rows = I32At(bytes, offset), cols = I32At(bytes, offset + 4);
            EXPECT_EQ(rows, 2);
            EXPECT_EQ(cols, 3);
            EXPECT_EQ(I32At(bytes, offset + 8), 0);       // first source node x
            EXPECT_EQ(I32At(bytes, offset + 8 + 48), 1);  // first destination node x
            offset += 8 + 16 * size_t(rows * cols);
        }
        if (i == 2) {
            EXPECT_EQ(kind, RecordKind::PictureModel);
            EXPECT_GT(source, 0u);  // kind 1 keeps its source picture
        }
    }
    EXPECT_EQ(std::string(bytes.begin() + offset, bytes.begin() + offset + 5), std::string("\xD7\xF8\xB5\xE6\0", 5));
    EXPECT_EQ(I32At(bytes, offset + record_offset::group), 3);  // owner at position 2
    EXPECT_EQ(I32At(bytes, offset + record_offset::points), 0);
}

TEST(SchemeLayout, MeshFlagWithoutAMeshWritesAnEmptyMeshSection) {
    Scene scene;
    scene.background = testing::SolidPicture(4, 4, 0xFF000000);
    scene.Append(testing::Region("a", {{0, 0}, {2, 0}, {2, 2}}, {2}))->castShadow = 0;
    scene.Append(testing::Region("b", {{0, 0}, {3, 0}, {3, 3}}, {2}));
    SchemeFile file = Parse(Serialize(scene));
    ASSERT_EQ(file.scene.count(), 2);
    EXPECT_EQ(file.scene.at(1)->name, "b");
    EXPECT_TRUE(file.scene.meshes().empty());
}

TEST(SchemeLayout, ThreeFramesWithCurrentOneStoreFramesZeroAndTwoOnly) {
    const Bytes bytes = Serialize(SingleCutOut(3, 1));
    size_t offset = FrameSection(bytes);
    EXPECT_EQ(I32At(bytes, offset), 3);      // frame count
    EXPECT_EQ(I32At(bytes, offset + 4), 1);  // current
    offset += 8;
    std::vector<QRgb> stored;
    for (int k = 0; k < 2; ++k) {
        const uint32_t length = U32At(bytes, offset);
        const std::span<const uint8_t> block(bytes.data() + offset + 4, length);
        EXPECT_EQ(block.back(), 0xFF);
        const QImage frame = DecodePng(block.first(length - 1));
        ASSERT_FALSE(frame.isNull());
        stored.push_back(frame.pixel(0, 0));
        offset += 4 + length;
    }
    EXPECT_EQ(stored, (std::vector<QRgb>{qRgba(255, 0, 0, 100), qRgba(0, 0, 255, 102)}));
    EXPECT_EQ(I32At(bytes, offset), 0);  // group count
    EXPECT_EQ(offset + 4, bytes.size());

    SchemeFile file = Parse(bytes);
    const V2dPolygonEx* frames = file.scene.FrameSetOf(file.scene.at(0));
    ASSERT_NE(frames, nullptr);
    ASSERT_EQ(frames->frames.size(), 3u);
    EXPECT_EQ(frames->current, 1);
    std::vector<QRgb> read;
    for (const QImage& frame : frames->frames) read.push_back(frame.pixel(0, 0));
    EXPECT_EQ(read, (std::vector<QRgb>{qRgba(255, 0, 0, 100), qRgba(0, 255, 0, 101), qRgba(0, 0, 255, 102)}));
    EXPECT_EQ(frames->frames[1].cacheKey(), file.scene.at(0)->picture.cacheKey());
    // The last frame current: written after the others, read back in place.
    file = Parse(Serialize(SingleCutOut(2, 1)));
    frames = file.scene.FrameSetOf(file.scene.at(0));
    ASSERT_NE(frames, nullptr);
    EXPECT_EQ(frames->frames[0].pixel(1, 1), qRgba(255, 0, 0, 100));
    EXPECT_EQ(frames->frames[1].pixel(1, 1), qRgba(0, 255, 0, 101));
}

TEST(SchemeLayout, CutOutWithoutFrameSetWritesCountOneAndReadsBackWithout) {
    const Bytes bytes = Serialize(SingleCutOut(1, 0));
    EXPECT_EQ(I32At(bytes, FirstRecord(bytes) + record_offset::sourcePictureSize), 0);
    EXPECT_EQ(I32At(bytes, FrameSection(bytes)), 1);
    SchemeFile file = Parse(bytes);
    EXPECT_TRUE(file.scene.frameSets().empty());
    EXPECT_EQ(file.scene.at(0)->picture.pixel(2, 2), qRgba(255, 0, 0, 200));
}

TEST(SchemeLayout, GroupRecordsAndAZeroCountWithoutGroups) {
    Scene scene = testing::RichScene();
    Bytes bytes = Serialize(scene);
    // Last: count 1, a 60-byte record, two member positions.
    const size_t start = bytes.size() - (4 + 60 + 8);
    EXPECT_EQ(I32At(bytes, start), 1);
    EXPECT_EQ(std::string(bytes.begin() + start + 4, bytes.begin() + start + 10), "\xC7\xBD\xB5\xD8\xD7\xE9");
    EXPECT_EQ(bytes[start + 10], 0);
    EXPECT_EQ(I32At(bytes, start + 4 + 52), 2);
    EXPECT_EQ(I32At(bytes, start + 64), 0);
    EXPECT_EQ(I32At(bytes, start + 68), 1);
    scene.SetGroups({});
    bytes = Serialize(scene);
    EXPECT_EQ(I32At(bytes, bytes.size() - 4), 0);
    EXPECT_TRUE(Parse(bytes).scene.groups().empty());
}

TEST(SchemeLayout, RoundTripKeepsEveryRecordField) {
    const Scene scene = testing::RichScene();
    SchemeFile file = Parse(Serialize(scene));
    const Scene& back = file.scene;
    ASSERT_EQ(back.count(), scene.count());
    EXPECT_EQ(file.version, 13);
    EXPECT_EQ(back.background.size(), scene.background.size());
    for (int i = 0; i < scene.count(); ++i) {
        const V2dPolygon& b = *back.at(i);
        // Every stored field, compared through the record block (laid out by
        // hand above); the scene's own picture lengths are not kept current.
        V2dPolygon a = *scene.at(i);
        a.pictureSize = b.pictureSize;
        a.sourcePictureSize = b.sourcePictureSize;
        SCOPED_TRACE(a.name);
        EXPECT_EQ(EncodeRecord(b, 0), EncodeRecord(a, 0));
        EXPECT_EQ(b.points, a.points);
        EXPECT_EQ(b.indexList, a.indexList);
        EXPECT_EQ(b.picture.size(), a.picture.size());
        EXPECT_EQ(b.sourcePicture.size(), a.sourcePicture.size());
        EXPECT_EQ(b.group ? back.IndexOfPolygon(b.group) : -1, a.group ? scene.IndexOfPolygon(a.group) : -1);
    }
    ASSERT_EQ(back.meshes().size(), 1u);
    EXPECT_EQ(back.meshes()[0]->owner, back.at(1));
    EXPECT_EQ(back.meshes()[0]->dstNodes, scene.meshes()[0]->dstNodes);
    EXPECT_EQ(back.meshes()[0]->srcNodes, scene.meshes()[0]->srcNodes);
    ASSERT_EQ(back.groups().size(), 1u);
    EXPECT_EQ(back.groups()[0].name, "墙地组");
    EXPECT_EQ(back.groups()[0].members, (std::vector<const V2dPolygon*>{back.at(0), back.at(1)}));
}

// --- Record versions -------------------------------------------------------------

// Each version's record size and the last field it holds, from the record
// layout by hand; the version byte 0 or past 13 reads as the current one.
enum LastField { kIndexCount, kLighten, kPictureSize, kReflect, kPartsInfo, kBlur, kPlacement, kTone, kGroup, kShadow };
struct RecordVersion {
    uint8_t version;
    size_t size;
    LastField last;
};
constexpr RecordVersion kRecordVersions[] = {
    {1, 112, kIndexCount}, {2, 116, kLighten},  {3, 120, kPictureSize}, {4, 124, kReflect}, {5, 1148, kPartsInfo},
    {6, 1152, kBlur},      {7, 1152, kBlur},    {8, 1180, kPlacement},  {9, 1184, kPlacement}, {10, 1188, kTone},
    {11, 1192, kGroup},    {12, 1212, kShadow}, {13, 1212, kShadow},    {0, 1212, kShadow},   {200, 1212, kShadow}};

TEST(RecordVersions, RecordSizes) {
    for (const RecordVersion& v : kRecordVersions) EXPECT_EQ(RecordSizeForVersion(v.version), v.size) << int(v.version);
}

// A record with every field away from its default, cut to the version's size.
Bytes FileOfVersion(const RecordVersion& v) {
    V2dPolygon r;
    r.name = "客厅";
    r.points = {{10, 20}, {30, 20}, {30, 40}, {10, 40}};
    r.indexList = {3};
    r.realWidth = 3600;
    r.lighten = 25;
    r.reflect = 40;
    r.partsInfo = "PartsName=壁纸";
    r.blurRadius = 3;
    r.kind = RecordKind::ShadowRegion;
    r.originX = 5;
    r.scaleX = 90, r.scaleY = 110;
    r.toneEnabled = 0;
    r.castShadow = 0;
    r.shadowX = 1, r.shadowY = 2, r.shadowRadius = 3, r.shadowColor = 0x010203;
    ByteBuilder b = Header(v.version, 1);
    const auto block = EncodeRecord(r, 0);
    b.raw(std::vector<uint8_t>(block.begin(), block.begin() + ptrdiff_t(v.size)));
    for (const V2d_Point& p : r.points) b.i32(p.x).i32(p.y);
    b.i32(3);
    if (v.version >= 7) b.i32(0);  // no groups
    return b.bytes;
}

TEST(RecordVersions, EachVersionReadsItsFieldsAndDefaultsTheRest) {
    for (const RecordVersion& v : kRecordVersions) {
        if (v.version < 3 || v.version > 13) continue;
        SCOPED_TRACE(int(v.version));
        Result<SchemeFile> file = ParseScheme(FileOfVersion(v));
        ASSERT_TRUE(file.ok()) << file.error();
        ASSERT_EQ(file->scene.count(), 1);
        const V2dPolygon& r = *file->scene.at(0);
        EXPECT_EQ(std::tuple(r.name, r.points.size(), r.realWidth, r.lighten), std::tuple("客厅", 4u, 3600, 25));
        EXPECT_EQ(r.reflect, v.last >= kReflect ? 40 : 0);
        EXPECT_EQ(r.partsInfo.text(), v.last >= kPartsInfo ? "PartsName=壁纸" : "");
        EXPECT_EQ(r.blurRadius, v.last >= kBlur ? 3 : 0);
        const bool placed = v.last >= kPlacement;
        EXPECT_EQ(std::tuple(r.kind, r.originX, r.scaleX, r.scaleY),
                  placed ? std::tuple(RecordKind::ShadowRegion, 5, 90, 110)
                         : std::tuple(RecordKind::Region, 0, 100, 100));
        EXPECT_EQ(r.toneEnabled, v.last >= kTone ? 0 : 1);
        // Files without shadow fields read 10, 10, 10 (not a new record's 5, 5, 10).
        EXPECT_EQ(std::tuple(r.castShadow, r.shadowX, r.shadowY, r.shadowRadius, r.shadowColor),
                  v.last >= kShadow ? std::tuple(0, 1, 2, 3, 0x010203u) : std::tuple(1, 10, 10, 10, 0x808080u));
        EXPECT_FALSE(file->scene.background.isNull());
    }
}

TEST(RecordVersions, VersionSixHasNoGroupSectionAndOnlyTheLowByteCounts) {
    const Bytes bytes = FileOfVersion({6, 1152, kBlur});
    Result<SchemeFile> file = ParseScheme(bytes);
    ASSERT_TRUE(file.ok());
    EXPECT_TRUE(file->scene.groups().empty());
    // Bytes after the records are not a group section in version 6.
    ByteBuilder extra;
    extra.raw(bytes).i32(5).fill(20, 0xAB);
    EXPECT_TRUE(ParseScheme(extra.bytes).ok());
    Bytes high = bytes;
    high[5] = 0x01;  // version 0x106
    file = ParseScheme(high);
    ASSERT_TRUE(file.ok()) << file.error();
    EXPECT_EQ(file->scene.at(0)->blurRadius, 3);
    EXPECT_EQ(file->scene.at(0)->kind, RecordKind::Region);
}

TEST(RecordVersions, FixedPointOfTheOldestVersions) {
    EXPECT_EQ(ToFixedPoint8(100), 0x00006400);
    const std::pair<uint32_t, int32_t> cases[] = {
        {0x00006400, 100}, {0x000064FF, 100},  // fraction dropped
        {0x7FFFFF00, 0x7FFFFF},
        // A first hexadecimal digit F marks a negative number: minus 0xFFFFFF.
        {0xFFFFFE00, -1}, {0xFFFF9C00, -100 + 1}, {0xF0000000, 0xF00000 - 0xFFFFFF},
        {0xE0000000, 0xE00000}};  // only F counts
    for (auto [stored, value] : cases) EXPECT_EQ(FromFixedPoint8(static_cast<int32_t>(stored)), value) << stored;
}

// Versions 1 and 2: a length-prefixed name and integers with 8 fraction bits.
Bytes FixedPointFile(uint8_t version) {
    ByteBuilder b = Header(version, 1);
    const std::string name = "\xBF\xCD\xCC\xFC";  // 客厅
    b.u8(uint8_t(name.size())).raw(name).fill(50 - 1 - name.size(), 0x20);  // no terminating zero
    b.fill(2);
    b.i32(ToFixedPoint8(3)).i32(0x00006400).i32(ToFixedPoint8(250));  // pointCount, 100, 250
    b.i32(0);                                                          // points pointer
    for (int v : {0, 0, 9, 0, 9, 9, 0, 9}) b.i32(ToFixedPoint8(v));
    b.i32(0).i32(0);                                                   // picture, indexList pointers
    b.i32(ToFixedPoint8(1));                                           // indexCount
    if (version == 2) b.i32(static_cast<int32_t>(0xFFFFE200));         // lighten: F... is negative
    for (int v : {0, 0, 9, 0, 9, 9, 2}) b.i32(ToFixedPoint8(v));       // outline, ring end
    return b.bytes;
}

TEST(RecordVersions, VersionsOneAndTwoConvertFixedPointAndDropTheLengthByte) {
    for (uint8_t version : {1, 2}) {
        SCOPED_TRACE(int(version));
        const Bytes bytes = FixedPointFile(version);
        ASSERT_EQ(bytes.size() - FirstRecord(bytes), (version == 1 ? 112u : 116u) + 3 * 8 + 4);
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
        EXPECT_TRUE(file->scene.groups().empty());
    }
    // Saved again, the converted scene reads back as version 13.
    Result<SchemeFile> old = ParseScheme(FixedPointFile(2));
    ASSERT_TRUE(old.ok());
    SchemeFile back = Parse(Serialize(old->scene));
    EXPECT_EQ(back.version, 13);
    EXPECT_EQ(back.scene.at(0)->name, "客厅");
    EXPECT_EQ(back.scene.at(0)->realHeight, 250);
    EXPECT_EQ(back.scene.at(0)->shadowX, 10);
}

// --- Model files ---------------------------------------------------------------
// The same record entries after a "d2c." header without a background; frames
// only for a single cut-out record.

Bytes SerializeModel(const Scene& scene, std::vector<const V2dPolygon*> records) {
    Result<Bytes> bytes = SerializeModelFile(records, records.size() == 1 ? scene.FrameSetOf(records[0]) : nullptr);
    EXPECT_TRUE(bytes.ok());
    return bytes.ok() ? *bytes : Bytes{};
}

TEST(ModelFileLayout, FramesEndTheFileAndReadBackInOrderWithTheCurrentIndexClamped) {
    Scene scene = SingleCutOut(3, 2);
    scene.at(0)->lighten = 450;  // out of range for a cut-out model
    Bytes bytes = SerializeModel(scene, {scene.at(0)});
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "d2c.");
    EXPECT_EQ(I32At(bytes, 4), kSchemeVersion);
    EXPECT_EQ(I32At(bytes, 8), 0);
    const size_t block = FrameSection(bytes);
    EXPECT_EQ(I32At(bytes, block), 3);
    EXPECT_EQ(I32At(bytes, block + 4), 2);
    const size_t first = size_t(I32At(bytes, block + 8));
    EXPECT_EQ(block + 16 + first + size_t(I32At(bytes, block + 12 + first)), bytes.size());

    Result<ModelFile> model = ParseModelFile(bytes);
    ASSERT_TRUE(model.ok() && model->frames);
    const V2dPolygonEx& stored = *scene.frameSets()[0];
    for (int j = 0; j < 3; ++j)
        EXPECT_EQ(model->frames->frames[size_t(j)].pixel(0, 0), stored.frames[size_t(j)].pixel(0, 0)) << j;
    EXPECT_EQ(model->records[0]->picture.pixel(0, 0), stored.frames[2].pixel(0, 0));
    EXPECT_EQ(model->records[0]->lighten, 0);
    for (const auto& [written, read] : {std::pair{7, 2}, std::pair{-3, 0}}) {
        WriteI32(bytes.data() + block + 4, written);
        model = ParseModelFile(bytes);
        ASSERT_TRUE(model.ok());
        EXPECT_EQ(model->frames->current, read) << written;
    }
    // A frame whose PNG is garbage loads empty; a scheme is not a model.
    bytes[block + 8 + 4 + first + 4 + 1] ^= 0xFF;
    EXPECT_TRUE(ParseModelFile(bytes)->frames->frames[2].isNull());  // current 0: the second stored frame
    bytes[2] = 'v';
    EXPECT_EQ(ParseModelFile(bytes).error(), kMsgBadFormat);
}

TEST(ModelFileLayout, EveryKindButCutOutReadsAsAPictureModelWithItsPictureAsSource) {
    Scene scene = testing::RichScene();
    std::vector<const V2dPolygon*> records;
    for (int i : {0, 2, 4}) {  // a region, a picture model, a shadow region
        scene.at(i)->lighten = 450;
        scene.at(i)->sourcePicture = QImage();
        if (scene.at(i)->picture.isNull()) scene.at(i)->picture = testing::SolidPicture(4, 4, 0xFF336699);
        records.push_back(scene.at(i));
    }
    Result<ModelFile> model = ParseModelFile(SerializeModel(scene, records));
    ASSERT_TRUE(model.ok());
    ASSERT_EQ(model->records.size(), 3u);
    for (const PolygonPtr& r : model->records) {
        EXPECT_EQ(r->kind, RecordKind::PictureModel);
        EXPECT_EQ(r->lighten, 450);  // only cut-out models drop it
        EXPECT_EQ(r->sourcePicture.size(), r->picture.size());
    }
    EXPECT_FALSE(model->frames);
}

TEST(ModelFileLayout, ThePreviewIsAHeaderBlockWhichLoadingSkipsOrTheFirstSourcePicture) {
    const fs::path path = fs::temp_directory_path() / "v2d-preview-test.c2d";
    Scene scene = testing::RichScene();
    scene.at(2)->sourcePicture = testing::SolidPicture(8, 6, 0xFF00FF00);
    ASSERT_TRUE(WriteModelFile({scene.at(0), scene.at(2)}, nullptr, path).ok());
    EXPECT_EQ(ReadModelPreview(path).size(), QSize(8, 6));

    const Bytes bytes = *ReadWholeFile(path);
    const Bytes jpeg = *EncodeJpeg(testing::SolidPicture(5, 4, 0xFFFF0000));
    ByteBuilder b;
    b.raw(Bytes(bytes.begin(), bytes.begin() + 8)).i32(int32_t(jpeg.size() + 1)).raw(Bytes(bytes.begin() + 12, bytes.begin() + 20));
    b.raw(jpeg).u8(0xFF).raw(Bytes(bytes.begin() + kSchemeHeaderSize, bytes.end()));
    ASSERT_TRUE(WriteFileAtomically(path, b.bytes));
    EXPECT_EQ(ReadModelPreview(path).size(), QSize(5, 4));
    EXPECT_EQ(ReadModelFile(path)->records.size(), 2u);
    WriteI32(b.bytes.data() + 8, 0x7FFFFFF0);  // a block past the end
    EXPECT_FALSE(ParseModelFile(b.bytes).ok());
    fs::remove(path);
    EXPECT_TRUE(ReadModelPreview(path).isNull());
}

// --- Hostile input ---------------------------------------------------------------

TEST(HostileInput, UnterminatedTextsAreRejected) {
    for (auto [from, to] : {std::pair{0, 50}, std::pair{124, 1148}}) {
        ByteBuilder b = HandBuiltRecord();
        std::fill(b.bytes.begin() + from, b.bytes.begin() + to, 'A');
        EXPECT_FALSE(DecodeRecord(b.bytes, 13)) << from;
    }
}

TEST(HostileInput, MalformedFilesReportTheFormatMessage) {
    auto expectBad = [](const Bytes& bytes, const char* why) {
        Result<SchemeFile> file = ParseScheme(bytes);
        ASSERT_FALSE(file.ok()) << why;
        EXPECT_EQ(file.error(), "文件格式不正确") << why;
    };
    expectBad(Bytes{'d', '2', 'v'}, "short header");
    ByteBuilder b = Header(13, 0);
    b.bytes[0] = 'x';
    expectBad(b.bytes, "signature");
    b = Header(13, 1);
    AppendPlainRecord(b, RecordKind::Region, 0, {3, 2});
    expectBad(b.bytes, "falling ring ends");
    b = Header(13, 1);
    AppendPlainRecord(b, RecordKind::Region, 0, {4});
    expectBad(b.bytes, "ring end past the outline");
    expectBad(Header(13, 1000000).bytes, "record count beyond the file");
    b = Header(13, 0);
    b.bytes[8] = 0xFF, b.bytes[9] = 0xFF, b.bytes[10] = 0xFF, b.bytes[11] = 0x7F;
    expectBad(b.bytes, "background length beyond the file");
    b = Header(13, 1);
    AppendPlainRecord(b, RecordKind::CutOutModel, 0);
    b.bytes.resize(b.bytes.size() - 4);
    b.i32(3).i32(3);  // three frames announced, none stored
    expectBad(b.bytes, "frames missing");
}

TEST(HostileInput, InvalidOwnersAreDroppedAndValidOnesResolved) {
    ByteBuilder b = Header(13, 5);
    AppendPlainRecord(b, RecordKind::PictureModel, 0);   // 0: owner
    AppendPlainRecord(b, RecordKind::PictureModel, 1);   // 1: part of 0
    AppendPlainRecord(b, RecordKind::Region, 1);         // 2: not kind 1 itself
    AppendPlainRecord(b, RecordKind::PictureModel, 4);   // 3: names itself
    AppendPlainRecord(b, RecordKind::PictureModel, 99);  // 4: out of range
    b.i32(0);
    SchemeFile file = Parse(b.bytes);
    ASSERT_EQ(file.scene.count(), 5);
    EXPECT_EQ(file.scene.at(1)->group, file.scene.at(0));
    for (int i : {2, 3, 4}) EXPECT_EQ(file.scene.at(i)->group, nullptr) << i;
}

TEST(HostileInput, GroupMembersOutsideTheListAreSkipped) {
    ByteBuilder b = Header(13, 2);
    AppendPlainRecord(b, RecordKind::Region, 0);
    AppendPlainRecord(b, RecordKind::Region, 0);
    b.i32(2);
    b.field("A", 52).i32(3).i32(0).i32(0).i32(7).i32(1);  // two valid members
    b.field("B", 52).i32(2).i32(0).i32(-1).i32(1);        // one valid member: dropped
    SchemeFile file = Parse(b.bytes);
    ASSERT_EQ(file.scene.groups().size(), 1u);
    EXPECT_EQ(file.scene.groups()[0].name, "A");
    EXPECT_EQ(file.scene.groups()[0].members.size(), 2u);
}

TEST(HostileInput, CorruptPictureBlockLeavesNoPictureButKeepsTheScene) {
    Bytes bytes = Serialize(testing::RichScene());
    const size_t first = FirstRecord(bytes);
    const size_t picture = first + kRecordSize + 4 * 8 + 4;
    const size_t end = picture + U32At(bytes, first + record_offset::pictureSize) - 1;
    std::fill(bytes.begin() + ptrdiff_t(picture + 2), bytes.begin() + ptrdiff_t(end), 0x00);
    SchemeFile file = Parse(bytes);
    EXPECT_EQ(file.scene.count(), 6);
    EXPECT_TRUE(file.scene.at(0)->picture.isNull());
}

TEST(HostileInput, FailedSavesLeaveTheOldFileAndMissingFilesAreReported) {
    const fs::path folder = fs::temp_directory_path() / "scheme-file-test";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path target = folder / "old.v2d";
    ASSERT_TRUE(WriteSchemeFile(testing::RichScene(), target));
    const auto before = *ReadWholeFile(target);
    Scene broken = testing::RichScene();
    broken.background = QImage();  // cannot be encoded
    Status saved = WriteSchemeFile(broken, target);
    ASSERT_FALSE(saved.ok());
    EXPECT_EQ(saved.error(), "读底图数据失败");
    EXPECT_EQ(*ReadWholeFile(target), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);

    saved = WriteSchemeFile(testing::RichScene(), folder / "missing" / "a.v2d");
    ASSERT_FALSE(saved.ok());
    EXPECT_EQ(saved.error(), "写文件失败。");
    EXPECT_FALSE(ReadSchemeFile(folder / "none.v2d").ok());
    fs::remove_all(folder);
}

}  // namespace
}  // namespace v2d
