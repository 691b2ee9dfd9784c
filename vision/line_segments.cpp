#include "vision/line_segments.h"

#include <opencv2/imgproc.hpp>

#include <cmath>

namespace v2d::vision {

std::vector<Segment> LineSegmentsOf(const cv::Mat& grey, cv::Point2d toPhoto, double minLength) {
    std::vector<Segment> segments;
    if (grey.empty() || grey.rows < 8 || grey.cols < 8) return segments;
    std::vector<cv::Vec4f> lines;
    try {
        cv::Ptr<cv::LineSegmentDetector> detector = cv::createLineSegmentDetector(cv::LSD_REFINE_STD);
        detector->detect(grey, lines);
    } catch (const cv::Exception&) {
        return segments;
    }
    segments.reserve(lines.size());
    // Pixel centres: a grey pixel i covers photo pixels from i*s to (i+1)*s.
    const auto toFull = [&](float x, float y) {
        return cv::Point2d{(x + 0.5) * toPhoto.x - 0.5, (y + 0.5) * toPhoto.y - 0.5};
    };
    for (const cv::Vec4f& l : lines) {
        if (std::hypot(l[2] - l[0], l[3] - l[1]) < minLength) continue;
        segments.push_back(Segment{toFull(l[0], l[1]), toFull(l[2], l[3])});
    }
    return segments;
}

}  // namespace v2d::vision
