#include <gtest/gtest.h>

#include <cstring>

#include "base/picture_codec.h"
#include "tests/scene/scene_fixtures.h"

namespace v2d {
namespace {

TEST(PictureCodec, JpegAtQuality100KeepsColoursAndSize) {
    // The larger picture has its pages made present on another core while it decodes.
    for (const QSize size : {QSize(64, 32), QSize(2048, 1100)}) {
        const QImage source = testing::QuadrantPicture(size.width(), size.height());
        auto bytes = EncodeJpeg(source, 100);
        ASSERT_TRUE(bytes);
        EXPECT_EQ((*bytes)[0], 0xFF);
        EXPECT_EQ((*bytes)[1], 0xD8);
        const QImage back = DecodeJpeg(*bytes);
        ASSERT_FALSE(back.isNull());
        EXPECT_EQ(back.format(), QImage::Format_RGB32);
        EXPECT_EQ(back.size(), source.size());
        // Well inside each quadrant the colour survives within a few levels.
        const int w = size.width(), h = size.height();
        const QRgb tl = back.pixel(w / 8, h / 4), br = back.pixel(w * 7 / 8, h * 3 / 4);
        EXPECT_NEAR(qRed(tl), 255, 6);
        EXPECT_NEAR(qGreen(tl), 0, 6);
        EXPECT_NEAR(qRed(br), 255, 6);
        EXPECT_NEAR(qGreen(br), 255, 6);
        EXPECT_NEAR(qBlue(br), 0, 6);
    }
}

TEST(PictureCodec, ThumbnailDecodeScalesInTheDctWhileTheLongerSideSuffices) {
    const Bytes jpeg = *EncodeJpeg(testing::QuadrantPicture(640, 320), 90);
    const std::pair<int, QSize> cases[] = {{80, QSize(80, 40)},   // 1/8
                                           {81, QSize(160, 80)},  // 1/4: 1/8 would be too small
                                           {300, QSize(320, 160)},
                                           {641, QSize(640, 320)}};  // never enlarged, never refused
    for (const auto& [side, size] : cases) EXPECT_EQ(DecodeJpegForSize(jpeg, side).size(), size) << side;
    EXPECT_NEAR(qRed(DecodeJpegForSize(jpeg, 80).pixel(10, 10)), 255, 8);
}

TEST(PictureCodec, CorruptOrOverclaimingJpegFailsSoftly) {
    auto bytes = EncodeJpeg(testing::QuadrantPicture(64, 64), 90);
    ASSERT_TRUE(bytes);
    // Truncated at every eighth length: never a crash, a null or a picture.
    for (size_t n = 0; n < bytes->size(); n += bytes->size() / 8 + 1) {
        const QImage image = DecodeJpeg(std::span<const uint8_t>(bytes->data(), n));
        if (!image.isNull()) {
            EXPECT_EQ(image.width(), 64);
        }
    }
    Bytes garbage(500, 0x5A);
    garbage[0] = 0xFF, garbage[1] = 0xD8;
    EXPECT_TRUE(DecodeJpeg(garbage).isNull());
    // A frame header (SOF0) patched to claim 20000 x 20000 pixels is refused.
    for (size_t i = 0; i + 8 < bytes->size(); ++i) {
        if ((*bytes)[i] == 0xFF && (*bytes)[i + 1] == 0xC0) {
            (*bytes)[i + 5] = 20000 >> 8, (*bytes)[i + 6] = 20000 & 0xFF;
            (*bytes)[i + 7] = 20000 >> 8, (*bytes)[i + 8] = 20000 & 0xFF;
            break;
        }
    }
    EXPECT_TRUE(DecodeJpeg(*bytes).isNull());
}

// libjpeg greys a cut file's missing half (Qt blanks a BMP's): the lenient
// decode keeps such a picture, the strict one refuses it, and a cut PNG.
TEST(PictureCodec, StrictDecodeRefusesAPictureCutInHalf) {
    const QImage source = testing::QuadrantPicture(256, 256);
    Bytes bmp(54 + 256 * 256 * 3);  // 24-bit, black
    std::memcpy(bmp.data(), "BM", 2), bmp[10] = 54, bmp[14] = 40, bmp[19] = 1, bmp[23] = 1, bmp[26] = 1, bmp[28] = 24;
    for (const Bytes& whole : {*EncodeJpeg(source, 90), *EncodePng(source), bmp}) {
        const std::span<const uint8_t> half(whole.data(), whole.size() / 2);
        EXPECT_FALSE(DecodePicture(whole, PictureCheck::Strict).isNull());
        EXPECT_TRUE(DecodePicture(half, PictureCheck::Strict).isNull());
        EXPECT_NE(SniffPicture(half), PictureKind::Unknown);
        if (SniffPicture(whole) != PictureKind::Jpeg) continue;
        EXPECT_FALSE(DecodePicture(half).isNull());
        EXPECT_TRUE(DecodeJpegForSize(half, 32, PictureCheck::Strict).isNull());
    }
}

TEST(PictureCodec, PngKeepsAlphaExactly) {
    QImage source(5, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) source.setPixel(x, y, qRgba(x * 50, y * 100, 7, x * 60));
    auto bytes = EncodePng(source);
    ASSERT_TRUE(bytes);
    const QImage back = DecodePng(*bytes);
    ASSERT_EQ(back.format(), QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(back.pixel(x, y), source.pixel(x, y)) << x << "," << y;
}

TEST(PictureCodec, PictureKindIsSniffedFromTheFirstBytes) {
    const QImage source = testing::SolidPicture(4, 4, 0xFF112233);
    EXPECT_FALSE(DecodePicture(*EncodeJpeg(source)).isNull());
    EXPECT_FALSE(DecodePicture(*EncodePng(source)).isNull());
    EXPECT_TRUE(DecodePicture(Bytes{'G', 'I', 'F', '8', '9', 'a'}).isNull());
    EXPECT_TRUE(DecodePicture(Bytes{}).isNull());
}

TEST(PictureCodec, StreamedJpegIsTheSameFileAndARefusingSinkFails) {
    QImage image(900, 700, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb((x * 7919 + y * 104729) & 255, (x * y) & 255, (x ^ y) & 255));
    Bytes streamed;
    int chunks = 0;
    ASSERT_TRUE(EncodeJpeg(image, 100, [&](std::span<const uint8_t> chunk) {
        ++chunks;
        streamed.insert(streamed.end(), chunk.begin(), chunk.end());
        return true;
    }));
    EXPECT_EQ(streamed, *EncodeJpeg(image, 100));
    EXPECT_GT(chunks, 1);
    EXPECT_FALSE(EncodeJpeg(image, 90, [](std::span<const uint8_t>) { return false; }));
    EXPECT_FALSE(EncodeJpeg(QImage(), 90, [](std::span<const uint8_t>) { return true; }));
}

}  // namespace
}  // namespace v2d
