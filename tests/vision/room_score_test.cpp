// The room scorer against values worked out by hand: a room of two bands
// scored exactly, and the true layout of a rolled corner view scored as
// faultless until a corner or the calibration is moved.
#include <gtest/gtest.h>

#include "demo/room_score.h"

namespace v2d {
namespace {

using demo::RoomFace;

vision::RoomSurface Band(vision::RoomSurfaceKind kind, int top, int bottom, std::vector<vision::Ring> holes = {}) {
    vision::RoomSurface s;
    s.kind = kind;
    s.plane = {{0, top}, {40, top}, {40, bottom}, {0, bottom}};
    s.outline = {s.plane};
    s.outline.insert(s.outline.end(), holes.begin(), holes.end());
    return s;
}

// 40 x 30: the back wall on rows 0-9, the floor on rows 10-29, a 10 x 5 rug
// at columns 5-14, rows 20-24.
demo::RenderedRoom TwoBands() {
    demo::RenderedRoom room;
    room.camera = demo::CameraOf(room.spec, 40, 30);
    room.planes = QImage(40, 30, QImage::Format_Grayscale8);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) room.planes.scanLine(y)[x] = uchar(y < 10 ? RoomFace::BackWall : RoomFace::Floor);
    room.labels = room.planes.copy();
    for (int y = 20; y < 25; ++y)
        for (int x = 5; x < 15; ++x) room.labels.scanLine(y)[x] = uchar(RoomFace::Rug);
    return room;
}

TEST(RoomScore, BandsScoredByHand) {
    const demo::RenderedRoom room = TwoBands();
    const vision::Ring rug{{5, 20}, {15, 20}, {15, 25}, {5, 25}};
    struct Case {
        int boundary;  // the found floor-wall line
        bool hole;     // the rug cut out of the floor's outline
        double error, floorIou, wallIou;
    };
    // 1150 pixels outside the rug; a boundary two rows low mislabels 80 of them.
    for (const Case& c : {Case{10, true, 0, 1, 1}, Case{12, true, 80.0 / 1150, 670.0 / 750, 10.0 / 12},
                          Case{10, false, 0, 750.0 / 800, 1}}) {
        SCOPED_TRACE(c.boundary);
        vision::RoomLayout found;
        found.surfaces = {Band(vision::RoomSurfaceKind::Floor, c.boundary, 30, c.hole ? std::vector<vision::Ring>{rug} : std::vector<vision::Ring>{}),
                          Band(vision::RoomSurfaceKind::Wall, 0, c.boundary)};
        const demo::RoomLayoutScore score = demo::ScoreLayout(room, found);
        EXPECT_NEAR(score.pixelError, c.error, 1e-9);
        ASSERT_EQ(score.surfaces.size(), 2u);
        EXPECT_EQ(score.surfaces[0].face, RoomFace::Floor);
        EXPECT_NEAR(score.surfaces[0].outlineIou, c.floorIou, 1e-9);
        EXPECT_NEAR(score.surfaces[1].outlineIou, c.wallIou, 1e-9);
        EXPECT_EQ(score.unmatched, 0);
    }
    // A wall where the floor is matches nothing of its kind: every pixel is wrong.
    vision::RoomLayout swapped;
    swapped.surfaces = {Band(vision::RoomSurfaceKind::Wall, 10, 30), Band(vision::RoomSurfaceKind::Floor, 0, 10)};
    const demo::RoomLayoutScore score = demo::ScoreLayout(room, swapped);
    EXPECT_NEAR(score.pixelError, 1.0, 1e-9);
    EXPECT_EQ(score.unmatched, 2);
    EXPECT_EQ(score.minIou, 0);
}

TEST(RoomScore, TrueLayoutOfARolledCornerView) {
    demo::RenderedRoom room;
    room.spec.cameraX = -1700, room.spec.cameraZ = 900, room.spec.yawDeg = 40, room.spec.pitchDeg = 12;
    room.spec.rollDeg = 4;
    room.camera = demo::CameraOf(room.spec, 320, 240);
    room.planes = demo::PlaneLabels(room.spec, room.camera);
    room.labels = room.planes;
    vision::RoomLayout layout = demo::TrueLayout(room);
    // Floor, the back and right walls, the ceiling.
    ASSERT_EQ(layout.surfaces.size(), 4u);
    demo::RoomLayoutScore score = demo::ScoreLayout(room, layout);
    EXPECT_LT(score.pixelError, 0.005);
    ASSERT_EQ(score.surfaces.size(), 4u);
    EXPECT_EQ(score.surfaces[1].face, RoomFace::BackWall);
    EXPECT_EQ(score.surfaces[2].face, RoomFace::RightWall);
    EXPECT_GT(score.minIou, 0.97);
    // Whole-pixel corners of rectangles about 100 pixels across: within a degree and 1 %.
    for (int i = 0; i < 3; ++i) {
        EXPECT_LT(*score.surfaces[i].worstAngleDeg, 1.0);
        EXPECT_LT(*score.surfaces[i].sizeErrorPercent, 1.0);
    }

    // Sizes 5 % too large; the floor's top-left corner moved off its rectangle.
    layout.millimetresPerUnit *= 1.05;
    const Quad before = layout.surfaces[0].corners;
    layout.surfaces[0].corners[0].x -= 20;
    score = demo::ScoreLayout(room, layout);
    EXPECT_NEAR(*score.surfaces[1].sizeErrorPercent, 5, 0.5);
    EXPECT_GT(*score.surfaces[0].worstAngleDeg, 3);
    EXPECT_LT(*score.surfaces[1].worstAngleDeg, 1.0);
    layout.surfaces[0].corners = before;
    layout.surfaces[0].corners[0].y = -100000;  // above the horizon: off the floor
    EXPECT_FALSE(demo::ScoreLayout(room, layout).surfaces[0].worstAngleDeg);
}

}  // namespace
}  // namespace v2d
