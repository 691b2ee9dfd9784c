// Photos as phones take them: the quality check refuses what cannot give a
// room, and one click finds the floor through grain, compression, dark corners and dim light.
#include <QPainter>
#include <gtest/gtest.h>

#include "base/atomic_file.h"
#include "demo/rendered_rooms.h"
#include "tests/vision/phone_copies.h"
#include "vision/photo_quality.h"
#include "vision/surface_finder.h"

namespace v2d {
namespace {

using vision::PhotoProblem;

TEST(PhotoQuality, RefusesDarkBlurredAndSmallPhotosWithWhatToRetake) {
    QImage room(800, 600, QImage::Format_RGB32);  // a wall, a floor of boards, a dark cabinet
    room.fill(QColor(215, 210, 195));
    QPainter(&room).fillRect(0, 300, 800, 300, QColor(160, 120, 80));
    for (int x = 0; x < 800; x += 66) QPainter(&room).fillRect(x, 300, 2, 300, QColor(110, 80, 50));
    QPainter(&room).fillRect(260, 180, 160, 180, QColor(60, 50, 45));
    const std::pair<QImage, PhotoProblem> cases[] = {
        {room, PhotoProblem::None}, {testing::PhoneCopy(room, 14, 1, 0.3, 60), PhotoProblem::None},
        {testing::PhoneCopy(room, 4, 0.3), PhotoProblem::None}, {testing::PhoneCopy(room, 2, 0.08), PhotoProblem::TooDark},
        {testing::PhoneCopy(room, 0, 1, 0, 0, 6), PhotoProblem::Blurred}, {testing::PhoneCopy(room, 3, 1, 0, 85, 8), PhotoProblem::Blurred},
        {room.scaled(400, 230), PhotoProblem::TooSmall}, {room.scaled(20000, 2), PhotoProblem::TooSmall}};
    for (const auto& [photo, problem] : cases)
        EXPECT_EQ(vision::MeasurePhotoQuality(**vision::PhotoAnalysis::Of(photo)).problem, problem);
    EXPECT_EQ(vision::CheckPhotoQuality(**vision::PhotoAnalysis::Of(cases[3].first)).error().rfind("照片太暗，", 0), 0u);
}

// Rooms whose floor stands apart from the walls by colour or skirting (where
// floor and walls are alike, only the room's layout tells them apart).
TEST(PhonePhotos, OneClickFindsTheFloorThroughGrainCompressionAndDimLight) {
    const std::array<double, 4> copies[] = {{8, 1, 0, 0}, {14, 1, 0.3, 70}, {3, 1, 0, 30}, {6, 0.35, 0.3, 80}};
    for (const demo::RoomSpec& spec : demo::TestRooms()) {
        if (spec.name != "boards-oblique" && spec.name != "stone-low" && spec.name != "carpet-high" && spec.name != "boards-high") continue;
        const auto room = demo::RenderRoom(spec, "rendered-rooms", 480, 360);
        ASSERT_TRUE(room.ok()) << room.error();
        for (const auto& [sigma, gain, vignette, quality] : copies) {
            SCOPED_TRACE(spec.name + " " + std::to_string(sigma));
            const auto analysis = vision::PhotoAnalysis::Of(testing::PhoneCopy(DecodeJpeg(*ReadWholeFile(room->photo)), sigma, gain, vignette, int(quality)));
            EXPECT_TRUE(vision::CheckPhotoQuality(**analysis).ok());
            const auto found = vision::FindSurface(**analysis, {{room->click}, {}});
            ASSERT_TRUE(found.ok()) << found.error();
            EXPECT_GE(demo::ScoreFound(*room, found->rings, found->corners, std::nullopt).iou, 0.85);
        }
    }
}

}  // namespace
}  // namespace v2d
