#include "vision/room_box.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

#include "base/parallel_for.h"
#include "vision/value_levels.h"

namespace v2d::vision {
namespace {

// Segments take an axis within this angle of its vanishing point, edge
// points (whose direction is a gradient's) within the wider one.
const double kSegmentSine = std::sin(1.5 * M_PI / 180);
const double kEdgeSine = std::sin(6.0 * M_PI / 180);
// Points across a segment or an edge lie this many pixels of the grey copy from it.
constexpr double kAcross = 3;
constexpr int kPointsASegment = 4;
constexpr size_t kMostEdgePoints = 6000;
// A segment on a boundary of its direction counts this many times its
// length; an edge point on one, this many times its pixel.
constexpr double kOnBoundary = 2;
constexpr double kEdgeOnBoundary = 1.5;
// The grid of colours has this many cells across; a face whose colour
// is all its own scores up to this share of the segments' weight; a
// boundary costs this much for its length (cells) where no line or edge
// of its direction lies within a cell of it, and this much where one does.
constexpr int kGridColumns = 96;
constexpr double kColourWeight = 1.75;
constexpr double kUnseenBoundaryCost = 2.0, kSeenBoundaryCost = 0.25;
// A cell's colour counts up to this distance (levels) from its face's.
constexpr double kColourOutlier = 40;
// Where the faces are looked for: room units (the camera 1 above the floor).
constexpr double kNearest = 0.08, kFarthest = 60;
constexpr int kGridSteps = 72, kFineSteps = 12, kRounds = 3;
// The whole box is scaled up to e^kScaleReach either way, in this many steps each way.
constexpr double kScaleReach = 0.4;
constexpr int kScaleSteps = 40;
// Where the climbs start (left, right, back, ceiling in room units).
constexpr std::array<std::array<double, 4>, 4> kStarts{
    {{-30, 30, 30, -30}, {-1.5, 1.5, 3, -0.8}, {-2, 2, 4, -0.9}, {-3, 3, 6, -1.5}}};
// Far behind the camera, where the floor, walls and ceiling begin.
constexpr double kBehind = -1e4;

bool HoldsAxis(RoomFace face, int axis) {
    switch (face) {
    case RoomFace::Floor:
    case RoomFace::Ceiling: return axis == 0 || axis == 2;
    case RoomFace::Left:
    case RoomFace::Right: return axis == 1 || axis == 2;
    case RoomFace::Back: return axis == 0 || axis == 1;
    }
    return false;
}

RoomRay InRoom(const RoomAxes& axes, const cv::Vec3d& ray) {
    const double u = axes.axis[0].dot(ray), v = axes.axis[1].dot(ray), w = axes.axis[2].dot(ray);
    return {u, v, w, 1 / u, 1 / v, 1 / w};
}

constexpr double kNever = std::numeric_limits<double>::infinity();

RoomFace FaceOfRoomRay(const RoomBox& box, const RoomRay& r) {
    RoomFace face = RoomFace::Floor;
    double t = r.v > 0 ? r.inverseV : kNever;
    const auto consider = [&](RoomFace f, double reach) {
        if (reach > 0 && reach < t) t = reach, face = f;
    };
    if (r.v < 0) consider(RoomFace::Ceiling, box.ceiling * r.inverseV);
    if (r.u < 0) consider(RoomFace::Left, box.left * r.inverseU);
    if (r.u > 0) consider(RoomFace::Right, box.right * r.inverseU);
    if (r.w > 0) consider(RoomFace::Back, box.back * r.inverseW);
    return face;
}

cv::Vec3d Camera(const RoomAxes& axes, double u, double v, double w) {
    return u * axes.axis[0] + v * axes.axis[1] + w * axes.axis[2];
}

// The part of a polygon (camera coordinates) in front of the camera.
std::vector<cv::Vec3d> InFront(const std::vector<cv::Vec3d>& polygon) {
    constexpr double kNear = 1e-6;
    std::vector<cv::Vec3d> out;
    for (size_t i = 0; i < polygon.size(); ++i) {
        const cv::Vec3d &a = polygon[i], &b = polygon[(i + 1) % polygon.size()];
        const bool aIn = a[2] >= kNear, bIn = b[2] >= kNear;
        if (aIn) out.push_back(a);
        if (aIn != bIn) out.push_back(a + (b - a) * ((kNear - a[2]) / (b[2] - a[2])));
    }
    return out;
}

double Cross(cv::Point2d a, cv::Point2d b) { return a.x * b.y - a.y * b.x; }

// Sutherland-Hodgman: `polygon` clipped to the convex `view` (either turn).
std::vector<cv::Point2d> ClippedTo(std::vector<cv::Point2d> polygon, std::span<const cv::Point2d> view) {
    double turn = 0;
    for (size_t i = 0; i < view.size(); ++i) turn += Cross(view[i], view[(i + 1) % view.size()]);
    const double sign = turn >= 0 ? 1 : -1;
    for (size_t e = 0; e < view.size() && !polygon.empty(); ++e) {
        const cv::Point2d p = view[e], q = view[(e + 1) % view.size()];
        const auto side = [&](cv::Point2d x) { return sign * Cross(q - p, x - p); };
        std::vector<cv::Point2d> out;
        for (size_t i = 0; i < polygon.size(); ++i) {
            const cv::Point2d a = polygon[i], b = polygon[(i + 1) % polygon.size()];
            const double sa = side(a), sb = side(b);
            if (sa >= 0) out.push_back(a);
            if ((sa >= 0) != (sb >= 0)) out.push_back(a + (b - a) * (sa / (sa - sb)));
        }
        polygon = std::move(out);
    }
    return polygon;
}

// The sine of the angle between a direction at a frame point and the way to a vanishing point.
double OffVanishing(cv::Point2d at, cv::Point2d direction, const cv::Vec3d& point) {
    const double ux = point[0] - at.x * point[2], uy = point[1] - at.y * point[2];
    const double u = std::hypot(ux, uy);
    return u > 0 ? std::abs(direction.x * uy - direction.y * ux) / u : 1;
}

using Probe = BoxObjective::Probe;

std::vector<Probe> Probes(const RoomAxes& axes, std::span<const RoomEvidence::Piece> pieces) {
    std::vector<Probe> out;
    out.reserve(pieces.size());
    for (const auto& p : pieces)
        out.push_back({InRoom(axes, p.point), InRoom(axes, p.before), InRoom(axes, p.after), p.weight, p.axis});
    return out;
}

// The box scaled about the camera with the floor held: every corner between
// walls and the ceiling's edges stay where they are seen, only the floor's
// edges move, a direction no single face's move can take.
RoomBox Scaled(const RoomBox& box, double scale) {
    RoomBox out = box;
    out.left *= scale, out.right *= scale, out.back *= scale, out.ceiling *= scale;
    return out;
}

}  // namespace

RoomFace RoomBox::FaceOf(const cv::Vec3d& ray) const { return FaceOfRoomRay(*this, InRoom(axes, ray)); }

cv::Vec4d RoomBox::Plane(RoomFace face) const {
    cv::Vec3d n;
    double d = 0;
    switch (face) {
    case RoomFace::Floor: n = axes.axis[1], d = 1; break;
    case RoomFace::Ceiling: n = axes.axis[1], d = ceiling; break;
    case RoomFace::Left: n = axes.axis[0], d = left; break;
    case RoomFace::Right: n = axes.axis[0], d = right; break;
    case RoomFace::Back: n = axes.axis[2], d = back; break;
    }
    if (d < 0) n = -n, d = -d;
    return {n[0], n[1], n[2], d};
}

std::array<cv::Vec3d, 2> RoomBox::Directions(RoomFace face) const {
    const auto& a = axes.axis;
    switch (face) {
    case RoomFace::Floor: return {a[0], -a[2]};
    case RoomFace::Ceiling: return {a[0], a[2]};
    case RoomFace::Left: return {a[2], a[1]};
    case RoomFace::Right: return {-a[2], a[1]};
    case RoomFace::Back: break;
    }
    return {a[0], a[1]};
}

std::vector<cv::Point2d> RoomBox::Seen(RoomFace face, std::span<const cv::Point2d> view) const {
    std::vector<cv::Vec3d> corners;
    const auto add = [&](double u, double v, double w) { corners.push_back(Camera(axes, u, v, w)); };
    switch (face) {
    case RoomFace::Floor:
    case RoomFace::Ceiling: {
        const double v = face == RoomFace::Floor ? 1 : ceiling;
        add(left, v, kBehind), add(right, v, kBehind), add(right, v, back), add(left, v, back);
        break;
    }
    case RoomFace::Left:
    case RoomFace::Right: {
        const double u = face == RoomFace::Left ? left : right;
        add(u, ceiling, kBehind), add(u, ceiling, back), add(u, 1, back), add(u, 1, kBehind);
        break;
    }
    case RoomFace::Back: add(left, ceiling, back), add(right, ceiling, back), add(right, 1, back), add(left, 1, back); break;
    }
    std::vector<cv::Point2d> image;
    for (const cv::Vec3d& x : InFront(corners)) image.emplace_back(axes.focal * x[0] / x[2], axes.focal * x[1] / x[2]);
    if (image.size() < 3) return {};
    image = ClippedTo(std::move(image), view);
    return image.size() >= 3 ? image : std::vector<cv::Point2d>{};
}

std::optional<cv::Vec3d> RayOnPlane(const cv::Vec4d& plane, const cv::Vec3d& ray) {
    const double along = cv::Vec3d(plane[0], plane[1], plane[2]).dot(ray);
    if (!(along > 1e-12)) return std::nullopt;
    return ray * (plane[3] / along);
}

int MeetingAxis(RoomFace a, RoomFace b) {
    if (a == b) return -1;
    const auto horizontal = [](RoomFace f) { return f == RoomFace::Floor || f == RoomFace::Ceiling; };
    const auto side = [](RoomFace f) { return f == RoomFace::Left || f == RoomFace::Right; };
    if ((horizontal(a) && horizontal(b)) || (side(a) && side(b))) return -1;
    for (int axis = 0; axis < 3; ++axis)
        if (HoldsAxis(a, axis) && HoldsAxis(b, axis)) return axis;
    return -1;
}

RoomEvidence EvidenceOf(const RoomAxes& axes, const NormalFrame& frame, std::span<const FrameSegment> segments,
                        const cv::Mat& smooth, cv::Point2d toPhoto) {
    RoomEvidence evidence;
    const double across = kAcross * toPhoto.x / frame.unit;
    const auto ray = [&](cv::Point2d p) { return axes.Ray({p.x, p.y, 1}); };
    // The segments along a room axis, each with its axis.
    std::vector<std::pair<const FrameSegment*, int>> alongAxes;
    for (const FrameSegment& s : segments) {
        const int axis = AxisOf(axes, s, kSegmentSine);
        if (axis < 0) continue;
        alongAxes.emplace_back(&s, axis);
        const cv::Point2d mid(s.midX, s.midY), dir(s.dirX, s.dirY), normal(-s.dirY, s.dirX);
        for (int k = 0; k < kPointsASegment; ++k) {
            const cv::Point2d p = mid + dir * (s.length * ((k + 0.5) / kPointsASegment - 0.5));
            evidence.segmentPoints.push_back(
                {ray(p), ray(p - normal * across), ray(p + normal * across), s.length / kPointsASegment, axis});
        }
    }
    if (smooth.empty()) return evidence;
    cv::Mat grey, edges, gx, gy;
    cv::cvtColor(smooth, grey, cv::COLOR_BGR2GRAY);
    // A dim photo's edges as strong as a bright one's.
    grey = Stretched(grey);
    cv::Canny(grey, edges, 30, 80);
    cv::Sobel(grey, gx, CV_32F, 1, 0);
    cv::Sobel(grey, gy, CV_32F, 0, 1);
    std::vector<cv::Point> points;
    cv::findNonZero(edges, points);
    std::vector<std::pair<cv::Point2d, int>> edgeFramePoints;
    const size_t step = std::max<size_t>(1, (points.size() + kMostEdgePoints - 1) / kMostEdgePoints);
    const std::array<cv::Vec3d, 3> vanishing{axes.Vanishing(0), axes.Vanishing(1), axes.Vanishing(2)};
    const double pixel = toPhoto.x / frame.unit;
    for (size_t i = 0; i < points.size(); i += step) {
        const cv::Point q = points[i];
        const double dx = gx.at<float>(q), dy = gy.at<float>(q), g = std::hypot(dx, dy);
        if (!(g > 0)) continue;
        const cv::Point2d p(((q.x + 0.5) * toPhoto.x - frame.centre.x) / frame.unit,
                            ((q.y + 0.5) * toPhoto.y - frame.centre.y) / frame.unit);
        const cv::Point2d normal(dx / g, dy / g), tangent(-normal.y, normal.x);
        int axis = -1;
        double least = kEdgeSine;
        for (int k = 0; k < 3; ++k)
            if (const double off = OffVanishing(p, tangent, vanishing[k]); off < least) least = off, axis = k;
        if (axis < 0) continue;
        evidence.edgePoints.push_back(
            {ray(p), ray(p - normal * across), ray(p + normal * across), pixel * double(step), axis});
        edgeFramePoints.emplace_back(p, axis);
    }
    const int columns = kGridColumns, rows = std::max(2, int(std::lround(kGridColumns * double(smooth.rows) / smooth.cols)));
    cv::Mat grid;
    cv::resize(smooth, grid, {columns, rows}, 0, 0, cv::INTER_AREA);
    evidence.columns = columns;
    evidence.cellSize = smooth.cols * toPhoto.x / columns / frame.unit;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x) {
            const cv::Point2d pixel((x + 0.5) * smooth.cols * toPhoto.x / columns, (y + 0.5) * smooth.rows * toPhoto.y / rows);
            const cv::Vec3d p = frame.Point(pixel);
            evidence.cells.push_back({axes.Ray(p), cv::Vec3f(grid.at<cv::Vec3b>(y, x))});
        }
    // Which axes' lines pass each cell: the segments walked along, the edge points where they are.
    std::vector<uint8_t> axesIn(evidence.cells.size(), 0);
    const double cellPixels = smooth.cols * toPhoto.x / columns, cellRows = smooth.rows * toPhoto.y / rows;
    const auto mark = [&](cv::Point2d framePoint, int axis) {
        const cv::Point2d pixel = framePoint * frame.unit + frame.centre;
        const int x = int(std::floor(pixel.x / cellPixels)), y = int(std::floor(pixel.y / cellRows));
        if (x >= 0 && x < columns && y >= 0 && y < rows) axesIn[size_t(y) * columns + x] |= uint8_t(1 << axis);
    };
    const double stepFrame = 0.5 * evidence.cellSize;
    for (const auto& [s, axis] : alongAxes) {
        const int steps = std::max(1, int(std::ceil(s->length / stepFrame)));
        for (int k = 0; k <= steps; ++k)
            mark(cv::Point2d(s->midX, s->midY) + cv::Point2d(s->dirX, s->dirY) * (s->length * (double(k) / steps - 0.5)),
                 axis);
    }
    for (const auto& [point, axis] : edgeFramePoints) mark(point, axis);
    evidence.axesNear.assign(axesIn.size(), 0);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x)
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (x + dx >= 0 && x + dx < columns && y + dy >= 0 && y + dy < rows)
                        evidence.axesNear[size_t(y) * columns + x] |= axesIn[size_t(y + dy) * columns + x + dx];
    return evidence;
}

