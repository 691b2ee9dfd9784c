#pragma once
// Levels of a picture's values by their histogram.
#include <opencv2/core.hpp>

namespace v2d::vision {

// The level below which `share` of the values (CV_32F, 0..maximum) lie, by a 256-bin histogram.
double Percentile(const cv::Mat& values, double maximum, double share);

// A grey picture (CV_8U) with its 1st to 99th percentile spread over the
// whole range, so that the edges of a dim photo are as strong as a bright
// one's; a picture of almost one level comes back as it was.
cv::Mat Stretched(const cv::Mat& grey);

}  // namespace v2d::vision
