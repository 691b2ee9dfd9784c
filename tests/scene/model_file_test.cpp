// Model files: byte layout of header and frame block, kinds as loaded,
// frames, previews and hostile input.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "base/atomic_file.h"
#include "scene/model_file.h"
#include "scene/record_codec.h"
#include "scene/scheme_file.h"
#include "tests/scene/byte_builder.h"
#include "tests/scene/scene_fixtures.h"

namespace v2d {
namespace {
using testing::AlphaPicture;
using testing::I32At;
using testing::Region;
using testing::SolidPicture;

Bytes Serialized(const std::vector<const V2dPolygon*>& records, const V2dPolygonEx* frames = nullptr) {
    Result<Bytes> bytes = SerializeModelFile(records, frames);
    EXPECT_TRUE(bytes.ok());
    return bytes.ok() ? *bytes : Bytes{};
}

// Where the frame block of a single-record model file starts.
size_t FrameBlockAt(const Bytes& bytes) {
    const uint32_t pictureSize = uint32_t(I32At(bytes, kSchemeHeaderSize + record_offset::pictureSize));
    const int32_t points = I32At(bytes, kSchemeHeaderSize + record_offset::pointCount);
    const int32_t rings = I32At(bytes, kSchemeHeaderSize + record_offset::indexCount);
    return kSchemeHeaderSize + kRecordSize + size_t(points) * 8 + size_t(rings) * 4 + pictureSize;
}

struct CutOut {
    PolygonPtr record = Region("花瓶", {{0, 0}, {19, 0}, {19, 9}, {0, 9}}, {3});
    V2dPolygonEx frames;
    CutOut(int frameCount, int current) {
        record->kind = kCutOutModel;
        for (int j = 0; j < frameCount; ++j) frames.frames.push_back(AlphaPicture(20, 10, 0x102030 * (j + 1), 200));
        frames.owner = record.get();
        frames.current = current;
        record->picture = frames.frames[size_t(current)];
    }
};

TEST(ModelFile, LayoutAndFramesInOrderWithTheCurrentIndexClamped) {
    CutOut cutout(3, 2);
    cutout.record->lighten = 450;  // out of range for a cut-out model
    Bytes bytes = Serialized({cutout.record.get()}, &cutout.frames);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "d2c.");
    EXPECT_EQ(I32At(bytes, 4), kSchemeVersion);
    EXPECT_EQ(I32At(bytes, 8), 0);  // no background block
    EXPECT_EQ(I32At(bytes, 16), 1);
    // Count and current right after the record; frames 0 and 1 end the file.
    const size_t block = FrameBlockAt(bytes);
    EXPECT_EQ(I32At(bytes, block), 3);
    EXPECT_EQ(I32At(bytes, block + 4), 2);
    const size_t first = size_t(I32At(bytes, block + 8));
    EXPECT_EQ(block + 16 + first + size_t(I32At(bytes, block + 12 + first)), bytes.size());

