#include "vision/room_camera.h"

#include <opencv2/calib3d.hpp>

#include <algorithm>
#include <cmath>

#include "vision/plane_rectification.h"

namespace v2d::vision {
namespace {

// A family is vertical when its lines run within about 25 degrees of
// upright on average, else it may be level: seen from high up, the floor's
// lines into the room run steeply too.
constexpr double kVerticalShare = 0.9;
// Three families stand square when every pair is within this many degrees.
constexpr double kSquareWithinDeg = 4;
// Segments count for an axis while within these angles of its point:
// loosely at first, then tightly once the camera is near.
const double kLooseSine = std::sin(2.5 * M_PI / 180);
const double kTightSine = std::sin(1.2 * M_PI / 180);
// A room shows at least this length of upright lines (frame units) and as
// much along a direction whose lines meet within this many frame units of
// the middle: a wall or a floor seen square on, without depth, is no room.
constexpr double kLeastSupport = 0.1;
constexpr double kFarthestMeeting = 8;
// How firmly the focal stays where the families put it when few lines settle it.
constexpr double kFocalHold = 2e-4;

// The mean |sine of the angle to level| of the segments that point at a
// family's vanishing point, by length.
double Uprightness(const LineFamily& family, std::span<const FrameSegment> segments) {
    double sum = 0, weight = 0;
    for (const FrameSegment& s : segments)
        if (Agrees(s, family.point)) sum += std::abs(s.dirY) * s.length, weight += s.length;
    return weight > 0 ? sum / weight : 0;
}

cv::Vec3d Unit(const cv::Vec3d& v) { return cv::normalize(v); }

cv::Matx33d Turn(const cv::Vec3d& omega) {
    cv::Matx33d r;
    cv::Rodrigues(omega, r);
    return r;
}

}  // namespace

cv::Vec3d RoomAxes::Vanishing(int which) const {
    const cv::Vec3d& a = axis[which];
    return Unit(cv::Vec3d(a[0] * focal, a[1] * focal, a[2]));
}

cv::Vec3d RoomAxes::VanishingLine(int which) const {
    const cv::Vec3d& a = axis[which];
    const cv::Vec3d l(a[0] / focal, a[1] / focal, a[2]);
    const double planar = std::hypot(l[0], l[1]);
    if (!(planar > 1e-12)) return {0, 0, 1};
    return l / planar;
}

double RoomAxes::RollDegrees() const {
    const cv::Vec3d l = VanishingLine(1);
    // The horizon's normal points down the photo for a level camera.
    return std::atan2(-l[0], l[1]) * 180 / M_PI;
}

RoomAxes Squared(double focal, const std::array<cv::Vec3d, 3>& directions) {
    std::array<cv::Vec3d, 3> d;
    for (int k = 0; k < 3; ++k) d[k] = Unit(directions[k]);
    if (d[1][1] < 0) d[1] = -d[1];
    if (d[2][2] < 0) d[2] = -d[2];
    if (d[0][0] < 0) d[0] = -d[0];
    cv::Matx33d m;
    for (int k = 0; k < 3; ++k)
        for (int r = 0; r < 3; ++r) m(r, k) = d[k][r];
    cv::Mat w, u, vt;
    cv::SVD::compute(cv::Mat(m), w, u, vt);
    const cv::Mat nearest = u * vt;
    RoomAxes axes{focal, {}};
    for (int k = 0; k < 3; ++k) axes.axis[k] = {nearest.at<double>(0, k), nearest.at<double>(1, k), nearest.at<double>(2, k)};
    return axes;
}

int AxisOf(const RoomAxes& axes, const FrameSegment& segment, double withinSine) {
    int best = -1;
    double least = withinSine;
    for (int k = 0; k < 3; ++k) {
        const double r = std::abs(AngleResidual(segment, axes.Vanishing(k)));
        if (r < least) least = r, best = k;
    }
    return best;
}

RoomAxes Refined(const RoomAxes& start, std::span<const FrameSegment> segments) {
    double total = 0;
    for (const FrameSegment& s : segments) total += s.length;
    const double hold = std::sqrt(kFocalHold * std::max(total, 1e-9)), startLog = std::log(start.focal);
    RoomAxes best = start;
    for (const double within : {kLooseSine, kTightSine, kTightSine}) {
        std::vector<std::pair<size_t, int>> chosen;
        for (size_t i = 0; i < segments.size(); ++i)
            if (const int k = AxisOf(best, segments[i], within); k >= 0) chosen.emplace_back(i, k);
        if (chosen.size() < 4) break;
        // Residuals of a candidate: each segment's angle, then the focal's hold.
        const auto residuals = [&](const cv::Vec4d& p, std::vector<double>& out) {
            RoomAxes axes{best.focal * std::exp(p[3]), {}};
            const cv::Matx33d turn = Turn({p[0], p[1], p[2]});
            for (int k = 0; k < 3; ++k) axes.axis[k] = turn * best.axis[k];
            const std::array<cv::Vec3d, 3> points{axes.Vanishing(0), axes.Vanishing(1), axes.Vanishing(2)};
            out.clear();
            for (const auto& [i, k] : chosen) out.push_back(std::sqrt(segments[i].length) * AngleResidual(segments[i], points[k]));
            out.push_back(hold * (std::log(axes.focal) - startLog));
            return axes;
        };
        cv::Vec4d p(0, 0, 0, 0);
        std::vector<double> r0, r1;
        const auto cost = [](const std::vector<double>& r) {
            double sum = 0;
            for (double x : r) sum += x * x;
            return sum;
        };
        residuals(p, r0);
        double current = cost(r0);
        for (int iteration = 0; iteration < 8; ++iteration) {
            constexpr double kStep = 1e-6;
            std::vector<cv::Vec4d> jacobian(r0.size());
            for (int j = 0; j < 4; ++j) {
                cv::Vec4d q = p;
                q[j] += kStep;
                residuals(q, r1);
                for (size_t n = 0; n < r0.size(); ++n) jacobian[n][j] = (r1[n] - r0[n]) / kStep;
            }
            cv::Matx44d normal = cv::Matx44d::zeros();
            cv::Vec4d gradient(0, 0, 0, 0);
            for (size_t n = 0; n < r0.size(); ++n) {
                normal += jacobian[n] * jacobian[n].t();
                gradient += r0[n] * jacobian[n];
            }
            for (int j = 0; j < 4; ++j) normal(j, j) *= 1.0001;
            cv::Vec4d delta;
            if (!cv::solve(normal, -gradient, delta, cv::DECOMP_CHOLESKY)) break;
            const cv::Vec4d next = p + delta;
            residuals(next, r1);
            const double after = cost(r1);
            if (!(after < current)) break;
            const bool settled = current - after < 1e-10 * current;
            p = next, current = after, r0 = r1;
            if (settled) break;
        }
        const RoomAxes turned = residuals(p, r1);
        if (!PlausibleFocal(turned.focal)) break;
        best = Squared(turned.focal, turned.axis);
    }
    return best;
}

std::optional<RoomAxes> RoomAxesOf(std::span<const FrameSegment> segments, std::span<const LineFamily> families) {
    const LineFamily* vertical = nullptr;
    std::vector<const LineFamily*> level;
    // The vertical: the most upright family of upright lines (seen from high
    // up, a wooden floor's lines into the room can be upright too, if less
    // so); the others, however steeply they run, may be level.
    double mostUpright = kVerticalShare;
    for (const LineFamily& family : families)
        if (const double upright = Uprightness(family, segments); upright > mostUpright) mostUpright = upright, vertical = &family;
    for (const LineFamily& family : families)
        if (&family != vertical && Uprightness(family, segments) < kVerticalShare)
            level.push_back(&family);
    const double fallback = DefaultFocal();
    const auto ray = [](const cv::Vec3d& p, double f) { return cv::Vec3d(p[0] / f, p[1] / f, p[2]); };
    std::optional<RoomAxes> start;
    if (vertical) {
        // Two level families square to the vertical and to each other: by the
        // focal they settle, else at a phone's focal when they stand square there.
        for (size_t i = 0; i < level.size() && !start; ++i)
            for (size_t j = i + 1; j < level.size() && !start; ++j) {
                const cv::Vec3d &v = vertical->point, &a = level[i]->point, &b = level[j]->point;
                double focal = SquareFocal(v, a, b, kSquareWithinDeg).value_or(0);
                if (!(focal > 0)) {
                    const bool square = std::abs(AngleBetween(v, a, fallback) - 90) < kSquareWithinDeg &&
                                        std::abs(AngleBetween(v, b, fallback) - 90) < kSquareWithinDeg &&
                                        std::abs(AngleBetween(a, b, fallback) - 90) < kSquareWithinDeg;
                    if (!square) continue;
                    focal = fallback;
                }
                const cv::Vec3d down = ray(v, focal), first = ray(a, focal), second = ray(b, focal);
                // The direction nearer the photo's middle runs into the room.
                const bool firstAway = std::abs(Unit(first)[2]) > std::abs(Unit(second)[2]);
                start = Squared(focal, {firstAway ? second : first, down, firstAway ? first : second});
            }
        // One level family: the third direction is square to it and the vertical.
        if (!start && !level.empty()) {
            const cv::Vec3d &v = vertical->point, &a = level.front()->point;
            const auto pair = FocalOfPair(v, a);
            const double focal = pair && PlausibleFocal(*pair) && std::abs(v[2]) > 0.2 ? *pair : fallback;
            const cv::Vec3d down = Unit(ray(v, focal)), first = Unit(ray(a, focal));
            const cv::Vec3d level2 = Unit(down.cross(first));
            const bool firstAway = std::abs(first[2]) > std::abs(level2[2]);
            start = Squared(focal, {firstAway ? level2 : first, down, firstAway ? first : level2});
        }
    } else {
        // No upright lines: two square level families, the vertical square to both.
        for (size_t i = 0; i < level.size() && !start; ++i)
            for (size_t j = i + 1; j < level.size() && !start; ++j) {
                // Lines across the photo meet at no finite point and settle no focal
                // with the lines into the room: a phone's focal, where they stand square there.
                std::optional<double> focal = FocalOfPair(level[i]->point, level[j]->point);
                if (!focal || !PlausibleFocal(*focal)) {
                    if (std::abs(AngleBetween(level[i]->point, level[j]->point, fallback) - 90) >= kSquareWithinDeg) continue;
                    focal = fallback;
                }
                const cv::Vec3d first = Unit(ray(level[i]->point, *focal)), second = Unit(ray(level[j]->point, *focal));
                const cv::Vec3d down = Unit(first.cross(second));
                if (std::abs(down[1]) < 0.7) continue;  // not a floor's directions
                const bool firstAway = std::abs(first[2]) > std::abs(second[2]);
                start = Squared(*focal, {firstAway ? second : first, down, firstAway ? first : second});
            }
    }
    if (!start) return std::nullopt;
    RoomAxes axes = Refined(*start, segments);
    for (const FrameSegment& s : segments)
        if (const int k = AxisOf(axes, s, kLooseSine); k >= 0) axes.support[k] += s.length;
    // Upright lines, and lines of some direction that meet in sight: the room's depth.
    const auto inDepth = [&](int k) {
        const cv::Vec3d& a = axes.axis[k];
        return axes.support[k] >= kLeastSupport && std::abs(a[2]) * kFarthestMeeting >= axes.focal * std::hypot(a[0], a[1]);
    };
    if (axes.support[1] < kLeastSupport || !(inDepth(0) || inDepth(1) || inDepth(2))) return std::nullopt;
    return axes;
}

}  // namespace v2d::vision
