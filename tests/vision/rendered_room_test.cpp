// Rooms rendered with POV-Ray: their camera agrees with what POV-Ray drew,
// and one click on each floor finds it, with a true rectangle and its size.
#include <gtest/gtest.h>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include <QBuffer>
#include <QImageReader>

#include "demo/rendered_rooms.h"
#include "demo/room_phone.h"
#include "demo/room_score.h"
#include "demo/room_sets.h"
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

// A rolled view into the back-right corner, rendered small: the label render
// agrees with the planes worked out from the camera wherever no clutter
// stands, and its phone copies keep the truth upright.
TEST(RenderedRooms, LabelsAgreeWithTheCamera) {
    demo::RoomSpec spec;
    spec.name = "labels-corner";
    spec.cameraX = -1700, spec.cameraZ = 900, spec.yawDeg = 40, spec.pitchDeg = 12, spec.rollDeg = 4;
    spec.rug = spec.cabinet = true;
    const auto room = demo::RenderRoom(spec, "rendered-rooms", 320, 240, demo::RoomFace::BackWall);
    ASSERT_TRUE(room.ok()) << room.error();
    std::array<int, demo::kRoomFaces> seen{};
    int surfaces = 0, agree = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            const auto face = demo::RoomFace(room->labels.constScanLine(y)[x]);
            ++seen[int(face)];
            if (!demo::IsSurface(face)) continue;
            ++surfaces;
            agree += room->planes.constScanLine(y)[x] == uchar(face);
        }
    EXPECT_GT(agree, surfaces * 0.995);
    for (demo::RoomFace face : {demo::RoomFace::Floor, demo::RoomFace::BackWall, demo::RoomFace::RightWall,
                                demo::RoomFace::Ceiling, demo::RoomFace::Rug, demo::RoomFace::Furniture})
        EXPECT_GT(seen[int(face)], 300) << int(face);
    EXPECT_EQ(seen[int(demo::RoomFace::LeftWall)] + seen[int(demo::RoomFace::None)], 0);
    // The known length lies on the back wall, its millimetres those of its whole-pixel ends.
    const demo::SurfaceLength& known = room->known;
    EXPECT_EQ(known.face, demo::RoomFace::BackWall);
    const demo::FacePlane wall = demo::PlaneOf(spec, demo::RoomFace::BackWall);
    const auto a = demo::PointOnPlane(room->camera, wall, {double(known.a.x), double(known.a.y)});
    const auto b = demo::PointOnPlane(room->camera, wall, {double(known.b.x), double(known.b.y)});
    ASSERT_TRUE(a && b);
    EXPECT_NEAR(std::hypot(a->x - b->x, a->y - b->y), known.millimetres, 1e-6);
    EXPECT_GT(known.millimetres, 200);

    // Turned as a portrait phone stores it: a reader applying the tag gets the upright photo.
    const auto portrait = demo::PhoneCopy(*room, {.exifOrientation = 6}, "labels-corner-portrait", "rendered-rooms");
    ASSERT_TRUE(portrait.ok()) << portrait.error();
    const auto bytes = ReadWholeFile(portrait->photo);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(DecodeJpeg(*bytes).size(), QSize(240, 320));
    QByteArray data(reinterpret_cast<const char*>(bytes->data()), qsizetype(bytes->size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QImage upright = reader.read().convertToFormat(QImage::Format_RGB32);
    const QImage original = DecodeJpeg(*ReadWholeFile(room->photo)).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(upright.size(), QSize(320, 240));
    long long difference = 0;
    for (int y = 0; y < 240; y += 4)
        for (int x = 0; x < 320; x += 4) difference += std::abs(qGray(upright.pixel(x, y)) - qGray(original.pixel(x, y)));
    EXPECT_LT(difference / (80 * 60), 4);
    EXPECT_EQ(portrait->labels, room->labels);

    // A barrel of 0.03 draws a corner of the photo in by 2.76 % of the half diagonal (1 = d + 0.03 d^3).
    const demo::PixelPos corner = demo::Barrelled({0, 0}, 0.03, 320, 240);
    EXPECT_NEAR(corner.x, 160 * (1 - 0.97241), 0.01);
    EXPECT_NEAR(corner.y, 120 * (1 - 0.97241), 0.01);
    const auto lens = demo::PhoneCopy(*room, {.vignette = 0.3, .barrel = 0.03}, "labels-corner-lens", "rendered-rooms");
    ASSERT_TRUE(lens.ok()) << lens.error();
    EXPECT_EQ(lens->labels.constScanLine(120)[160], room->labels.constScanLine(120)[160]);
    EXPECT_EQ(lens->floorMask.constScanLine(lens->click.y)[lens->click.x], 255);
}

// A white room without skirting, its floor as light as its walls: one click
// on the back wall finds that wall alone, though by colour it runs into
// everything.
TEST(RenderedRooms, OneClickOnAPlainWhiteWallFindsThatWall) {
    const auto rooms = demo::TuningRooms();
    const auto white = std::find_if(rooms.begin(), rooms.end(), [](const demo::RoomCase& r) { return r.name == "white-straight"; });
    ASSERT_NE(white, rooms.end());
    const auto room = demo::RenderRoom(white->spec, "rendered-rooms", 480, 360);
    ASSERT_TRUE(room.ok()) << room.error();
    const auto jpeg = ReadWholeFile(room->photo);
    ASSERT_TRUE(jpeg);
    auto finder = vision::PhotoAnalysis::Of(DecodeJpeg(*jpeg));
    ASSERT_TRUE(finder.ok()) << finder.error();
    const QImage wall = demo::FaceMask(room->labels, demo::RoomFace::BackWall);
    const auto at = demo::DeepestPixel(wall, 4);
    ASSERT_TRUE(at);
    const auto found = vision::FindSurface(**finder, {{*at}, {}});
    ASSERT_TRUE(found.ok()) << found.error();
    EXPECT_GE(demo::MaskIou(wall, demo::FilledRings(wall.size(), found->rings)), 0.6);
}

// A white room seen into its corner, a rug on its light floor, and a dim
// copy of a tiled room: the whole room is found from one click on the
// floor, the rug's edges taken for no wall's foot and the dim room's
// corners seen.
TEST(RenderedRooms, TheWholeRoomOfAWhiteCornerWithARugAndOfADimRoom) {
    const auto rooms = demo::TuningRooms();
    for (const char* name : {"white-corner", "rolled-tiles-dim"}) {
        SCOPED_TRACE(name);
        const auto room = std::find_if(rooms.begin(), rooms.end(), [&](const demo::RoomCase& r) { return r.name == name; });
        ASSERT_NE(room, rooms.end());
        const auto rendered = demo::RenderCase(*room, "rendered-rooms", 640, 480);
        ASSERT_TRUE(rendered.ok()) << rendered.error();
        const auto jpeg = ReadWholeFile(rendered->photo);
        ASSERT_TRUE(jpeg);
        const auto analysis = vision::PhotoAnalysis::Of(DecodeJpeg(*jpeg));
        ASSERT_TRUE(analysis.ok()) << analysis.error();
        vision::RoomRequest request;
        request.floorClick = rendered->click;
        const auto layout = vision::FindRoom(**analysis, request);
        ASSERT_TRUE(layout.ok()) << layout.error();
        const demo::RoomLayoutScore score = demo::ScoreLayout(*rendered, *layout);
        EXPECT_LT(score.pixelError, 0.05);
        // The floor on every side of the rug and under the table, as one region.
        ASSERT_FALSE(score.surfaces.empty());
        EXPECT_GT(score.surfaces.front().outlineIou, 0.9);
    }
}

}  // namespace
}  // namespace v2d
