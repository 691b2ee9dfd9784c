#include "demo/room_score.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <tuple>

namespace v2d::demo {
namespace {

constexpr double kDeg = std::numbers::pi / 180;

Vec3 Minus(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 Along(Vec3 o, Vec3 a, double s, Vec3 b, double t) {
    return {o.x + a.x * s + b.x * t, o.y + a.y * s + b.y * t, o.z + a.z * s + b.z * t};
}
double Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double Length(Vec3 a) { return std::sqrt(Dot(a, a)); }

// Pixels where the mask is set and the label is `face`, and either.
std::pair<long long, long long> Overlap(const QImage& mask, const QImage& labels, RoomFace face) {
    long long both = 0, either = 0;
    for (int y = 0; y < mask.height(); ++y) {
        const uchar *m = mask.constScanLine(y), *l = labels.constScanLine(y);
        for (int x = 0; x < mask.width(); ++x) {
            const bool a = m[x] >= 128, b = l[x] == static_cast<uchar>(face);
            both += a && b, either += a || b;
        }
    }
    return {both, either};
}

std::vector<long long> Counts(const QImage& labels) {
    std::vector<long long> counts(256);
    for (int y = 0; y < labels.height(); ++y)
        for (int x = 0; x < labels.width(); ++x) ++counts[labels.constScanLine(y)[x]];
    return counts;
}

// The true surfaces in the finder's order: floor, walls left to right (by
// the mean column of their planes), ceiling; those seen on at least
// `minimum` pixels of `labels`.
std::vector<RoomFace> OrderedFaces(const RenderedRoom& truth, const QImage& labels, long long minimum) {
    const std::vector<long long> counts = Counts(labels);
    std::vector<double> column(kRoomFaces), planePixels(kRoomFaces);
    for (int y = 0; y < truth.planes.height(); ++y)
        for (int x = 0; x < truth.planes.width(); ++x) {
            const uchar f = truth.planes.constScanLine(y)[x];
            if (f < kRoomFaces) column[f] += x, planePixels[f] += 1;
        }
    std::vector<RoomFace> walls;
    for (RoomFace f : {RoomFace::LeftWall, RoomFace::BackWall, RoomFace::RightWall, RoomFace::FrontWall})
        if (counts[uchar(f)] >= minimum) walls.push_back(f);
    std::sort(walls.begin(), walls.end(), [&](RoomFace a, RoomFace b) {
        return column[uchar(a)] / std::max(1.0, planePixels[uchar(a)]) < column[uchar(b)] / std::max(1.0, planePixels[uchar(b)]);
    });
    std::vector<RoomFace> faces;
    if (counts[uchar(RoomFace::Floor)] >= minimum) faces.push_back(RoomFace::Floor);
    faces.insert(faces.end(), walls.begin(), walls.end());
    if (counts[uchar(RoomFace::Ceiling)] >= minimum) faces.push_back(RoomFace::Ceiling);
    return faces;
}

// The corners on the face's plane; none when a ray misses it.
std::optional<std::array<Vec3, 4>> OnPlane(const RenderedRoom& truth, RoomFace face, const Quad& corners) {
    const FacePlane plane = PlaneOf(truth.spec, face);
    std::array<Vec3, 4> p;
    for (int i = 0; i < 4; ++i) {
        const auto at = PointOnPlane(truth.camera, plane, {double(corners[i].x), double(corners[i].y)});
        if (!at) return std::nullopt;
        p[i] = *at;
    }
    return p;
}

void ScoreCorners(const RenderedRoom& truth, const vision::RoomLayout& found, const vision::RoomSurface& surface,
                  SurfaceScore& score) {
    const auto p = OnPlane(truth, score.face, surface.corners);
    if (!p) return;
    double worst = 0;
    for (int i = 0; i < 4; ++i) {
        const Vec3 u = Minus((*p)[(i + 1) % 4], (*p)[i]), v = Minus((*p)[(i + 3) % 4], (*p)[i]);
        const double cosine = Dot(u, v) / std::max(1e-12, Length(u) * Length(v));
        worst = std::max(worst, std::abs(std::acos(std::clamp(cosine, -1.0, 1.0)) / kDeg - 90));
    }
    score.worstAngleDeg = worst;
    if (!found.calibrated()) return;
    const double width = (Length(Minus((*p)[1], (*p)[0])) + Length(Minus((*p)[2], (*p)[3]))) / 2;
    const double height = (Length(Minus((*p)[3], (*p)[0])) + Length(Minus((*p)[2], (*p)[1]))) / 2;
    if (width <= 0 || height <= 0) return;
    const auto [w, h] = vision::SurfaceMillimetres(found, surface);
    score.sizeErrorPercent = 100 * std::max(std::abs(w - width) / width, std::abs(h - height) / height);
}

// Sutherland-Hodgman against one side: keeps points where `inside` >= 0.
template <class Point, class Side>
std::vector<Point> Clipped(const std::vector<Point>& polygon, Side inside) {
    std::vector<Point> out;
    for (size_t i = 0; i < polygon.size(); ++i) {
        const Point& a = polygon[i];
        const Point& b = polygon[(i + 1) % polygon.size()];
        const double da = inside(a), db = inside(b);
        if (da >= 0) out.push_back(a);
        if ((da >= 0) != (db >= 0)) {
            const double t = da / (da - db);
            out.push_back(a + (b - a) * t);
        }
    }
    return out;
}

struct P3 {
    Vec3 v;
    P3 operator+(const P3& o) const { return {{v.x + o.v.x, v.y + o.v.y, v.z + o.v.z}}; }
    P3 operator-(const P3& o) const { return {{v.x - o.v.x, v.y - o.v.y, v.z - o.v.z}}; }
    P3 operator*(double s) const { return {{v.x * s, v.y * s, v.z * s}}; }
};
struct P2 {
    double x = 0, y = 0;
    P2 operator+(const P2& o) const { return {x + o.x, y + o.y}; }
    P2 operator-(const P2& o) const { return {x - o.x, y - o.y}; }
    P2 operator*(double s) const { return {x * s, y * s}; }
};

V2d_Point Whole(P2 p) { return {TruncToInt(std::lround(p.x)), TruncToInt(std::lround(p.y))}; }

}  // namespace

vision::RoomSurfaceKind KindOf(RoomFace face) {
    return face == RoomFace::Floor     ? vision::RoomSurfaceKind::Floor
           : face == RoomFace::Ceiling ? vision::RoomSurfaceKind::Ceiling
                                       : vision::RoomSurfaceKind::Wall;
}

RoomLayoutScore ScoreLayout(const RenderedRoom& truth, const vision::RoomLayout& found) {
    RoomLayoutScore score;
    const QSize size = truth.planes.size();
    const int count = static_cast<int>(found.surfaces.size());
    std::vector<QImage> planes;
    for (const vision::RoomSurface& s : found.surfaces) planes.push_back(FilledRings(size, {s.plane}));
    // One to one, the largest overlap of planes of the same kind first.
    std::vector<std::tuple<long long, int, RoomFace>> pairs;
    for (int i = 0; i < count; ++i)
        for (int f = int(RoomFace::Floor); f <= int(RoomFace::Ceiling); ++f)
            if (KindOf(RoomFace(f)) == found.surfaces[i].kind)
                if (const long long both = Overlap(planes[i], truth.planes, RoomFace(f)).first; both > 0)
                    pairs.emplace_back(both, i, RoomFace(f));
    std::sort(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) { return std::get<0>(a) > std::get<0>(b); });
    std::vector<RoomFace> matched(count, RoomFace::None);
    std::vector<int> foundFor(kRoomFaces, -1);
    for (const auto& [both, i, f] : pairs)
        if (matched[i] == RoomFace::None && foundFor[uchar(f)] < 0) matched[i] = f, foundFor[uchar(f)] = i;
    score.unmatched = static_cast<int>(std::count(matched.begin(), matched.end(), RoomFace::None));

