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
        std::printf("%s: bright %.1f sharp %.3f\n", name, q.brightLevel, q.sharpness);
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

struct Copy {
    const char* name;
    double sigma, gain, vignette;
    int quality;
    double blur;
};

TEST(PhonePhotos, OneClickFindsTheFloorThroughGrainCompressionAndDimLight) {
    const Copy copies[] = {{"clean", 0, 1, 0, 0, 0},      {"grain8", 8, 1, 0, 0, 0},   {"grain14", 14, 1, 0, 0, 0}, {"grain24", 24, 1, 0, 0, 0}, {"grain14j", 14, 1, 0.3, 70, 0},
                           {"jpeg30", 3, 1, 0, 30, 0},   {"vignette", 5, 1, 0.5, 75, 0}, {"dim", 6, 0.35, 0.3, 80, 0},
                           {"dark", 2, 0.07, 0, 0, 0},    {"blurred", 0, 1, 0, 0, 4}};
    const char* only = std::getenv("ROOM");
    for (const char* name : {"tiles-living", "boards-oblique", "carpet-high", "stone-low", "tiles-oblique-low", "boards-high", "stone-wide"}) {
        if (only && std::string(only) != name) continue;
        const auto room = Room(name);
        ASSERT_TRUE(room.ok()) << room.error();
        const QImage clean = DecodeJpeg(*ReadWholeFile(room->photo));
        for (const Copy& c : copies) {
            const QImage photo = testing::PhoneCopy(clean, c.sigma, c.gain, c.vignette, c.quality, c.blur);
            const auto analysis = vision::PhotoAnalysis::Of(photo);
            const vision::PhotoQuality q = vision::MeasurePhotoQuality(**analysis);
            const auto found = vision::FindSurface(**analysis, {{room->click}, {}});
            const double iou = found ? demo::ScoreFound(*room, found->rings, found->corners, std::nullopt).iou : 0;
            std::printf("%-18s %-10s bright %5.1f sharp %.3f problem %d grain %.2f iou %.3f %s\n", name, c.name, q.brightLevel,
                        q.sharpness, int(q.problem), (*analysis)->reduced().grain, iou, found ? "" : found.error().c_str());
        }
    }
}

}  // namespace
}  // namespace v2d
