// transform, atransform and TransformMesh: result size, where the picture
// lands against a homography solved here, what stays 0, progress, refusals.
#include "tests/imagelib/support.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <stdexcept>
#include <thread>

namespace v2d::test {
namespace {

constexpr int kCell = 50;
QRgb CellColour(int column, int row) { return qRgb(30 * column + 10, 40 * row + 10, 200); }

QImage CellPattern(int columns, int rows) {
    QImage image(columns * kCell, rows * kCell, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, CellColour(x / kCell, y / kCell));
    }
    return image;
}

// A smooth picture: red across, green down.
QImage Gradient(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, (x + y) % 256));
    }
    return image;
}

// Signed distance of p inside all four edges of a clockwise quad (negative outside).
long double InsideBy(const Quad& q, long double x, long double y) {
    long double least = 1e30L;
    for (int i = 0; i < 4; ++i) {
        const long double ax = q[i].x, ay = q[i].y, bx = q[(i + 1) % 4].x, by = q[(i + 1) % 4].y;
        const long double len = std::hypot(bx - ax, by - ay);
        least = std::min(least, ((bx - ax) * (y - ay) - (by - ay) * (x - ax)) / len);
    }
    return least;
}

TEST(Transform, ResultIsTheQuadsBoxAndThePatternLandsWhereTheHomographySays) {
    const QImage source = CellPattern(8, 6);
    const QImage warped = Library().Transform(source, kFloor);
    ASSERT_FALSE(warped.isNull());
    EXPECT_EQ(warped.width(), 980 - 40 + 1);
    EXPECT_EQ(warped.height(), 560 - 120 + 1);
    EXPECT_EQ(warped.format(), QImage::Format_RGB32);

    const Homography sceneToSource = Homography::Between(Corners(kFloor), PictureCorners(source.width(), source.height()));
    int checked = 0, outside = 0;
    for (int y = 0; y < warped.height(); y += 3) {
        for (int x = 0; x < warped.width(); x += 3) {
            const long double sceneX = x + 40, sceneY = y + 120;
            const long double inside = InsideBy(kFloor, sceneX, sceneY);
            if (inside < -1) {
                ASSERT_EQ(warped.pixel(x, y), 0xFF000000u) << x << "," << y;
                ++outside;
                continue;
            }
            const auto [sx, sy] = sceneToSource(sceneX, sceneY);
            const long double fx = std::fmod(sx, (long double)kCell), fy = std::fmod(sy, (long double)kCell);
            if (sx < 0 || sy < 0 || fx < 2 || fx > kCell - 3 || fy < 2 || fy > kCell - 3) continue;
            ASSERT_EQ(warped.pixel(x, y), CellColour(int(sx) / kCell, int(sy) / kCell)) << x << "," << y;
            ++checked;
        }
    }
    EXPECT_GT(checked, 10000);
    EXPECT_GT(outside, 1000);
}

TEST(Transform, PixelsWellInsideTheQuadAreCoveredRightUpToItsEdge) {
    const QImage warped = Library().Transform(Filled(200, 100, qRgb(90, 120, 150)), kFloor);
    ASSERT_FALSE(warped.isNull());
    for (int y = 0; y < warped.height(); ++y) {
        for (int x = 0; x < warped.width(); ++x) {
            const long double inside = InsideBy(kFloor, x + 40, y + 120);
            // No dark fringe along the edges: every pixel centre in the quad has the colour.
            if (inside >= 0.01L) {
                ASSERT_EQ(warped.pixel(x, y), qRgb(90, 120, 150)) << x << "," << y;
            } else if (inside < -0.01L) {
                ASSERT_EQ(warped.pixel(x, y), 0xFF000000u) << x << "," << y;
            }
        }
    }
}

TEST(Transform, AQuadThatIsItsOwnBoxReproducesTheSourceAndMirroredCornersMirrorIt) {
    const QImage source = CellPattern(3, 2).copy(0, 0, 64, 48);
    const Quad box = {V2d_Point{5, 7}, V2d_Point{68, 7}, V2d_Point{68, 54}, V2d_Point{5, 54}};
    EXPECT_EQ(Library().Transform(source, box), source);
    const Quad mirrored = {V2d_Point{68, 7}, V2d_Point{5, 7}, V2d_Point{5, 54}, V2d_Point{68, 54}};
    EXPECT_EQ(Library().Transform(source, mirrored), source.mirrored(true, false));
}

TEST(Transform, AlphaIsCarriedAndAOnePixelWideSourceStillFillsTheQuad) {
    const QImage alpha = Library().Transform(Filled(80, 60, qRgba(10, 20, 30, 255), QImage::Format_ARGB32), kFloor);
    ASSERT_EQ(alpha.format(), QImage::Format_ARGB32);
    EXPECT_EQ(alpha.pixel(0, 0), 0u);                          // left of the far edge: transparent
    EXPECT_EQ(alpha.pixel(470, 220), qRgba(10, 20, 30, 255));  // the middle of the floor
    const Quad quad = {V2d_Point{0, 0}, V2d_Point{20, 2}, V2d_Point{22, 30}, V2d_Point{1, 28}};
    const QImage column = Library().Transform(Filled(1, 30, qRgb(1, 2, 3)), quad);
    ASSERT_EQ(column.size(), QSize(23, 31));
    EXPECT_EQ(column.pixel(11, 15), qRgb(1, 2, 3));
}

