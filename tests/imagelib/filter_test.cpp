// GaussBlurCV2, GaussBlur and GetBumpMap.
#include "tests/imagelib/support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace v2d::test {
namespace {

QImage VerticalStep(int width, int height, int edge, int left, int right) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int v = x < edge ? left : right;
            image.setPixel(x, y, qRgb(v, v, v));
        }
    }
    return image;
}

// The blur of a vertical step at column x: a Gaussian of 2r + 1 taps,
// normalised, replicated at the picture's sides.
double ExpectedBlurredStep(int x, int width, int edge, int left, int right, int radius, double sigma) {
    double sum = 0, weights = 0;
    for (int k = -radius; k <= radius; ++k) {
        const double w = std::exp(-(k * k) / (2 * sigma * sigma));
        const int column = std::clamp(x + k, 0, width - 1);
        sum += w * (column < edge ? left : right);
        weights += w;
    }
    return sum / weights;
}

TEST(GaussBlurCV2, AFlatPictureStaysFlatEvenUnderAKernelWiderThanItself) {
    for (auto [width, height, radius] : {std::tuple{300, 200, 10}, std::tuple{3, 2, 50}}) {
        const QImage flat = Filled(width, height, qRgb(37, 140, 222));
        EXPECT_EQ(Library().GaussBlurCV2(flat, radius, double(radius)), flat) << width;
    }
}

TEST(GaussBlurCV2, AStepEdgeIsSoftenedAsTheKernelSays) {
    const int width = 120, edge = 60;
    const QImage step = VerticalStep(width, 40, edge, 20, 220);
    const QImage blurred = Library().GaussBlurCV2(step, 10, 10.0);
    ASSERT_EQ(blurred.size(), step.size());
    for (int x = 0; x < width; ++x) {
        const double expected = ExpectedBlurredStep(x, width, edge, 20, 220, 10, 10.0);
        EXPECT_NEAR(qRed(blurred.pixel(x, 20)), expected, 1.0) << x;
        EXPECT_EQ(blurred.pixel(x, 0), blurred.pixel(x, 39));  // a vertical edge stays vertical
    }
    EXPECT_EQ(qRed(blurred.pixel(0, 20)), 20);     // beyond the kernel's reach
    EXPECT_EQ(qRed(blurred.pixel(119, 20)), 220);
    EXPECT_GT(qRed(blurred.pixel(edge - 1, 20)), 20 + 50);
    EXPECT_LT(qRed(blurred.pixel(edge, 20)), 220 - 50);
}

TEST(GaussBlurCV2, KeepsTheFormatAndLeavesTheSourceAlone) {
    QImage source = VerticalStep(50, 50, 25, 0, 255).convertToFormat(QImage::Format_ARGB32);
    const QImage before = source.copy();
    const QImage blurred = Library().GaussBlurCV2(source, 3, 3.0);
    EXPECT_EQ(blurred.format(), QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(blurred.pixel(25, 25)), 255);
    EXPECT_EQ(source, before);
}

TEST(GaussBlurCV2, RefusesRadiusZeroOrLessAndAnUnusableSigma) {
    const QImage flat = Filled(20, 20, qRgb(1, 2, 3));
    const std::pair<int, double> refused[] = {{0, 0.0}, {-3, 3.0}, {100000, 3.0}, {3, std::nan("")}};
    for (auto [radius, sigma] : refused) EXPECT_TRUE(Library().GaussBlurCV2(flat, radius, sigma).isNull()) << radius;
    EXPECT_TRUE(Library().GaussBlurCV2(QImage(), 3, 3.0).isNull());
    EXPECT_FALSE(Library().GaussBlurCV2(flat, 3, 0.0).isNull());  // sigma from the kernel size
}

TEST(GaussBlur, BlursWithTheRadiusAlone) {
    const QImage flat = Filled(64, 64, qRgb(100, 100, 100));
    EXPECT_EQ(Library().GaussBlur(flat, 5), flat);
    const QImage blurred = Library().GaussBlur(VerticalStep(64, 8, 32, 0, 200), 5);
    ASSERT_FALSE(blurred.isNull());
    EXPECT_GT(qRed(blurred.pixel(31, 4)), 0);
    EXPECT_LT(qRed(blurred.pixel(32, 4)), 200);
    EXPECT_TRUE(Library().GaussBlur(flat, 0).isNull());
}

bool IsGrey(QRgb p) { return qRed(p) == qGreen(p) && qGreen(p) == qBlue(p); }

TEST(GetBumpMap, IsAGreyMapOfTheSourcesSizeForKindsZeroAndOneOnly) {
    QImage busy(77, 53, QImage::Format_RGB32);
    for (int y = 0; y < busy.height(); ++y) {
        for (int x = 0; x < busy.width(); ++x) busy.setPixel(x, y, qRgb((x * 37) % 256, (y * 91) % 256, (x * y) % 256));
    }
    for (ReliefKind kind : {ReliefKind::Raised, ReliefKind::Sunken}) {
        const QImage relief = Library().GetBumpMap(busy, kind);
        ASSERT_EQ(relief.size(), busy.size());
        for (int y = 0; y < relief.height(); ++y) {
            for (int x = 0; x < relief.width(); ++x) ASSERT_TRUE(IsGrey(relief.pixel(x, y))) << x << "," << y;
        }
    }
    // Only kinds 0 and 1 exist.
    for (int kind : {2, -1}) EXPECT_TRUE(Library().GetBumpMap(busy, static_cast<ReliefKind>(kind)).isNull());
    EXPECT_TRUE(Library().GetBumpMap(QImage(), ReliefKind::Raised).isNull());
}

TEST(GetBumpMap, FlatAreasAreNeutralAndEdgesRiseOrSink) {
    // Grey 50 | 150: the 3 × 3 gradient across the edge is 4 × 100, an eighth
    // of which, 50, lifts the flat level of 170 or lowers it.
    const QImage step = VerticalStep(40, 20, 20, 50, 150);
    const QImage raised = Library().GetBumpMap(step, ReliefKind::Raised);
    const QImage sunken = Library().GetBumpMap(step, ReliefKind::Sunken);
    ASSERT_FALSE(raised.isNull());
    ASSERT_FALSE(sunken.isNull());
    EXPECT_EQ(qRed(raised.pixel(5, 10)), 170);
    EXPECT_EQ(qRed(raised.pixel(35, 10)), 170);
    EXPECT_EQ(qRed(raised.pixel(19, 10)), 220);
    EXPECT_EQ(qRed(raised.pixel(20, 10)), 220);
    EXPECT_EQ(qRed(sunken.pixel(19, 10)), 120);
    EXPECT_EQ(qRed(sunken.pixel(20, 10)), 120);
    EXPECT_EQ(qRed(sunken.pixel(5, 10)), 170);
}

}  // namespace
}  // namespace v2d::test
