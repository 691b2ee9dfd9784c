// Rooms rendered with POV-Ray: their camera agrees with what POV-Ray drew,
// and one click on each floor finds it, with a true rectangle and its size.
#include <gtest/gtest.h>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "demo/rendered_rooms.h"
#include "vision/perspective.h"
#include "vision/surface_finder.h"

namespace v2d {
namespace {

// Rendered once into the test's working folder and reused while the scenes stay the same.
Result<demo::RenderedRoom> SmallRoom(const std::string& name) {
    for (const demo::RoomSpec& spec : demo::TestRooms())
        if (spec.name == name) return demo::RenderRoom(spec, "rendered-rooms", 480, 360);
    return Error{"no room " + name};
}

V2d_Point Pixel(const demo::RenderedRoom& room, demo::Vec3 p, double round = 0) {
    const auto at = room.camera.Project(p);
    return at ? V2d_Point{TruncToInt(at->x + round), TruncToInt(at->y + round)} : V2d_Point{-1, -1};
}
bool OnFloor(const demo::RenderedRoom& room, V2d_Point p) { return room.floorMask.constScanLine(p.y)[p.x] == 255; }

TEST(RenderedRooms, CameraAgreesWithTheRender) {
    for (const char* name : {"tiles-living", "boards-oblique"}) {
        SCOPED_TRACE(name);
        const auto room = SmallRoom(name);
        ASSERT_TRUE(room.ok()) << room.error();
        // Just outside the rug's two left corners lies floor, just inside lies rug.
        const auto [near, far] = demo::RugOnFloor(room->spec);
        for (const auto& [x, z, dz] : {std::tuple{near.x, near.z, -1.0}, {near.x, far.z, 1.0}}) {
            const V2d_Point out = Pixel(*room, {x - 80, 0, z + 80 * dz}), in = Pixel(*room, {x + 80, 0, z - 80 * dz});
            EXPECT_TRUE(OnFloor(*room, out));
            EXPECT_FALSE(OnFloor(*room, in));
        }
        // A 3 m x 2 m rectangle on the floor scores as one, with its size.
        const double x = near.x, z = near.z;
        const Quad quad{Pixel(*room, {x, 0, z + 2000}, 0.5), Pixel(*room, {x + 3000, 0, z + 2000}, 0.5),
                        Pixel(*room, {x + 3000, 0, z}, 0.5), Pixel(*room, {x, 0, z}, 0.5)};
        const demo::RoomScore score = demo::ScoreFound(*room, {}, quad, std::pair{3150, 2000});
        ASSERT_TRUE(score.cornersOnFloor);
        EXPECT_LT(score.worstAngleErrorDeg, 1.0);
        EXPECT_LT(score.sideMismatchPercent, 1.0);
        EXPECT_NEAR(*score.widthErrorPercent, 5, 1.0);
        EXPECT_NEAR(*score.heightErrorPercent, 0, 1.0);
    }
}

TEST(RenderedRooms, OneClickFindsTheFloor) {
    for (const char* name : {"tiles-living", "boards-oblique", "carpet-high"}) {
        SCOPED_TRACE(name);
        const auto room = SmallRoom(name);
        ASSERT_TRUE(room.ok()) << room.error();
        const auto jpeg = ReadWholeFile(room->photo);
        ASSERT_TRUE(jpeg);
        const QImage photo = DecodeJpeg(*jpeg);
        auto finder = vision::PhotoAnalysis::Of(photo);
        ASSERT_TRUE(finder.ok()) << finder.error();
        const auto found = vision::FindSurface(**finder, {{room->click}, {}});
        ASSERT_TRUE(found.ok()) << found.error();
        const demo::KnownLength& l = room->length;
        const auto size = vision::SizeFromKnownLength(found->corners, photo.size(), {l.a.x, l.a.y}, {l.b.x, l.b.y},
                                                      l.millimetres, found->focal);
        ASSERT_TRUE(size.ok()) << size.error();
        const auto score = demo::ScoreFound(*room, found->rings, found->corners, std::pair{size->width, size->height});
        EXPECT_GE(score.iou, 0.90);
        ASSERT_TRUE(score.cornersOnFloor);
        EXPECT_LE(score.worstAngleErrorDeg, 2.5);
        EXPECT_LE(score.sideMismatchPercent, 3.0);
        EXPECT_LE(*score.widthErrorPercent, 5.0);
        EXPECT_LE(*score.heightErrorPercent, 5.0);
    }
}

}  // namespace
}  // namespace v2d
