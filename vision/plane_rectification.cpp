#include "vision/plane_rectification.h"

#include <algorithm>
#include <cmath>

namespace v2d::vision {
namespace {

constexpr double kSmallestFocal = 0.45;  // about 130 degrees
constexpr double kLargestFocal = 6.0;    // about 19 degrees
// The rectangle's sides snap to this many places a side, placed where the
// polygon's pixels are evenly spread (the far part of a plane is stretched).
constexpr int kGridSteps = 80;
constexpr int kSamplesASide = 64;

cv::Vec3d Ray(const cv::Vec3d& p, double focal) { return {p[0] / focal, p[1] / focal, p[2]}; }

double Cross(const cv::Point2d& a, const cv::Point2d& b) { return a.x * b.y - a.y * b.x; }

double Area(std::span<const cv::Point2d> polygon) {
    double twice = 0;
    for (size_t i = 0; i < polygon.size(); ++i) twice += Cross(polygon[i], polygon[(i + 1) % polygon.size()]);
    return std::abs(twice) / 2;
}

// Sorted places along one axis: the ends and the quantiles of the samples.
std::vector<double> Breaks(std::vector<double> samples, double low, double high) {
    std::vector<double> out{low, high};
    std::sort(samples.begin(), samples.end());
    for (int k = 1; k < kGridSteps && !samples.empty(); ++k)
        out.push_back(samples[samples.size() * k / kGridSteps]);
    std::sort(out.begin(), out.end());
    const double least = (high - low) * 1e-6;
    out.erase(std::unique(out.begin(), out.end(), [&](double a, double b) { return b - a <= least; }), out.end());
    return out;
}

}  // namespace

double DefaultFocal() { return 1 / std::tan(32.5 * M_PI / 180); }

bool PlausibleFocal(double focal) { return focal >= kSmallestFocal && focal <= kLargestFocal; }

std::optional<double> FocalOfPair(const cv::Vec3d& v1, const cv::Vec3d& v2) {
    const double across = v1[2] * v2[2];
    if (across == 0) return std::nullopt;
    const double square = -(v1[0] * v2[0] + v1[1] * v2[1]) / across;
    if (!(square > 0) || !std::isfinite(square)) return std::nullopt;
    return std::sqrt(square);
}

double AngleBetween(const cv::Vec3d& v1, const cv::Vec3d& v2, double focal) {
    const cv::Vec3d d1 = cv::normalize(Ray(v1, focal)), d2 = cv::normalize(Ray(v2, focal));
    return std::acos(std::min(1.0, std::abs(d1.dot(d2)))) * 180 / M_PI;
}

std::optional<double> SettledFocal(std::span<const std::array<cv::Vec3d, 2>> pairs) {
    const auto misfit = [&](double focal) {
        double sum = 0;
        for (const auto& [a, b] : pairs) sum += std::pow(AngleBetween(a, b, focal) - 90, 2);
        return sum;
    };
    constexpr int kSteps = 400;
    const double low = std::log(kSmallestFocal), high = std::log(kLargestFocal);
    double best = 0, least = INFINITY;
    for (int i = 0; i <= kSteps; ++i) {
        const double focal = std::exp(low + (high - low) * i / kSteps), m = misfit(focal);
        if (m < least) least = m, best = focal;
    }
    // The bottom of the parabola through the best step and its neighbours.
    const double step = (high - low) / kSteps, at = std::log(best);
    const double left = misfit(std::exp(at - step)), right = misfit(std::exp(at + step));
    if (left + right - 2 * least > 0)
        best = std::exp(at + step * std::clamp((left - right) / (2 * (left + right - 2 * least)), -1.0, 1.0));
    least = misfit(best);
    if (pairs.empty() || !PlausibleFocal(best / 1.15) || !PlausibleFocal(best * 1.15)) return std::nullopt;
    if (std::min(misfit(best / 1.15), misfit(best * 1.15)) < least + 1) return std::nullopt;
    return best;
}

std::optional<double> SquareFocal(const cv::Vec3d& a, const cv::Vec3d& b, const cv::Vec3d& c, double withinDegrees) {
    const std::array<cv::Vec3d, 2> pairs[] = {{a, b}, {a, c}, {b, c}};
    const auto focal = SettledFocal(pairs);
    if (!focal) return std::nullopt;
    for (const auto& [p, q] : pairs)
        if (std::abs(AngleBetween(p, q, *focal) - 90) > withinDegrees) return std::nullopt;
    return focal;
}

std::optional<cv::Vec3d> LineThrough(const cv::Vec3d& p, const cv::Vec3d& q) {
    const cv::Vec3d l = p.cross(q);
    const double whole = cv::norm(l), planar = std::hypot(l[0], l[1]);
    if (!(whole > 1e-12 * cv::norm(p) * cv::norm(q))) return std::nullopt;
    if (planar > 1e-12 * whole) return l / planar;
    return cv::Vec3d(0, 0, l[2] > 0 ? 1 : -1);  // the line at infinity: a plane facing the camera
}

std::optional<PlaneView> PlaneView::Of(double focal, const cv::Vec3d& horizon, const cv::Vec3d& first,
                                       const cv::Vec3d& inside) {
    if (!(focal > 0) || !std::isfinite(focal)) return std::nullopt;
    PlaneView view;
    view.focal_ = focal;
    view.horizon_ = horizon.dot(inside) < 0 ? -horizon : horizon;
    view.normal_ = {focal * view.horizon_[0], focal * view.horizon_[1], view.horizon_[2]};
    const cv::Vec3d n = cv::normalize(view.normal_), d = Ray(first, focal);
    const cv::Vec3d along = d - d.dot(n) * n;
    if (!(cv::norm(along) > 1e-9 * cv::norm(d))) return std::nullopt;
    view.e1_ = cv::normalize(along);
    view.e2_ = n.cross(view.e1_);
    return view;
}

cv::Vec3d PlaneView::OnPlane(const cv::Vec3d& p) const {
    // n . K^-1 p is l . p, so the depth factor is the side itself.
    return Ray(p, focal_) / horizon_.dot(p);
}

cv::Point2d PlaneView::Coordinates(const cv::Vec3d& p) const {
    const cv::Vec3d x = OnPlane(p);
    return {x.dot(e1_), x.dot(e2_)};
}

cv::Vec3d PlaneView::Image(const cv::Point2d& st) const {
    const cv::Vec3d x = normal_ / normal_.dot(normal_) + st.x * e1_ + st.y * e2_;
    return {focal_ * x[0] / x[2], focal_ * x[1] / x[2], 1};
}

double PlaneView::AngleOf(const cv::Vec3d& point) const {
    const cv::Vec3d d = Ray(point, focal_);
    return std::atan2(d.dot(e2_), d.dot(e1_));
}

void PlaneView::Turn(double radians) {
    const cv::Vec3d n = cv::normalize(normal_);
    e1_ = std::cos(radians) * e1_ + std::sin(radians) * e2_;
    e2_ = n.cross(e1_);
}

std::vector<cv::Point2d> ClipToSide(std::span<const cv::Point2d> polygon, const PlaneView& view, double margin) {
    std::vector<cv::Point2d> out;
    for (size_t i = 0; i < polygon.size(); ++i) {
        const cv::Point2d& a = polygon[i];
        const cv::Point2d& b = polygon[(i + 1) % polygon.size()];
        const double sa = view.Side({a.x, a.y, 1}) - margin, sb = view.Side({b.x, b.y, 1}) - margin;
        if (sa >= 0) out.push_back(a);
        if ((sa >= 0) != (sb >= 0)) out.push_back(a + (b - a) * (sa / (sa - sb)));
    }
    return out;
}

bool Inside(std::span<const cv::Point2d> polygon, const cv::Point2d& p) {
    bool in = false;
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const cv::Point2d &a = polygon[i], &b = polygon[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (b.x - a.x) * (p.y - a.y) / (b.y - a.y)) in = !in;
    }
    return in;
}

