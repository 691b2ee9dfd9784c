#pragma once
// The box of the room seen from inside: the floor 1 unit below the camera,
// the left and right walls, the back wall and the ceiling, each square to
// one of the room's axes (room_camera.h). Every boundary between two of its
// faces runs through a vanishing point. The box is fitted to the photo's
// evidence: segments lie on faces that hold their direction (orientation),
// segments and edges lie along the boundaries the box draws, a boundary
// that no line or edge of its direction shows costs much more than one the
// photo draws, and a clicked floor point stays floor.
#include <opencv2/core.hpp>

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "vision/room_camera.h"
#include "vision/vanishing_points.h"

namespace v2d::vision {

enum class RoomFace { Floor, Left, Back, Right, Ceiling };
inline constexpr std::array<RoomFace, 5> kRoomFaces{RoomFace::Floor, RoomFace::Left, RoomFace::Back, RoomFace::Right,
                                                    RoomFace::Ceiling};

// Room coordinates (u, v, w) along the axes: u right, v down (the floor
// v = 1), w into the room; the camera at the origin.
struct RoomBox {
    RoomAxes axes;
    double left = -30, right = 30, back = 30, ceiling = -30;  // u, u, w and v of the faces

    // The face a ray from the camera (camera coordinates) leaves the room through.
    RoomFace FaceOf(const cv::Vec3d& ray) const;
    // The face's plane in camera coordinates, n . X = d with |n| = 1: (n, d).
    cv::Vec4d Plane(RoomFace face) const;
    // The face's two directions in camera coordinates: along the photo's
    // rows (rightwards), then down it.
    std::array<cv::Vec3d, 2> Directions(RoomFace face) const;
    // The face as the camera sees it, in frame points, clipped to `view` (a
    // convex polygon in the frame); empty when none of it is in view.
    std::vector<cv::Point2d> Seen(RoomFace face, std::span<const cv::Point2d> view) const;
};

// Where a ray from the camera meets a plane n . X = d (camera coordinates,
// as RoomBox::Plane gives it); none when the ray runs along the plane or
// away from it.
std::optional<cv::Vec3d> RayOnPlane(const cv::Vec4d& plane, const cv::Vec3d& ray);

// The room axis along which two faces meet; -1 for faces that do not meet.
int MeetingAxis(RoomFace a, RoomFace b);

// What the box is fitted to, in the frame: the photo's segments and strong
// edge points, each with the axis it runs along.
struct RoomEvidence {
    struct Piece {
        cv::Vec3d point, before, after;  // a point of it and two across it, as rays
        double weight = 0;
        int axis = -1;
    };
    std::vector<Piece> segmentPoints, edgePoints;
    // A coarse grid over the photo: each cell's ray and colour, row after
    // row; faces of one colour each, and boundaries only where the photo
    // shows them.
    struct Cell {
        cv::Vec3d ray;
        cv::Vec3f colour;
    };
    std::vector<Cell> cells;
    // Per cell, the axes (bit k for axis k) of the segments and edges that cross it or its neighbours.
    std::vector<uint8_t> axesNear;
    int columns = 0;
    double cellSize = 0;  // frame units
};

// `smooth` the photo's smoothed colour copy at `toPhoto` photo pixels a pixel.
RoomEvidence EvidenceOf(const RoomAxes& axes, const NormalFrame& frame, std::span<const FrameSegment> segments,
                        const cv::Mat& smooth, cv::Point2d toPhoto);

// A ray in room coordinates.
struct RoomRay {
    double u = 0, v = 0, w = 0;
    // 1/u, 1/v, 1/w (infinite for 0): where the ray meets each face by products alone.
    double inverseU = 0, inverseV = 0, inverseW = 0;
};

// How well a box agrees with the evidence, term by term (higher is better).
struct BoxScore {
    bool refused = false;  // the floor's ray leaves through another face
    double colour = 0, boundaries = 0, orientation = 0, segmentsOnBoundaries = 0, edgesOnBoundaries = 0;
    double total() const { return colour + boundaries + orientation + segmentsOnBoundaries + edgesOnBoundaries; }
};

// A box's score against one photo's evidence; `labels` is the caller's room
// for the grid cells' faces, so that several climbs may score at once.
using BoxScoring = std::function<double(const RoomBox&, std::vector<RoomFace>& labels)>;

class BoxObjective {
public:
    // `floorRay` a ray that must leave through the floor.
    BoxObjective(const RoomAxes& axes, const RoomEvidence& evidence, const std::optional<cv::Vec3d>& floorRay);
    BoxScore Terms(const RoomBox& box, std::vector<RoomFace>& labels) const;
    double operator()(const RoomBox& box, std::vector<RoomFace>& labels) const;

    // One piece's three rays in room coordinates.
    struct Probe {
        RoomRay point, before, after;
        double weight = 0;
        int axis = -1;
    };

private:
    double Spread(const std::vector<RoomFace>& labels) const;

    std::vector<Probe> segments_, edges_;
    std::vector<RoomRay> cells_;
    std::vector<uint8_t> axesNear_;
    std::vector<cv::Vec3d> colours_;  // the cells' colours
    double cellSize_ = 0;
    std::optional<RoomRay> floor_;
    int columns_ = 1;
    double reference_ = 0;  // the segments' weight, which the other terms are measured in
    double whole_ = 1;      // the colours' spread over the whole photo
};

// The best box a climb from a few usual rooms reaches under `score`; its
// score in `reached`.
RoomBox ClimbedBox(const RoomAxes& axes, const BoxScoring& score, double* reached = nullptr);

// The box that agrees best with the evidence; `floorRay` a ray that must leave through the floor.
std::optional<RoomBox> FittedBox(const RoomAxes& axes, const RoomEvidence& evidence,
                                 const std::optional<cv::Vec3d>& floorRay);

}  // namespace v2d::vision
