// TransformMesh: a regular grid gives the plain warp; sizes; bad grids.
#include "tests/imagelib/support.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <cmath>

namespace v2d::test {
namespace {

QImage Gradient(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, (x + y) % 256));
    }
    return image;
}

std::vector<V2d_Point> RegularGrid(int rows, int cols, int x0, int y0, int x1, int y1) {
    std::vector<V2d_Point> nodes;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) nodes.push_back({x0 + (x1 - x0) * c / (cols - 1), y0 + (y1 - y0) * r / (rows - 1)});
    }
    return nodes;
}

int MaxDifference(const QImage& a, const QImage& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return worst;
}

TEST(TransformMesh, ARegularGridOntoARectangleEqualsThePlainWarp) {
    const QImage source = Gradient(301, 201);
    const auto src = RegularGrid(3, 4, 0, 0, 300, 200);
    const auto dst = RegularGrid(3, 4, 10, 20, 610, 420);
    const QImage meshed = Library().TransformMesh(source, src, dst, 3, 4);
    const Quad4 rectangle = {V2d_Point{10, 20}, V2d_Point{610, 20}, V2d_Point{610, 420}, V2d_Point{10, 420}};
    const QImage plain = Library().Transform(source, rectangle);
    ASSERT_EQ(meshed.size(), QSize(601, 401));
    ASSERT_EQ(plain.size(), meshed.size());
    EXPECT_LE(MaxDifference(meshed, plain), 1);
}

TEST(TransformMesh, AGridFollowingAPerspectiveMatchesThePlainWarp) {
    const QImage source = Gradient(401, 301);
    const Quad4 floor = {V2d_Point{300, 120}, V2d_Point{700, 130}, V2d_Point{980, 560}, V2d_Point{40, 540}};
    const Homography h = Homography::Between(PictureCorners(401, 301), Corners(floor));
    const auto src = RegularGrid(7, 9, 0, 0, 400, 300);
    std::vector<V2d_Point> dst;
    const auto box = BoxOf(floor);
    for (const V2d_Point& p : src) {
        const auto [x, y] = h(p.x, p.y);
        dst.push_back({int(std::lround(x)) - box[0], int(std::lround(y)) - box[1]});  // relative to the box
    }
    const QImage meshed = Library().TransformMesh(source, src, dst, 7, 9);
    const QImage plain = Library().Transform(source, floor);
    ASSERT_EQ(meshed.size(), plain.size());
    // Nodes are whole pixels, so cells differ from the exact perspective by
    // under half a pixel; on a smooth picture that is a level or two.
    long double total = 0;
    int samples = 0;
    for (int y = 0; y < plain.height(); y += 2) {
        for (int x = 0; x < plain.width(); x += 2) {
            if (plain.pixel(x, y) == 0xFF000000u || meshed.pixel(x, y) == 0xFF000000u) continue;
            total += std::abs(qRed(plain.pixel(x, y)) - qRed(meshed.pixel(x, y)));
            ++samples;
        }
    }
    ASSERT_GT(samples, 50000);
    EXPECT_LT(total / samples, 1.5L);
}

TEST(TransformMesh, UncoveredPixelsAreZeroAndABentCellIsStillFilled) {
    const QImage source = Filled(100, 100, qRgb(200, 100, 50));
    const std::vector<V2d_Point> src = {{0, 0}, {99, 0}, {0, 99}, {99, 99}};
    // A dart: the bottom-right node pulled far inside, making the cell concave.
    const std::vector<V2d_Point> dst = {{0, 0}, {100, 0}, {0, 100}, {20, 20}};
    const QImage meshed = Library().TransformMesh(source, src, dst, 2, 2);
    ASSERT_EQ(meshed.size(), QSize(101, 101));
    EXPECT_EQ(meshed.pixel(5, 5), qRgb(200, 100, 50));
    EXPECT_EQ(meshed.pixel(90, 90), 0xFF000000u);
}

TEST(TransformMesh, ReportsProgressToAHundred) {
    std::vector<int> percents;
    const QImage meshed = Library().TransformMesh(Gradient(200, 200), RegularGrid(2, 2, 0, 0, 199, 199),
                                                  RegularGrid(2, 2, 0, 0, 799, 639), 2, 2,
                                                  [&](int percent) { percents.push_back(percent); });
    ASSERT_EQ(meshed.size(), QSize(800, 640));
    ASSERT_GE(percents.size(), 10u);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(percents.back(), 100);
}

TEST(TransformMesh, GridsThatDoNotFitYieldNothing) {
    const QImage source = Gradient(20, 20);
    const auto four = RegularGrid(2, 2, 0, 0, 19, 19);
    EXPECT_TRUE(Library().TransformMesh(source, four, four, 1, 4).isNull());
    EXPECT_TRUE(Library().TransformMesh(source, four, four, 2, 1).isNull());
    EXPECT_TRUE(Library().TransformMesh(source, four, RegularGrid(2, 3, 0, 0, 19, 19), 2, 2).isNull());
    EXPECT_TRUE(Library().TransformMesh(QImage(), four, four, 2, 2).isNull());

    const VxBitmap view = BitmapViewOf(source);
    const VxPoint nodes[4] = {{0, 0}, {19, 0}, {0, 19}, {19, 19}};
    EXPECT_FALSE(RawResult(Raw().transformMesh(nullptr, nodes, 2, 2, &view, nullptr)));
    EXPECT_FALSE(RawResult(Raw().transformMesh(nodes, nullptr, 2, 2, &view, nullptr)));
    EXPECT_FALSE(RawResult(Raw().transformMesh(nodes, nodes, 2, 2, nullptr, nullptr)));
    EXPECT_FALSE(RawResult(Raw().transformMesh(nodes, nodes, 1, 4, &view, nullptr)));
    EXPECT_FALSE(RawResult(Raw().transformMesh(nodes, nodes, 65536, 65536, &view, nullptr)));
    const VxPoint huge[4] = {{0, 0}, {40000, 0}, {0, 40000}, {40000, 40000}};
    EXPECT_FALSE(RawResult(Raw().transformMesh(nodes, huge, 2, 2, &view, nullptr)));
}

}  // namespace
}  // namespace v2d::test