BoxObjective::BoxObjective(const RoomAxes& axes, const RoomEvidence& evidence, const std::optional<cv::Vec3d>& floorRay)
    : segments_(Probes(axes, evidence.segmentPoints)),
      edges_(Probes(axes, evidence.edgePoints)),
      axesNear_(evidence.axesNear),
      cellSize_(evidence.cellSize),
      columns_(std::max(1, evidence.columns)) {
    if (floorRay) floor_ = InRoom(axes, *floorRay);
    for (const auto& cell : evidence.cells) {
        cells_.push_back(InRoom(axes, cell.ray));
        colours_.emplace_back(cell.colour);
    }
    for (const Probe& p : segments_) reference_ += p.weight;
    whole_ = std::max(1.0, Spread(std::vector<RoomFace>(cells_.size(), RoomFace::Floor)));
}

// The colours' spread within the faces of a box: each cell's distance from
// its face's colour, counted up to kColourOutlier only, so that what stands
// in the room (a red rug, a grey sofa) costs alike on any face and the faces
// follow the walls' own paint.
double BoxObjective::Spread(const std::vector<RoomFace>& labels) const {
    const double outlier2 = kColourOutlier * kColourOutlier;
    std::array<double, 5> count{};
    std::array<cv::Vec3d, 5> sum{};
    for (size_t i = 0; i < labels.size(); ++i) {
        const int f = int(labels[i]);
        count[f] += 1, sum[f] += colours_[i];
    }
    std::array<cv::Vec3d, 5> mean{};
    for (int f = 0; f < 5; ++f)
        if (count[f] > 0) mean[f] = sum[f] / count[f];
    // The face's colour again from the cells near its mean alone.
    std::array<double, 5> near{};
    std::array<cv::Vec3d, 5> nearSum{};
    for (size_t i = 0; i < labels.size(); ++i) {
        const int f = int(labels[i]);
        const cv::Vec3d& c = colours_[i];
        const cv::Vec3d d = c - mean[f];
        if (d.dot(d) < outlier2) near[f] += 1, nearSum[f] += c;
    }
    for (int f = 0; f < 5; ++f)
        if (near[f] > 0) mean[f] = nearSum[f] / near[f];
    double total = 0;
    for (size_t i = 0; i < labels.size(); ++i) {
        const cv::Vec3d d = colours_[i] - mean[int(labels[i])];
        total += std::min(d.dot(d), outlier2);
    }
    return total;
}

