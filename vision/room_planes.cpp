#include "vision/room_planes.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

#include "vision/photo_analysis.h"
#include "vision/plane_rectification.h"
#include "vision/room_camera.h"
#include "vision/surface_finder.h"

namespace v2d::vision {
namespace {

// The box is fitted to this many of the photo's longest segments.
constexpr size_t kMostSegments = 2500;

// A rectangle's corner lies at most this many photo sides from the photo;
// where it would lie farther, the face is kept this far (frame units) from
// its vanishing line, one margin after another.
constexpr double kFarthestCorner = 20;
constexpr double kHorizonMargins[] = {1e-3, 0.03, 0.1, 0.3};

// The axis a face stands square to.
int NormalAxis(RoomFace face) {
    switch (face) {
    case RoomFace::Floor:
    case RoomFace::Ceiling: return 1;
    case RoomFace::Left:
    case RoomFace::Right: return 0;
    case RoomFace::Back: break;
    }
    return 2;
}

}  // namespace

std::vector<FrameSegment> RoomSegments(const PhotoAnalysis& photo) {
    return ToFrame(photo.frame(), LongestSegments(photo.segments(), kMostSegments));
}

cv::Vec3d LineInPixels(const NormalFrame& frame, const cv::Vec3d& l) {
    return {l[0], l[1], l[2] * frame.unit - l[0] * frame.centre.x - l[1] * frame.centre.y};
}

RoomEvidence RoomEvidenceOf(const PhotoAnalysis& photo, const RoomAxes& axes) {
    return EvidenceOf(axes, photo.frame(), RoomSegments(photo), photo.reduced().smooth, photo.toPhoto());
}

std::optional<RoomBox> RoomBoxOf(const PhotoAnalysis& photo, std::optional<V2d_Point> floorClick) {
    const auto& axes = photo.roomAxes();
    if (!axes) return std::nullopt;
    const NormalFrame frame = photo.frame();
    const RoomEvidence evidence = RoomEvidenceOf(photo, *axes);
    std::optional<cv::Vec3d> floorRay;
    if (floorClick) floorRay = axes->Ray(frame.Point({floorClick->x + 0.5, floorClick->y + 0.5}));
    return FittedBox(*axes, evidence, floorRay);
}

std::optional<RoomBox> RoomBoxWithFloorAt(const PhotoAnalysis& photo, std::optional<V2d_Point> floorClick) {
    const std::optional<RoomBox>& own = photo.roomBox();
    if (!own || !floorClick) return own;
    const V2d_Point c = *floorClick;
    if (own->FaceOf(RayOfPixel(*own, photo.frame(), {c.x + 0.5, c.y + 0.5})) == RoomFace::Floor) return own;
    return RoomBoxOf(photo, floorClick);
}

cv::Vec3d RayOfPixel(const RoomBox& box, const NormalFrame& frame, cv::Point2d pixel) {
    return box.axes.Ray(frame.Point(pixel));
}

std::vector<cv::Point2d> FaceInPhoto(const RoomBox& box, RoomFace face, QSize photo) {
    const NormalFrame frame = FrameOfPhoto(photo);
    std::vector<cv::Point2d> view;
    for (const cv::Point2d corner : {cv::Point2d(0, 0), cv::Point2d(photo.width(), 0),
                                     cv::Point2d(photo.width(), photo.height()), cv::Point2d(0, photo.height())}) {
        const cv::Vec3d p = frame.Point(corner);
        view.emplace_back(p[0], p[1]);
    }
    std::vector<cv::Point2d> out;
    for (const cv::Point2d& p : box.Seen(face, view)) out.push_back(frame.Pixel({p.x, p.y, 1}));
    return out;
}

cv::Mat ReducedMask(std::span<const cv::Point2d> polygon, const PhotoAnalysis& photo) {
    const cv::Size size = photo.reducedSize();
    cv::Mat mask(size, CV_8U, cv::Scalar(0));
    std::vector<cv::Point> points;
    const cv::Point2d scale = photo.toPhoto();
    for (const cv::Point2d& p : polygon)
        points.emplace_back(int(std::lround(p.x / scale.x * 8)), int(std::lround(p.y / scale.y * 8)));
    if (points.size() >= 3) cv::fillPoly(mask, std::vector<std::vector<cv::Point>>{points}, cv::Scalar(255), cv::LINE_8, 3);
    return mask;
}

std::optional<cv::Vec3d> OnFace(const RoomBox& box, RoomFace face, const NormalFrame& frame, cv::Point2d pixel) {
    return RayOnPlane(box.Plane(face), RayOfPixel(box, frame, pixel));
}

std::optional<FaceRectangle> RectangleOnFace(const RoomBox& box, RoomFace face, std::span<const cv::Point2d> polygon,
                                             QSize photo) {
    if (polygon.size() < 3) return std::nullopt;
    const NormalFrame frame = FrameOfPhoto(photo);
    const RoomAxes& axes = box.axes;
    std::vector<cv::Point2d> inFrame;
    cv::Point2d middle(0, 0);
    for (const cv::Point2d& p : polygon) {
        const cv::Vec3d f = frame.Point(p);
        inFrame.emplace_back(f[0], f[1]);
        middle += inFrame.back() / double(polygon.size());
    }
    const cv::Vec3d first = box.Directions(face)[0];
    const auto view = PlaneView::Of(axes.focal, axes.VanishingLine(NormalAxis(face)),
                                    {first[0] * axes.focal, first[1] * axes.focal, first[2]}, {middle.x, middle.y, 1});
    if (!view) return std::nullopt;
    // The rectangle round the polygon on the plane, so that what is laid
    // covers all of it; its corners may lie beyond the photo. Where a face
    // runs so near its horizon that the rectangle's far corners lie far off
    // (a long floor seen low), the rectangle is that of its nearer part.
    const double farthest = kFarthestCorner * std::max(photo.width(), photo.height());
    std::array<cv::Point2d, 4> image;
    std::array<cv::Vec3d, 4> room;
    const auto around = [&](double margin) {
        const std::vector<cv::Point2d> onSide = ClipToSide(inFrame, *view, margin);
        if (onSide.size() < 3) return false;
        cv::Point2d lo(INFINITY, INFINITY), hi(-INFINITY, -INFINITY);
        for (const cv::Point2d& p : onSide) {
            const cv::Point2d st = view->Coordinates({p.x, p.y, 1});
            lo.x = std::min(lo.x, st.x), lo.y = std::min(lo.y, st.y), hi.x = std::max(hi.x, st.x), hi.y = std::max(hi.y, st.y);
        }
        if (!(lo.x < hi.x && lo.y < hi.y)) return false;
        const cv::Point2d plane[4] = {{lo.x, lo.y}, {hi.x, lo.y}, {hi.x, hi.y}, {lo.x, hi.y}};
        for (int k = 0; k < 4; ++k) {
            image[k] = frame.Pixel(view->Image(plane[k]));
            if (!(std::abs(image[k].x) < farthest && std::abs(image[k].y) < farthest)) return false;
            // A corner behind the camera meets the plane on no ray of its own.
            const auto at = OnFace(box, face, frame, image[k]);
            if (!at) return false;
            room[k] = *at;
        }
        return true;
    };
    if (!std::any_of(std::begin(kHorizonMargins), std::end(kHorizonMargins), around)) return std::nullopt;
    // Top-left first, going clockwise on the photo: the second plane
    // direction may run up the photo, the first leftwards.
    std::array<int, 4> order{0, 1, 2, 3};
    if (image[3].y + image[2].y < image[0].y + image[1].y) order = {3, 2, 1, 0};
    if (image[order[1]].x + image[order[2]].x < image[order[0]].x + image[order[3]].x)
        order = {order[1], order[0], order[3], order[2]};
    FaceRectangle out;
    for (int k = 0; k < 4; ++k)
        out.corners[k] = {int(std::lround(image[order[k]].x)), int(std::lround(image[order[k]].y))};
    out.width = cv::norm(room[order[1]] - room[order[0]]);
    out.height = cv::norm(room[order[3]] - room[order[0]]);
    return out;
}

}  // namespace v2d::vision
