#include "imagelib/vx_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace v2d::vexell {

Quad Box::Corners() const {
    const double x0 = static_cast<double>(minX), y0 = static_cast<double>(minY);
    const double x1 = static_cast<double>(maxX), y1 = static_cast<double>(maxY);
    return {cv::Point2d(x0, y0), cv::Point2d(x1, y0), cv::Point2d(x1, y1), cv::Point2d(x0, y1)};
}

bool CoordinatesAcceptable(const VxPoint* points, int64_t count) {
    for (int64_t i = 0; i < count; ++i) {
        if (std::llabs(points[i].x) > kMaxCoordinate || std::llabs(points[i].y) > kMaxCoordinate) return false;
    }
    return true;
}

Box BoxOf(const VxPoint* points, int64_t count) {
    Box box{points[0].x, points[0].y, points[0].x, points[0].y};
    for (int64_t i = 1; i < count; ++i) {
        box.minX = std::min<int64_t>(box.minX, points[i].x);
        box.minY = std::min<int64_t>(box.minY, points[i].y);
        box.maxX = std::max<int64_t>(box.maxX, points[i].x);
        box.maxY = std::max<int64_t>(box.maxY, points[i].y);
    }
    return box;
}

bool IsStrictlyConvex(const Quad& quad) {
    int positive = 0, negative = 0;
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d a = quad[i], b = quad[(i + 1) % 4], c = quad[(i + 2) % 4];
        const double turn = (b - a).cross(c - b);
        if (turn > 0) ++positive;
        if (turn < 0) ++negative;
    }
    return positive == 4 || negative == 4;
}

std::optional<Quad> UsableQuad(const VxPoint* quad) {
    if (quad == nullptr || !CoordinatesAcceptable(quad, 4)) return std::nullopt;
    Quad corners;
    for (int i = 0; i < 4; ++i) corners[i] = cv::Point2d(quad[i].x, quad[i].y);
    if (!IsStrictlyConvex(corners)) return std::nullopt;
    return corners;
}

std::optional<cv::Matx33d> HomographyBetween(const Quad& from, const Quad& to) {
    // h00..h21 with h22 = 1: two equations per corner.
    cv::Matx<double, 8, 8> a = cv::Matx<double, 8, 8>::zeros();
    cv::Vec<double, 8> b;
    for (int i = 0; i < 4; ++i) {
        const double x = from[i].x, y = from[i].y, u = to[i].x, v = to[i].y;
        const double rowU[8] = {x, y, 1, 0, 0, 0, -x * u, -y * u};
        const double rowV[8] = {0, 0, 0, x, y, 1, -x * v, -y * v};
        for (int k = 0; k < 8; ++k) {
            a(2 * i, k) = rowU[k];
            a(2 * i + 1, k) = rowV[k];
        }
        b[2 * i] = u;
        b[2 * i + 1] = v;
    }
    cv::Vec<double, 8> h;
    if (!cv::solve(a, b, h, cv::DECOMP_LU)) return std::nullopt;
    for (double value : h.val) {
        if (!std::isfinite(value)) return std::nullopt;
    }
    const cv::Matx33d result(h[0], h[1], h[2], h[3], h[4], h[5], h[6], h[7], 1.0);
    if (std::abs(cv::determinant(result)) < 1e-12) return std::nullopt;
    return result;
}

Quad Shifted(const Quad& quad, double dx, double dy) {
    Quad result = quad;
    for (cv::Point2d& p : result) p += cv::Point2d(dx, dy);
    return result;
}

std::optional<Span> ConvexRowSpan(const cv::Point2d* polygon, int count, double y) {
    bool hit = false;
    Span span{0, 0};
    auto take = [&](double x) {
        span.left = hit ? std::min(span.left, x) : x;
        span.right = hit ? std::max(span.right, x) : x;
        hit = true;
    };
    for (int i = 0; i < count; ++i) {
        const cv::Point2d a = polygon[i], b = polygon[(i + 1) % count];
        if ((y < a.y && y < b.y) || (y > a.y && y > b.y)) continue;
        if (a.y == b.y) {
            take(a.x);
            take(b.x);
        } else {
            take(a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y));
        }
    }
    if (!hit) return std::nullopt;
    return span;
}

Columns CoveredColumns(const cv::Point2d* polygon, int count, int y, int width) {
    constexpr double kTolerance = 1e-7;
    const std::optional<Span> span = ConvexRowSpan(polygon, count, y);
    if (!span) return {0, 0};
    const double left = std::clamp(std::ceil(span->left - kTolerance), 0.0, double(width));
    const double end = std::clamp(std::floor(span->right + kTolerance) + 1, left, double(width));
    return {int(left), int(end)};
}

}  // namespace v2d::vexell
