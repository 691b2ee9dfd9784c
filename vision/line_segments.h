#pragma once
// The photo's straight line segments, found once on the reduced grey copy and
// given back in full-photo pixels: the outline's edges snap onto them and the
// perspective reads the surface's directions from them.
#include <opencv2/core.hpp>

#include <vector>

namespace v2d::vision {

// A straight piece of a line in the photo, from `a` to `b` (pixels).
struct Segment {
    cv::Point2d a, b;
};

// Segments of `grey` at least `minLength` of its pixels long, each end
// multiplied by `toPhoto` (the photo's size over the grey copy's).
std::vector<Segment> LineSegmentsOf(const cv::Mat& grey, cv::Point2d toPhoto, double minLength);

}  // namespace v2d::vision
