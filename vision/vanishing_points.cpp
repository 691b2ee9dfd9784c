#include "vision/vanishing_points.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace v2d::vision {
namespace {

// How far an end of a segment may stray, in pixels, from the line through its
// middle and the family's point; the angle it allows stays within these bounds.
constexpr double kEndTolerancePixels = 1.5;
const double kSmallestAngleSine = std::sin(0.4 * M_PI / 180);
const double kLargestAngleSine = std::sin(2.0 * M_PI / 180);
// A family's point lies at least this share of a segment's length beyond its
// end (the image of a floor edge from 1 to 6 m away ends 0.2 lengths short of it).
constexpr double kReachBeyondEnd = 0.05;
// Beyond this many frame units a point is a direction.
constexpr double kFarthest = 1e9;
// Hypotheses come from pairs of this many of the heaviest segments.
constexpr size_t kHypothesisSegments = 40;
// A further family needs at least this share of the first one's weight.
constexpr double kWeakestFamilyShare = 0.05;
// The photo's families come from this many of its longest segments.
constexpr int kMostPhotoFamilies = 5;
constexpr size_t kMostPhotoSegments = 1000;

bool Finite(cv::Point2d p) { return std::isfinite(p.x) && std::isfinite(p.y); }

double Score(std::span<const FrameSegment> segments, std::span<const char> taken, const cv::Vec3d& point,
             std::vector<size_t>* members) {
    double score = 0;
    for (size_t i = 0; i < segments.size(); ++i) {
        if ((!taken.empty() && taken[i]) || !Agrees(segments[i], point)) continue;
        score += segments[i].weight;
        if (members) members->push_back(i);
    }
    return score;
}

// Two pieces of one line meet anywhere along it.
bool OnOneLine(const FrameSegment& a, const FrameSegment& b) {
    const double ab = std::abs(a.line.dot(cv::Vec3d(b.midX, b.midY, 1)));
    const double ba = std::abs(b.line.dot(cv::Vec3d(a.midX, a.midY, 1)));
    return ab <= a.tolerance * a.length / 2 && ba <= b.tolerance * b.length / 2;
}

}  // namespace

std::vector<Segment> LongestSegments(std::span<const Segment> segments, size_t most) {
    std::vector<Segment> out(segments.begin(), segments.end());
    const auto length = [](const Segment& s) { return std::hypot(s.b.x - s.a.x, s.b.y - s.a.y); };
    const auto longer = [&](const Segment& s, const Segment& t) { return length(s) > length(t); };
    if (out.size() > most) std::nth_element(out.begin(), out.begin() + most, out.end(), longer), out.resize(most);
    return out;
}

double AngleResidual(const FrameSegment& s, const cv::Vec3d& point) {
    const double ux = point[0] - s.midX * point[2], uy = point[1] - s.midY * point[2];
    const double u = std::hypot(ux, uy), along = s.dirX * ux + s.dirY * uy;
    if (!(u > 0)) return 0;
    return (s.dirX * uy - s.dirY * ux) / u * (along < 0 ? -1 : 1);
}

cv::Vec3d NormalFrame::Point(cv::Point2d pixel) const {
    return {(pixel.x - centre.x) / unit, (pixel.y - centre.y) / unit, 1.0};
}

cv::Vec3d NormalFrame::FromHomogeneous(const cv::Vec3d& h) const {
    return cv::normalize(cv::Vec3d((h[0] - centre.x * h[2]) / unit, (h[1] - centre.y * h[2]) / unit, h[2]));
}

cv::Vec3d NormalFrame::ToHomogeneous(const cv::Vec3d& point) const {
    const double planar = std::hypot(point[0], point[1]);
    if (std::abs(point[2]) * kFarthest <= planar) return {point[0] / planar, point[1] / planar, 0};
    const cv::Point2d p = Pixel(point);
    return {p.x, p.y, 1};
}

cv::Point2d NormalFrame::Pixel(const cv::Vec3d& point) const {
    return {point[0] / point[2] * unit + centre.x, point[1] / point[2] * unit + centre.y};
}