BoxScore BoxObjective::Terms(const RoomBox& box, std::vector<RoomFace>& labels) const {
    BoxScore score;
    if (floor_ && FaceOfRoomRay(box, *floor_) != RoomFace::Floor) {
        score.refused = true;
        return score;
    }
    labels.resize(cells_.size());
    for (size_t i = 0; i < cells_.size(); ++i) labels[i] = FaceOfRoomRay(box, cells_[i]);
    // A boundary costs little where a line of its own direction runs near
    // it, much where nothing in the photo shows it: a rug's edge does not
    // carry the floor's corners with it up a plain wall.
    double boundary = 0;
    const bool knowsAxes = axesNear_.size() == cells_.size();
    const auto cost = [&](size_t i, size_t j) {
        if (labels[i] == labels[j]) return 0.0;
        if (!knowsAxes) return kUnseenBoundaryCost;
        const int axis = MeetingAxis(labels[i], labels[j]);
        const bool seen = axis >= 0 && ((axesNear_[i] | axesNear_[j]) >> axis & 1);
        return seen ? kSeenBoundaryCost : kUnseenBoundaryCost;
    };
    for (size_t i = 0; i < cells_.size(); ++i) {
        if ((i + 1) % columns_ != 0) boundary += cost(i, i + 1);
        if (i + columns_ < cells_.size()) boundary += cost(i, i + columns_);
    }
    score.colour = reference_ * kColourWeight * (1 - Spread(labels) / whole_);
    score.boundaries = -boundary * cellSize_;
    for (const Probe& p : segments_) {
        // An upright line on the floor is what stands there (a table's
        // legs, a sofa's side): it says nothing against the floor.
        const RoomFace on = FaceOfRoomRay(box, p.point);
        if (HoldsAxis(on, p.axis)) score.orientation += p.weight;
        else if (!(on == RoomFace::Floor && p.axis == 1)) score.orientation -= p.weight;
        const RoomFace before = FaceOfRoomRay(box, p.before), after = FaceOfRoomRay(box, p.after);
        if (before != after && MeetingAxis(before, after) == p.axis) score.segmentsOnBoundaries += kOnBoundary * p.weight;
    }
    for (const Probe& p : edges_) {
        const RoomFace before = FaceOfRoomRay(box, p.before), after = FaceOfRoomRay(box, p.after);
        if (before != after && MeetingAxis(before, after) == p.axis) score.edgesOnBoundaries += kEdgeOnBoundary * p.weight;
    }
    return score;
}

