#pragma once
// Perspective of a flat surface in a photo taken by a pinhole camera whose
// principal point is the photo's centre: vanishing points of line families,
// the focal length from two orthogonal ones, the plane rectified from them,
// a rectangle on the plane and its size from one known length.
#include <QSize>

#include <optional>
#include <span>
#include <vector>

#include "base/geometry.h"
#include "base/result.h"
#include "vision/vanishing_points.h"

namespace v2d::vision {

// The point the segments' lines meet in (x, y, w in pixels; w == 0 a
// direction), least squares weighted by length; none for fewer than two segments.
std::optional<cv::Vec3d> VanishingPoint(std::span<const Segment> segments);

// f from two vanishing points of orthogonal directions: (v1 - c) . (v2 - c) = -f^2.
// None when either is at infinity or the product is not negative.
std::optional<double> FocalFromOrthogonal(const cv::Vec3d& v1, const cv::Vec3d& v2, cv::Point2d principal);

// The corners (top-left, top-right, bottom-right, bottom-left) of a rectangle
// on the surface's plane, its sides along the plane's two dominant directions
// found from the outline's edges and the photo's segments, covering the
// outline's largest part. None when no two directions can be told apart.
struct SurfaceRectangle {
    Quad corners{};
    double focal = 0;  // the camera's focal length in pixels that the rectangle was found with
};
// `photoFamilies` are PhotoFamilies(photoSegments, photo).
std::optional<SurfaceRectangle> RectangleOnSurface(std::span<const std::vector<V2d_Point>> rings,
                                                   std::span<const Segment> photoSegments,
                                                   std::span<const LineFamily> photoFamilies, QSize photo);

// Millimetres along the first side (top-left to top-right) and the second
// (top-left to bottom-left) of the rectangle `corners` stands for, given one
// length on the same plane from `a` to `b` of `millimetres`. `focal` (pixels)
// is the camera's when known, e.g. from the rectangle's finding; 0: from
// the corners where they settle it, else a phone camera's.
struct RealSize {
    int width = 0;
    int height = 0;
};
Result<RealSize> SizeFromKnownLength(const Quad& corners, QSize photo, cv::Point2d a, cv::Point2d b, double millimetres,
                                     double focal = 0);

}  // namespace v2d::vision
