#include "vision/perspective.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

#include "vision/plane_rectification.h"
#include "vision/vanishing_points.h"

namespace v2d::vision {
namespace {

const char* const kLengthNotPositive = "标定的长度必须大于0。";
const char* const kEndsCoincide = "标定线的两端不能重合。";
const char* const kNoPerspective = "无法从这四个角点确定透视。";
const char* const kLineOffPlane = "标定线不在这个表面上。";

// Families tried for the surface's two directions from its own segments
// (the whole photo's come with it).
constexpr int kMostFamilies = 4;
// A direction no segment of the surface agrees with still counts this share of their weight.
constexpr double kLeastSupport = 0.05;
// A plane whose vanishing line lies level in the photo (within 20 degrees: a
// floor, a ceiling, a table top under a camera held upright) counts its
// support this much higher: on a polished floor the reflections of upright
// edges would otherwise make it a wall.
const double kLevelWithin = std::sin(20 * M_PI / 180);
constexpr double kLevelPreference = 1.5;
// With a focal length settled by the angles, the surface's two directions are square within this many degrees.
constexpr double kSettledTolerance = 3;
// With the assumed focal length, two families count as orthogonal within this many degrees.
constexpr double kOrthogonalTolerance = 8;
// A surface's outline may reach this far (frame units) past its vanishing
// line, the slack of a line estimated from pixels; the rectangle keeps this
// far on the near side of it.
constexpr double kHorizonSlack = 0.02;
// Steps from the rectangle around the outline to the largest one inside it.
constexpr int kGiveWaySteps = 10;
// Edges and segments shorter than these shares of the longer side say little about a direction.
constexpr double kShortestEdge = 0.02, kShortestSegment = 0.01;
// A segment counts as on the surface this near its outline (share of the longer side).
constexpr double kAlongOutline = 0.01;
// The corners settle the focal length when rounding them moves it by less than this share.
constexpr double kSteadyFocal = 0.05;
// A family's point beyond this many frame units is a direction, with no level horizon through it.
constexpr double kParallelBeyond = 1e4;

bool Finite(cv::Point2d p) { return std::isfinite(p.x) && std::isfinite(p.y); }

double Distance(cv::Point2d a, cv::Point2d b) { return std::hypot(b.x - a.x, b.y - a.y); }

// The surface's camera: focal length, vanishing line and the points of its
// two directions with the weight of the surface's segments agreeing with each.
struct SurfaceCamera {
    double focal = 0;
    cv::Vec3d horizon, first, second;
    double firstWeight = 0, secondWeight = 0;
};

// How the outline lies against a candidate vanishing line: every corner on one
// side (within the slack), some of it clear of the line.
bool OutlineOnOneSide(std::span<const cv::Point2d> outline, const cv::Vec3d& horizon) {
    double low = INFINITY, high = -INFINITY;
    for (const cv::Point2d& p : outline) {
        const double side = horizon.dot(cv::Vec3d(p.x, p.y, 1));
        low = std::min(low, side), high = std::max(high, side);
    }
    return low >= -kHorizonSlack ? high > kHorizonSlack : -high >= -kHorizonSlack && -low > kHorizonSlack;
}

double Support(std::span<const FrameSegment> segments, const cv::Vec3d& point) {
    double sum = 0;
    for (const FrameSegment& s : segments)
        if (Agrees(s, point)) sum += s.weight;
    return sum;
}

// The heaviest family standing roughly square to the plane of `a` and `b`
// (within 30 degrees of its normal under the assumed camera): the verticals
// of a floor, whose angles to the floor's directions help settle the focal length.
const LineFamily* Across(std::span<const LineFamily> families, const cv::Vec3d& a, const cv::Vec3d& b) {
    const LineFamily* best = nullptr;
    for (const LineFamily& c : families)
        if (AngleBetween(a, c.point, DefaultFocal()) > 60 && AngleBetween(b, c.point, DefaultFocal()) > 60 &&
            (!best || c.weight > best->weight))
            best = &c;
    return best;
}

// Of every pair of the surface's and the photo's families, the pair
// orthogonal under a plausible camera whose plane the outline lies on, best
// supported by the surface's segments (a level plane preferred); else one
// family with a level horizon.
std::optional<SurfaceCamera> ChooseCamera(std::span<const FrameSegment> surface, std::span<const LineFamily> own,
                                          std::span<const LineFamily> photo, std::span<const cv::Point2d> outline) {
    std::vector<LineFamily> families(own.begin(), own.end());
    families.insert(families.end(), photo.begin(), photo.end());
    double total = 0;
    for (const FrameSegment& s : surface) total += s.weight;
    // A pair square to a third family (all three at right angles under one
    // camera) outranks any pair without; then the surface's support decides.
    std::optional<SurfaceCamera> best;
    std::pair<bool, double> bestRank{false, 0};
    for (size_t i = 0; i < families.size(); ++i)
        for (size_t j = i + 1; j < families.size(); ++j) {
            const cv::Vec3d &a = families[i].point, &b = families[j].point;
            const auto horizon = LineThrough(a, b);
            if (!horizon || !OutlineOnOneSide(outline, *horizon)) continue;
            const double supportA = Support(surface, a), supportB = Support(surface, b);
            const double least = kLeastSupport * total;
            if (supportA + supportB <= 0) continue;
            const LineFamily* c = Across(photo, a, b);
            std::optional<double> focal = c ? SquareFocal(a, b, c->point, kSettledTolerance) : std::nullopt;
            const bool square = focal.has_value();
            const std::array<cv::Vec3d, 2> alone[] = {{a, b}};
            if (!focal) focal = SettledFocal(alone);
            const double f = focal.value_or(DefaultFocal());
            if (std::abs(AngleBetween(a, b, f) - 90) > (focal ? kSettledTolerance : kOrthogonalTolerance)) continue;
            const double level = std::abs((*horizon)[0]) < kLevelWithin ? kLevelPreference : 1;
            const std::pair<bool, double> rank{square, level * std::sqrt((supportA + least) * (supportB + least))};
            if (rank <= bestRank) continue;
            bestRank = rank;
            best = SurfaceCamera{f, *horizon, a, b, supportA, supportB};
        }
    if (best) return best;
    // One direction only: take the camera as level, its horizon through the family's point.
    for (const LineFamily& family : own) {
        const cv::Vec3d& v = family.point;
        if (std::abs(v[2]) * kParallelBeyond < std::hypot(v[0], v[1])) continue;
        const cv::Vec3d horizon(0, 1, -v[1] / v[2]);
        if (OutlineOnOneSide(outline, horizon)) return SurfaceCamera{DefaultFocal(), horizon, v, {}, family.weight, 0};
    }
    return std::nullopt;
}

bool OnPhotoBorder(const cv::Point& a, const cv::Point& b, QSize photo) {
    const auto near = [](int v, int edge) { return std::abs(v - edge) <= 2; };
    return (near(a.x, 0) && near(b.x, 0)) || (near(a.y, 0) && near(b.y, 0)) ||
           (near(a.x, photo.width() - 1) && near(b.x, photo.width() - 1)) ||
           (near(a.y, photo.height() - 1) && near(b.y, photo.height() - 1));
}

// The outline's straight edges (not the photo's border) and the photo's
// segments on the surface: along its outline or inside it, not in a hole.
std::vector<Segment> SurfaceSegments(const std::vector<cv::Point>& outer, std::span<const std::vector<V2d_Point>> holes,
                                     std::span<const Segment> photoSegments, QSize photo) {
    const double longer = std::max(photo.width(), photo.height());
    std::vector<Segment> out;
    for (size_t i = 0; i < outer.size(); ++i) {
        const cv::Point &a = outer[i], &b = outer[(i + 1) % outer.size()];
        if (cv::norm(b - a) >= kShortestEdge * longer && !OnPhotoBorder(a, b, photo))
            out.push_back({{double(a.x), double(a.y)}, {double(b.x), double(b.y)}});
    }
    std::vector<std::vector<cv::Point>> holeContours;
    for (const auto& hole : holes) {
        holeContours.emplace_back();
        for (const V2d_Point& p : hole) holeContours.back().emplace_back(p.x, p.y);
    }
    const double along = kAlongOutline * longer;
    const auto onSurface = [&](cv::Point2d p) {
        const cv::Point2f q(float(p.x), float(p.y));
        if (cv::pointPolygonTest(outer, q, true) < -along) return false;
        for (const auto& hole : holeContours)
            if (hole.size() >= 3 && cv::pointPolygonTest(hole, q, true) > along) return false;
        return true;
    };
    for (const Segment& s : photoSegments) {
        if (!Finite(s.a) || !Finite(s.b) || Distance(s.a, s.b) < kShortestSegment * longer) continue;
        if (onSurface(s.a) && onSurface(s.b) && onSurface({(s.a.x + s.b.x) / 2, (s.a.y + s.b.y) / 2}))
            out.push_back(s);
    }
    return out;
}

// Corners may lie beyond the photo by its width to either side and half its
// height above and below: far enough to enclose a floor the photo cuts off,
// near enough to keep the laid canvas a few times the photo at most.
constexpr double kReachAcross = 1.0, kReachUpDown = 0.5;
bool WithinReach(const cv::Point2d& p, QSize photo) {
    const double w = photo.width(), h = photo.height();
    return p.x >= -w * kReachAcross && p.x <= w * (1 + kReachAcross) && p.y >= -h * kReachUpDown &&
           p.y <= h * (1 + kReachUpDown);
}

// Top-left first, clockwise as seen: the top and bottom are the pair of
// opposite sides that lie flatter in the photo, the top the higher of them.
Quad OrderedCorners(std::array<cv::Point2d, 4> p, QSize photo) {
    double twice = 0;
    for (int i = 0; i < 4; ++i) twice += p[i].x * p[(i + 1) % 4].y - p[(i + 1) % 4].x * p[i].y;
    if (twice < 0) std::swap(p[1], p[3]);
    const auto flatness = [&](int k) {
        const cv::Point2d &a = p[k % 4], &b = p[(k + 1) % 4];
        return std::abs(b.x - a.x) / std::max(1e-12, Distance(a, b));
    };
    const auto middleY = [&](int k) { return p[k % 4].y + p[(k + 1) % 4].y; };
    int top = flatness(0) + flatness(2) >= flatness(1) + flatness(3) ? 0 : 1;
    if (middleY(top + 2) < middleY(top)) top += 2;
    Quad quad;
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d& q = p[(top + i) % 4];
        quad[i] = {int(std::lround(std::clamp(q.x, -photo.width() * kReachAcross, photo.width() * (1 + kReachAcross)))),
                   int(std::lround(std::clamp(q.y, -photo.height() * kReachUpDown, photo.height() * (1 + kReachUpDown))))};
    }
    return quad;
}

// The corners as a convex quadrilateral in the frame, no three nearly on a line.
bool ConvexCorners(const std::array<cv::Vec3d, 4>& c) {
    int positive = 0, negative = 0;
    for (int i = 0; i < 4; ++i) {
        const cv::Vec3d &a = c[i], &b = c[(i + 1) % 4], &d = c[(i + 2) % 4];
        const double ux = b[0] - a[0], uy = b[1] - a[1], vx = d[0] - b[0], vy = d[1] - b[1];
        const double turn = ux * vy - uy * vx, lengths = std::hypot(ux, uy) * std::hypot(vx, vy);
        if (!(std::abs(turn) > 0.01 * lengths) || !(lengths > 1e-12)) return false;  // about half a degree
        (turn > 0 ? positive : negative)++;
    }
    return positive == 4 || negative == 4;
}

// Where the opposite sides meet: the points of the rectangle's two directions.
std::array<cv::Vec3d, 2> CornerPoints(const std::array<cv::Vec3d, 4>& c) {
    const auto side = [&](int i, int j) { return cv::normalize(c[i].cross(c[j])); };
    return {cv::normalize(side(0, 1).cross(side(3, 2))), cv::normalize(side(0, 3).cross(side(1, 2)))};
}

// f from the corners' two points, when it is plausible and moving any corner
// by `nudge` (half a pixel: the rounding of a corner) moves it by less than kSteadyFocal.
std::optional<double> CornerFocal(const std::array<cv::Vec3d, 4>& c, double nudge) {
    const auto focalOf = [](const std::array<cv::Vec3d, 4>& corners) {
        const auto [along, down] = CornerPoints(corners);
        return FocalOfPair(along, down);
    };
    const auto focal = focalOf(c);
    if (!focal || !PlausibleFocal(*focal)) return std::nullopt;
    for (int k = 0; k < 4; ++k)
        for (const cv::Vec3d& by : {cv::Vec3d(nudge, 0, 0), {-nudge, 0, 0}, {0, nudge, 0}, {0, -nudge, 0}}) {
            std::array<cv::Vec3d, 4> moved = c;
            moved[k] += by;
            const auto other = focalOf(moved);
            if (!other || std::abs(*other / *focal - 1) > kSteadyFocal) return std::nullopt;
        }
    return focal;
}

}  // namespace

