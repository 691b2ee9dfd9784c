#include "vision/photo_analysis.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

#include "vision/plane_rectification.h"
#include "vision/room_planes.h"

namespace v2d::vision {
namespace {

// The reduced copy's longer side: fine enough for a boundary within a pixel
// or two of the photo's own, small enough for a click well under a second.
constexpr int kReducedSide = 1000;
// Photos with a shorter side are used at their own size.
constexpr int kMinEnlarged = 64;
// Segments shorter than this (reduced pixels) are grain, not the room's lines.
constexpr double kMinSegment = 12.0;
cv::Size ReducedSize(QSize photo) {
    const double longSide = std::max(photo.width(), photo.height());
    // Smaller photos are enlarged to the same working size, so that a joint or a
    // leg spans as many working pixels whatever the photo's size.
    const double factor = std::min(photo.width(), photo.height()) < kMinEnlarged ? std::max(1.0, longSide / kReducedSide)
                                                                                : longSide / kReducedSide;
    return {std::max(1, int(std::lround(photo.width() / factor))), std::max(1, int(std::lround(photo.height() / factor)))};
}

cv::Mat ReducedColour(const QImage& photo, cv::Size reduced) {
    const QImage::Format format = photo.format();
    const QImage rows = format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
                                format == QImage::Format_ARGB32_Premultiplied
                            ? photo
                            : photo.convertToFormat(QImage::Format_RGB32);
    const cv::Mat full(rows.height(), rows.width(), CV_8UC4, const_cast<uchar*>(rows.constBits()),
                       size_t(rows.bytesPerLine()));
    cv::Mat small, colour;
    const bool enlarged = reduced.width > full.cols;
    cv::resize(full, small, reduced, 0, 0, enlarged ? cv::INTER_LINEAR : cv::INTER_AREA);
    cv::cvtColor(small, colour, cv::COLOR_BGRA2BGR);
    return colour;
}

}  // namespace

PhotoAnalysis::PhotoAnalysis(QImage upright, Orientation orientation)
    : upright_(std::move(upright)), orientation_(orientation), reducedSize_(ReducedSize(upright_.size())),
      toPhoto_(double(upright_.width()) / reducedSize_.width, double(upright_.height()) / reducedSize_.height) {}

Result<std::shared_ptr<const PhotoAnalysis>> PhotoAnalysis::Of(const QImage& photo) {
    if (photo.isNull() || photo.width() <= 0 || photo.height() <= 0) return Error{"照片无法读取。"};
    return std::shared_ptr<const PhotoAnalysis>(std::make_shared<PhotoAnalysis>(photo, Orientation::AsGiven));
}

const ReducedPhoto& PhotoAnalysis::reduced() const {
    std::call_once(reducedOnce_, [&] { reduced_ = ReducedPhoto::Of(ReducedColour(upright_, reducedSize_)); });
    return reduced_;
}

const std::vector<Segment>& PhotoAnalysis::segments() const {
    std::call_once(segmentsOnce_, [&] {
        cv::Mat grey;
        cv::cvtColor(reduced().colour, grey, cv::COLOR_BGR2GRAY);
        segments_ = LineSegmentsOf(grey, toPhoto_, kMinSegment);
    });
    return segments_;
}

const std::vector<LineFamily>& PhotoAnalysis::lineFamilies() const {
    std::call_once(familiesOnce_, [&] { families_ = PhotoFamilies(segments(), size()); });
    return families_;
}

std::vector<cv::Vec3d> PhotoAnalysis::vanishingPoints() const {
    const NormalFrame f = frame();
    std::vector<cv::Vec3d> points;
    for (const LineFamily& family : lineFamilies()) points.push_back(f.ToHomogeneous(family.point));
    return points;
}

const std::optional<RoomAxes>& PhotoAnalysis::roomAxes() const {
    std::call_once(axesOnce_, [&] { axes_ = RoomAxesOf(RoomSegments(*this), lineFamilies()); });
    return axes_;
}

const std::optional<Camera>& PhotoAnalysis::camera() const {
    std::call_once(cameraOnce_, [&] {
        if (const auto& axes = roomAxes()) {
            const NormalFrame f = frame();
            camera_ = Camera{axes->focal * f.unit, LineInPixels(f, axes->VanishingLine(1))};
        }
    });
    return camera_;
}

const std::optional<RoomBox>& PhotoAnalysis::roomBox() const {
    std::call_once(boxOnce_, [&] { box_ = RoomBoxOf(*this, std::nullopt); });
    return box_;
}

}  // namespace v2d::vision
