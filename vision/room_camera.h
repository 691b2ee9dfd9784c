#pragma once
// The room's camera from the photo's lines: the three directions of the
// room (left-right, up-down, into the room) as a rotation, and the focal
// length, first from the strongest line families that stand square to each
// other (the third direction from the other two where it is not seen), then
// refined against every segment that points at one of the three vanishing
// points. Works in the normalised frame of vanishing_points.h: K = diag(f, f, 1).
#include <opencv2/core.hpp>

#include <array>
#include <optional>
#include <span>

#include "vision/vanishing_points.h"

namespace v2d::vision {

// Camera coordinates: x right, y down, z ahead. The room's axes, each a unit
// vector in camera coordinates: [0] to the right, [1] down, [2] into the room.
struct RoomAxes {
    double focal = 0;  // frame units
    std::array<cv::Vec3d, 3> axis{};
    // The length of the segments (frame units) that run along each axis.
    std::array<double, 3> support{};

    // The ray K^-1 p of a frame point (x, y, w).
    cv::Vec3d Ray(const cv::Vec3d& p) const { return {p[0] / focal, p[1] / focal, p[2]}; }
    // The vanishing point K a of an axis, a unit vector in the frame.
    cv::Vec3d Vanishing(int which) const;
    // The vanishing line of planes square to an axis (the horizon for the
    // axis down), scaled so that l . p is a distance in frame units.
    cv::Vec3d VanishingLine(int which) const;
    // Turn of the horizon from level, degrees, positive clockwise on the photo.
    double RollDegrees() const;
};

// The axes from the photo's families and their segments (in the same frame);
// none when no vertical family and no pair of square level families is
// found, or where the lines show no depth (too few upright ones, or none of
// the three directions with lines that meet in sight).
std::optional<RoomAxes> RoomAxesOf(std::span<const FrameSegment> segments, std::span<const LineFamily> families);

// Which axis a segment runs along (its angle to that axis's vanishing point
// within `withinSine`), or -1.
int AxisOf(const RoomAxes& axes, const FrameSegment& segment, double withinSine);

// The rotation and focal length that make the segments' angles to the
// vanishing point of their axis least (Gauss-Newton over three turns and the
// focal's logarithm, held near `start`'s focal where few lines settle it).
RoomAxes Refined(const RoomAxes& start, std::span<const FrameSegment> segments);

// The nearest rotation to three directions, with [1] pointing down, [2] away
// and [0] to the right.
RoomAxes Squared(double focal, const std::array<cv::Vec3d, 3>& directions);

}  // namespace v2d::vision
