#include "vision/room_finder.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

#include "base/parallel_for.h"
#include "vision/mask_outline.h"
#include "vision/photo_quality.h"
#include "vision/room_planes.h"
#include "vision/surface_mask.h"

namespace v2d::vision {
namespace {

constexpr const char* kMsgCancelled = "已取消。";
// A face covering less of the photo than this is no surface to lay on.
constexpr double kLeastShare = 0.005;
// The ends of a known length may lie this share of the photo's diagonal
// outside the surface they are on.
constexpr double kLengthStray = 0.015;
// A surface's mask is found on the part of the photo around its face, this
// much (reduced pixels, or share of the face's size) larger each way.
constexpr int kCropMargin = 24;
constexpr double kCropShare = 0.15;
// A visible part smaller than this share of its face is no finding: the face whole is shown.
constexpr double kLeastVisible = 0.25;

// The rectangle a surface's corners stand for, grown along its own two
// sides until it holds every point of the visible outline, its size grown
// alike: a laying fills the corners' quad only, so a quad short of the
// outline would leave part of the region bare. Kept as found where a point
// lies beyond the plane's horizon or the growth runs away towards it.
void GrowToCoverOutline(RoomSurface& surface) {
    if (surface.outline.empty()) return;
    const std::vector<cv::Point2f> unit{{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    std::vector<cv::Point2f> quad;
    for (const V2d_Point& c : surface.corners) quad.emplace_back(float(c.x), float(c.y));
    const cv::Matx33d toPhoto(cv::getPerspectiveTransform(unit, quad));
    const cv::Matx33d toPlane = toPhoto.inv();
    double u0 = 0, u1 = 1, v0 = 0, v1 = 1;
    for (const V2d_Point& p : surface.outline.front()) {
        const cv::Vec3d q = toPlane * cv::Vec3d(p.x, p.y, 1);
        if (!(q[2] > 1e-12)) return;  // the square's own side of the horizon has w > 0
        u0 = std::min(u0, q[0] / q[2]), u1 = std::max(u1, q[0] / q[2]);
        v0 = std::min(v0, q[1] / q[2]), v1 = std::max(v1, q[1] / q[2]);
    }
    constexpr double kMostGrowth = 20;
    if (u1 - u0 > kMostGrowth || v1 - v0 > kMostGrowth) return;
    Quad grown{};
    const cv::Vec3d square[4] = {{u0, v0, 1}, {u1, v0, 1}, {u1, v1, 1}, {u0, v1, 1}};
    for (size_t i = 0; i < 4; ++i) {
        const cv::Vec3d p = toPhoto * square[i];
        if (!(p[2] > 1e-12)) return;
        grown[i] = {int(std::lround(std::clamp(p[0] / p[2], -1e7, 1e7))), int(std::lround(std::clamp(p[1] / p[2], -1e7, 1e7)))};
    }
    surface.corners = grown;
    surface.width *= u1 - u0;
    surface.height *= v1 - v0;
}

const char* NameOf(RoomFace face) {
    switch (face) {
    case RoomFace::Floor: return "地面";
    case RoomFace::Left: return "左墙";
    case RoomFace::Back: return "后墙";
    case RoomFace::Right: return "右墙";
    case RoomFace::Ceiling: break;
    }
    return "天花";
}

RoomSurfaceKind KindOf(RoomFace face) {
    if (face == RoomFace::Floor) return RoomSurfaceKind::Floor;
    return face == RoomFace::Ceiling ? RoomSurfaceKind::Ceiling : RoomSurfaceKind::Wall;
}

// The surface mask grown from the seeds on the part of the reduced copy
// around the face (the coarse copy is a whole number of times smaller), or
// on the whole copy where the part tells nothing apart.
cv::Mat MaskAround(const ReducedPhoto& reduced, const cv::Mat& face, const std::vector<cv::Point>& seeds) {
    const int factor = std::max(1, reduced.colour.cols / std::max(1, reduced.coarse.cols));
    cv::Rect around = cv::boundingRect(face);
    const int margin = std::max(kCropMargin, int(kCropShare * std::max(around.width, around.height)));
    around = cv::Rect(around.x - margin, around.y - margin, around.width + 2 * margin, around.height + 2 * margin);
    const int x0 = std::max(0, around.x) / factor, y0 = std::max(0, around.y) / factor;
    const int x1 = std::min(reduced.coarse.cols, (around.br().x + factor - 1) / factor);
    const int y1 = std::min(reduced.coarse.rows, (around.br().y + factor - 1) / factor);
    const cv::Rect coarse(x0, y0, x1 - x0, y1 - y0), fine(x0 * factor, y0 * factor, coarse.width * factor, coarse.height * factor);
    if (coarse.width < 8 || coarse.height < 8 || fine.br().x > reduced.colour.cols || fine.br().y > reduced.colour.rows)
        return SurfaceMaskOf(reduced, {seeds, {}}, face);
    const ReducedPhoto part{reduced.colour(fine), reduced.grain, reduced.smooth(fine), reduced.coarse(coarse), reduced.coarseEdges(coarse)};
    MaskClicks clicks;
    for (const cv::Point& p : seeds)
        if (fine.contains(p)) clicks.inside.push_back(p - fine.tl());
    const cv::Mat found = clicks.inside.empty() ? cv::Mat() : SurfaceMaskOf(part, clicks, face(fine));
    if (found.empty()) return SurfaceMaskOf(reduced, {seeds, {}}, face);
    cv::Mat mask(reduced.colour.size(), CV_8U, cv::Scalar(0));
    found.copyTo(mask(fine));
    return mask;
}

// What of the face is visible: the surface mask grown from its seeds, kept to the face.
std::vector<Ring> VisibleOutline(const PhotoAnalysis& photo, const std::vector<cv::Point2d>& plane,
                                 std::vector<cv::Point> seeds) {
    const QSize size = photo.size();
    const cv::Mat face = ReducedMask(plane, photo);
    const cv::Mat& smooth = photo.reduced().smooth;
    std::vector<cv::Point> more = SeedsWithin(face, smooth);
    // Where the surface was clicked, more of it beyond a rug or a table is
    // of the clicked colour, which need not be the face's median.
    if (!seeds.empty()) {
        const std::vector<cv::Point> alike = SeedsWithin(face, smooth, smooth.at<cv::Vec3b>(seeds.front()));
        more.insert(more.end(), alike.begin(), alike.end());
    }
    seeds.insert(seeds.end(), more.begin(), more.end());
    std::vector<Ring> rings;
    if (!seeds.empty()) {
        cv::Mat mask = MaskAround(photo.reduced(), face, seeds);
        if (!mask.empty()) {
            mask &= face;
            if (cv::countNonZero(mask) >= kLeastVisible * cv::countNonZero(face))
                rings = PixelRings(OutlineOf(mask, photo.toPhoto(), photo.segments()), size);
        }
    }
    if (rings.empty()) {
        RingD whole(plane.begin(), plane.end());
        rings = PixelRings({whole}, size);
    }
    return rings;
}

double Area(const std::vector<cv::Point2d>& polygon) {
    double twice = 0;
    for (size_t i = 0; i < polygon.size(); ++i) {
        const cv::Point2d &a = polygon[i], &b = polygon[(i + 1) % polygon.size()];
        twice += a.x * b.y - a.y * b.x;
    }
    return std::abs(twice) / 2;
}

bool InPhoto(V2d_Point p, int width, int height) { return p.x >= 0 && p.y >= 0 && p.x < width && p.y < height; }

cv::Vec3d RayOf(const RoomLayout& room, V2d_Point p) {
    return {(p.x + 0.5 - room.width / 2.0) / room.camera.focal, (p.y + 0.5 - room.height / 2.0) / room.camera.focal, 1};
}

std::optional<cv::Vec3d> OnPlane(const RoomLayout& room, const RoomSurface& surface, V2d_Point p) {
    return RayOnPlane(surface.planeInCamera, RayOf(room, p));
}

// How far inside the surface's plane a point lies (pixels; negative outside).
double Inside(const RoomSurface& surface, V2d_Point p) {
    std::vector<cv::Point2f> ring;
    for (const V2d_Point& q : surface.plane) ring.emplace_back(float(q.x), float(q.y));
    return ring.size() >= 3 ? cv::pointPolygonTest(ring, cv::Point2f(p.x + 0.5f, p.y + 0.5f), true) : -1e9;
}

}  // namespace

Result<RoomLayout> FindRoom(const PhotoAnalysis& photo, const RoomRequest& request, const CancelToken& cancel) {
    const QSize size = photo.size();
    if (request.floorClick && !InPhoto(*request.floorClick, size.width(), size.height()))
        return Error{kMsgClickOutsidePhoto};
    // A photo too dark, blurred or small says what to retake before any fit.
    if (const Status quality = CheckPhotoQuality(photo); !quality.ok()) return quality.failure();
    const cv::Size reduced = photo.reducedSize();
    if (std::min(reduced.width, reduced.height) < 32) return Error{kMsgNoRoomFound};
    const std::optional<RoomBox> box = RoomBoxWithFloorAt(photo, request.floorClick);
    if (!box) return Error{kMsgNoRoomFound};
    if (cancel.cancelled()) return Error{kMsgCancelled};

    const NormalFrame frame = photo.frame();
    RoomLayout room;
    room.width = size.width(), room.height = size.height();
    room.camera.focal = box->axes.focal * frame.unit;
    for (int k = 0; k < 3; ++k) room.camera.vanishing[k] = frame.ToHomogeneous(box->axes.Vanishing(k));
    room.camera.horizon = LineInPixels(frame, box->axes.VanishingLine(1));
    room.camera.rollDeg = box->axes.RollDegrees();

    const double least = kLeastShare * size.width() * size.height();
    // Each face on its own, side by side; kept in the faces' order.
    std::array<std::optional<RoomSurface>, kRoomFaces.size()> found;
    ParallelFor(kRoomFaces.size(), [&](size_t k) {
        const RoomFace face = kRoomFaces[k];
        const std::vector<cv::Point2d> plane = FaceInPhoto(*box, face, size);
        if (plane.size() < 3 || Area(plane) < least || cancel.cancelled()) return;
        const auto rectangle = RectangleOnFace(*box, face, plane, size);
        if (!rectangle) return;
        RoomSurface surface;
        surface.kind = KindOf(face);
        surface.name = NameOf(face);
        surface.plane = PixelRings({RingD(plane.begin(), plane.end())}, size).front();
        std::vector<cv::Point> seeds;
        if (face == RoomFace::Floor && request.floorClick) seeds.push_back(photo.ReducedPixel(*request.floorClick));
        surface.outline = VisibleOutline(photo, plane, std::move(seeds));
        surface.corners = rectangle->corners;
        surface.width = rectangle->width;
        surface.height = rectangle->height;
        GrowToCoverOutline(surface);
        surface.planeInCamera = box->Plane(face);
        found[k] = std::move(surface);
    });
    if (cancel.cancelled()) return Error{kMsgCancelled};
    for (std::optional<RoomSurface>& surface : found)
        if (surface) room.surfaces.push_back(std::move(*surface));
    if (room.surfaces.empty() || room.surfaces.front().kind != RoomSurfaceKind::Floor) return Error{kMsgNoRoomFound};
    if (request.length) return Calibrated(room, *request.length);
    return room;
}

Result<RoomLayout> Calibrated(const RoomLayout& room, const RoomLength& length) {
    if (!(length.millimetres > 0) || length.a == length.b) return Error{kMsgLengthTooShort};
    if (!InPhoto(length.a, room.width, room.height) || !InPhoto(length.b, room.width, room.height))
        return Error{kMsgClickOutsidePhoto};
    // The surface both ends lie on; an end may stray a little over its edge,
    // where the box's boundary runs a few pixels off the photo's own.
    const RoomSurface* on = nullptr;
    double deepest = -kLengthStray * std::hypot(room.width, room.height);
    for (const RoomSurface& surface : room.surfaces)
        if (const double depth = std::min(Inside(surface, length.a), Inside(surface, length.b)); depth >= deepest)
            deepest = depth, on = &surface;
    if (!on) return Error{kMsgLengthAcrossSurfaces};
    const auto a = OnPlane(room, *on, length.a), b = OnPlane(room, *on, length.b);
    const double units = a && b ? cv::norm(*a - *b) : 0;
    if (!(units > 0)) return Error{kMsgLengthTooShort};
    RoomLayout sized = room;
    sized.millimetresPerUnit = length.millimetres / units;
    return sized;
}

std::array<double, 2> SurfaceMillimetres(const RoomLayout& room, const RoomSurface& surface) {
    const double scale = room.calibrated() ? room.millimetresPerUnit : kAssumedCameraMillimetres;
    return {surface.width * scale, surface.height * scale};
}

}  // namespace v2d::vision
