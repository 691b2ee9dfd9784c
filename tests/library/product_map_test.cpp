#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include "library/product_map.h"
#include "tests/library/temp_workspace.h"

namespace v2d {
namespace {

Bytes SolidJpeg(int w, int h, QRgb colour) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return *EncodeJpeg(img, 95);
}

Bytes SolidBmp(int w, int h, QRgb colour) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "BMP");
    return Bytes(data.begin(), data.end());
}

TEST(ProductMap, HeaderLayoutIsByteExact) {
    const Bytes picture{1, 2, 3};
    const Bytes map = BuildProductMap(picture, ProductMapKind::Jpeg, 17);
    const Bytes expected{0x10, 0x04, 0x04, 0x20, 1, 0, 0, 0, 3, 0, 0, 0,
                         1,    0,    0,    0,    17, 0, 0, 0, 1, 2, 3};
    EXPECT_EQ(map, expected);
}

TEST(ProductMap, JpegKindDecodesWithItsTolerance) {
    const Bytes map = BuildProductMap(SolidJpeg(40, 20, qRgb(200, 100, 50)), ProductMapKind::Jpeg, 23);
    Result<ProductMap> m = ParseProductMap(map);
    ASSERT_TRUE(m.ok()) << m.error();
    ASSERT_TRUE(m->hasPicture());
    EXPECT_EQ(m->picture.size(), QSize(40, 20));
    EXPECT_EQ(m->picture.format(), QImage::Format_RGB32);
    EXPECT_EQ(m->tolerance, 23);
    EXPECT_NEAR(qRed(m->picture.pixel(20, 10)), 200, 4);
}

TEST(ProductMap, BmpKindDecodes) {
    const Bytes map = BuildProductMap(SolidBmp(7, 5, qRgb(10, 20, 30)), ProductMapKind::Bmp);
    Result<ProductMap> m = ParseProductMap(map);
    ASSERT_TRUE(m.ok()) << m.error();
    EXPECT_EQ(m->picture.size(), QSize(7, 5));
    EXPECT_EQ(m->picture.pixel(3, 2), qRgb(10, 20, 30));
    EXPECT_EQ(m->tolerance, 10);
}

TEST(ProductMap, KindTwoYieldsNoPictureAndNoMessage) {
    Bytes map = BuildProductMap(SolidJpeg(8, 8, qRgb(1, 2, 3)), ProductMapKind::Jpeg);
    map[12] = 2;
    Result<ProductMap> m = ParseProductMap(map);
    ASSERT_TRUE(m.ok());
    EXPECT_FALSE(m->hasPicture());
    EXPECT_EQ(m->kind, 2);
}

TEST(ProductMap, WrongSignatureIsInvalid) {
    Bytes map = BuildProductMap(SolidJpeg(8, 8, qRgb(1, 2, 3)), ProductMapKind::Jpeg);
    map[0] ^= 1;
    Result<ProductMap> m = ParseProductMap(map);
    ASSERT_FALSE(m.ok());
    EXPECT_EQ(m.error(), "文件不合法。");
}

TEST(ProductMap, LengthBeyondTheFileIsInvalid) {
    Bytes map = BuildProductMap(SolidJpeg(8, 8, qRgb(1, 2, 3)), ProductMapKind::Jpeg);
    // The length says one byte more than there is.
    const uint32_t length = static_cast<uint32_t>(map.size() - kProductMapHeaderSize + 1);
    for (int i = 0; i < 4; ++i) map[8 + i] = static_cast<uint8_t>(length >> (8 * i));
    EXPECT_EQ(ParseProductMap(map).error(), "文件不合法。");
    // A length near 4 GB must not be allocated.
    for (int i = 0; i < 4; ++i) map[8 + i] = 0xFF;
    EXPECT_EQ(ParseProductMap(map).error(), "文件不合法。");
}

