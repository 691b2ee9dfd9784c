// A light grey tile laid through the command line on a chequered floor in
// the sun (a room rendered with a known camera and a plain twin under the
// same light): in the room's light none of the chequer shows through and
// the floor takes the twin's light; in the photo's light the chequer shows
// as it always has.
#include <gtest/gtest.h>

#include <unistd.h>

#include "demo/cli_laying.h"
#include "demo/floor_region.h"
#include "demo/laid_light_score.h"
#include "demo/room_sets.h"

namespace v2d {
namespace {

namespace fs = std::filesystem;

class LightCli : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root_ = fs::temp_directory_path() / ("vexel-light-cli-" + std::to_string(::getpid()));
        fs::create_directories(root_);
        const demo::RoomSpec chequer = demo::LightRooms().front();
        ASSERT_EQ(chequer.floor, demo::FloorKind::Chequer);
        auto patterned = demo::RenderRoom(chequer, "rendered-rooms", 320, 240);
        auto plain = demo::RenderRoom(demo::PlainTwin(chequer), "rendered-rooms", 320, 240);
        ASSERT_TRUE(patterned && plain) << (patterned ? plain : patterned).error();
        const auto region = demo::FloorRegionOf(*patterned);
        ASSERT_TRUE(region);
        region_ = demo::RegionArgument("floor", *region);
        floors_.photoPatterned = demo::ReadJpegFile(patterned->photo);
        floors_.photoPlain = demo::ReadJpegFile(plain->photo);
        floors_.mask = demo::ComparedFloor(*patterned, region->outline);
        patternedPhoto_ = patterned->photo;
        ASSERT_TRUE(demo::WritePlainTile(root_ / "grey.jpg", QColor(200, 200, 200)));
        const auto truth = Lay(plain->photo, demo::LightMode::Photo, "truth");
        ASSERT_TRUE(truth && *truth) << (truth ? "nothing laid" : truth.error());
        floors_.laidPlain = **truth;
    }
    static void TearDownTestSuite() { fs::remove_all(root_); }

    static Result<std::optional<QImage>> Lay(const fs::path& photo, demo::LightMode light, const std::string& stem) {
        return demo::LayThroughCli({VEXEL_CLI, photo, region_, root_ / "grey.jpg", light, root_ / (stem + ".v2d"),
                                    root_ / (stem + ".jpg")});
    }
    // The chequered room laid in `light`, scored against the plain twin laid in the photo's.
    static std::optional<demo::LightScore> LaidOnChequer(demo::LightMode light) {
        const auto laid = Lay(patternedPhoto_, light, demo::LightModeName(light));
        if (!laid) ADD_FAILURE() << laid.error();
        else if (!*laid) ADD_FAILURE() << "vexel2d-cli has no --light " << demo::LightModeName(light);
        if (!laid || !*laid) return std::nullopt;
        demo::LaidFloors floors = floors_;
        floors.laidPatterned = **laid;
        return demo::ScoreLaidFloors(floors);
    }

    static inline fs::path root_, patternedPhoto_;
    static inline std::string region_;
    static inline demo::LaidFloors floors_;
};

TEST_F(LightCli, RoomLightLaysTheTileInTheRoomsLightWithoutTheOldChequer) {
    const auto score = LaidOnChequer(demo::LightMode::Room);
    ASSERT_TRUE(score);
    EXPECT_LE(score->residue, 0.5) << "well below the photo light's; the goal is 0.15";
    EXPECT_LE(score->shadingPercent, 8.0);
}

TEST_F(LightCli, PhotoLightLaysTheTileInThePhotosBrightnessChequerAndAll) {
    const auto score = LaidOnChequer(demo::LightMode::Photo);
    ASSERT_TRUE(score);
    EXPECT_GE(score->residue, 0.8);
}

}  // namespace
}  // namespace v2d
