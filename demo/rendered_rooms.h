#pragma once
// Rooms rendered with POV-Ray whose geometry is known: the photo, the exact
// mask of the visible floor, the camera that took it, a click on the floor
// and a known length on it. A scorer measures a found outline and its four
// corners against that truth. Scenes are modelled in millimetres; POV-Ray's
// world is left-handed with y up, the floor is the plane y = 0.
#include <QImage>

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/geometry.h"
#include "base/result.h"

namespace v2d::demo {

enum class FloorKind { PolishedTiles, WoodBoards, DarkStone, PlainCarpet };
enum class WallFinish { WarmWhite, Sage, Greige, Striped };
enum class RoomLight { Ceiling, Window, CeilingAndWindow };

struct RoomSpec {
    std::string name;
    FloorKind floor = FloorKind::PolishedTiles;
    double roomWidth = 5000, roomDepth = 6000, roomHeight = 2700;  // x, z, y
    // The camera stands at (cameraX, cameraHeight, cameraZ); pitch looks
    // down, yaw turns to the right, both in degrees; the horizontal angle of view.
    double cameraX = 0, cameraZ = 400, cameraHeight = 1500;
    double pitchDeg = 25, yawDeg = 0, viewAngleDeg = 64;
    bool sofa = false, table = false, cabinet = false, rug = false;
    WallFinish walls = WallFinish::WarmWhite;
    RoomLight light = RoomLight::Ceiling;
};

// The set every test and benchmark draws from: all floor kinds, low and high
// cameras, oblique views, furniture and rugs.
std::vector<RoomSpec> TestRooms();

struct Vec3 {
    double x = 0, y = 0, z = 0;
};
struct PixelPos {
    double x = 0, y = 0;
};
struct FloorPos {
    double x = 0, z = 0;
};

// The rug's corners on the floor, nearest-left and farthest-right.
std::array<FloorPos, 2> RugOnFloor(const RoomSpec& spec);

// A POV-Ray perspective camera with `right x*W/H`, `up y` and a horizontal
// angle: a pinhole whose principal point is the image's centre. Pixel
// coordinates are continuous, pixel (i, j) covering [i, i+1) x [j, j+1),
// rows running down.
struct RoomCamera {
    Vec3 location, lookAt;
    double angleDeg = 60;
    int width = 0, height = 0;

    double FocalPixels() const;
    // None for a point behind the camera.
    std::optional<PixelPos> Project(Vec3 point) const;
    // Where the ray through a pixel meets the floor; none above the horizon.
    std::optional<FloorPos> FloorPointAt(PixelPos pixel) const;
};

struct KnownLength {
    PixelPos a, b;
    double millimetres = 0;
};

struct RenderedRoom {
    RoomSpec spec;
    RoomCamera camera;
    std::filesystem::path photo;  // JPEG, quality 90
    QImage floorMask;             // Format_Grayscale8: 255 on the visible floor, 0 elsewhere
    V2d_Point click{};            // well inside the visible floor
    KnownLength length;           // two visible floor points a known distance apart
    double renderSeconds = 0;     // 0 when the renders were reused
};

// Writes the scene into `dir`, renders photo and mask (reused when the scene
// file is unchanged and both are present) and works out the click and the
// known length. Refused when POV-Ray fails or the floor is not in sight.
Result<RenderedRoom> RenderRoom(const RoomSpec& spec, const std::filesystem::path& dir, int width, int height);

// The true rectangle a quad stands for on the floor: sides in millimetres
// (top, right, bottom, left) and the corner angles in degrees; none when a
// corner lies above the horizon.
struct FloorQuad {
    std::array<double, 4> sides{};
    std::array<double, 4> anglesDeg{};
};
std::optional<FloorQuad> QuadOnFloor(const RoomCamera& camera, const Quad& corners);

struct RoomScore {
    double iou = 0;
    bool cornersOnFloor = false;
    std::array<double, 4> anglesDeg{};
    double worstAngleErrorDeg = 0;
    double sideMismatchPercent = 0;  // the larger of the two opposite-side mismatches
    // Against the mean of the true opposite sides; none without a size.
    std::optional<double> widthErrorPercent, heightErrorPercent;
};

// The rings are filled even-odd (a ring inside another is a hole) as the
// program fills an outline, and compared with the floor mask. Points of
// rings and corners are read as the continuous coordinates above, as
// QPainter reads them.
RoomScore ScoreFound(const RenderedRoom& room, const std::vector<std::vector<V2d_Point>>& rings, const Quad& corners,
                     std::optional<std::pair<int, int>> realSize);

}  // namespace v2d::demo