std::optional<cv::Vec3d> VanishingPoint(std::span<const Segment> segments) {
    const NormalFrame frame = FrameOfSegments(segments);
    const std::vector<FrameSegment> lines = ToFrame(frame, segments);
    const auto family = StrongestFamily(lines);
    if (!family) return std::nullopt;
    return frame.ToHomogeneous(family->point);
}

std::optional<double> FocalFromOrthogonal(const cv::Vec3d& v1, const cv::Vec3d& v2, cv::Point2d principal) {
    if (v1[2] == 0 || v2[2] == 0 || !Finite(principal)) return std::nullopt;
    const NormalFrame frame{principal, 1};
    return FocalOfPair(frame.FromHomogeneous(v1), frame.FromHomogeneous(v2));
}

std::optional<SurfaceRectangle> RectangleOnSurface(std::span<const std::vector<V2d_Point>> rings,
                                                   std::span<const Segment> photoSegments,
                                                   std::span<const LineFamily> photoFamilies, QSize photo) {
    if (photo.isEmpty() || rings.empty() || rings.front().size() < 3) return std::nullopt;
    const NormalFrame frame = FrameOfPhoto(photo);
    std::vector<cv::Point> ring, outer;
    for (const V2d_Point& p : rings.front()) ring.emplace_back(p.x, p.y);
    cv::approxPolyDP(ring, outer, std::max(1.5, 0.003 * frame.unit * 2), true);
    if (outer.size() < 3) return std::nullopt;
    std::vector<cv::Point2d> outline;  // in the frame
    for (const cv::Point& p : outer) {
        const cv::Vec3d q = frame.Point({double(p.x), double(p.y)});
        outline.emplace_back(q[0], q[1]);
    }

    const std::vector<Segment> segments = SurfaceSegments(outer, rings.subspan(1), photoSegments, photo);
    const std::vector<FrameSegment> surface = ToFrame(frame, segments);
    const std::vector<LineFamily> families = LineFamilies(surface, kMostFamilies);
    const auto camera = ChooseCamera(surface, families, photoFamilies, outline);
    if (!camera) return std::nullopt;

    // Inside the outline: the middle of its part farthest from the horizon.
    const cv::Point2d* deepest = &outline.front();
    for (const cv::Point2d& p : outline)
        if (std::abs(camera->horizon.dot({p.x, p.y, 1})) > std::abs(camera->horizon.dot({deepest->x, deepest->y, 1})))
            deepest = &p;
    const bool heavierFirst = camera->firstWeight >= camera->secondWeight;
    auto view = PlaneView::Of(camera->focal, camera->horizon, heavierFirst ? camera->first : camera->second,
                              {deepest->x, deepest->y, 1});
    if (!view) return std::nullopt;
    if (camera->secondWeight > 0) {
        // Share out what the other family misses of a right angle, by weight.
        const double other = view->AngleOf(heavierFirst ? camera->second : camera->first);
        const double miss = other - std::round(other / (M_PI / 2)) * (M_PI / 2);
        view->Turn(miss * std::min(camera->firstWeight, camera->secondWeight) /
                   (camera->firstWeight + camera->secondWeight));
    }

    const std::vector<cv::Point2d> clipped = ClipToSide(outline, *view, kHorizonSlack);
    const auto rectangle = LargestRectangle(*view, clipped);
    if (!rectangle) return std::nullopt;
    const auto& [low, high] = *rectangle;
    // A laying covers its region's corners only, so the rectangle encloses
    // the whole outline; where that would reach far beyond the photo it
    // gives way, step by step, to the largest rectangle inside.
    cv::Point2d outerLow = low, outerHigh = high;
    for (const cv::Point2d& p : clipped) {
        const cv::Point2d st = view->Coordinates({p.x, p.y, 1});
        outerLow = {std::min(outerLow.x, st.x), std::min(outerLow.y, st.y)};
        outerHigh = {std::max(outerHigh.x, st.x), std::max(outerHigh.y, st.y)};
    }
    const auto cornersOf = [&](const cv::Point2d& lo, const cv::Point2d& hi) -> std::optional<std::array<cv::Point2d, 4>> {
        std::array<cv::Point2d, 4> corners;
        const std::array<cv::Point2d, 4> plane{lo, cv::Point2d{hi.x, lo.y}, hi, cv::Point2d{lo.x, hi.y}};
        for (int k = 0; k < 4; ++k) {
            corners[k] = frame.Pixel(view->Image(plane[k]));
            if (!Finite(corners[k]) || !WithinReach(corners[k], photo)) return std::nullopt;
        }
        return corners;
    };
    for (int step = 0; step <= kGiveWaySteps; ++step) {
        const double k = double(step) / kGiveWaySteps;
        if (const auto corners = cornersOf(outerLow + (low - outerLow) * k, outerHigh + (high - outerHigh) * k))
            return SurfaceRectangle{OrderedCorners(*corners, photo), view->focal() * frame.unit};
    }
    return std::nullopt;
}