TEST(ProductMap, EveryTruncationIsReportedWithoutCrash) {
    const Bytes map = BuildProductMap(SolidJpeg(16, 16, qRgb(9, 9, 9)), ProductMapKind::Jpeg);
    for (size_t n = 0; n < map.size(); ++n) {
        Result<ProductMap> m = ParseProductMap(std::span<const uint8_t>(map.data(), n));
        ASSERT_FALSE(m.ok()) << n;
        EXPECT_EQ(m.error(), "文件不合法。") << n;
    }
}

TEST(ProductMap, UndecodablePictureIsInvalid) {
    const Bytes garbage(100, 0x55);
    EXPECT_EQ(ParseProductMap(BuildProductMap(garbage, ProductMapKind::Jpeg)).error(), "文件不合法。");
    EXPECT_EQ(ParseProductMap(BuildProductMap(garbage, ProductMapKind::Bmp)).error(), "文件不合法。");
}

TEST(ProductMap, MissingFileCannotBeOpened) {
    test::TempWorkspace ws;
    Result<ProductMap> m = LoadProductMap(ws / "product/maps/none.h2d");
    ASSERT_FALSE(m.ok());
    EXPECT_EQ(m.error(), "文件打不开。");
}

TEST(ProductMap, LoadsFromFileAndLeavesNoScratchFile) {
    test::TempWorkspace ws;
    const auto file = ws / "product/maps/A-1.h2d";
    test::WriteBytes(file, BuildProductMap(SolidJpeg(30, 30, qRgb(0, 0, 255)), ProductMapKind::Jpeg, 12));
    Result<ProductMap> m = LoadProductMap(file);
    ASSERT_TRUE(m.ok()) << m.error();
    EXPECT_EQ(m->tolerance, 12);
    EXPECT_TRUE(std::filesystem::is_empty(ws / "temp"));
}

}  // namespace
}  // namespace v2d

#include "library/product_pictures.h"

namespace v2d {
namespace {

TEST(MaterialPicture, MapBeforeJpegAndUnknownKindFallsBack) {
    test::TempWorkspace ws;
    const Bytes red = SolidJpeg(10, 10, qRgb(255, 0, 0));
    const Bytes blue = SolidJpeg(12, 12, qRgb(0, 0, 255));
    test::WriteBytes(ws / "product/maps/T-1.jpg", blue);
    // No .h2d: the JPEG map with the default tolerance.
    auto jpegOnly = LoadMaterialPicture(ws.path(), "T-1");
    ASSERT_TRUE(jpegOnly.ok());
    ASSERT_TRUE(jpegOnly->has_value());
    EXPECT_EQ((*jpegOnly)->picture.width(), 12);
    EXPECT_EQ((*jpegOnly)->tolerance, 10);
    // A .h2d wins, with its tolerance.
    test::WriteBytes(ws / "product/maps/T-1.h2d", BuildProductMap(red, ProductMapKind::Jpeg, 33));
    auto fromMap = LoadMaterialPicture(ws.path(), "T-1");
    EXPECT_EQ((*fromMap)->picture.width(), 10);
    EXPECT_EQ((*fromMap)->tolerance, 33);
    // A .h2d of kind 2 counts as no picture: the JPEG map again.
    Bytes kind2 = BuildProductMap(red, ProductMapKind::Jpeg, 33);
    kind2[12] = 2;
    test::WriteBytes(ws / "product/maps/T-1.h2d", kind2);
    auto fallback = LoadMaterialPicture(ws.path(), "T-1");
    ASSERT_TRUE(fallback->has_value());
    EXPECT_EQ((*fallback)->picture.width(), 12);
    // A broken .h2d is reported, not replaced.
    test::WriteBytes(ws / "product/maps/T-1.h2d", Bytes{1, 2, 3});
    EXPECT_EQ(LoadMaterialPicture(ws.path(), "T-1").error(), "文件不合法。");
    // Nothing at all: no picture and no message.
    auto none = LoadMaterialPicture(ws.path(), "none");
    ASSERT_TRUE(none.ok());
    EXPECT_FALSE(none->has_value());
}

}  // namespace
}  // namespace v2d