std::optional<std::array<cv::Point2d, 2>> LargestRectangle(const PlaneView& view, std::span<const cv::Point2d> polygon) {
    if (polygon.size() < 3 || !(Area(polygon) > 0)) return std::nullopt;
    std::vector<cv::Point2d> plane;
    for (const cv::Point2d& p : polygon) plane.push_back(view.Coordinates({p.x, p.y, 1}));

    // Where the polygon's pixels fall on the plane, for the grid's places.
    cv::Point2d lo = polygon[0], hi = polygon[0], planeLo = plane[0], planeHi = plane[0];
    for (size_t i = 0; i < polygon.size(); ++i) {
        lo = {std::min(lo.x, polygon[i].x), std::min(lo.y, polygon[i].y)};
        hi = {std::max(hi.x, polygon[i].x), std::max(hi.y, polygon[i].y)};
        planeLo = {std::min(planeLo.x, plane[i].x), std::min(planeLo.y, plane[i].y)};
        planeHi = {std::max(planeHi.x, plane[i].x), std::max(planeHi.y, plane[i].y)};
    }
    std::vector<double> sampleS, sampleT;
    for (int i = 0; i < kSamplesASide; ++i)
        for (int j = 0; j < kSamplesASide; ++j) {
            const cv::Point2d p(lo.x + (hi.x - lo.x) * (i + 0.5) / kSamplesASide,
                                lo.y + (hi.y - lo.y) * (j + 0.5) / kSamplesASide);
            if (!Inside(polygon, p)) continue;
            const cv::Point2d st = view.Coordinates({p.x, p.y, 1});
            sampleS.push_back(st.x), sampleT.push_back(st.y);
        }
    const std::vector<double> s = Breaks(sampleS, planeLo.x, planeHi.x), t = Breaks(sampleT, planeLo.y, planeHi.y);
    const size_t columns = s.size() - 1, rows = t.size() - 1;
    if (columns == 0 || rows == 0) return std::nullopt;

    // A cell counts when its corners and middle are inside and no corner of the polygon pokes into it.
    std::vector<char> inside(rows * columns, 0);
    std::vector<double> area(rows * columns, 0);
    for (size_t r = 0; r < rows; ++r)
        for (size_t c = 0; c < columns; ++c) {
            const std::array<cv::Point2d, 4> cell{cv::Point2d{s[c], t[r]}, {s[c + 1], t[r]}, {s[c + 1], t[r + 1]},
                                                  {s[c], t[r + 1]}};
            bool in = Inside(plane, (cell[0] + cell[2]) / 2);
            for (const cv::Point2d& corner : cell) in = in && Inside(plane, corner);
            for (const cv::Point2d& p : plane)
                in = in && !(p.x > s[c] && p.x < s[c + 1] && p.y > t[r] && p.y < t[r + 1]);
            if (!in) continue;
            std::array<cv::Point2d, 4> image;
            for (int k = 0; k < 4; ++k) {
                const cv::Vec3d q = view.Image(cell[k]);
                image[k] = {q[0], q[1]};
            }
            inside[r * columns + c] = 1;
            area[r * columns + c] = Area(image);
        }

    // Every band of rows, then the best run of columns open through the whole band.
    double best = 0;
    std::array<size_t, 4> found{};  // first row, last row, first column, last column
    std::vector<char> open(columns);
    std::vector<double> sum(columns);
    for (size_t r1 = 0; r1 < rows; ++r1) {
        std::fill(open.begin(), open.end(), 1);
        std::fill(sum.begin(), sum.end(), 0.0);
        for (size_t r2 = r1; r2 < rows; ++r2) {
            bool any = false;
            double run = 0;
            size_t start = 0;
            for (size_t c = 0; c < columns; ++c) {
                open[c] = open[c] && inside[r2 * columns + c];
                sum[c] += area[r2 * columns + c];
                if (!open[c]) {
                    run = 0, start = c + 1;
                    continue;
                }
                any = true;
                run += sum[c];
                if (run > best) best = run, found = {r1, r2, start, c};
            }
            if (!any) break;
        }
    }
    if (!(best > 0)) return std::nullopt;
    return std::array<cv::Point2d, 2>{cv::Point2d{s[found[2]], t[found[0]]}, cv::Point2d{s[found[3] + 1], t[found[1] + 1]}};
}

}  // namespace v2d::vision
