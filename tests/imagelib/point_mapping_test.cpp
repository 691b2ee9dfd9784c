// TransPoint, aTransPoint and PsTransPoint against a homography solved here.
#include "tests/imagelib/support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace v2d::test {
namespace {

// A wall seen a little from the side: every corner within a few pixels of its box.
const Quad kMildWall = {V2d_Point{102, 50}, V2d_Point{398, 54}, V2d_Point{396, 347}, V2d_Point{100, 351}};

std::vector<V2d_Point> Grid(int x0, int y0, int x1, int y1, int step) {
    std::vector<V2d_Point> points;
    for (int y = y0; y <= y1; y += step) {
        for (int x = x0; x <= x1; x += step) points.push_back({x, y});
    }
    return points;
}

// The rounding is half up; a value this close to .5 could go either way.
bool RoundsTo(long double exact, int value) {
    const long double frac = exact - std::floor(exact);
    if (std::fabs(frac - 0.5L) < 1e-6L) return std::fabs(exact - value) <= 0.5L + 1e-6L;
    return std::floor(exact + 0.5L) == value;
}

TEST(PointMapping, AQuadThatIsItsOwnBoxMapsEveryPointToItself) {
    const Quad box = {V2d_Point{-20, 10}, V2d_Point{300, 10}, V2d_Point{300, 200}, V2d_Point{-20, 200}};
    const std::vector<V2d_Point> points = Grid(-50, -30, 350, 250, 17);
    EXPECT_EQ(Library().TransPoint(points, box), points);
    EXPECT_EQ(Library().ATransPoint(points, box), points);
}

TEST(PointMapping, TheFramesCornersGoOntoTheQuadsCornersAndBack) {
    const std::vector<V2d_Point> frame = {{40, 120}, {980, 120}, {980, 560}, {40, 560}};
    const std::vector<V2d_Point> quad(kFloor.begin(), kFloor.end());
    EXPECT_EQ(Library().TransPoint(frame, kFloor), quad);
    EXPECT_EQ(Library().ATransPoint(quad, kFloor), frame);
}

TEST(PointMapping, InnerPointsFollowTheIndependentHomography) {
    const Homography forward = Homography::Between(BoxCorners(kFloor), Corners(kFloor));
    const Homography backward = Homography::Between(Corners(kFloor), BoxCorners(kFloor));
    const std::vector<V2d_Point> points = Grid(40, 120, 980, 560, 23);
    const auto scene = Library().TransPoint(points, kFloor);
    const auto frame = Library().ATransPoint(points, kFloor);
    ASSERT_TRUE(scene && frame);
    for (size_t i = 0; i < points.size(); ++i) {
        const auto [sx, sy] = forward(points[i].x, points[i].y);
        EXPECT_TRUE(RoundsTo(sx, (*scene)[i].x) && RoundsTo(sy, (*scene)[i].y)) << i;
        const auto [fx, fy] = backward(points[i].x, points[i].y);
        EXPECT_TRUE(RoundsTo(fx, (*frame)[i].x) && RoundsTo(fy, (*frame)[i].y)) << i;
    }
}

// Mapping there and back returns to the same point in exact arithmetic (the
// test above checks both directions against one homography and its inverse).
// In whole pixels it cannot always: where a map squeezes, several points
// share one result, and where it stretches, some points are never hit. So the
// round trip is allowed one pixel and must mostly be exact.
struct RoundTrip {
    size_t exact = 0;
    int worst = 0;
};

RoundTrip ThereAndBack(const std::vector<V2d_Point>& points, const Quad& quad, bool sceneFirst) {
    const auto& library = Library();
    const auto there = sceneFirst ? library.ATransPoint(points, quad) : library.TransPoint(points, quad);
    if (!there) return {0, 99};
    const auto back = sceneFirst ? library.TransPoint(*there, quad) : library.ATransPoint(*there, quad);
    if (!back) return {0, 99};
    RoundTrip trip;
    for (size_t i = 0; i < points.size(); ++i) {
        const int d = std::max(std::abs((*back)[i].x - points[i].x), std::abs((*back)[i].y - points[i].y));
        trip.worst = std::max(trip.worst, d);
        trip.exact += d == 0;
    }
    return trip;
}

TEST(PointMapping, OnAMildQuadTheRoundTripIsAlmostAlwaysExact) {
    const std::vector<V2d_Point> points = Grid(100, 50, 398, 351, 3);
    for (bool sceneFirst : {false, true}) {
        const RoundTrip trip = ThereAndBack(points, kMildWall, sceneFirst);
        EXPECT_LE(trip.worst, 1);
        EXPECT_GT(trip.exact, points.size() * 97 / 100) << sceneFirst;
    }
}

TEST(PointMapping, OnAStrongFloorTheRoundTripStaysWithinOnePixel) {
    std::vector<V2d_Point> inside;
    for (const V2d_Point& p : Grid(40, 120, 980, 560, 9)) {
        if (p.y > 135 && p.y < 535 && p.x > 300 - (p.y - 120) * 260 / 420 + 5 &&
            p.x < 700 + (p.y - 130) * 280 / 430 - 5) {
            inside.push_back(p);
        }
    }
    ASSERT_GT(inside.size(), 1000u);
    const RoundTrip trip = ThereAndBack(inside, kFloor, true);
    EXPECT_LE(trip.worst, 1);
    EXPECT_GT(trip.exact, inside.size() / 2);
}

TEST(PointMapping, PsTransPointMapsThePointsOwnBoxOntoTheQuad) {
    const std::vector<V2d_Point> outline = {{10, 10}, {30, 10}, {30, 40}, {10, 40}, {20, 25}, {12, 33}};
    const auto placed = Library().PsTransPoint(outline, kFloor);
    ASSERT_TRUE(placed);
    ASSERT_EQ(placed->size(), outline.size());
    for (int i = 0; i < 4; ++i) EXPECT_EQ((*placed)[i], kFloor[i]);
    const Homography h = Homography::Between({{{10, 10}, {30, 10}, {30, 40}, {10, 40}}}, Corners(kFloor));
    for (size_t i = 4; i < outline.size(); ++i) {
        const auto [x, y] = h(outline[i].x, outline[i].y);
        EXPECT_TRUE(RoundsTo(x, (*placed)[i].x) && RoundsTo(y, (*placed)[i].y)) << i;
    }
}

TEST(PointMapping, PointsWithoutABoxOrQuadsWithoutAnAreaMapToNothingAndNoPointsIsNoWork) {
    const std::vector<V2d_Point> line = {{0, 5}, {10, 5}, {20, 5}};
    EXPECT_FALSE(Library().PsTransPoint(line, kFloor));
    const Quad flat = {V2d_Point{0, 0}, V2d_Point{10, 0}, V2d_Point{20, 0}, V2d_Point{30, 0}};
    const std::vector<V2d_Point> some = {{1, 1}};
    EXPECT_FALSE(Library().TransPoint(some, flat));
    EXPECT_FALSE(Library().ATransPoint(some, flat));
    EXPECT_FALSE(Library().PsTransPoint(line, flat));
    const auto none = Library().TransPoint({}, kFloor);
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());
}