NormalFrame FrameOfPhoto(QSize photo) {
    return {{photo.width() / 2.0, photo.height() / 2.0}, std::max(1.0, std::max(photo.width(), photo.height()) / 2.0)};
}

NormalFrame FrameOfSegments(std::span<const Segment> segments) {
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    for (const Segment& s : segments)
        for (const cv::Point2d& p : {s.a, s.b})
            if (Finite(p)) {
                minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
                minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
            }
    if (!(minX <= maxX)) return {};
    return {{(minX + maxX) / 2, (minY + maxY) / 2}, std::max(1.0, std::max(maxX - minX, maxY - minY) / 2)};
}

std::optional<FrameSegment> ToFrame(const NormalFrame& frame, const Segment& segment, double weight) {
    if (!Finite(segment.a) || !Finite(segment.b) || !(weight > 0)) return std::nullopt;
    const cv::Vec3d a = frame.Point(segment.a), b = frame.Point(segment.b);
    FrameSegment s;
    s.length = std::hypot(b[0] - a[0], b[1] - a[1]);
    if (!(s.length * frame.unit > 1e-6) || !std::isfinite(s.length)) return std::nullopt;
    s.line = a.cross(b) / s.length;  // |(x, y)| of a x b is the length
    s.midX = (a[0] + b[0]) / 2, s.midY = (a[1] + b[1]) / 2;
    s.dirX = (b[0] - a[0]) / s.length, s.dirY = (b[1] - a[1]) / s.length;
    s.weight = s.length * weight;
    s.reach = s.length * (0.5 + kReachBeyondEnd) + kEndTolerancePixels * 3 / frame.unit;
    const double endSine = kEndTolerancePixels / frame.unit / (s.length / 2);
    s.tolerance = std::clamp(endSine, kSmallestAngleSine, kLargestAngleSine);
    return s;
}

std::vector<FrameSegment> ToFrame(const NormalFrame& frame, std::span<const Segment> segments, double weight) {
    std::vector<FrameSegment> out;
    out.reserve(segments.size());
    for (const Segment& s : segments)
        if (const auto f = ToFrame(frame, s, weight)) out.push_back(*f);
    return out;
}

bool Agrees(const FrameSegment& s, const cv::Vec3d& point) {
    // Towards the point from the segment's middle; for a direction, the direction itself.
    const double ux = point[0] - s.midX * point[2], uy = point[1] - s.midY * point[2];
    // A line's vanishing point never lies on the segment itself, nor where
    // the next edge of an outline starts.
    if (std::abs(s.dirX * ux + s.dirY * uy) <= s.reach * std::abs(point[2])) return false;
    const double across = s.dirX * uy - s.dirY * ux;
    return across * across <= s.tolerance * s.tolerance * (ux * ux + uy * uy);
}

std::optional<cv::Vec3d> LeastSquaresPoint(std::span<const FrameSegment> segments, std::span<const size_t> chosen) {
    cv::Matx33d m = cv::Matx33d::zeros();
    for (size_t i : chosen) m += segments[i].weight * (segments[i].line * segments[i].line.t());
    cv::Matx31d values;
    cv::Matx33d vectors;
    if (!cv::eigen(m, values, vectors)) return std::nullopt;
    // All lines through one point: one eigenvalue near nought. All on one line: two.
    if (!(values(0) > 0) || values(1) <= 1e-12 * values(0)) return std::nullopt;
    const cv::Vec3d point(vectors(2, 0), vectors(2, 1), vectors(2, 2));
    return cv::normalize(point);
}

