// The perspective geometry against a camera built by hand: 1600x1200 pixels,
// f = 1000, 1.5 m above a floor, pitched down 30 degrees and turned 20.
#include <gtest/gtest.h>

#include <cmath>

#include "vision/perspective.h"

namespace v2d::vision {
namespace {

struct V3 {
    double x, y, z;
    V3 operator-(V3 o) const { return {x - o.x, y - o.y, z - o.z}; }
    V3 operator+(V3 o) const { return {x + o.x, y + o.y, z + o.z}; }
    V3 operator*(double k) const { return {x * k, y * k, z * k}; }
    double dot(V3 o) const { return x * o.x + y * o.y + z * o.z; }
};

// World: x right, y ahead, z up, the floor at z = 0.
struct Camera {
    double f = 1000, pitch = 30, yaw = 20;
    V3 eye{0, 0, 1500};
    V3 ahead() const { return {s(yaw) * c(pitch), c(yaw) * c(pitch), -s(pitch)}; }
    V3 right() const { return {c(yaw), -s(yaw), 0}; }
    V3 down() const { return {-s(yaw) * s(pitch), -c(yaw) * s(pitch), -c(pitch)}; }
    cv::Point2d Pixel(V3 p) const { return Direction(p - eye); }
    cv::Point2d Direction(V3 d) const { return {f * d.dot(right()) / d.dot(ahead()) + 800, f * d.dot(down()) / d.dot(ahead()) + 600}; }
    V3 OnFloor(V2d_Point q) const {
        const V3 d = right() * ((q.x - 800) / f) + down() * ((q.y - 600) / f) + ahead();
        return eye + d * (-eye.z / d.z);
    }
    static double s(double deg) { return std::sin(deg * M_PI / 180); }
    static double c(double deg) { return std::cos(deg * M_PI / 180); }
};

const QSize kPhoto(1600, 1200);

Segment On(const Camera& cam, double x0, double y0, double x1, double y1) {
    return {cam.Pixel({x0, y0, 0}), cam.Pixel({x1, y1, 0})};
}
V2d_Point Round(cv::Point2d p) { return {int(std::lround(p.x)), int(std::lround(p.y))}; }
Quad Rectangle(const Camera& cam, double x0, double y0, double x1, double y1) {
    return {Round(cam.Pixel({x0, y0, 0})), Round(cam.Pixel({x1, y0, 0})), Round(cam.Pixel({x1, y1, 0})),
            Round(cam.Pixel({x0, y1, 0}))};
}

TEST(Perspective, VanishingPointsAndFocalOfAKnownCamera) {
    const Camera cam;
    std::vector<Segment> alongX, alongY;
    for (double k : {2500, 3200, 4100, 5000}) alongX.push_back(On(cam, -500, k, 2500, k));
    for (double k : {0, 700, 1500, 2800}) alongY.push_back(On(cam, k, 2000, k, 5000));
    alongX.push_back({{100, 900}, {400, 700}});  // an outlier
    const cv::Point2d truthX = cam.Direction({1, 0, 0}), truthY = cam.Direction({0, 1, 0});
    const auto vx = VanishingPoint(alongX), vy = VanishingPoint(alongY);
    ASSERT_TRUE(vx && vy);
    EXPECT_NEAR((*vx)[0] / (*vx)[2], truthX.x, 0.5);
    EXPECT_NEAR((*vx)[1] / (*vx)[2], truthX.y, 0.5);
    EXPECT_NEAR((*vy)[0] / (*vy)[2], truthY.x, 0.5);
    EXPECT_NEAR((*vy)[1] / (*vy)[2], truthY.y, 0.5);
    EXPECT_NEAR(FocalFromOrthogonal(*vx, *vy, {800, 600}).value_or(0), 1000, 10);

    // Parallel in the photo: a direction; one segment: nothing; no focal from either.
    const Segment flat[] = {{{0, 10}, {100, 10}}, {{50, 90}, {300, 90}}};
    const auto infinite = VanishingPoint(flat);
    ASSERT_TRUE(infinite);
    EXPECT_EQ((*infinite)[2], 0);
    EXPECT_NEAR(std::abs((*infinite)[0]), 1, 1e-9);
    EXPECT_FALSE(VanishingPoint(std::span(flat, 1)));
    EXPECT_FALSE(FocalFromOrthogonal(*infinite, *vy, {800, 600}));
    EXPECT_FALSE(FocalFromOrthogonal({1000, 600, 1}, {2000, 600, 1}, {800, 600}));
}

TEST(Perspective, SizeFromOneKnownLength) {
    const auto size = [](const Camera& cam, double mmX, double mmY, Segment known, double mm) {
        return SizeFromKnownLength(Rectangle(cam, 0, 2500, mmX, 2500 + mmY), kPhoto, known.a, known.b, mm);
    };
    const Camera cam;
    const auto turned = size(cam, 3000, 2000, On(cam, 500, 3000, 1100, 3800), 1000);
    ASSERT_TRUE(turned.ok()) << turned.error();
    EXPECT_NEAR(turned->width, 3000, 30);
    EXPECT_NEAR(turned->height, 2000, 20);
    EXPECT_EQ(size(cam, 3000, 2000, {{800, 0}, {900, 5}}, 1000).error(), "标定线不在这个表面上。");  // above the horizon

    // Looking straight ahead: the cross sides are parallel and the assumed 65-degree camera holds.
    Camera level;
    level.yaw = 0, level.f = 800 / std::tan(32.5 * M_PI / 180);
    const auto ahead = size(level, 2400, 1800, On(level, 0, 2500, 1000, 2500), 1000);
    ASSERT_TRUE(ahead.ok()) << ahead.error();
    EXPECT_NEAR(ahead->width, 2400, 24);
    EXPECT_NEAR(ahead->height, 1800, 18);

    // Facing the camera: pixel lengths.
    const Quad square{V2d_Point{600, 400}, {1000, 400}, {1000, 800}, {600, 800}};
    const auto facing = SizeFromKnownLength(square, kPhoto, {600, 400}, {800, 400}, 500);
    ASSERT_TRUE(facing.ok());
    EXPECT_EQ(facing->width, 1000);
    EXPECT_EQ(facing->height, 1000);

    EXPECT_EQ(SizeFromKnownLength(square, kPhoto, {0, 0}, {9, 9}, 0).error(), "标定的长度必须大于0。");
    EXPECT_EQ(SizeFromKnownLength(square, kPhoto, {0, 0}, {9, 9}, NAN).error(), "标定的长度必须大于0。");
    EXPECT_EQ(SizeFromKnownLength(square, kPhoto, {5, 5}, {5, 5}, 100).error(), "标定线的两端不能重合。");
    const Quad collinear{V2d_Point{0, 0}, {100, 0}, {200, 0}, {50, 100}};
    const Quad crossed{V2d_Point{0, 0}, {100, 100}, {100, 0}, {0, 100}};
    for (const Quad& bad : {collinear, crossed, Quad{}})
        EXPECT_EQ(SizeFromKnownLength(bad, kPhoto, {0, 0}, {9, 9}, 100).error(), "无法从这四个角点确定透视。");
}

void CheckSquareOnFloor(const Camera& cam, const Quad& corners) {
    V3 p[4];
    for (int k = 0; k < 4; ++k) p[k] = cam.OnFloor(corners[k]);
    for (int k = 0; k < 4; ++k) {
        const V3 a = p[(k + 1) % 4] - p[k], b = p[(k + 3) % 4] - p[k];
        EXPECT_NEAR(std::acos(a.dot(b) / std::sqrt(a.dot(a) * b.dot(b))) * 180 / M_PI, 90, 1) << k;
    }
    // Top-left first, and it covers a good part of the floor.
    EXPECT_LT(corners[0].x, corners[1].x);
    EXPECT_LT(corners[0].y + corners[1].y, corners[2].y + corners[3].y);
    const V3 side = p[1] - p[0], other = p[3] - p[0];
    EXPECT_GT(std::sqrt(side.dot(side) * other.dot(other)), 0.5 * 5500 * 6000);
}

// The floor of a room 5.5 x 6 m as the photo frames it, with tile joints every 600 mm.
TEST(Perspective, RectangleOnAFloorIsSquareOnTheTruePlane) {
    const Camera cam;
    std::vector<cv::Point2d> floor;
    for (V3 p : {V3{-1500, 1000, 0}, {4000, 1000, 0}, {4000, 7000, 0}, {-1500, 7000, 0}}) floor.push_back(cam.Pixel(p));
    for (auto [vertical, edge] : {std::pair{false, 0.0}, {true, 1599.0}, {false, 1199.0}, {true, 0.0}}) {
        std::vector<cv::Point2d> kept;  // clipped to the photo, one border at a time
        for (size_t i = 0; i < floor.size(); ++i) {
            const cv::Point2d a = floor[i], b = floor[(i + 1) % floor.size()];
            const double sa = ((vertical ? a.x : a.y) - edge) * (edge ? -1 : 1);
            const double sb = ((vertical ? b.x : b.y) - edge) * (edge ? -1 : 1);
            if (sa >= 0) kept.push_back(a);
            if ((sa >= 0) != (sb >= 0)) kept.push_back({a.x + (b.x - a.x) * sa / (sa - sb), a.y + (b.y - a.y) * sa / (sa - sb)});
        }
        floor = kept;
    }
    std::vector<std::vector<V2d_Point>> rings(1);
    for (cv::Point2d p : floor) rings[0].push_back(Round(p));
    // Tile joints; or a plain floor in a room with upright edges and wall lines (a door, a skirting).
    std::vector<Segment> joints{{cam.Pixel({4000, 7000, 0}), cam.Pixel({4000, 7000, 2500})}};
    for (double k = 0; k <= 3600; k += 600) joints.push_back(On(cam, k - 1200, 2600, k - 1200, 6600));
    for (double k = 2600; k <= 6600; k += 600) joints.push_back(On(cam, -1200, k, 2400, k));
    std::vector<Segment> walls;
    for (double x : {-1000.0, 0.0, 1200.0, 2600.0}) walls.push_back({cam.Pixel({x, 7000, 0}), cam.Pixel({x, 7000, 2000})});
    for (double z : {100.0, 2000.0}) walls.push_back({cam.Pixel({-1000, 7000, z}), cam.Pixel({2600, 7000, z})});
    for (double z : {100.0, 2000.0}) walls.push_back({cam.Pixel({4000, 3000, z}), cam.Pixel({4000, 6500, z})});
    for (const auto& segments : {joints, walls}) {
        const auto rectangle = RectangleOnSurface(rings, segments, PhotoFamilies(segments, kPhoto), kPhoto);
        ASSERT_TRUE(rectangle);
        CheckSquareOnFloor(cam, rectangle->corners);
        EXPECT_NEAR(rectangle->focal, 1000, 30);
    }
    EXPECT_FALSE(RectangleOnSurface({}, joints, {}, kPhoto));
}


}  // namespace
}  // namespace v2d::vision
