#include "vision/mask_outline.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

namespace v2d::vision {

namespace {

// All lengths below are in pixels of the mask, times the scale to the photo.
// A user edits the outline's points: a straight edge is best a single edge,
// even where no segment of the photo lies along it to snap to.
constexpr double kStraightness = 2.0;        // approxPolyDP tolerance on the mask's contour
constexpr double kStraightAfterSnap = 2.5;   // and again once edges are snapped
constexpr double kSnapDistance = 2.0;    // how far an edge may lie from a segment's line to take it
constexpr double kSnapAngle = 0.07;      // radians (about 4°)
constexpr double kSnapMinEdge = 8.0;     // shorter edges keep their own line
constexpr double kCornerTravel = 4.0;    // how far a corner may move when its edges are snapped
// Parts of the mask apart from the largest are kept from this share of its
// area and this many mask pixels.
constexpr double kLeastPart = 0.02;
constexpr double kLeastPartPixels = 200;

struct Line {
    cv::Point2d point, direction;  // direction of unit length
};

double Cross(cv::Point2d a, cv::Point2d b) { return a.x * b.y - a.y * b.x; }
double Distance(const Line& l, cv::Point2d p) { return std::abs(Cross(l.direction, p - l.point)); }
cv::Point2d Project(const Line& l, cv::Point2d p) { return l.point + l.direction * (l.direction.dot(p - l.point)); }

std::optional<cv::Point2d> Intersection(const Line& a, const Line& b) {
    const double d = Cross(a.direction, b.direction);
    if (std::abs(d) < 0.17) return std::nullopt;  // under about 10°: nearly parallel
    const double t = Cross(b.point - a.point, b.direction) / d;
    return a.point + a.direction * t;
}

// The segment whose line the edge from `a` to `b` runs along, if any: close,
// nearly parallel, and overlapping the edge for most of the shorter one.
std::optional<Line> SegmentAlong(cv::Point2d a, cv::Point2d b, std::span<const Segment> segments, double scale) {
    const double length = cv::norm(b - a);
    if (length < kSnapMinEdge * scale) return std::nullopt;
    const cv::Point2d along = (b - a) / length;
    std::optional<Line> best;
    double bestOverlap = 0;
    for (const Segment& s : segments) {
        const cv::Point2d &sa = s.a, &sb = s.b;
        const double sLength = cv::norm(sb - sa);
        if (sLength < 1e-9) continue;
        const Line line{sa, (sb - sa) / sLength};
        if (std::abs(Cross(line.direction, along)) > kSnapAngle) continue;
        if (Distance(line, a) > kSnapDistance * scale || Distance(line, b) > kSnapDistance * scale) continue;
        double t0 = along.dot(sa - a), t1 = along.dot(sb - a);
        if (t0 > t1) std::swap(t0, t1);
        const double overlap = std::min(t1, length) - std::max(t0, 0.0);
        if (overlap < 0.5 * std::min(length, sLength) || overlap <= bestOverlap) continue;
        bestOverlap = overlap;
        best = line;
    }
    return best;
}

// Edges moved onto the segments they run along; each corner becomes the
// meeting point of its two edges' lines when that stays near it.
RingD Snapped(const RingD& ring, std::span<const Segment> segments, double scale) {
    const size_t n = ring.size();
    std::vector<std::optional<Line>> lines(n);
    for (size_t i = 0; i < n; ++i) lines[i] = SegmentAlong(ring[i], ring[(i + 1) % n], segments, scale);
    RingD out(n);
    for (size_t i = 0; i < n; ++i) {
        const std::optional<Line>& before = lines[(i + n - 1) % n];
        const std::optional<Line>& after = lines[i];
        std::optional<cv::Point2d> moved;
        if (before && after) moved = Intersection(*before, *after);
        if (!moved && (before || after)) moved = Project(before ? *before : *after, ring[i]);
        out[i] = moved && cv::norm(*moved - ring[i]) <= kCornerTravel * scale ? *moved : ring[i];
    }
    return out;
}

// The ring with points dropped where it stays within `tolerance` of the line
// through its neighbours: a straight edge is one edge, not a staircase.
RingD Simplified(const RingD& ring, double tolerance) {
    std::vector<cv::Point2f> points(ring.begin(), ring.end()), simple;
    cv::approxPolyDP(points, simple, tolerance, true);
    if (simple.size() < 3) return ring;
    return RingD(simple.begin(), simple.end());
}

// One ring of two disjoint ones: from the nearest pair of their points
// round the second and back along the same bridge, which the outline's
// even-odd fill gives no area.
RingD Bridged(const RingD& ring, const RingD& other) {
    size_t from = 0, to = 0;
    double nearest = INFINITY;
    for (size_t i = 0; i < ring.size(); ++i)
        for (size_t j = 0; j < other.size(); ++j)
            if (const double d = cv::norm(ring[i] - other[j]); d < nearest) nearest = d, from = i, to = j;
    RingD out(ring.begin(), ring.begin() + long(from) + 1);
    for (size_t j = 0; j <= other.size(); ++j) out.push_back(other[(to + j) % other.size()]);
    out.insert(out.end(), ring.begin() + long(from), ring.end());
    return out;
}

RingD ToPhoto(const std::vector<cv::Point>& contour, cv::Point2d toPhoto) {
    std::vector<cv::Point> simple;
    cv::approxPolyDP(contour, simple, kStraightness, true);
    RingD ring;
    ring.reserve(simple.size());
    for (const cv::Point& p : simple) ring.emplace_back((p.x + 0.5) * toPhoto.x - 0.5, (p.y + 0.5) * toPhoto.y - 0.5);
    return ring;
}

}  // namespace

std::vector<RingD> OutlineOf(const cv::Mat& mask, cv::Point2d toPhoto, std::span<const Segment> photoSegments) {
    std::vector<std::vector<cv::Point>> contours;
    std::vector<cv::Vec4i> hierarchy;
    cv::findContours(mask, contours, hierarchy, cv::RETR_CCOMP, cv::CHAIN_APPROX_NONE);
    std::vector<std::pair<double, int>> parts;  // area, contour
    for (size_t i = 0; i < contours.size(); ++i)
        if (hierarchy[i][3] < 0) parts.emplace_back(cv::contourArea(contours[i]), int(i));
    std::sort(parts.begin(), parts.end(), std::greater<>());
    std::vector<RingD> rings;
    if (parts.empty() || !(parts.front().first > 0)) return rings;
    const double scale = std::sqrt(toPhoto.x * toPhoto.y);
    // A contour runs through the centres of the surface's edge pixels; the
    // mask counts the pixels on its edge as surface, which balances that.
    const auto ringOf = [&](int index) {
        const RingD ring = ToPhoto(contours[index], toPhoto);
        return ring.size() < 3 ? RingD{} : Simplified(Snapped(ring, photoSegments, scale), kStraightAfterSnap * scale);
    };
    RingD outer = ringOf(parts.front().second);
    if (outer.empty()) return rings;
    std::vector<RingD> holes;
    const auto addHoles = [&](int part) {
        for (int child = hierarchy[part][2]; child >= 0; child = hierarchy[child][0])
            if (RingD hole = ringOf(child); !hole.empty()) holes.push_back(std::move(hole));
    };
    addHoles(parts.front().second);
    // The other large parts (the floor on both sides of a rug, a part the
    // user added by a click) join the largest by a bridge of no width.
    const double least = std::max(kLeastPart * parts.front().first, kLeastPartPixels);
    for (size_t k = 1; k < parts.size() && parts[k].first >= least; ++k) {
        const RingD part = ringOf(parts[k].second);
        if (part.empty()) continue;
        outer = Bridged(outer, part);
        addHoles(parts[k].second);
    }
    rings.push_back(std::move(outer));
    for (RingD& hole : holes) rings.push_back(std::move(hole));
    return rings;
}

}  // namespace v2d::vision
