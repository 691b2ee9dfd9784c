#pragma once
// The room's box on an analysed photo, and what each of its faces covers:
// the face in photo pixels, its mask on the reduced copy, and the largest
// rectangle on its plane inside a polygon. Shared by the room finder and by
// the one-surface click, which keeps a surface to its face.
#include <QSize>

#include <opencv2/core.hpp>

#include <optional>
#include <span>
#include <vector>

#include "base/geometry.h"
#include "vision/room_box.h"

namespace v2d::vision {

class PhotoAnalysis;

// The photo's longest segments in its frame, which the room is fitted to.
std::vector<FrameSegment> RoomSegments(const PhotoAnalysis& photo);

// A line of the frame in photo pixels, keeping l . p a distance.
cv::Vec3d LineInPixels(const NormalFrame& frame, const cv::Vec3d& line);

// What the room's box is fitted to on the photo.
RoomEvidence RoomEvidenceOf(const PhotoAnalysis& photo, const RoomAxes& axes);

// The camera and box of the room in the photo; `floorClick` (photo pixels,
// inside the photo) stays on the floor. None where the photo's lines give no room.
std::optional<RoomBox> RoomBoxOf(const PhotoAnalysis& photo, std::optional<V2d_Point> floorClick);

// The box as the photo alone settles it (PhotoAnalysis::roomBox), unless
// that puts the floor click elsewhere: then the box fitted with the click.
std::optional<RoomBox> RoomBoxWithFloorAt(const PhotoAnalysis& photo, std::optional<V2d_Point> floorClick);

// A photo pixel's ray and a ray's frame point.
cv::Vec3d RayOfPixel(const RoomBox& box, const NormalFrame& frame, cv::Point2d pixel);

// The face as seen in the photo, in photo pixels; empty when out of sight.
std::vector<cv::Point2d> FaceInPhoto(const RoomBox& box, RoomFace face, QSize photo);

// 255 where the polygon (photo pixels) covers the reduced copy.
cv::Mat ReducedMask(std::span<const cv::Point2d> polygon, const PhotoAnalysis& photo);

// The rectangle on the face's plane, its sides along the face's two
// directions, round `polygon` (photo pixels): its corners (top-left,
// top-right, bottom-right, bottom-left; they may lie beyond the photo) and
// its sides in room units. None where a corner would lie far off.
struct FaceRectangle {
    Quad corners{};
    double width = 0, height = 0;
};
std::optional<FaceRectangle> RectangleOnFace(const RoomBox& box, RoomFace face, std::span<const cv::Point2d> polygon,
                                             QSize photo);

// Where a photo pixel's ray meets the face's plane (camera coordinates, room units).
std::optional<cv::Vec3d> OnFace(const RoomBox& box, RoomFace face, const NormalFrame& frame, cv::Point2d pixel);

}  // namespace v2d::vision
