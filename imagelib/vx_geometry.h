#pragma once
// Plane geometry shared by the warps and the point mappings: quads, boxes and
// the homographies between them.
#include "imagelib/vexell_api.h"

#include <opencv2/core.hpp>

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>

namespace v2d::vexell {

// Coordinates beyond this are refused, so that every product of two
// coordinates stays exact in 64 bits and in a double.
inline constexpr int64_t kMaxCoordinate = int64_t{1} << 22;

using Quad = std::array<cv::Point2d, 4>;  // top-left, top-right, bottom-right, bottom-left

struct Box {
    int64_t minX = 0, minY = 0, maxX = 0, maxY = 0;
    int64_t Width() const { return maxX - minX + 1; }
    int64_t Height() const { return maxY - minY + 1; }
    // The box's corners in quad order.
    Quad Corners() const;
};

bool CoordinatesAcceptable(const VxPoint* points, int64_t count);
Box BoxOf(const VxPoint* points, int64_t count);

// A usable quad has acceptable coordinates and is strictly convex (no three
// corners on a line, no crossing edges), clockwise or not.
std::optional<Quad> UsableQuad(const VxPoint* quad);
bool IsStrictlyConvex(const Quad& quad);

// The homography taking `from`'s corners onto `to`'s, or nothing when the
// corners admit none.
std::optional<cv::Matx33d> HomographyBetween(const Quad& from, const Quad& to);

// The point under the homography, or nothing on or behind its horizon.
// Inline: the mesh warp calls it for every pixel.
inline std::optional<cv::Point2d> Apply(const cv::Matx33d& h, const cv::Point2d& p) {
    const double w = h(2, 0) * p.x + h(2, 1) * p.y + h(2, 2);
    if (!(std::abs(w) > 1e-12)) return std::nullopt;
    const cv::Point2d q((h(0, 0) * p.x + h(0, 1) * p.y + h(0, 2)) / w, (h(1, 0) * p.x + h(1, 1) * p.y + h(1, 2)) / w);
    if (!std::isfinite(q.x) || !std::isfinite(q.y)) return std::nullopt;
    return q;
}

Quad Shifted(const Quad& quad, double dx, double dy);

// The closed x-interval where the horizontal line at y crosses a convex
// polygon, or nothing when it misses it.
struct Span {
    double left = 0, right = 0;
};
std::optional<Span> ConvexRowSpan(const cv::Point2d* polygon, int count, double y);

// The pixel columns [left, end) of a row `width` pixels wide whose centres
// lie in the convex polygon on row y; left == end when none do.
struct Columns {
    int left = 0, end = 0;
    bool empty() const { return end <= left; }
};
Columns CoveredColumns(const cv::Point2d* polygon, int count, int y, int width);

}  // namespace v2d::vexell
