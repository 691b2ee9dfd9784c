// Photos as phones take them: the quality check refuses what cannot give a
// room and lets the rest through, and one click finds the floor through
// grain, compression, dark corners and dim light.
#include <gtest/gtest.h>

#include <QPainter>

#include "base/atomic_file.h"
#include "demo/rendered_rooms.h"
#include "tests/vision/phone_copies.h"
#include "vision/photo_quality.h"
#include "vision/surface_finder.h"

namespace v2d {
namespace {

using vision::PhotoProblem;

vision::PhotoQuality Measured(const QImage& photo) { return vision::MeasurePhotoQuality(**vision::PhotoAnalysis::Of(photo)); }

// A wall and a floor of boards with a dark cabinet, drawn sharp.
QImage DrawnRoom(QSize size) {
    QImage photo(size, QImage::Format_RGB32);
    const int w = size.width(), h = size.height();
    QPainter p(&photo);
    p.fillRect(photo.rect(), QColor(215, 210, 195));
    p.fillRect(0, h * 5 / 10, w, h, QColor(160, 120, 80));
    for (int x = 0; x < w; x += w / 12) p.fillRect(x, h * 5 / 10, 2, h, QColor(110, 80, 50));
    p.fillRect(w / 3, h * 3 / 10, w / 5, h * 3 / 10, QColor(60, 50, 45));
    return photo;
}

TEST(PhotoQuality, RefusesDarkBlurredAndSmallPhotosWithWhatToRetake) {
    const QImage room = DrawnRoom({800, 600});
    const std::tuple<const char*, QImage, PhotoProblem> cases[] = {
        {"clean", room, PhotoProblem::None},
        {"noisy", testing::PhoneCopy(room, 14, 1, 0.3, 60), PhotoProblem::None},
        {"dim", testing::PhoneCopy(room, 4, 0.3), PhotoProblem::None},
        {"dark", testing::PhoneCopy(room, 2, 0.08), PhotoProblem::TooDark},
        {"blurred", testing::PhoneCopy(room, 0, 1, 0, 0, 6), PhotoProblem::Blurred},
        {"blurred and grainy", testing::PhoneCopy(room, 3, 1, 0, 85, 8), PhotoProblem::Blurred},
        {"small", DrawnRoom({400, 230}), PhotoProblem::TooSmall},
        {"a strip", DrawnRoom({20000, 2}), PhotoProblem::TooSmall},
    };
    for (const auto& [name, photo, problem] : cases) {
        const vision::PhotoQuality q = Measured(photo);
        EXPECT_EQ(q.problem, problem) << name;
    }
    const auto dark = vision::PhotoAnalysis::Of(testing::PhoneCopy(room, 2, 0.08));
    EXPECT_EQ(vision::CheckPhotoQuality(**dark).error().rfind("照片太暗，", 0), 0u);
}

}  // namespace
}  // namespace v2d

namespace v2d {
namespace {

Result<demo::RenderedRoom> Room(const std::string& name) {
    for (const demo::RoomSpec& spec : demo::TestRooms())
        if (spec.name == name) return demo::RenderRoom(spec, "rendered-rooms", 480, 360);
    return Error{"no room " + name};
}

// Rooms whose floor stands apart from the walls by colour or skirting; where
// floor and walls are alike only the room's layout tells them apart.
TEST(PhonePhotos, OneClickFindsTheFloorThroughGrainCompressionAndDimLight) {
    struct Copy {
        const char* name;
        double sigma, gain, vignette;
        int quality;
        double blur;
        PhotoProblem problem;
    };
    const Copy copies[] = {{"grain", 8, 1, 0, 0, 0, PhotoProblem::None},
                           {"grain, corners dark, compressed", 14, 1, 0.3, 70, 0, PhotoProblem::None},
                           {"compressed hard", 3, 1, 0, 30, 0, PhotoProblem::None},
                           {"dim", 6, 0.35, 0.3, 80, 0, PhotoProblem::None},
                           {"dark", 2, 0.07, 0, 0, 0, PhotoProblem::TooDark},
                           {"blurred", 0, 1, 0, 0, 4, PhotoProblem::Blurred}};
    for (const char* name : {"boards-oblique", "stone-low", "carpet-high", "boards-high"}) {
        const auto room = Room(name);
        ASSERT_TRUE(room.ok()) << room.error();
        const QImage clean = DecodeJpeg(*ReadWholeFile(room->photo));
        for (const Copy& c : copies) {
            SCOPED_TRACE(std::string(name) + ", " + c.name);
            const auto analysis = vision::PhotoAnalysis::Of(testing::PhoneCopy(clean, c.sigma, c.gain, c.vignette, c.quality, c.blur));
            EXPECT_EQ(vision::MeasurePhotoQuality(**analysis).problem, c.problem);
            if (c.problem != PhotoProblem::None) continue;
            const auto found = vision::FindSurface(**analysis, {{room->click}, {}});
            ASSERT_TRUE(found.ok()) << found.error();
            EXPECT_GE(demo::ScoreFound(*room, found->rings, found->corners, std::nullopt).iou, 0.88);
        }
    }
}

}  // namespace
}  // namespace v2d