double BoxObjective::operator()(const RoomBox& box, std::vector<RoomFace>& labels) const {
    const BoxScore score = Terms(box, labels);
    return score.refused ? -kNever : score.total();
}

RoomBox ClimbedBox(const RoomAxes& axes, const BoxScoring& scoreOf, double* reached) {
    // Each face's place along its axis in turn, on a grid of distances from
    // near to far, then finer around the best, then the whole box scaled; a
    // place only moves for a better score.
    const std::array<double RoomBox::*, 4> places{&RoomBox::back, &RoomBox::left, &RoomBox::right, &RoomBox::ceiling};
    const double low = std::log(kNearest), high = std::log(kFarthest), step = (high - low) / kGridSteps;
    const auto climbed = [&](RoomBox box, double& best) {
        std::vector<RoomFace> labels;
        const auto score = [&](const RoomBox& b) { return scoreOf(b, labels); };
        best = score(box);
        for (int round = 0; round < kRounds; ++round) {
            bool moved = false;
            for (double RoomBox::*place : places) {
                const double sign = place == &RoomBox::left || place == &RoomBox::ceiling ? -1 : 1;
                RoomBox trial = box;
                for (int i = kGridSteps; i >= 0; --i) {
                    trial.*place = sign * std::exp(low + step * i);
                    if (const double s = score(trial); s > best) best = s, box = trial, moved = true;
                }
                const double at = std::log(std::abs(box.*place));
                trial = box;
                for (int i = -kFineSteps; i <= kFineSteps; ++i) {
                    trial.*place = sign * std::exp(at + step * i / kFineSteps);
                    if (const double s = score(trial); s > best) best = s, box = trial, moved = true;
                }
            }
            // The whole box nearer or farther, the floor held.
            const RoomBox base = box;
            for (int i = -kScaleSteps; i <= kScaleSteps; ++i) {
                const RoomBox trial = Scaled(base, std::exp(kScaleReach * i / kScaleSteps));
                if (const double s = score(trial); s > best) best = s, box = trial, moved = true;
            }
            if (!moved) break;
        }
        return box;
    };
    // From a room with no walls in sight, and from rooms of a usual shape
    // around the camera: one face at a time cannot always walk from one
    // to the other, and the best of the climbs is kept.
    std::array<RoomBox, kStarts.size()> ends;
    std::array<double, kStarts.size()> scores;
    ends.fill(RoomBox{axes});
    scores.fill(-kNever);
    ParallelFor(kStarts.size(), [&](size_t n) {
        RoomBox start{axes};
        std::tie(start.left, start.right, start.back, start.ceiling) =
            std::tuple(kStarts[n][0], kStarts[n][1], kStarts[n][2], kStarts[n][3]);
        ends[n] = climbed(start, scores[n]);
    });
    RoomBox box{axes};
    double best = -kNever;
    for (size_t n = 0; n < kStarts.size(); ++n)
        if (scores[n] > best) best = scores[n], box = ends[n];
    if (reached) *reached = best;
    return box;
}

std::optional<RoomBox> FittedBox(const RoomAxes& axes, const RoomEvidence& evidence,
                                 const std::optional<cv::Vec3d>& floorRay) {
    if (evidence.segmentPoints.empty()) return std::nullopt;
    const BoxObjective objective(axes, evidence, floorRay);
    double best = -kNever;
    RoomBox box = ClimbedBox(axes, objective, &best);
    if (!(best > -kNever)) return std::nullopt;
    return box;
}

}  // namespace v2d::vision
