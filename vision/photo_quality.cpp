#include "vision/photo_quality.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

#include "base/picture_codec.h"
#include "vision/value_levels.h"

namespace v2d::vision {
namespace {

// Smaller photos hold too few pixels for a room's lines.
constexpr int kMinLongSide = 320, kMinShortSide = 240;
// A photo whose brighter tenth stays below this grey level shows too little
// to tell surfaces apart: a dim room with a lamp on lies well above it.
constexpr double kDarkLevel = 28;
// Below this the strongest edges are smeared over several pixels.
constexpr double kBlurredSharpness = 0.62;
// The share of pixels whose gradients tell the photo's edges.
constexpr double kEdgeShare = 0.005;

// The grey copy the measures are taken on: the photo as it was taken (the
// reduced copy is brightened and smoothed for the finders), brought down to
// the reduced copy's size and never enlarged (an enlarged copy looks soft).
cv::Mat WorkingGrey(const PhotoAnalysis& photo) {
    const QImage rows = photo.upright().convertToFormat(QImage::Format_Grayscale8);
    const cv::Mat grey(rows.height(), rows.width(), CV_8U, const_cast<uchar*>(rows.constBits()), size_t(rows.bytesPerLine()));
    const cv::Size reduced = photo.reducedSize();
    if (reduced.width >= grey.cols) return grey.clone();
    cv::Mat small;
    cv::resize(grey, small, reduced, 0, 0, cv::INTER_AREA);
    return small;
}

// The gradient the strongest edges of `grey` reach.
double EdgeGradient(const cv::Mat& grey) {
    cv::Mat gx, gy, magnitude;
    cv::Sobel(grey, gx, CV_32F, 1, 0, 3);
    cv::Sobel(grey, gy, CV_32F, 0, 1, 3);
    cv::magnitude(gx, gy, magnitude);
    double top = 0;
    cv::minMaxLoc(magnitude, nullptr, &top);
    return Percentile(magnitude, top, 1 - kEdgeShare);
}

}  // namespace

PhotoQuality MeasurePhotoQuality(const PhotoAnalysis& photo) {
    PhotoQuality quality;
    const QSize size = photo.size();
    if (std::max(size.width(), size.height()) < kMinLongSide || std::min(size.width(), size.height()) < kMinShortSide) {
        quality.problem = PhotoProblem::TooSmall;
        return quality;
    }
    if (!PictureSizeAllowed(size.width(), size.height())) {
        quality.problem = PhotoProblem::TooLarge;
        return quality;
    }
    const cv::Mat grey = WorkingGrey(photo);
    cv::Mat levels;
    grey.convertTo(levels, CV_32F);
    quality.brightLevel = Percentile(levels, 255, 0.9);
    // Sensor grain is smoothed a little first, on both sizes alike.
    cv::Mat full, half;
    cv::GaussianBlur(grey, full, {3, 3}, 0);
    cv::resize(grey, half, {std::max(1, grey.cols / 2), std::max(1, grey.rows / 2)}, 0, 0, cv::INTER_AREA);
    cv::GaussianBlur(half, half, {3, 3}, 0);
    const double halfGradient = EdgeGradient(half);
    quality.sharpness = halfGradient > 0 ? EdgeGradient(full) / halfGradient : 0;
    if (quality.brightLevel < kDarkLevel)
        quality.problem = PhotoProblem::TooDark;
    else if (quality.sharpness < kBlurredSharpness)
        quality.problem = PhotoProblem::Blurred;
    return quality;
}

Status CheckPhotoQuality(const PhotoAnalysis& photo) {
    switch (MeasurePhotoQuality(photo).problem) {
        case PhotoProblem::None: return Status::Ok();
        case PhotoProblem::TooSmall: return Error{kMsgPhotoTooSmall};
        case PhotoProblem::TooLarge: return Error{kMsgPhotoTooLargeToAnalyse};
        case PhotoProblem::TooDark: return Error{kMsgPhotoTooDark};
        case PhotoProblem::Blurred: return Error{kMsgPhotoBlurred};
    }
    return Status::Ok();
}

}  // namespace v2d::vision
