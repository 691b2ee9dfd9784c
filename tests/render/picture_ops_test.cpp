// Mirror, quarter turn, resampling and colour multiplication, against values
// worked out by hand.
#include "render/picture_ops.h"

#include <gtest/gtest.h>

#include "tests/render/render_fixtures.h"

namespace v2d {
namespace {
using namespace v2d::testing;

QImage Row(std::initializer_list<int> blues) {
    QImage image(static_cast<int>(blues.size()), 1, QImage::Format_RGB32);
    int x = 0;
    for (int b : blues) Set(image, x++, 0, Rgb(0, 0, b));
    return image;
}
int BlueAt(const QImage& image, int x, int y) { return static_cast<int>(At(image, x, y) & 0xFF); }

TEST(MirrorPicture, MirrorAndQuarterTurnCounterClockwise) {
    const QImage source = Gradient(3, 2);  // W = 3, H = 2
    const QImage mirrored = MirrorPicture(source);
    const QImage turned = RotatePicture90(source);
    ASSERT_EQ(mirrored.size(), source.size());
    ASSERT_EQ(turned.size(), QSize(2, 3));
    // Mirrored: (x, y) comes from (W - 1 - x, y); turned: (x, y) lands on (y, W - 1 - x).
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(At(mirrored, x, y), At(source, 2 - x, y));
            EXPECT_EQ(At(turned, y, 2 - x), At(source, x, y));
        }
}

TEST(ResizePicture, CornerPixelsLandOnCornerPixels) {
    const QImage source = Gradient(5, 4);
    for (auto [w, h] : {std::pair{9, 7}, {3, 2}, {13, 29}, {2, 2}}) {
        const QImage resized = ResizePicture(source, w, h);
        ASSERT_EQ(resized.size(), QSize(w, h));
        EXPECT_EQ(At(resized, 0, 0), At(source, 0, 0));
        EXPECT_EQ(At(resized, w - 1, 0), At(source, 4, 0));
        EXPECT_EQ(At(resized, 0, h - 1), At(source, 0, 3));
        EXPECT_EQ(At(resized, w - 1, h - 1), At(source, 4, 3));
    }
}

TEST(ResizePicture, FourNeighboursWithIntegerWeightsRoundHalfUp) {
    // 2 x 2 to 3 x 3: the centre samples (0.5, 0.5), weights 1 each out of 4.
    QImage source(2, 2, QImage::Format_RGB32);
    Set(source, 0, 0, Rgb(0, 0, 0));
    Set(source, 1, 0, Rgb(0, 0, 1));
    Set(source, 0, 1, Rgb(0, 0, 200));
    Set(source, 1, 1, Rgb(0, 0, 255));
    const QImage r = ResizePicture(source, 3, 3);
    EXPECT_EQ(BlueAt(r, 1, 1), 114);  // (0 + 1 + 200 + 255) / 4 = 114
    EXPECT_EQ(BlueAt(r, 1, 0), 1);    // (2*0 + 2*1) / 4 = 0.5, half up
    EXPECT_EQ(BlueAt(r, 0, 1), 100);  // (2*0 + 2*200) / 4
    EXPECT_EQ(BlueAt(r, 2, 1), 128);  // (2*1 + 2*255) / 4 = 128
    EXPECT_EQ(BlueAt(r, 1, 2), 228);  // (2*200 + 2*255) / 4 = 227.5, half up
}

TEST(ResizePicture, OneRowSamplesAlongTheRow) {
    // Columns 0, 1.5, 3 of [10, 10, 21, 30]: the middle one is (10 + 21) / 2.
    const QImage r = ResizePicture(Row({10, 10, 21, 30}), 3, 1);
    EXPECT_EQ(BlueAt(r, 0, 0), 10);
    EXPECT_EQ(BlueAt(r, 1, 0), 16);  // 15.5 rounds up
    EXPECT_EQ(BlueAt(r, 2, 0), 30);
    // Five columns of [0, 100]: 0, 25, 50, 75, 100.
    const QImage s = ResizePicture(Row({0, 100}), 5, 1);
    for (int x = 0; x < 5; ++x) EXPECT_EQ(BlueAt(s, x, 0), 25 * x);
    // Three of [0, 1, 2, 3, 4, 5, 6]: positions 0, 3, 6 exactly.
    const QImage t = ResizePicture(Row({0, 1, 2, 3, 4, 5, 6}), 3, 1);
    EXPECT_EQ(BlueAt(t, 1, 0), 3);
}

TEST(ResizePicture, OnePixelTargetCopiesTheNearestColumnOrRow) {
    const QImage source = Gradient(6, 4);
    const QImage column = ResizePicture(source, 1, 4);
    ASSERT_EQ(column.size(), QSize(1, 4));
    for (int y = 0; y < 4; ++y) EXPECT_EQ(At(column, 0, y), At(source, 0, y));
    const QImage row = ResizePicture(source, 6, 1);
    for (int x = 0; x < 6; ++x) EXPECT_EQ(At(row, x, 0), At(source, x, 0));
    const QImage dot = ResizePicture(source, 1, 1);
    EXPECT_EQ(At(dot, 0, 0), At(source, 0, 0));
    // A one-pixel source spreads everywhere.
    const QImage spread = ResizePicture(Solid(1, 1, Rgb(9, 8, 7)), 4, 3);
    EXPECT_EQ(At(spread, 3, 2), Rgb(9, 8, 7));
}

TEST(ResizePicture, SameSizeIsACopyAWindowIsTheTopLeftOfTheWholeAndEmptyTargetsAreRefused) {
    const QImage source = Gradient(9, 7);
    const QImage copy = ResizePicture(source, 9, 7);
    EXPECT_TRUE(SamePixels(copy, source));
    EXPECT_NE(copy.constBits(), source.constBits());
    const QImage window = ResizePictureWindow(source, 40, 30, 17, 11);
    EXPECT_TRUE(SamePixels(window, ResizePicture(source, 40, 30).copy(0, 0, 17, 11)));
    EXPECT_TRUE(ResizePicture(source, 0, 5).isNull());
    EXPECT_TRUE(ResizePicture(source, 5, -1).isNull());
    EXPECT_TRUE(ResizePicture(QImage(), 5, 5).isNull());
}

TEST(MultiplyColour, ChannelsAreScaledByTheColour) {
    // Colour 0x0080FF40: red 0x40, green 0xFF, blue 0x80.
    const QImage r = MultiplyColour(Solid(2, 2, Rgb(200, 100, 255)), 0x0080FF40);
    EXPECT_EQ(At(r, 1, 1), Rgb(50, 100, 128));  // 64*200/255 = 50.2, 255*100/255, 128*255/255
    const QImage white = MultiplyColour(Solid(1, 1, Rgb(255, 255, 255)), 0x00FFFFFF);
    EXPECT_EQ(At(white, 0, 0), Rgb(255, 255, 255));
}

}  // namespace
}  // namespace v2d