std::optional<cv::Vec3d> AngularFit(std::span<const FrameSegment> segments, std::span<const size_t> chosen,
                                    const cv::Vec3d& start) {
    // Gauss-Newton on the sphere, in the plane tangent at the current point,
    // each segment weighted by its weight times its length (a longer
    // segment's angle is surer).
    cv::Vec3d point = cv::normalize(start);
    const auto cost = [&](const cv::Vec3d& p) {
        double sum = 0;
        for (size_t i : chosen) sum += segments[i].weight * segments[i].length * std::pow(AngleResidual(segments[i], p), 2);
        return sum;
    };
    double current = cost(point);
    for (int iteration = 0; iteration < 20; ++iteration) {
        const cv::Vec3d helper = std::abs(point[2]) < 0.9 ? cv::Vec3d(0, 0, 1) : cv::Vec3d(1, 0, 0);
        const cv::Vec3d t1 = cv::normalize(point.cross(helper)), t2 = point.cross(t1);
        constexpr double kStep = 1e-7;
        cv::Matx22d normal = cv::Matx22d::zeros();
        cv::Vec2d gradient(0, 0);
        for (size_t i : chosen) {
            const FrameSegment& s = segments[i];
            const double r = AngleResidual(s, point), w = s.weight * s.length;
            const cv::Vec2d j((AngleResidual(s, point + kStep * t1) - r) / kStep,
                              (AngleResidual(s, point + kStep * t2) - r) / kStep);
            normal += w * (j * j.t());
            gradient += w * r * j;
        }
        cv::Vec2d delta;
        if (!cv::solve(normal + cv::Matx22d::eye() * 1e-12 * (normal(0, 0) + normal(1, 1)), -gradient, delta)) break;
        const cv::Vec3d next = cv::normalize(point + delta[0] * t1 + delta[1] * t2);
        const double after = cost(next);
        if (!(after < current)) break;
        const bool settled = current - after < 1e-12 * current;
        point = next, current = after;
        if (settled) break;
    }
    return point;
}

std::optional<LineFamily> StrongestFamily(std::span<const FrameSegment> segments, std::span<const char> taken) {
    std::vector<size_t> order;
    for (size_t i = 0; i < segments.size(); ++i)
        if (taken.empty() || !taken[i]) order.push_back(i);
    if (order.size() < 2) return std::nullopt;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return segments[a].weight > segments[b].weight; });
    const size_t heads = std::min(order.size(), kHypothesisSegments);

    double bestScore = 0;
    cv::Vec3d best;
    for (size_t i = 0; i < heads; ++i)
        for (size_t j = i + 1; j < heads; ++j) {
            const FrameSegment &a = segments[order[i]], &b = segments[order[j]];
            if (OnOneLine(a, b)) continue;
            const cv::Vec3d point = a.line.cross(b.line);
            const double score = Score(segments, taken, cv::normalize(point), nullptr);
            if (score > bestScore) bestScore = score, best = cv::normalize(point);
        }
    if (bestScore <= 0) return std::nullopt;

    // Refit to the agreeing segments, twice, keeping a fit only while it holds two of them.
    LineFamily family{best, 0, {}};
    family.weight = Score(segments, taken, best, &family.members);
    for (int round = 0; round < 3; ++round) {
        const auto fitted = round == 0 ? LeastSquaresPoint(segments, family.members)
                                       : AngularFit(segments, family.members, family.point);
        if (!fitted) break;
        LineFamily refit{*fitted, 0, {}};
        refit.weight = Score(segments, taken, *fitted, &refit.members);
        if (refit.members.size() < 2 || refit.weight < family.weight * 0.9) break;
        family = std::move(refit);
    }
    if (family.members.size() < 2) return std::nullopt;
    return family;
}

std::vector<LineFamily> LineFamilies(std::span<const FrameSegment> segments, int most) {
    std::vector<LineFamily> families;
    std::vector<char> taken(segments.size(), 0);
    while (static_cast<int>(families.size()) < most) {
        auto family = StrongestFamily(segments, taken);
        if (!family || (!families.empty() && family->weight < families.front().weight * kWeakestFamilyShare)) break;
        for (size_t i : family->members) taken[i] = 1;
        families.push_back(std::move(*family));
    }
    return families;
}

std::vector<LineFamily> PhotoFamilies(std::span<const Segment> photoSegments, QSize photo) {
    return LineFamilies(ToFrame(FrameOfPhoto(photo), LongestSegments(photoSegments, kMostPhotoSegments)), kMostPhotoFamilies);
}

}  // namespace v2d::vision