Result<RealSize> SizeFromKnownLength(const Quad& corners, QSize photo, cv::Point2d a, cv::Point2d b, double millimetres,
                                     double focal) {
    if (!(millimetres > 0) || !std::isfinite(millimetres)) return Error{kLengthNotPositive};
    if (!Finite(a) || !Finite(b)) return Error{kLineOffPlane};
    if (Distance(a, b) < 0.5) return Error{kEndsCoincide};
    if (photo.isEmpty()) return Error{kNoPerspective};
    const NormalFrame frame = FrameOfPhoto(photo);
    std::array<cv::Vec3d, 4> c;
    for (int k = 0; k < 4; ++k) c[k] = frame.Point({double(corners[k].x), double(corners[k].y)});
    if (!ConvexCorners(c)) return Error{kNoPerspective};

    const auto [along, down] = CornerPoints(c);
    if (focal > 0 && std::isfinite(focal)) focal /= frame.unit;
    else focal = CornerFocal(c, 0.5 / frame.unit).value_or(DefaultFocal());
    const auto horizon = LineThrough(along, down);
    if (!horizon) return Error{kNoPerspective};
    const auto view = PlaneView::Of(focal, *horizon, along, c[0]);
    if (!view) return Error{kNoPerspective};
    for (const cv::Vec3d& corner : c)
        if (!(view->Side(corner) > 0)) return Error{kNoPerspective};
    const cv::Vec3d pa = frame.Point(a), pb = frame.Point(b);
    if (!(view->Side(pa) > 1e-9) || !(view->Side(pb) > 1e-9)) return Error{kLineOffPlane};

    std::array<cv::Vec3d, 4> x;
    for (int k = 0; k < 4; ++k) x[k] = view->OnPlane(c[k]);
    const double known = cv::norm(view->OnPlane(pa) - view->OnPlane(pb));
    if (!(known > 0)) return Error{kEndsCoincide};
    const double scale = millimetres / known;
    const auto toMillimetres = [&](double sum) {
        const double mm = sum / 2 * scale;
        return std::isfinite(mm) ? int(std::clamp(std::round(mm), 1.0, 2147483647.0)) : 2147483647;
    };
    return RealSize{toMillimetres(cv::norm(x[1] - x[0]) + cv::norm(x[2] - x[3])),
                    toMillimetres(cv::norm(x[3] - x[0]) + cv::norm(x[2] - x[1]))};
}

}  // namespace v2d::vision
