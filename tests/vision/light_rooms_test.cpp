// The light rooms and their scorer: a room and its plain twin differ on the
// floor alone, the plain floor is the pattern's lightest, the floor region's
// corners are a true rectangle holding the outline; and the scorer tells a
// laying that keeps the old pattern from one that takes the room's light,
// and a wrong exposure or softened light edges from either.
#include <gtest/gtest.h>

#include <QPolygon>

#include <cmath>
#include <cstdlib>

#include "demo/cli_laying.h"
#include "demo/floor_region.h"
#include "demo/laid_light_score.h"
#include "demo/room_sets.h"

namespace v2d {
namespace {

int Luma(QRgb c) { return (299 * qRed(c) + 587 * qGreen(c) + 114 * qBlue(c)) / 1000; }

bool FloorWithin(const QImage& floor, int x, int y, int reach) {
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx)
            if (floor.valid(x + dx, y + dy) && floor.constScanLine(y + dy)[x + dx]) return true;
    return false;
}

TEST(LightRooms, TwinsDifferOnTheFloorAloneAndThePlainFloorIsTheLightest) {
    for (const demo::RoomSpec& spec : demo::LightRooms()) {
        SCOPED_TRACE(spec.name);
        const auto patterned = demo::RenderRoom(spec, "rendered-rooms", 320, 240);
        const auto plain = demo::RenderRoom(demo::PlainTwin(spec), "rendered-rooms", 320, 240);
        ASSERT_TRUE(patterned && plain) << (patterned ? plain : patterned).error();
        EXPECT_EQ(patterned->labels, plain->labels);
        const QImage a = demo::ReadJpegFile(patterned->photo), b = demo::ReadJpegFile(plain->photo);
        const QImage& floor = patterned->floorMask;
        int offFloorWorst = 0, lighter = 0, floorPixels = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) {
                const int pa = Luma(a.pixel(x, y)), pb = Luma(b.pixel(x, y));
                if (floor.constScanLine(y)[x]) ++floorPixels, lighter += pa > pb + 4;
                else if (!FloorWithin(floor, x, y, 16)) offFloorWorst = std::max(offFloorWorst, std::abs(pa - pb));
            }
        EXPECT_LE(offFloorWorst, 2);  // JPEG blocks that hold floor are left out
        EXPECT_LT(lighter, floorPixels / 100);

        const auto region = demo::FloorRegionOf(*patterned);
        ASSERT_TRUE(region);
        const auto quad = demo::QuadOnFloor(patterned->camera, region->corners);
        ASSERT_TRUE(quad);
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(quad->anglesDeg[i], 90, 1.5);  // the corners are whole pixels
            EXPECT_NEAR(quad->sides[i], i % 2 ? region->heightMm : region->widthMm, 0.01 * quad->sides[i]);
        }
        QPolygon corners;
        for (const V2d_Point& c : region->corners) corners << QPoint(c.x, c.y);
        for (const V2d_Point& p : region->outline) EXPECT_TRUE(corners.containsPoint({p.x, p.y}, Qt::OddEvenFill));
    }
}

// 120 x 90 grey pictures: a light of 60 with a sunlit patch of 150, a
// chequer of 15-pixel squares a quarter as light as its white ones.
QImage Grey(auto level) {
    QImage picture(120, 90, QImage::Format_RGB32);
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 120; ++x) {
            const int v = std::clamp(int(std::lround(level(x, y))), 0, 255);
            picture.setPixel(x, y, qRgb(v, v, v));
        }
    return picture;
}
double Light(int x, int y) { return x >= 30 && x < 80 && y >= 20 && y < 60 ? 150 : 60; }
double Chequer(int x, int y) { return (x / 15 + y / 15) % 2 ? 0.25 : 1; }
// The light seen through a blur of 4 pixels across the patch's edges.
double SoftLight(int x, int y) {
    const auto ramp = [](double t) { return std::clamp(t / 8 + 0.5, 0.0, 1.0); };
    return 60 + 90 * ramp(x - 30) * ramp(79.5 - x) * ramp(y - 20) * ramp(59.5 - y);
}

TEST(LaidLightScore, TellsTheOldPatternAWrongExposureAndSoftenedEdgesApart) {
    demo::LaidFloors floors;
    floors.photoPatterned = Grey([](int x, int y) { return Light(x, y) * Chequer(x, y); });
    floors.photoPlain = Grey([](int x, int y) { return Light(x, y); });
    floors.laidPlain = Grey([](int x, int y) { return Light(x, y) * 200 / 255; });
    floors.mask = QImage(120, 90, QImage::Format_Grayscale8);
    floors.mask.fill(255);
    auto scored = [&](auto laid) {
        floors.laidPatterned = Grey(laid);
        return demo::ScoreLaidFloors(floors);
    };
    const demo::LightScore photo = scored([](int x, int y) { return Light(x, y) * Chequer(x, y) * 200 / 255; });
    EXPECT_GT(photo.residue, 0.99);
    EXPECT_GT(photo.shadingPercent, 40);
    const demo::LightScore room = scored([](int x, int y) { return Light(x, y) * 200 / 255; });
    EXPECT_EQ(room.residue, 0);
    EXPECT_EQ(room.shadingPercent, 0);
    const demo::LightScore brighter = scored([](int x, int y) { return Light(x, y) * 1.1 * 200 / 255; });
    EXPECT_NEAR(brighter.shadingPercent, 100 * std::log(1.1), 1);
    EXPECT_LT(brighter.shadingExposureFreePercent, 1);
    const demo::LightScore soft = scored([](int x, int y) { return SoftLight(x, y) * 200 / 255; });
    EXPECT_LT(std::abs(soft.residue), 0.15);
    EXPECT_GT(soft.edgesPercent, 2 * soft.shadingPercent);
}

}  // namespace
}  // namespace v2d