TEST(PointMapping, RawCallsRefuseBadArgumentsWithMinusOneLeavingTheOutputAndMapInPlace) {
    const VxPoint square[4] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    VxPoint p[1] = {{1, 1}};
    for (VxPointMapFn map : {Raw().transPoint, Raw().aTransPoint, Raw().psTransPoint}) {
        EXPECT_EQ(map(nullptr, p, 1, square), -1);
        EXPECT_EQ(map(p, nullptr, 1, square), -1);
        EXPECT_EQ(map(p, p, 1, nullptr), -1);
        EXPECT_EQ(map(p, p, -1, square), -1);
        EXPECT_EQ(map(nullptr, nullptr, 0, square), 0);
    }
    const VxPoint far[1] = {{INT32_MAX, 0}};
    EXPECT_EQ(Raw().transPoint(far, p, 1, square), -1);

    const VxPoint flat[4] = {{0, 0}, {10, 0}, {20, 0}, {30, 0}};
    VxPoint in[2] = {{1, 2}, {3, 4}};
    VxPoint out[2] = {{-7, -7}, {-8, -8}};
    EXPECT_EQ(Raw().transPoint(in, out, 2, flat), -1);
    EXPECT_EQ(std::tuple(out[0].x, out[1].y), std::tuple(-7, -8));

    const VxPoint quad[4] = {{300, 120}, {700, 130}, {980, 560}, {40, 540}};
    VxPoint corners[2] = {{40, 120}, {980, 560}};
    EXPECT_EQ(Raw().transPoint(corners, corners, 2, quad), 0);
    EXPECT_EQ(std::tuple(corners[0].x, corners[0].y, corners[1].x, corners[1].y), std::tuple(300, 120, 980, 560));
}

}  // namespace
}  // namespace v2d::test
