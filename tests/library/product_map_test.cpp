#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include "library/product_map.h"
#include "library/product_pictures.h"
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

// Both kinds decode to RGB32 with the stored tolerance (10 when not given);
// kind 2 is read without a picture and without a message.
TEST(ProductMap, JpegAndBmpKindsDecodeAndKindTwoYieldsNoPicture) {
    const struct {
        Bytes map;
        QSize size;
        int tolerance, slack;  // a BMP keeps its colours exactly
    } cases[] = {
        {BuildProductMap(SolidJpeg(40, 20, qRgb(200, 100, 50)), ProductMapKind::Jpeg, 23), {40, 20}, 23, 4},
        {BuildProductMap(SolidBmp(7, 5, qRgb(200, 100, 50)), ProductMapKind::Bmp), {7, 5}, 10, 0},
    };
    for (const auto& c : cases) {
        Result<ProductMap> m = ParseProductMap(c.map);
        ASSERT_TRUE(m.ok()) << m.error();
        EXPECT_EQ(m->picture.size(), c.size);
        EXPECT_EQ(m->picture.format(), QImage::Format_RGB32);
        EXPECT_EQ(m->tolerance, c.tolerance);
        EXPECT_NEAR(qRed(m->picture.pixel(3, 2)), 200, c.slack);
        EXPECT_NEAR(qBlue(m->picture.pixel(3, 2)), 50, c.slack);
    }
    Bytes map = cases[0].map;
    map[12] = 2;
    Result<ProductMap> m = ParseProductMap(map);
    ASSERT_TRUE(m.ok());
    EXPECT_FALSE(m->hasPicture());
    EXPECT_EQ(m->kind, 2);
}

// Every fault of the file is the same message, and nothing is allocated
// from a length the file cannot hold.
TEST(ProductMap, BrokenMapsAreInvalid) {
    const Bytes good = BuildProductMap(SolidJpeg(16, 16, qRgb(9, 9, 9)), ProductMapKind::Jpeg);
    auto withLength = [&](uint32_t length) {
        Bytes map = good;
        for (int i = 0; i < 4; ++i) map[8 + i] = static_cast<uint8_t>(length >> (8 * i));
        return map;
    };
    Bytes badSignature = good;
    badSignature[0] ^= 1;
    const Bytes garbage(100, 0x55);
    std::vector<Bytes> broken = {badSignature,
                                 withLength(uint32_t(good.size() - kProductMapHeaderSize + 1)),  // one byte more
                                 withLength(0xFFFFFFFF),
                                 BuildProductMap(garbage, ProductMapKind::Jpeg),
                                 BuildProductMap(garbage, ProductMapKind::Bmp)};
    for (size_t n = 0; n < good.size(); ++n) broken.emplace_back(good.begin(), good.begin() + long(n));
    for (size_t i = 0; i < broken.size(); ++i) {
        Result<ProductMap> m = ParseProductMap(broken[i]);
        ASSERT_FALSE(m.ok()) << i;
        EXPECT_EQ(m.error(), "文件不合法。") << i;
    }
}

TEST(ProductMap, LoadsFromFileAndLeavesNoScratchFile) {
    test::TempWorkspace ws;
    EXPECT_EQ(LoadProductMap(ws / "product/maps/none.h2d").error(), "文件打不开。");
    const auto file = ws / "product/maps/A-1.h2d";
    ASSERT_TRUE(WriteFileAtomically(file, BuildProductMap(SolidJpeg(30, 30, qRgb(0, 0, 255)), ProductMapKind::Jpeg, 12)));
    Result<ProductMap> m = LoadProductMap(file);
    ASSERT_TRUE(m.ok()) << m.error();
    EXPECT_EQ(m->tolerance, 12);
    EXPECT_TRUE(std::filesystem::is_empty(ws / "temp"));
}

// What the product panel gets for a number: "width/tolerance", "none" or
// the message.
std::string MaterialOf(const test::TempWorkspace& ws, const std::string& number) {
    auto found = LoadMaterialPicture(ws.path(), number);
    if (!found) return found.error();
    if (!found->has_value()) return "none";
    return std::to_string((*found)->picture.width()) + "/" + std::to_string((*found)->tolerance);
}

TEST(MaterialPicture, MapBeforeJpegAndUnknownKindFallsBack) {
    test::TempWorkspace ws;
    const Bytes red = SolidJpeg(10, 10, qRgb(255, 0, 0));
    ASSERT_TRUE(WriteFileAtomically(ws / "product/maps/T-1.jpg", SolidJpeg(12, 12, qRgb(0, 0, 255))));
    EXPECT_EQ(MaterialOf(ws, "T-1"), "12/10");  // no .h2d: the JPEG map with the default tolerance
    ASSERT_TRUE(WriteFileAtomically(ws / "product/maps/T-1.h2d", BuildProductMap(red, ProductMapKind::Jpeg, 33)));
    EXPECT_EQ(MaterialOf(ws, "T-1"), "10/33");  // a .h2d wins, with its tolerance
    Bytes kind2 = BuildProductMap(red, ProductMapKind::Jpeg, 33);
    kind2[12] = 2;
    ASSERT_TRUE(WriteFileAtomically(ws / "product/maps/T-1.h2d", kind2));
    EXPECT_EQ(MaterialOf(ws, "T-1"), "12/10");  // kind 2 counts as no picture
    ASSERT_TRUE(WriteFileAtomically(ws / "product/maps/T-1.h2d", Bytes{1, 2, 3}));
    EXPECT_EQ(MaterialOf(ws, "T-1"), "文件不合法。");  // reported, not replaced
    EXPECT_EQ(MaterialOf(ws, "none"), "none");  // nothing at all: no picture and no message
}

}  // namespace
}  // namespace v2d
