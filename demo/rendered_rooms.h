#pragma once
// Rooms rendered with POV-Ray whose geometry is known: the photo, what each
// pixel shows (floor, each wall, ceiling or clutter) and which surface's
// plane it lies on, the camera that took it, a click on the floor and known
// lengths. A scorer measures a found floor outline and its four corners
// against that truth (demo/room_score.h scores a whole room). Scenes are
// modelled in millimetres; POV-Ray's world is left-handed with y up, the
// floor is the plane y = 0, the room spans x in [-W/2, W/2], z in [0, D].
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

// LightTiles and White are the commonest customer room: floor and walls
// alike in colour. Chequer (black and white), MixedBoards (boards of
// varied tones, open joints) and Terracotta (wide dark joints) are old
// floors whose pattern shows through a product laid over them.
enum class FloorKind { PolishedTiles, WoodBoards, DarkStone, PlainCarpet, LightTiles, Chequer, MixedBoards, Terracotta };
enum class WallFinish { WarmWhite, Sage, Greige, Striped, White };
// Sunlit: the sun through the left wall's window draws a sharp patch on the
// floor, and soft light from the ceiling fills the room.
enum class RoomLight { Ceiling, Window, CeilingAndWindow, Sunlit };

struct RoomSpec {
    std::string name;
    FloorKind floor = FloorKind::PolishedTiles;
    double roomWidth = 5000, roomDepth = 6000, roomHeight = 2700;  // x, z, y
    // The camera stands at (cameraX, cameraHeight, cameraZ); pitch looks
    // down, yaw turns to the right, roll turns the picture clockwise (a
    // phone held off level), all in degrees; the horizontal angle of view.
    double cameraX = 0, cameraZ = 400, cameraHeight = 1500;
    double pitchDeg = 25, yawDeg = 0, viewAngleDeg = 64, rollDeg = 0;
    bool sofa = false, table = false, cabinet = false, rug = false;
    bool door = false;      // a door in the back wall, near its left end
    bool window = true;     // the left wall's window
    bool skirting = true;   // skirting boards along every wall
    WallFinish walls = WallFinish::WarmWhite;
    RoomLight light = RoomLight::Ceiling;
    // The floor's finish in its pattern's lightest colour, without the pattern.
    bool plainFloor = false;
};

// The same room with its floor plain, named NAME-plain: rendered under the
// same light, the two photos differ by the floor's pattern alone.
RoomSpec PlainTwin(const RoomSpec& spec);

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
    Vec3 sky{0, 1, 0};  // POV-Ray's sky: world up, turned about the view by the roll
    double angleDeg = 60;
    int width = 0, height = 0;

    double FocalPixels() const;
    // None for a point behind the camera.
    std::optional<PixelPos> Project(Vec3 point) const;
    // Where the ray through a pixel meets the floor; none above the horizon.
    std::optional<FloorPos> FloorPointAt(PixelPos pixel) const;
    // The ray's direction through a pixel (not of unit length).
    Vec3 RayThrough(PixelPos pixel) const;
};

RoomCamera CameraOf(const RoomSpec& spec, int width, int height);

// What a pixel shows: the room's six faces by where they stand (left is
// x = -W/2, back z = D, front z = 0 behind the camera), then the clutter
// that hides them. Stored as the value of a Format_Grayscale8 pixel.
enum class RoomFace : uint8_t {
    None = 0,
    Floor,
    LeftWall,
    BackWall,
    RightWall,
    FrontWall,
    Ceiling,
    Furniture,
    Rug,
    Door,
    Window,
};
inline constexpr int kRoomFaces = 11;
inline bool IsClutter(RoomFace face) { return face >= RoomFace::Furniture; }
inline bool IsSurface(RoomFace face) { return face >= RoomFace::Floor && face <= RoomFace::Ceiling; }

// A face's plane: a corner, its two sides (unit directions, lengths in
// millimetres) and the normal into the room.
struct FacePlane {
    Vec3 origin, first, second, normal;
    double firstLength = 0, secondLength = 0;
};
FacePlane PlaneOf(const RoomSpec& spec, RoomFace face);  // a surface face
// Where the ray through a pixel meets a plane; none behind the camera.
std::optional<Vec3> PointOnPlane(const RoomCamera& camera, const FacePlane& plane, PixelPos pixel);

// The face whose plane each pixel's centre sees from inside the empty room.
QImage PlaneLabels(const RoomSpec& spec, const RoomCamera& camera);

// A known length between two whole pixels on one surface.
struct SurfaceLength {
    RoomFace face = RoomFace::Floor;
    V2d_Point a{}, b{};
    double millimetres = 0;
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
    QImage labels;                // Format_Grayscale8: the RoomFace each pixel shows
    QImage planes;                // Format_Grayscale8: the RoomFace whose plane it lies on, clutter ignored
    V2d_Point click{};            // well inside the visible floor
    KnownLength length;           // two visible floor points a known distance apart
    SurfaceLength known;          // a known length on the surface the spec names
    double renderSeconds = 0;     // 0 when the renders were reused
};

// Writes the scene into `dir`, renders photo and labels (reused when the
// scene files are unchanged and both pictures are present) and works out the
// click and the known lengths (`known` on `knownOn`, else on the floor).
// Refused when POV-Ray fails or the floor is not in sight.
Result<RenderedRoom> RenderRoom(const RoomSpec& spec, const std::filesystem::path& dir, int width, int height,
                                RoomFace knownOn = RoomFace::Floor);

// 255 where the labels are `face`, 0 elsewhere.
QImage FaceMask(const QImage& labels, RoomFace face);
// The mask's pixel farthest from anything outside it (the picture's border
// included), if it is at least `margin` pixels in.
std::optional<V2d_Point> DeepestPixel(const QImage& mask, int margin);
// Intersection over union of two masks (set from 128).
double MaskIou(const QImage& a, const QImage& b);

// The visible face's longest span of a metre or so, along one of its sides,
// whose whole-pixel ends lie well inside what is seen of it.
std::optional<SurfaceLength> KnownLengthOn(const RenderedRoom& room, RoomFace face);

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

// 255 inside the rings filled even-odd (a ring inside another is a hole),
// 0 elsewhere; points read as continuous coordinates, as QPainter reads them.
QImage FilledRings(QSize size, const std::vector<std::vector<V2d_Point>>& rings);

// The rings are filled even-odd (a ring inside another is a hole) as the
// program fills an outline, and compared with the floor mask. Points of
// rings and corners are read as the continuous coordinates above, as
// QPainter reads them.
RoomScore ScoreFound(const RenderedRoom& room, const std::vector<std::vector<V2d_Point>>& rings, const Quad& corners,
                     std::optional<std::pair<int, int>> realSize);

}  // namespace v2d::demo
