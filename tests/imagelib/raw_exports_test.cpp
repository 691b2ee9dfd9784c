// The exports called directly, as the C interface allows: refusals come back
// as null handles, returned bitmaps are well formed and free themselves.
#include "tests/imagelib/support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace v2d::test {
namespace {

const VxPoint kQuad[4] = {{10, 10}, {90, 12}, {95, 70}, {5, 66}};

struct BadView {
    const char* what;
    VxBitmap bitmap;
};

std::vector<BadView> BadViews(uint8_t* pixels) {
    return {
        {"no pixels", VxBitmap{4, 4, 16, nullptr, nullptr}},
        {"no width", VxBitmap{0, 4, 16, pixels, nullptr}},
        {"negative height", VxBitmap{4, -4, 16, pixels, nullptr}},
        {"short stride", VxBitmap{4, 4, 12, pixels, nullptr}},
        {"bottom-up stride", VxBitmap{4, 4, -16, pixels, nullptr}},
        {"huge", VxBitmap{40000, 40000, 160000, pixels, nullptr}},
    };
}

TEST(RawExports, UnusableBitmapsAreRefusedBeforeAnyPixelIsRead) {
    uint8_t pixels[64] = {};
    for (const BadView& bad : BadViews(pixels)) {
        SCOPED_TRACE(bad.what);
        EXPECT_FALSE(RawResult(Raw().transform(kQuad, &bad.bitmap, nullptr)));
        EXPECT_FALSE(RawResult(Raw().atransform(kQuad, &bad.bitmap, nullptr)));
        EXPECT_FALSE(RawResult(Raw().gaussBlurCV2(&bad.bitmap, 2, 2.0)));
        EXPECT_FALSE(RawResult(Raw().gaussBlur(&bad.bitmap, 2)));
        EXPECT_FALSE(RawResult(Raw().getBumpMap(&bad.bitmap, 0)));
    }
    EXPECT_FALSE(RawResult(Raw().transform(kQuad, nullptr, nullptr)));
    EXPECT_FALSE(RawResult(Raw().gaussBlurCV2(nullptr, 2, 2.0)));
    EXPECT_FALSE(RawResult(Raw().getBumpMap(nullptr, 0)));
    EXPECT_FALSE(RawResult(Raw().gaussBlur(nullptr, 2)));
}

TEST(RawExports, ANullQuadIsRefused) {
    const QImage source = Filled(8, 8, qRgb(1, 2, 3));
    const VxBitmap view = BitmapViewOf(source);
    EXPECT_FALSE(RawResult(Raw().transform(nullptr, &view, nullptr)));
    EXPECT_FALSE(RawResult(Raw().atransform(nullptr, &view, nullptr)));
}

TEST(RawExports, ReturnedBitmapsAreTightTopDownAndFreeThemselves) {
    // A source with padded rows: the library honours the caller's stride.
    QImage padded(30, 20, QImage::Format_RGB32);
    padded.fill(qRgb(40, 50, 60));
    VxBitmap view = BitmapViewOf(padded);
    std::vector<uint8_t> wide(size_t(view.stride + 16) * 20);
    for (int y = 0; y < 20; ++y) std::memcpy(wide.data() + size_t(y) * (view.stride + 16), padded.constScanLine(y), 120);
    view.stride += 16;
    view.bits = wide.data();

    const RawResult blurred(Raw().gaussBlurCV2(&view, 2, 2.0));
    ASSERT_TRUE(blurred);
    EXPECT_EQ(blurred.bitmap->width, 30);
    EXPECT_EQ(blurred.bitmap->height, 20);
    EXPECT_EQ(blurred.bitmap->stride, 120);
    ASSERT_NE(blurred.bitmap->release, nullptr);
    EXPECT_EQ(blurred.bitmap->bits[0], 60);   // blue first
    EXPECT_EQ(blurred.bitmap->bits[2], 40);   // then green, red
    EXPECT_EQ(blurred.bitmap->bits[19 * 120 + 29 * 4], 60);  // last pixel of the last row

    const RawResult warped(Raw().transform(kQuad, &view, nullptr));
    ASSERT_TRUE(warped);
    EXPECT_EQ(warped.bitmap->width, 91);
    EXPECT_EQ(warped.bitmap->height, 61);
    EXPECT_EQ(warped.bitmap->stride, 91 * 4);
    EXPECT_EQ(warped.bitmap->bits[0], 0);  // the box's corner lies outside the quad
}

TEST(RawExports, TheReliefMapsFourthByteIsZero) {
    const QImage source = Filled(6, 6, qRgb(9, 9, 9));
    const VxBitmap view = BitmapViewOf(source);
    const RawResult relief(Raw().getBumpMap(&view, 1));
    ASSERT_TRUE(relief);
    for (int i = 0; i < 36; ++i) {
        EXPECT_EQ(relief.bitmap->bits[4 * i], 170);
        EXPECT_EQ(relief.bitmap->bits[4 * i + 3], 0);
    }
}

}  // namespace
}  // namespace v2d::test
