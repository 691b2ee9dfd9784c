#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "scene/record_codec.h"
#include "scene/scheme_file.h"
#include "tests/scene/byte_builder.h"
#include "tests/scene/scene_fixtures.h"

namespace v2d {
namespace {
namespace fs = std::filesystem;
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

Scene SingleCutOut(int frameCount, int current) {
    Scene scene;
    scene.background = testing::SolidPicture(8, 8, 0xFF445566);
    V2dPolygon* r = scene.Append(testing::Region("花瓶", {{0, 0}, {3, 0}, {3, 3}, {0, 3}}, {3}));
    r->kind = kCutOutModel;
    const QRgb colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
    if (frameCount <= 1) {
        r->picture = testing::AlphaPicture(4, 4, colours[0], 200);
        return scene;
    }
    auto frames = std::make_unique<V2dPolygonEx>();
    frames->owner = r;
    for (int j = 0; j < frameCount; ++j) frames->frames.push_back(testing::AlphaPicture(4, 4, colours[j], 100 + j));
    frames->current = current;
    r->picture = frames->frames[size_t(current)];
    scene.FrameSetList.push_back(std::move(frames));
    return scene;
}

TEST(SchemeFile, HeaderAndBackgroundBlockLayout) {
    Scene scene = testing::RichScene();
    const Bytes bytes = Serialize(scene);
    ASSERT_GT(bytes.size(), 20u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "d2v.");
    EXPECT_EQ(I32At(bytes, 4), 13);
    EXPECT_EQ(I32At(bytes, 12), 1);  // JPEG background
    EXPECT_EQ(I32At(bytes, 16), 6);  // records
    const uint32_t length = static_cast<uint32_t>(I32At(bytes, 8));
    // The block is a whole JPEG file plus one 0xFF byte, counted in the length.
    const auto jpeg = EncodeJpeg(scene.background, 100);
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(length, jpeg->size() + 1);
    EXPECT_EQ(bytes[20], 0xFF);
    EXPECT_EQ(bytes[21], 0xD8);
    EXPECT_EQ(bytes[20 + length - 1], 0xFF);
    EXPECT_EQ(bytes[20 + length - 3], 0xFF);  // the JPEG's own end marker FF D9
    EXPECT_EQ(bytes[20 + length - 2], 0xD9);
}

TEST(SchemeFile, RecordSectionLayoutWithGroupAsOwnerPositionPlusOne) {
    Scene scene = testing::RichScene();
    const Bytes bytes = Serialize(scene);
    size_t offset = 20 + static_cast<uint32_t>(I32At(bytes, 8));
    // Walk to record 3 (the model part) through the section layout.
    for (int i = 0; i < 3; ++i) {
        const int32_t points = I32At(bytes, offset + record_offset::pointCount);
        const int32_t indices = I32At(bytes, offset + record_offset::indexCount);
        const uint32_t picture = static_cast<uint32_t>(I32At(bytes, offset + record_offset::pictureSize));
        const uint32_t source = static_cast<uint32_t>(I32At(bytes, offset + record_offset::sourcePictureSize));
        const uint8_t kind = bytes[offset + record_offset::kind];
        const uint8_t castShadow = bytes[offset + record_offset::castShadow];
        offset += kRecordSize + 8 * size_t(points) + 4 * size_t(indices) + picture + source;
        if (picture) {
            EXPECT_EQ(bytes[offset - source - 1], 0xFF);
        }
        if (kind == kRegion && castShadow == 0) {
            const int32_t rows = I32At(bytes, offset), cols = I32At(bytes, offset + 4);
            EXPECT_EQ(rows, 2);
            EXPECT_EQ(cols, 3);
            EXPECT_EQ(I32At(bytes, offset + 8), 0);       // first source node x
            EXPECT_EQ(I32At(bytes, offset + 8 + 48), 1);  // first destination node x
            offset += 8 + 16 * size_t(rows * cols);
        }
        if (i == 2) {
            EXPECT_EQ(kind, kPictureModel);
            EXPECT_GT(source, 0u);  // kind 1 keeps its source picture
        }
    }
    EXPECT_EQ(std::string(bytes.begin() + offset, bytes.begin() + offset + 5), std::string("\xD7\xF8\xB5\xE6\0", 5));
    EXPECT_EQ(I32At(bytes, offset + record_offset::group), 3);  // owner at position 2
    EXPECT_EQ(I32At(bytes, offset + record_offset::points), 0);
}

TEST(SchemeFile, RoundTripKeepsEveryRecordField) {
    Scene scene = testing::RichScene();
    SchemeFile file = Parse(Serialize(scene));
    Scene& back = file.scene;
    ASSERT_EQ(back.count(), scene.count());
    EXPECT_EQ(file.version, 13);
    EXPECT_EQ(back.background.size(), scene.background.size());
    for (int i = 0; i < scene.count(); ++i) {
        const V2dPolygon& a = *scene.at(i);
        const V2dPolygon& b = *back.at(i);
        SCOPED_TRACE(a.name);
        EXPECT_EQ(b.name, a.name);
        EXPECT_EQ(b.points, a.points);
        EXPECT_EQ(b.indexList, a.indexList);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(b.corners[k], a.corners[k]);
        EXPECT_EQ(b.realWidth, a.realWidth);
        EXPECT_EQ(b.realHeight, a.realHeight);
        EXPECT_EQ(b.lighten, a.lighten);
        EXPECT_EQ(b.reflect, a.reflect);
        EXPECT_EQ(b.partsInfo, a.partsInfo);
        EXPECT_EQ(b.blurRadius, a.blurRadius);
        EXPECT_EQ(b.kind, a.kind);
        EXPECT_EQ(b.originX, a.originX);
        EXPECT_EQ(b.originY, a.originY);
        EXPECT_EQ(b.scaleX, a.scaleX);
        EXPECT_EQ(b.scaleY, a.scaleY);
        EXPECT_EQ(b.toneEnabled, a.toneEnabled);
        EXPECT_EQ(b.castShadow, a.castShadow);
        EXPECT_EQ(b.shadowX, a.shadowX);
        EXPECT_EQ(b.shadowY, a.shadowY);
        EXPECT_EQ(b.shadowRadius, a.shadowRadius);
        EXPECT_EQ(b.shadowColor, a.shadowColor);
        EXPECT_EQ(b.picture.size(), a.picture.size());
        EXPECT_EQ(b.sourcePicture.size(), a.sourcePicture.size());
        EXPECT_TRUE(b.renderCache.isNull());
        EXPECT_EQ(b.group ? back.IndexOfPolygon(b.group) : -1, a.group ? scene.IndexOfPolygon(a.group) : -1);
    }
    ASSERT_EQ(back.MeshList.size(), 1u);
    EXPECT_EQ(back.MeshList[0]->owner, back.at(1));
    EXPECT_EQ(back.MeshList[0]->dstNodes, scene.MeshList[0]->dstNodes);
    EXPECT_EQ(back.MeshList[0]->srcNodes, scene.MeshList[0]->srcNodes);
    ASSERT_EQ(back.GroupList.size(), 1u);
    EXPECT_EQ(back.GroupList[0].name, "墙地组");
    EXPECT_EQ(back.GroupList[0].members, (std::vector<V2dPolygon*>{back.at(0), back.at(1)}));
}

TEST(SchemeFile, ThreeFramesWithCurrentOneStoreFramesZeroAndTwoOnly) {
    Scene scene = SingleCutOut(3, 1);
    const Bytes bytes = Serialize(scene);
    size_t offset = 20 + static_cast<uint32_t>(I32At(bytes, 8));
    const uint32_t pictureSize = static_cast<uint32_t>(I32At(bytes, offset + record_offset::pictureSize));
    offset += kRecordSize + 4 * 8 + 4 + pictureSize;
    EXPECT_EQ(I32At(bytes, offset), 3);      // frame count
    EXPECT_EQ(I32At(bytes, offset + 4), 1);  // current
    offset += 8;
    std::vector<QRgb> stored;
    for (int k = 0; k < 2; ++k) {
        const uint32_t length = static_cast<uint32_t>(I32At(bytes, offset));
        const std::span<const uint8_t> block(bytes.data() + offset + 4, length);
        EXPECT_EQ(block.back(), 0xFF);
        const QImage frame = DecodePng(block.first(length - 1));
        ASSERT_FALSE(frame.isNull());
        stored.push_back(frame.pixel(0, 0));
        offset += 4 + length;
    }
    EXPECT_EQ(stored[0], qRgba(255, 0, 0, 100));
    EXPECT_EQ(stored[1], qRgba(0, 0, 255, 102));
    EXPECT_EQ(I32At(bytes, offset), 0);  // group count
    EXPECT_EQ(offset + 4, bytes.size());

    SchemeFile file = Parse(bytes);
    const V2dPolygonEx* frames = file.scene.FrameSetOf(file.scene.at(0));
    ASSERT_NE(frames, nullptr);
    ASSERT_EQ(frames->frames.size(), 3u);
    EXPECT_EQ(frames->current, 1);
    EXPECT_EQ(frames->frames[0].pixel(0, 0), qRgba(255, 0, 0, 100));
    EXPECT_EQ(frames->frames[1].pixel(0, 0), qRgba(0, 255, 0, 101));
    EXPECT_EQ(frames->frames[2].pixel(0, 0), qRgba(0, 0, 255, 102));
    EXPECT_EQ(frames->frames[1].cacheKey(), file.scene.at(0)->picture.cacheKey());
}

TEST(SchemeFile, LastFrameCurrentIsAppended) {
    SchemeFile file = Parse(Serialize(SingleCutOut(2, 1)));
    const V2dPolygonEx* frames = file.scene.FrameSetOf(file.scene.at(0));
    ASSERT_NE(frames, nullptr);
    EXPECT_EQ(frames->frames[0].pixel(1, 1), qRgba(255, 0, 0, 100));
    EXPECT_EQ(frames->frames[1].pixel(1, 1), qRgba(0, 255, 0, 101));
}

TEST(SchemeFile, CutOutWithoutFrameSetWritesCountOneAndReadsBackWithout) {
    Scene scene = SingleCutOut(1, 0);
    const Bytes bytes = Serialize(scene);
    size_t offset = 20 + static_cast<uint32_t>(I32At(bytes, 8));
    const uint32_t pictureSize = static_cast<uint32_t>(I32At(bytes, offset + record_offset::pictureSize));
    EXPECT_EQ(I32At(bytes, offset + record_offset::sourcePictureSize), 0);
    offset += kRecordSize + 4 * 8 + 4 + pictureSize;
    EXPECT_EQ(I32At(bytes, offset), 1);
    SchemeFile file = Parse(bytes);
    EXPECT_TRUE(file.scene.FrameSetList.empty());
    EXPECT_EQ(file.scene.at(0)->picture.pixel(2, 2), qRgba(255, 0, 0, 200));
}

TEST(SchemeFile, NoGroupsWritesAZeroCount) {
    Scene scene = testing::RichScene();
    scene.GroupList.clear();
    const Bytes bytes = Serialize(scene);
    EXPECT_EQ(I32At(bytes, bytes.size() - 4), 0);
    EXPECT_TRUE(Parse(bytes).scene.GroupList.empty());
}

TEST(SchemeFile, GroupRecordLayout) {
    Scene scene = testing::RichScene();
    const Bytes bytes = Serialize(scene);
    // Last: count 1, a 60-byte record, two member positions.
    const size_t start = bytes.size() - (4 + 60 + 8);
    EXPECT_EQ(I32At(bytes, start), 1);
    EXPECT_EQ(std::string(bytes.begin() + start + 4, bytes.begin() + start + 10), "\xC7\xBD\xB5\xD8\xD7\xE9");
    EXPECT_EQ(bytes[start + 10], 0);
    EXPECT_EQ(I32At(bytes, start + 4 + 52), 2);
    EXPECT_EQ(I32At(bytes, start + 64), 0);
    EXPECT_EQ(I32At(bytes, start + 68), 1);
}

// Builds a version-13 file by hand: background plus the given records.
testing::ByteBuilder FileWithRecords(int count) {
    const auto jpeg = *EncodeJpeg(testing::SolidPicture(4, 4, 0xFF000000), 100);
    testing::ByteBuilder b;
    b.raw("d2v.").i32(13).i32(int32_t(jpeg.size() + 1)).i32(1).i32(count).raw(jpeg).u8(0xFF);
    return b;
}

void AppendPlainRecord(testing::ByteBuilder& b, uint8_t kind, int32_t group, std::vector<int32_t> rings = {3},
                       int32_t points = 4) {
    V2dPolygon r;
    r.name = "r";
    r.kind = kind;
    r.points.assign(size_t(points), V2d_Point{1, 1});
    r.indexList = rings;
    const auto block = EncodeRecord(r, group);
    b.raw(std::vector<uint8_t>(block.begin(), block.end()));
    for (int i = 0; i < points; ++i) b.i32(1).i32(1);
    for (int32_t v : rings) b.i32(v);
    if (kind == kCutOutModel) b.i32(1);
}

TEST(SchemeFile, InvalidOwnersAreDroppedAndValidOnesResolved) {
    testing::ByteBuilder b = FileWithRecords(5);
    AppendPlainRecord(b, kPictureModel, 0);  // 0: owner
    AppendPlainRecord(b, kPictureModel, 1);  // 1: part of 0
    AppendPlainRecord(b, kRegion, 1);        // 2: not kind 1 itself
    AppendPlainRecord(b, kPictureModel, 4);  // 3: names itself
    AppendPlainRecord(b, kPictureModel, 99); // 4: out of range
    b.i32(0);
    SchemeFile file = Parse(b.bytes);
    ASSERT_EQ(file.scene.count(), 5);
    EXPECT_EQ(file.scene.at(1)->group, file.scene.at(0));
    EXPECT_EQ(file.scene.at(2)->group, nullptr);
    EXPECT_EQ(file.scene.at(3)->group, nullptr);
    EXPECT_EQ(file.scene.at(4)->group, nullptr);
}

TEST(SchemeFile, GroupMembersOutsideTheListAreSkipped) {
    testing::ByteBuilder b = FileWithRecords(2);
    AppendPlainRecord(b, kRegion, 0);
    AppendPlainRecord(b, kRegion, 0);
    b.i32(2);
    b.field("A", 52).i32(3).i32(0).i32(0).i32(7).i32(1);   // two valid members
    b.field("B", 52).i32(2).i32(0).i32(-1).i32(1);         // one valid member: dropped
    SchemeFile file = Parse(b.bytes);
    ASSERT_EQ(file.scene.GroupList.size(), 1u);
    EXPECT_EQ(file.scene.GroupList[0].name, "A");
    EXPECT_EQ(file.scene.GroupList[0].members.size(), 2u);
}

TEST(SchemeFile, MalformedFilesReportTheFormatMessage) {
    auto expectBad = [](const Bytes& bytes, const char* why) {
        Result<SchemeFile> file = ParseScheme(bytes);
        ASSERT_FALSE(file.ok()) << why;
        EXPECT_EQ(file.error(), "文件格式不正确") << why;
    };
    expectBad(Bytes{'d', '2', 'v'}, "short header");
    {
        testing::ByteBuilder b = FileWithRecords(0);
        b.bytes[0] = 'x';
        expectBad(b.bytes, "signature");
    }
    {
        testing::ByteBuilder b = FileWithRecords(1);
        AppendPlainRecord(b, kRegion, 0, {3, 2});
        expectBad(b.bytes, "falling ring ends");
    }
    {
        testing::ByteBuilder b = FileWithRecords(1);
        AppendPlainRecord(b, kRegion, 0, {4});
        expectBad(b.bytes, "ring end past the outline");
    }
    {
        testing::ByteBuilder b = FileWithRecords(1000000);
        expectBad(b.bytes, "record count beyond the file");
    }
    {
        testing::ByteBuilder b = FileWithRecords(0);
        b.bytes[8] = 0xFF, b.bytes[9] = 0xFF, b.bytes[10] = 0xFF, b.bytes[11] = 0x7F;
        expectBad(b.bytes, "background length beyond the file");
    }
    {
        testing::ByteBuilder b = FileWithRecords(1);
        AppendPlainRecord(b, kCutOutModel, 0);
        b.bytes.resize(b.bytes.size() - 4);
        b.i32(3).i32(3);  // current not below the count
        expectBad(b.bytes, "frame current");
    }
}

TEST(SchemeFile, CorruptPictureBlockLeavesNoPictureButKeepsTheScene) {
    Scene scene = testing::RichScene();
    Bytes bytes = Serialize(scene);
    const size_t first = 20 + static_cast<uint32_t>(I32At(bytes, 8));
    const uint32_t pictureSize = static_cast<uint32_t>(I32At(bytes, first + record_offset::pictureSize));
    const size_t picture = first + kRecordSize + 4 * 8 + 4;
    std::fill(bytes.begin() + picture + 2, bytes.begin() + picture + pictureSize - 1, 0x00);
    SchemeFile file = Parse(bytes);
    EXPECT_EQ(file.scene.count(), 6);
    EXPECT_TRUE(file.scene.at(0)->picture.isNull());
}

TEST(SchemeFile, MeshFlagWithoutMeshWritesAnEmptyMeshSection) {
    Scene scene;
    scene.background = testing::SolidPicture(4, 4, 0xFF000000);
    V2dPolygon* r = scene.Append(testing::Region("a", {{0, 0}, {2, 0}, {2, 2}}, {2}));
    r->castShadow = 0;
    scene.Append(testing::Region("b", {{0, 0}, {3, 0}, {3, 3}}, {2}));
    SchemeFile file = Parse(Serialize(scene));
    ASSERT_EQ(file.scene.count(), 2);
    EXPECT_EQ(file.scene.at(1)->name, "b");
    EXPECT_TRUE(file.scene.MeshList.empty());
}

class SchemeFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  (std::string("scheme-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    fs::path folder_;
};

TEST_F(SchemeFileOnDisk, FailedSaveLeavesTheOldFileByteForByte) {
    const fs::path target = folder_ / "old.v2d";
    ASSERT_TRUE(WriteSchemeFile(testing::RichScene(), target));
    const auto before = *ReadWholeFile(target);
    Scene broken = testing::RichScene();
    broken.background = QImage();  // cannot be encoded
    Status saved = WriteSchemeFile(broken, target);
    ASSERT_FALSE(saved.ok());
    EXPECT_EQ(saved.error(), "读底图数据失败");
    EXPECT_EQ(*ReadWholeFile(target), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST_F(SchemeFileOnDisk, SaveIntoAMissingFolderFailsWithTheWriteMessage) {
    Status saved = WriteSchemeFile(testing::RichScene(), folder_ / "missing" / "a.v2d");
    ASSERT_FALSE(saved.ok());
    EXPECT_EQ(saved.error(), "写文件失败。");
}

TEST_F(SchemeFileOnDisk, MissingFileIsReported) {
    Result<SchemeFile> file = ReadSchemeFile(folder_ / "none.v2d");
    EXPECT_FALSE(file.ok());
}

}  // namespace
}  // namespace v2d
