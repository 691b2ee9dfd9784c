// The photo's light, reflections and the wall test, with values worked out
// by hand from the formulas.
#include "render/tone.h"

#include <gtest/gtest.h>

#include "tests/render/render_fixtures.h"

namespace v2d {
namespace {
using namespace v2d::testing;

TEST(ApplyLightMap, ShadesByThePhotoBrightnessTimesTheFactor) {
    // L = 0.299 R + 0.587 G + 0.114 B of the photo (as a float), times the
    // factor 1 + lighten / 100, within 0..255; each channel is scaled by L / 255.
    const struct { uint32_t photo; double factor; uint32_t expected; const char* why; } cases[] = {
        {Rgb(128, 128, 128), 1.0, Rgb(100, 50, 25), "200 * 128 / 255 = 100.39, 50.2, 25.1"},
        {Rgb(255, 255, 255), 1.0, Rgb(200, 100, 50), "white leaves the product"},
        {Rgb(255, 0, 0), 1.0, Rgb(59, 29, 14), "pure red: L = 76.245"},
        {Rgb(128, 128, 128), 2.0, Rgb(200, 100, 50), "lighten 100: L = 256 capped at 255"},
        {Rgb(90, 200, 30), 0.0, Rgb(0, 0, 0), "lighten -100"},
        {Rgb(200, 200, 200), 1 + 0.01 * -250, Rgb(0, 0, 0), "an old file's -250: L stays at 0"}};
    for (const auto& c : cases) {
        const QImage r = ApplyLightMap(Solid(3, 2, Rgb(200, 100, 50)), Solid(3, 2, c.photo), 0, 0, c.factor);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) EXPECT_EQ(At(r, x, y), c.expected) << c.why;
    }
}

TEST(ApplyLightMap, PixelsWithoutPartnerKeepTheirValue) {
    // A 4 x 1 picture at offset 2 over a 3-wide map: columns 0 and 1 have
    // partners 2 and 3; only partner 2 exists.
    QImage map = Solid(3, 1, Rgb(128, 128, 128));
    Set(map, 2, 0, Rgb(255, 255, 255));
    const QImage r = ApplyLightMap(Solid(4, 1, Rgb(200, 100, 50)), map, 2, 0, 1.0);
    EXPECT_EQ(At(r, 0, 0), Rgb(200, 100, 50));  // white partner
    EXPECT_EQ(At(r, 1, 0), Rgb(200, 100, 50));  // outside
    EXPECT_EQ(At(r, 3, 0), Rgb(200, 100, 50));
    const QImage above = ApplyLightMap(Solid(2, 2, Rgb(200, 100, 50)), map, -1, -1, 1.0);
    EXPECT_EQ(At(above, 0, 0), Rgb(200, 100, 50));
    EXPECT_EQ(At(above, 1, 1), Rgb(100, 50, 25));  // partner (0, 0), grey
}

TEST(Reflect, FloorMirrorsTopToBottomWallLeftToRight) {
    QImage scene = Solid(4, 4, Rgb(0, 0, 0));
    Set(scene, 1, 3, Rgb(200, 200, 200));  // mirrored onto row 0 for a floor
    Set(scene, 2, 0, Rgb(100, 100, 100));  // mirrored onto column 1 for a wall
    const QImage picture = Solid(4, 4, Rgb(50, 50, 50));
    const QImage floor = ReflectFloor(picture, scene, 0, 0, 0.5f);
    EXPECT_EQ(At(floor, 1, 0), Rgb(125, 125, 125));  // 200 * 0.5 + 0.5 * 50
    EXPECT_EQ(At(floor, 0, 0), Rgb(25, 25, 25));
    const QImage wall = ReflectWall(picture, scene, 0, 0, 0.5f);
    EXPECT_EQ(At(wall, 1, 0), Rgb(75, 75, 75));  // 100 * 0.5 + 25
    // Strength 1 is the mirrored scene itself; 0 leaves the picture.
    EXPECT_EQ(At(ReflectFloor(picture, scene, 0, 0, 1.0f), 1, 0), Rgb(200, 200, 200));
    EXPECT_EQ(At(ReflectFloor(picture, scene, 0, 0, 0.0f), 1, 0), Rgb(50, 50, 50));
}

V2d_Point Lean(V2d_Point bottom, int dx, int dy) { return {bottom.x + dx, bottom.y - dy}; }

TEST(ReflectsAsWall, SideEdgesWithinTenDegreesOfUpright) {
    // Bottom corners fixed; each top corner leans 1000 across towards the
    // middle and `up` pixels up.
    V2d_Point c[4];
    auto sides = [&](int leftUp, int rightUp) {
        c[3] = {100, 8000};
        c[2] = {3000, 8000};
        c[0] = Lean(c[3], leftUp ? 1000 : 0, leftUp ? leftUp : 5000);
        c[1] = Lean(c[2], rightUp ? -1000 : 0, rightUp ? rightUp : 5000);
    };
    // Left edge, 5650 up: atan2(-5650, 1000) = -1.3956193, beyond the lower
    // boundary 80 * 3.14 / 180 = 1.3955555: still a wall.
    sides(5650, 0);
    EXPECT_TRUE(ReflectsAsWall(c));
    // 5642 up: 1.3953760, a floor.
    sides(5642, 0);
    EXPECT_FALSE(ReflectsAsWall(c));
    // Right edge leaning the other way: atan2(-up, -1000) lies near -100
    // degrees, where the boundary is 100 * 3.14 / 180 = 1.7444445 and pi
    // taken as 3.14 moves it: 5702 up (1.7444078) is a wall, 5700 up
    // (1.7444675) a floor.
    sides(0, 5702);
    EXPECT_TRUE(ReflectsAsWall(c));
    sides(0, 5700);
    EXPECT_FALSE(ReflectsAsWall(c));
    // Both edges must stand upright.
    sides(5650, 5700);
    EXPECT_FALSE(ReflectsAsWall(c));
    const V2d_Point upright[4] = {{0, 0}, {100, 0}, {100, 100}, {0, 100}};
    EXPECT_TRUE(ReflectsAsWall(upright));
    const V2d_Point floor[4] = {{300, 500}, {700, 500}, {1000, 900}, {0, 900}};
    EXPECT_FALSE(ReflectsAsWall(floor));
}

TEST(BuildSmoothedLightMap, IsBoxSizedAndFollowsThePhoto) {
    CountingOperations ops;
    PolygonPtr region = RectRegion("r", 10, 10, 49, 29, 1000, 1000);
    const QImage photo = Solid(80, 60, Rgb(100, 100, 100));
    const QImage map = BuildSmoothedLightMap(*region, photo, 3, ops);
    ASSERT_EQ(map.size(), QSize(40, 20));
    EXPECT_EQ(ops.blurs, 1);
    EXPECT_EQ(At(map, 20, 10), Rgb(100, 100, 100));
}

}  // namespace
}  // namespace v2d
