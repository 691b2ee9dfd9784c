#pragma once
// One click on a photo finds the surface under it: its outline with holes
// for what stands on or in front of it, and four corners that form a true
// rectangle on the surface's plane. Widget-free; works offline on the photo's
// analysis (its reduced copy and lines) and refines the edges at full size.
#include <vector>

#include "base/geometry.h"
#include "vision/mask_outline.h"
#include "base/result.h"
#include "vision/photo_analysis.h"

namespace v2d::vision {

// A closed ring of photo pixels.
using Ring = std::vector<V2d_Point>;

inline constexpr const char* kMsgClickOutsidePhoto = "单击的位置在照片之外。";
inline constexpr const char* kMsgNoSurfaceFound = "在单击处没有找到表面。";

// What the user clicked: points on the surface (the first starts it, later
// ones add to it) and points taken away (Shift+click).
struct SurfaceClicks {
    std::vector<V2d_Point> inside;
    std::vector<V2d_Point> outside;
};

struct FoundSurface {
    std::vector<Ring> rings;  // the outer boundary first, then the holes
    Quad corners{};           // top-left, top-right, bottom-right, bottom-left of a rectangle on the plane
    double focal = 0;         // pixels: the camera's focal length the corners were found with; 0 unknown
};

// Rings as a record keeps an outline: the points ring after ring, and the
// index of each ring's last point.
struct FlatRings {
    std::vector<V2d_Point> points;
    std::vector<int32_t> ends;
};
FlatRings Flattened(const std::vector<Ring>& rings);

// A point of the photo as the whole pixel nearest it, inside the photo.
V2d_Point PhotoPixel(cv::Point2d p, QSize photo);
// An outline's rings as whole photo pixels, repeats left out; a ring that
// collapses below three points is dropped, and with the outer one all.
std::vector<Ring> PixelRings(const std::vector<RingD>& rings, QSize photo);

// The surface under the clicks on an analysed photo; any number of finds
// share its reduced copy and lines. Refused, with the user's message, for
// no click, a click outside the photo, or where no surface can be told apart.
Result<FoundSurface> FindSurface(const PhotoAnalysis& photo, const SurfaceClicks& clicks);

}  // namespace v2d::vision
