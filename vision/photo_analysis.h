#pragma once
// A photo analysed once for everything that reads it: the surface finder,
// and whatever else looks for the room's planes or its light. It holds the
// upright photo; the reduced copy, the line segments, the vanishing points
// and the camera are worked out at their first use, each once, and kept.
// Shared read-only (std::shared_ptr<const PhotoAnalysis>): its parts may be
// asked for from several threads at once.
#include <QImage>
#include <QSize>

#include <opencv2/core.hpp>

#include <algorithm>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "base/exif_orientation.h"
#include "base/cancel_token.h"
#include "base/geometry.h"
#include "base/result.h"
#include "vision/line_segments.h"
#include "vision/room_box.h"
#include "vision/surface_mask.h"
#include "vision/vanishing_points.h"

namespace v2d::vision {

// How the photo as stored was turned to stand upright: the turn its camera
// recorded (EXIF), applied by the photo's reader (ReadPhoto,
// DecodeUprightPhoto) before anyone sees a pixel, so every finder and every
// stored point works on the upright photo. AsGiven for a photo not turned.
using Orientation = v2d::Orientation;

// The camera as the photo's own lines settle it.
struct Camera {
    double focal = 0;  // pixels
    // The vanishing line of level planes (floor, ceiling), (a, b, c) with
    // a x + b y + c the signed distance in pixels; none where no line lies level.
    std::optional<cv::Vec3d> horizon;
};

class PhotoAnalysis {
public:
    // Refused for a null or empty photo. Cheap: nothing is worked out yet.
    // The photo is taken as upright; its reader's note names the turn.
    static Result<std::shared_ptr<const PhotoAnalysis>> Of(const QImage& photo);

    const QImage& upright() const { return upright_; }
    Orientation orientation() const { return orientation_; }
    QSize size() const { return upright_.size(); }

    // The reduced copy (about 1000 pixels along the longer side) and what
    // every click on it reuses; `toPhoto` is photo pixels per reduced pixel.
    const ReducedPhoto& reduced() const;
    cv::Size reducedSize() const { return reducedSize_; }
    cv::Point2d toPhoto() const { return toPhoto_; }
    // The reduced pixel a pixel of the photo lies in (the photo's last rows
    // and columns in the reduced copy's last).
    cv::Point ReducedPixel(V2d_Point p) const {
        return {std::min(int(p.x / toPhoto_.x), reducedSize_.width - 1), std::min(int(p.y / toPhoto_.y), reducedSize_.height - 1)};
    }
    // The photo's straight segments, found on the reduced copy, in photo pixels.
    const std::vector<Segment>& segments() const;
    // The photo's strongest line families in frame(), strongest first; and
    // their vanishing points in photo pixels (x, y, w; w == 0 a direction).
    NormalFrame frame() const { return FrameOfPhoto(size()); }
    const std::vector<LineFamily>& lineFamilies() const;
    std::vector<cv::Vec3d> vanishingPoints() const;
    // The room's three directions and the focal length, from the families
    // and refined on the segments (room_camera.h); none where they give no room.
    const std::optional<RoomAxes>& roomAxes() const;
    // The camera of roomAxes() in photo pixels.
    const std::optional<Camera>& camera() const;
    // Works out the parts above now, in order (reduced copy, segments,
    // families, camera), asking `cancel` before each: false when it stopped,
    // leaving the parts not reached to their first use. A part once begun is
    // finished, so a stop never leaves half a part.
    bool WorkOut(const CancelToken& cancel = {}) const;
    // The room's box fitted to the photo with no click (room_planes.h).
    const std::optional<RoomBox>& roomBox() const;

    // Use Of().
    PhotoAnalysis(QImage upright, Orientation orientation);
    PhotoAnalysis(const PhotoAnalysis&) = delete;
    PhotoAnalysis& operator=(const PhotoAnalysis&) = delete;

private:
    QImage upright_;
    Orientation orientation_ = Orientation::AsGiven;
    cv::Size reducedSize_;
    cv::Point2d toPhoto_;

    mutable std::once_flag reducedOnce_, segmentsOnce_, familiesOnce_, axesOnce_, cameraOnce_, boxOnce_;
    mutable ReducedPhoto reduced_;
    mutable std::vector<Segment> segments_;
    mutable std::vector<LineFamily> families_;
    mutable std::optional<RoomAxes> axes_;
    mutable std::optional<Camera> camera_;
    mutable std::optional<RoomBox> box_;
};

}  // namespace v2d::vision