TEST(Transform, DegenerateOrHugeQuadsYieldNothing) {
    const Quad quads[] = {
        {V2d_Point{0, 0}, V2d_Point{10, 0}, V2d_Point{20, 0}, V2d_Point{5, 10}},              // three on a line
        {V2d_Point{0, 0}, V2d_Point{10, 10}, V2d_Point{10, 0}, V2d_Point{0, 10}},             // bow tie
        {V2d_Point{3, 3}, V2d_Point{3, 3}, V2d_Point{3, 3}, V2d_Point{3, 3}},                 // one point
        {V2d_Point{0, 0}, V2d_Point{10, 0}, V2d_Point{3, 3}, V2d_Point{0, 10}},               // dented
        {V2d_Point{0, 0}, V2d_Point{40000, 0}, V2d_Point{40000, 40000}, V2d_Point{0, 40000}},  // huge
        {V2d_Point{0, 0}, V2d_Point{30000, 0}, V2d_Point{30000, 30000}, V2d_Point{0, 30000}},  // too many pixels
        {V2d_Point{0, 0}, V2d_Point{INT32_MAX, 0}, V2d_Point{INT32_MAX, 5}, V2d_Point{0, 5}}};  // far away
    for (const Quad& quad : quads) EXPECT_TRUE(Library().Transform(Filled(10, 10, qRgb(1, 1, 1)), quad).isNull());
    EXPECT_TRUE(Library().Transform(QImage(), kFloor).isNull());
}

// Percents reported by a warp: rising band by band to 100, on the caller's thread.
void ExpectRisingProgress(const std::function<QImage(const Progress&)>& warp) {
    std::vector<int> percents;
    bool otherThread = false;
    const auto caller = std::this_thread::get_id();
    const QImage warped = warp([&](int percent) {
        percents.push_back(percent);
        otherThread |= std::this_thread::get_id() != caller;
    });
    ASSERT_FALSE(warped.isNull());
    EXPECT_FALSE(otherThread);
    ASSERT_GE(percents.size(), 10u);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_LT(percents.front(), percents.back());
    EXPECT_EQ(percents.back(), 100);
    EXPECT_EQ(warp({}), warped);  // without a callback the result is the same
}

TEST(Transform, ProgressRisesBandByBandToAHundredOnTheCallersThread) {
    ExpectRisingProgress([](const Progress& p) { return Library().Transform(CellPattern(32, 24), kFloor, p); });
}

TEST(Transform, AnExceptionFromTheCallbackReachesTheCallerAfterTheLibraryReturns) {
    int calls = 0;
    EXPECT_THROW(Library().Transform(Filled(400, 400, qRgb(1, 1, 1)), kFloor,
                                     [&](double) {
                                         ++calls;
                                         throw std::runtime_error("stop");
                                     }),
                 std::runtime_error);
    EXPECT_EQ(calls, 1);  // not called again once it failed
}

TEST(ATransform, RectifiesTheQuadOfASceneBackIntoTheFrame) {
    // A smooth source of the quad's box size, warped onto the quad, put into a
    // scene and rectified again, comes back close to itself.
    const int w = 941, h = 441;
    const QImage source = Gradient(w, h);
    const QImage warped = Library().Transform(source, kFloor);
    QImage scene = Filled(1100, 700, qRgb(0, 0, 0));
    for (int y = 0; y < warped.height(); ++y) {
        for (int x = 0; x < warped.width(); ++x) scene.setPixel(x + 40, y + 120, warped.pixel(x, y));
    }
    const QImage back = Library().ATransform(scene, kFloor);
    ASSERT_EQ(back.size(), source.size());
    long double error = 0;
    int samples = 0;
    for (int y = 20; y < h - 20; y += 5) {
        for (int x = 20; x < w - 20; x += 5) {
            error += std::abs(qRed(back.pixel(x, y)) - qRed(source.pixel(x, y))) +
                     std::abs(qGreen(back.pixel(x, y)) - qGreen(source.pixel(x, y)));
            ++samples;
        }
    }
    EXPECT_LT(error / samples, 2.0L);
}

// --- TransformMesh: a regular grid gives the plain warp -----------------------

std::vector<V2d_Point> RegularGrid(int rows, int cols, int x0, int y0, int x1, int y1) {
    std::vector<V2d_Point> nodes;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c)
            nodes.push_back({x0 + (x1 - x0) * c / (cols - 1), y0 + (y1 - y0) * r / (rows - 1)});
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
    const Quad rectangle = {V2d_Point{10, 20}, V2d_Point{610, 20}, V2d_Point{610, 420}, V2d_Point{10, 420}};
    const QImage plain = Library().Transform(source, rectangle);
    ASSERT_EQ(meshed.size(), QSize(601, 401));
    ASSERT_EQ(plain.size(), meshed.size());
    EXPECT_LE(MaxDifference(meshed, plain), 1);
}

TEST(TransformMesh, AGridFollowingAPerspectiveMatchesThePlainWarp) {
    const QImage source = Gradient(401, 301);
    const Homography h = Homography::Between(PictureCorners(401, 301), Corners(kFloor));
    const auto src = RegularGrid(7, 9, 0, 0, 400, 300);
    std::vector<V2d_Point> dst;
    const PixelBox box = v2d::BoxOf(kFloor);
    for (const V2d_Point& p : src) {
        const auto [x, y] = h(p.x, p.y);
        dst.push_back({int(std::lround(x)) - box.minX, int(std::lround(y)) - box.minY});  // relative to the box
    }
    const QImage meshed = Library().TransformMesh(source, src, dst, 7, 9);
    const QImage plain = Library().Transform(source, kFloor);
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
    ExpectRisingProgress([](const Progress& p) {
        return Library().TransformMesh(Gradient(200, 200), RegularGrid(2, 2, 0, 0, 199, 199),
                                       RegularGrid(2, 2, 0, 0, 799, 639), 2, 2, p);
    });
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
