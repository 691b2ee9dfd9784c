#include "vision/surface_finder.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

#include "vision/mask_outline.h"
#include "vision/perspective.h"
#include "vision/room_planes.h"
#include "vision/surface_mask.h"

namespace v2d::vision {

namespace {

// A surface may reach this many reduced pixels over its face's edge, where
// the box's boundary runs a little off the photo's own.
constexpr int kFaceMargin = 2;

// Corners when no rectangle on the plane can be told: the outer ring
// simplified to a quadrilateral, or its smallest turned box.
Quad FallbackCorners(const Ring& outer, QSize photo) {
    std::vector<cv::Point> points;
    for (const V2d_Point& p : outer) points.emplace_back(p.x, p.y);
    std::vector<cv::Point> hull, four;
    cv::convexHull(points, hull);
    const double perimeter = cv::arcLength(hull, true);
    for (double share = 0.01; share < 0.2 && four.size() != 4; share += 0.01) cv::approxPolyDP(hull, four, share * perimeter, true);
    std::vector<cv::Point2d> corners;
    if (four.size() == 4) {
        for (const cv::Point& p : four) corners.emplace_back(p.x, p.y);
    } else {
        cv::Point2f box[4];
        cv::minAreaRect(points).points(box);
        for (const cv::Point2f& p : box) corners.emplace_back(p.x, p.y);
    }
    std::sort(corners.begin(), corners.end(), [](auto a, auto b) { return a.y < b.y; });
    if (corners[0].x > corners[1].x) std::swap(corners[0], corners[1]);
    if (corners[2].x < corners[3].x) std::swap(corners[2], corners[3]);
    return {PhotoPixel(corners[0], photo), PhotoPixel(corners[1], photo), PhotoPixel(corners[2], photo), PhotoPixel(corners[3], photo)};
}

}  // namespace

V2d_Point PhotoPixel(cv::Point2d p, QSize photo) {
    return {std::clamp(int(std::lround(p.x)), 0, photo.width() - 1),
            std::clamp(int(std::lround(p.y)), 0, photo.height() - 1)};
}

std::vector<Ring> PixelRings(const std::vector<RingD>& rings, QSize photo) {
    std::vector<Ring> out;
    for (const RingD& ring : rings) {
        Ring pixels;
        for (const cv::Point2d& p : ring) {
            const V2d_Point q = PhotoPixel(p, photo);
            if (pixels.empty() || !(pixels.back() == q)) pixels.push_back(q);
        }
        if (pixels.size() > 1 && pixels.front() == pixels.back()) pixels.pop_back();
        if (pixels.size() >= 3) out.push_back(std::move(pixels));
        if (out.empty()) return out;  // the outer boundary collapsed
    }
    return out;
}

FlatRings Flattened(const std::vector<Ring>& rings) {
    FlatRings flat;
    for (const Ring& ring : rings) {
        flat.points.insert(flat.points.end(), ring.begin(), ring.end());
        flat.ends.push_back(static_cast<int32_t>(flat.points.size()) - 1);
    }
    return flat;
}

Result<FoundSurface> FindSurface(const PhotoAnalysis& photo, const SurfaceClicks& clicks,
                                 const CancelToken& cancel) {
    const Error cancelled{kMsgFindCancelled};
    const Error notFound{kMsgNoSurfaceFound};
    if (clicks.inside.empty()) return notFound;
    const QSize size = photo.size();
    const cv::Point2d toPhoto = photo.toPhoto();
    const auto reducedAt = [&](V2d_Point p, std::vector<cv::Point>& into) {
        if (p.x < 0 || p.y < 0 || p.x >= size.width() || p.y >= size.height()) return false;
        into.push_back(photo.ReducedPixel(p));
        return true;
    };
    MaskClicks reducedClicks;
    for (const V2d_Point& p : clicks.inside)
        if (!reducedAt(p, reducedClicks.inside)) return Error{kMsgClickOutsidePhoto};
    for (const V2d_Point& p : clicks.outside)
        if (!reducedAt(p, reducedClicks.outside)) return Error{kMsgClickOutsidePhoto};

    if (cancel.cancelled()) return cancelled;
    // Kept to the face of the room's box under the first click: a floor does
    // not run up a wall of its colour, nor a wall round the corner.
    const std::optional<RoomBox>& box = photo.roomBox();
    std::optional<RoomFace> face;
    cv::Mat onFace;
    if (box) {
        const V2d_Point c = clicks.inside.front();
        face = box->FaceOf(RayOfPixel(*box, photo.frame(), {c.x + 0.5, c.y + 0.5}));
        onFace = ReducedMask(FaceInPhoto(*box, *face, size), photo);
        cv::dilate(onFace, onFace, cv::Mat::ones(2 * kFaceMargin + 1, 2 * kFaceMargin + 1, CV_8U));
    }
    const cv::Mat mask = SurfaceMaskOf(photo.reduced(), reducedClicks, onFace);
    if (mask.empty() || cv::countNonZero(mask) == 0) return notFound;
    if (cancel.cancelled()) return cancelled;
    FoundSurface found;
    found.rings = PixelRings(OutlineOf(mask, toPhoto, photo.segments()), size);
    if (found.rings.empty()) return notFound;
    if (cancel.cancelled()) return cancelled;
    std::vector<cv::Point2d> outer;
    for (const V2d_Point& p : found.rings.front()) outer.emplace_back(p.x, p.y);
    if (const auto onFace = box ? RectangleOnFace(*box, *face, outer, size) : std::nullopt) {
        found.corners = onFace->corners;
        found.focal = box->axes.focal * photo.frame().unit;
    } else if (const auto rectangle = RectangleOnSurface(found.rings, photo.segments(), photo.lineFamilies(), size)) {
        found.corners = rectangle->corners;
        found.focal = rectangle->focal;
    } else {
        found.corners = FallbackCorners(found.rings.front(), size);
    }
    return found;
}

}  // namespace v2d::vision
