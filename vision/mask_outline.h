#pragma once
// A surface mask of the reduced copy turned into the outline of the photo:
// rings in photo pixels, the outer boundary first and then the holes,
// straightened into polygons whose edges lie on the photo's line segments
// where they run along them.
#include <opencv2/core.hpp>

#include <span>
#include <vector>

#include "vision/line_segments.h"

namespace v2d::vision {

using RingD = std::vector<cv::Point2d>;

// The rings of the mask: one outer ring, its large parts joined by bridges
// of no width, then the parts' holes; `toPhoto` is the photo's size over
// the mask's. Empty when the mask holds nothing.
std::vector<RingD> OutlineOf(const cv::Mat& mask, cv::Point2d toPhoto, std::span<const Segment> photoSegments);

}  // namespace v2d::vision