    Result<ModelFile> model = ParseModelFile(bytes);
    ASSERT_TRUE(model.ok() && model->frames);
    ASSERT_EQ(model->frames->frames.size(), 3u);
    for (int j = 0; j < 3; ++j)
        EXPECT_EQ(model->frames->frames[size_t(j)].pixel(0, 0), cutout.frames.frames[size_t(j)].pixel(0, 0)) << j;
    EXPECT_EQ(model->records[0]->picture.pixel(0, 0), model->frames->frames[2].pixel(0, 0));
    EXPECT_EQ(model->records[0]->lighten, 0);
    for (const auto& [stored, read] : {std::pair{7, 2}, std::pair{-3, 0}}) {
        WriteI32(bytes.data() + block + 4, stored);
        model = ParseModelFile(bytes);
        ASSERT_TRUE(model.ok());
        EXPECT_EQ(model->frames->current, read) << stored;
    }
}

TEST(ModelFile, EveryKindButCutOutReadsAsPictureModel) {
    std::vector<PolygonPtr> owned;
    std::vector<const V2dPolygon*> records;
    for (uint8_t kind : {kRegion, kShadowRegion, kPictureModel3, kPictureModel}) {
        owned.push_back(Region("件", {{0, 0}, {9, 0}, {9, 9}, {0, 9}}, {3}));
        owned.back()->kind = kind;
        owned.back()->lighten = 450;
        owned.back()->picture = SolidPicture(10, 10, 0xFF336699);
        records.push_back(owned.back().get());
    }
    Result<ModelFile> model = ParseModelFile(Serialized(records));
    ASSERT_TRUE(model.ok());
    ASSERT_EQ(model->records.size(), 4u);
    for (const PolygonPtr& r : model->records) {
        EXPECT_EQ(r->kind, kPictureModel);
        EXPECT_EQ(r->lighten, 450);  // only cut-out models drop it
        EXPECT_FALSE(r->sourcePicture.isNull());  // the picture stands in for a missing source
    }
    EXPECT_FALSE(model->frames);
}

TEST(ModelFile, PreviewFromHeaderBlockOrFirstSourcePicture) {
    QTemporaryDir dir;
    const std::filesystem::path path = dir.filePath("m.c2d").toStdString();
    PolygonPtr first = Region("甲", {{0, 0}, {9, 0}, {9, 9}, {0, 9}}, {3});
    PolygonPtr second = Region("乙", {{0, 0}, {9, 0}, {9, 9}, {0, 9}}, {3});
    first->kind = second->kind = kPictureModel;
    second->sourcePicture = SolidPicture(8, 6, 0xFF00FF00);
    ASSERT_TRUE(WriteModelFile({first.get(), second.get()}, nullptr, path).ok());
    EXPECT_EQ(ReadModelPreview(path).size(), QSize(8, 6));

    // A header block is the preview, and loading skips it.
    Bytes bytes = *ReadWholeFile(path);
    const Bytes jpeg = *EncodeJpeg(SolidPicture(5, 4, 0xFFFF0000));
    Bytes withPreview(bytes.begin(), bytes.begin() + kSchemeHeaderSize);
    WriteI32(withPreview.data() + 8, int32_t(jpeg.size() + 1));
    withPreview.insert(withPreview.end(), jpeg.begin(), jpeg.end());
    withPreview.push_back(0xFF);
    withPreview.insert(withPreview.end(), bytes.begin() + kSchemeHeaderSize, bytes.end());
    ASSERT_TRUE(WriteFileAtomically(path, withPreview));
    EXPECT_EQ(ReadModelPreview(path).size(), QSize(5, 4));
    Result<ModelFile> model = ReadModelFile(path);
    ASSERT_TRUE(model.ok());
    EXPECT_EQ(model->records.size(), 2u);

    EXPECT_TRUE(ReadModelPreview(dir.filePath("missing.c2d").toStdString()).isNull());
}

TEST(ModelFile, HostileFilesAreRefusedWithTheMessage) {
    CutOut cutout(3, 1);
    const Bytes good = Serialized({cutout.record.get()}, &cutout.frames);
    // Every truncation inside the record or the frame block is refused;
    // one that ends right after the record's blocks reads as one frame.
    for (size_t n = 0; n < good.size(); n += 7) {
        const Bytes cut(good.begin(), good.begin() + n);
        Result<ModelFile> model = ParseModelFile(cut);
        if (model.ok()) {
            EXPECT_FALSE(model->frames) << n;
        } else {
            EXPECT_EQ(model.error(), kMsgBadFormat) << n;
        }
    }
    Bytes scheme = good;
    scheme[2] = 'v';  // a scheme is not a model
    EXPECT_FALSE(ParseModelFile(scheme).ok());
    Bytes huge = good;
    WriteI32(huge.data() + 16, 0x7FFFFFFF);
    EXPECT_FALSE(ParseModelFile(huge).ok());
    Bytes longBlock = good;
    WriteI32(longBlock.data() + 8, 0x7FFFFFF0);  // a header block past the end
    EXPECT_FALSE(ParseModelFile(longBlock).ok());
    // A frame block whose PNG is garbage loads with that frame empty.
    Bytes badPng = good;
    const size_t frame0 = FrameBlockAt(good) + 8;
    badPng[frame0 + 4 + size_t(I32At(good, frame0)) + 4 + 1] ^= 0xFF;  // frame 2's PNG signature
    Result<ModelFile> model = ParseModelFile(badPng);
    ASSERT_TRUE(model.ok());
    EXPECT_TRUE(model->frames->frames[2].isNull());
}

}  // namespace
}  // namespace v2d