    // The found label of every pixel: later surfaces over earlier ones.
    QImage labels(size, QImage::Format_Grayscale8);
    labels.fill(0);
    for (int i = 0; i < count; ++i)
        for (int y = 0; y < size.height(); ++y) {
            const uchar* m = planes[i].constScanLine(y);
            uchar* l = labels.scanLine(y);
            for (int x = 0; x < size.width(); ++x)
                if (m[x] >= 128) l[x] = matched[i] == RoomFace::None ? 255 : uchar(matched[i]);
        }
    long long counted = 0, wrong = 0;
    for (int y = 0; y < size.height(); ++y) {
        const uchar *seen = truth.labels.constScanLine(y), *plane = truth.planes.constScanLine(y),
                    *given = labels.constScanLine(y);
        for (int x = 0; x < size.width(); ++x) {
            if (!IsSurface(RoomFace(seen[x]))) continue;
            ++counted;
            wrong += given[x] != plane[x];
        }
    }
    score.pixelError = counted ? double(wrong) / counted : 0;

    const long long minimum = std::llround(kVisibleFraction * size.width() * size.height());
    score.minIou = 1;
    for (RoomFace face : OrderedFaces(truth, truth.labels, minimum)) {
        SurfaceScore& s = score.surfaces.emplace_back();
        s.face = face;
        s.visiblePixels = static_cast<int>(Counts(truth.labels)[uchar(face)]);
        s.found = foundFor[uchar(face)];
        if (s.found >= 0) {
            const vision::RoomSurface& surface = found.surfaces[s.found];
            const auto [seen, seenEither] = Overlap(FilledRings(size, surface.outline), truth.labels, face);
            const auto [whole, wholeEither] = Overlap(planes[s.found], truth.planes, face);
            s.outlineIou = seenEither ? double(seen) / seenEither : 0;
            s.planeIou = wholeEither ? double(whole) / wholeEither : 0;
            ScoreCorners(truth, found, surface, s);
            if (s.worstAngleDeg)
                score.worstAngleDeg = std::max(score.worstAngleDeg.value_or(0), *s.worstAngleDeg);
            if (s.sizeErrorPercent)
                score.worstSizeErrorPercent = std::max(score.worstSizeErrorPercent.value_or(0), *s.sizeErrorPercent);
        }
        score.meanIou += s.outlineIou;
        score.minIou = std::min(score.minIou, s.outlineIou);
    }
    if (score.surfaces.empty()) score.minIou = 0;
    else score.meanIou /= static_cast<double>(score.surfaces.size());
    return score;
}

vision::RoomLayout TrueLayout(const RenderedRoom& truth) {
    const RoomCamera& camera = truth.camera;
    vision::RoomLayout layout;
    layout.width = camera.width, layout.height = camera.height;
    layout.camera.focal = camera.FocalPixels();
    layout.millimetresPerUnit = truth.spec.cameraHeight;
    const std::vector<RoomFace> faces = OrderedFaces(truth, truth.planes, 1);
    const int walls = static_cast<int>(std::count_if(faces.begin(), faces.end(), [](RoomFace f) {
        return KindOf(f) == vision::RoomSurfaceKind::Wall;
    }));
    const std::vector<const char*> wallNames = walls == 1   ? std::vector{"后墙"}
                                               : walls == 2 ? std::vector{"左墙", "右墙"}
                                                            : std::vector{"左墙", "后墙", "右墙", "前墙"};
    int wall = 0;
    const Vec3 forward = Minus(camera.lookAt, camera.location);
    for (RoomFace face : faces) {
        const FacePlane plane = PlaneOf(truth.spec, face);
        // The face's rectangle in front of the camera, projected, inside the photo.
        std::vector<P3> rectangle;
        for (auto [s, t] : {std::pair{0.0, 0.0}, {1.0, 0.0}, {1.0, 1.0}, {0.0, 1.0}})
            rectangle.push_back({Along(plane.origin, plane.first, s * plane.firstLength, plane.second,
                                       t * plane.secondLength)});
        rectangle = Clipped(rectangle, [&](const P3& p) { return Dot(Minus(p.v, camera.location), forward) / Length(forward) - 1; });
        std::vector<P2> seen;
        for (const P3& p : rectangle)
            if (const auto at = camera.Project(p.v)) seen.push_back({at->x, at->y});
        const double w = camera.width, h = camera.height;
        seen = Clipped(seen, [](const P2& p) { return p.x; });
        seen = Clipped(seen, [w](const P2& p) { return w - p.x; });
        seen = Clipped(seen, [](const P2& p) { return p.y; });
        seen = Clipped(seen, [h](const P2& p) { return h - p.y; });
        if (seen.size() < 3) continue;
        vision::RoomSurface& surface = layout.surfaces.emplace_back();
        surface.kind = KindOf(face);
        surface.name = face == RoomFace::Floor ? "地面" : face == RoomFace::Ceiling ? "天花" : wallNames[std::min(wall++, 3)];
        for (const P2& p : seen) surface.plane.push_back(Whole(p));
        surface.outline = {surface.plane};
        // A rectangle on the plane about the seen part's centre, shrunk
        // until its corners lie in what is seen.
        std::vector<P2> onPlane;
        for (const P2& p : seen)
            if (const auto at = PointOnPlane(camera, plane, {p.x, p.y})) {
                const Vec3 d = Minus(*at, plane.origin);
                onPlane.push_back({Dot(d, plane.first), Dot(d, plane.second)});
            }
        if (onPlane.size() < 3) continue;
        P2 lo = onPlane[0], hi = onPlane[0], centre;
        for (const P2& p : onPlane) {
            lo = {std::min(lo.x, p.x), std::min(lo.y, p.y)}, hi = {std::max(hi.x, p.x), std::max(hi.y, p.y)};
            centre = centre + p * (1.0 / onPlane.size());
        }
        auto inside = [&](P2 q) {
            double sign = 0;
            for (size_t i = 0; i < onPlane.size(); ++i) {
                const P2 a = onPlane[i], b = onPlane[(i + 1) % onPlane.size()];
                const double cross = (b.x - a.x) * (q.y - a.y) - (b.y - a.y) * (q.x - a.x);
                if (sign == 0) sign = cross;
                else if (cross * sign < 0) return false;
            }
            return true;
        };
        for (double scale = 0.45; scale > 0.01; scale *= 0.9) {
            const double a = (hi.x - lo.x) * scale, b = (hi.y - lo.y) * scale;
            const std::array<P2, 4> q{P2{centre.x - a, centre.y + b}, P2{centre.x + a, centre.y + b},
                                      P2{centre.x + a, centre.y - b}, P2{centre.x - a, centre.y - b}};
            if (!std::all_of(q.begin(), q.end(), inside)) continue;
            for (int i = 0; i < 4; ++i) {
                const auto at = camera.Project(Along(plane.origin, plane.first, q[i].x, plane.second, q[i].y));
                if (at) surface.corners[i] = Whole({at->x, at->y});
            }
            surface.width = 2 * a / truth.spec.cameraHeight, surface.height = 2 * b / truth.spec.cameraHeight;
            break;
        }
    }
    return layout;
}

}  // namespace v2d::demo
