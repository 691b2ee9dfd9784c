#pragma once
// The whole room from one photo: the camera the room's three directions of
// lines settle, the box of the room fitted to them (floor, the walls seen,
// the ceiling), and for each surface its whole extent in the photo, what of
// it is visible, four corners that stand for a true rectangle on its plane
// and, once one length is known anywhere in the room, its real size.
// Widget-free; works on the photo's shared analysis.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "base/cancel_token.h"
#include "base/geometry.h"
#include "base/result.h"
#include "vision/photo_analysis.h"
#include "vision/surface_finder.h"

namespace v2d::vision {

inline constexpr const char* kMsgNoRoomFound = "没有找到房间的墙角线，请让地面与墙、墙与墙的交线入镜后重新拍摄。";
inline constexpr const char* kMsgLengthAcrossSurfaces = "标定的两个端点不在同一个表面上。";
inline constexpr const char* kMsgLengthTooShort = "标定的长度不能为零。";

enum class RoomSurfaceKind { Floor, Wall, Ceiling };

struct RoomSurface {
    RoomSurfaceKind kind = RoomSurfaceKind::Floor;
    std::string name;  // "地面", "左墙", "后墙", "右墙", "天花" (UTF-8)
    Ring plane;                 // the surface's whole extent in the photo, what stands in front ignored
    std::vector<Ring> outline;  // what of it is visible: the outer ring first, then the holes
    Quad corners{};             // top-left, top-right, bottom-right, bottom-left of a rectangle on the plane
    // The rectangle's sides in room units (the camera stands 1 unit above
    // the floor), along its first and second direction.
    double width = 0, height = 0;
    // The surface's plane in camera coordinates (x right, y down, z ahead;
    // the ray of pixel p is ((p - centre) / focal, 1)): n . X = d, |n| = 1.
    cv::Vec4d planeInCamera{};
};

struct RoomCamera {
    double focal = 0;  // pixels
    // The three orthogonal vanishing points in photo pixels (x, y, w; w == 0
    // a direction): left-right, up-down, into the room.
    std::array<cv::Vec3d, 3> vanishing{};
    cv::Vec3d horizon;  // a x + b y + c, the signed distance in pixels
    double rollDeg = 0;
};

struct RoomLayout {
    int width = 0, height = 0;  // of the upright photo
    RoomCamera camera;
    // The floor first, then the walls left to right, then the ceiling.
    std::vector<RoomSurface> surfaces;
    double millimetresPerUnit = 0;  // 0 until a length is known
    bool calibrated() const { return millimetresPerUnit > 0; }
};

// A known length between two photo points on one surface.
struct RoomLength {
    V2d_Point a{}, b{};
    double millimetres = 0;
};

struct RoomRequest {
    std::optional<V2d_Point> floorClick;  // a point known to be floor
    std::optional<RoomLength> length;
};

// Refused with the user's message for a photo too dark, too blurred or too
// small, for a click outside the photo, and where no room can be fitted.
Result<RoomLayout> FindRoom(const PhotoAnalysis& photo, const RoomRequest& request, const CancelToken& cancel = {});

// The room's sizes from one known length lying on any one of its surfaces.
Result<RoomLayout> Calibrated(const RoomLayout& room, const RoomLength& length);

// Without a known length a room is sized as if the photo was taken this
// high above the floor (a phone held at the chest).
inline constexpr double kAssumedCameraMillimetres = 1500;

// A surface's real size in millimetres (width, height): from the room's
// calibration, or else from kAssumedCameraMillimetres.
std::array<double, 2> SurfaceMillimetres(const RoomLayout& room, const RoomSurface& surface);

}  // namespace v2d::vision
