#pragma once
// Families of line segments that meet in one vanishing point. Everything here
// works in a normalised frame (origin at a centre, unit half a photo's longer
// side) so that homogeneous vectors stay well scaled; points and lines are
// unit 3-vectors there.
#include <QSize>

#include <opencv2/core.hpp>

#include <optional>
#include <span>
#include <vector>

#include "vision/line_segments.h"

namespace v2d::vision {

struct NormalFrame {
    cv::Point2d centre;
    double unit = 1;  // pixels per frame unit

    cv::Vec3d Point(cv::Point2d pixel) const;
    // From and to homogeneous pixels (x, y, w): w == 0 is a direction, given
    // back when the point lies beyond any use.
    cv::Vec3d FromHomogeneous(const cv::Vec3d& pixel) const;
    cv::Vec3d ToHomogeneous(const cv::Vec3d& point) const;
    // Requires a finite point.
    cv::Point2d Pixel(const cv::Vec3d& point) const;
};

// The photo's centre, half the longer side.
NormalFrame FrameOfPhoto(QSize photo);
// The segments' bounding box, for segments that come without a photo.
NormalFrame FrameOfSegments(std::span<const Segment> segments);

struct FrameSegment {
    cv::Vec3d line;  // a x b, with (x, y) of unit length
    double midX = 0, midY = 0;
    double dirX = 0, dirY = 0;  // unit direction
    double length = 0;          // in frame units
    double weight = 0;
    double tolerance = 0;  // the largest sine of the angle to a family's point
    double reach = 0;      // the least distance from the middle to a family's point
};

// Segments of no length (or not finite) are left out.
std::vector<FrameSegment> ToFrame(const NormalFrame& frame, std::span<const Segment> segments, double weight = 1);
std::optional<FrameSegment> ToFrame(const NormalFrame& frame, const Segment& segment, double weight);

// The `most` longest segments (all of them when there are fewer), in no order.
std::vector<Segment> LongestSegments(std::span<const Segment> segments, size_t most);

// The sine of the angle between the segment's line and the line from its
// middle to the point, signed so that it goes on smoothly through infinity.
double AngleResidual(const FrameSegment& segment, const cv::Vec3d& point);

// Whether the segment points at `point` within its tolerance.
bool Agrees(const FrameSegment& segment, const cv::Vec3d& point);

// The least-squares meeting point of the chosen segments' lines, weighted:
// the smallest eigenvector of sum(w l l^T); none when they all lie on one line.
std::optional<cv::Vec3d> LeastSquaresPoint(std::span<const FrameSegment> segments, std::span<const size_t> chosen);

// From `start`, the point that makes the chosen segments' angles to it least
// (squares weighted by weight and length): the fit for points far away,
// where the least-squares point drifts.
std::optional<cv::Vec3d> AngularFit(std::span<const FrameSegment> segments, std::span<const size_t> chosen,
                                    const cv::Vec3d& start);

struct LineFamily {
    cv::Vec3d point;  // unit vector in the frame
    double weight = 0;
    std::vector<size_t> members;
};

// The point most segment weight agrees with: tried at the meeting points of
// pairs of the heaviest segments, then fitted by least squares to the
// segments that agree with it. Deterministic. Segments with `taken` set are
// left out (an empty span takes none).
std::optional<LineFamily> StrongestFamily(std::span<const FrameSegment> segments, std::span<const char> taken = {});

// Up to `most` families, strongest first, each from what the earlier ones left.
std::vector<LineFamily> LineFamilies(std::span<const FrameSegment> segments, int most);

// The whole photo's families, in FrameOfPhoto(photo): up to five, from its
// thousand longest segments; the directions a surface's own lines pair with.
std::vector<LineFamily> PhotoFamilies(std::span<const Segment> photoSegments, QSize photo);

}  // namespace v2d::vision
