#include "demo/demo_room.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include "scene/outline_geometry.h"

namespace v2d::demo {

RoomGeometry StartRoomGeometry() {
    RoomGeometry g;
    g.boxes.push_back({"衣柜门", 200, 1800, 0, 2200, 9000, FrontStyle::WoodDoors});
    g.windows.push_back({Wall::Right, 4500, 6500, 900, 2300});
    g.leftWallMesh = true;
    return g;
}

namespace {

struct Vec3 {
    double x, y, z;
};

enum class Surface { Floor, Ceiling, LeftWall, RightWall, BackWall, BoxFront, BoxTop, BoxSide, Window };

struct Hit {
    Surface surface = Surface::BackWall;
    Vec3 point{};
    Vec3 normal{0, 0, -1};
    const RoomBox* box = nullptr;
};

// The box a ray from the eye enters first, with the entering face's
// normal; slabs along x, y and depth.
std::optional<std::pair<double, Vec3>> EnterBox(const RoomBox& b, double back, double eye, double dx, double dy) {
    double near = 0, far = 1e12;
    Vec3 normal{0, 0, -1};
    auto slab = [&](double origin, double dir, double lo, double hi, Vec3 lowNormal, Vec3 highNormal) {
        if (std::abs(dir) < 1e-12) return origin >= lo && origin <= hi;
        double t0 = (lo - origin) / dir, t1 = (hi - origin) / dir;
        Vec3 n = lowNormal;
        if (t0 > t1) {
            std::swap(t0, t1);
            n = highNormal;
        }
        if (t0 > near) {
            near = t0;
            normal = n;
        }
        far = std::min(far, t1);
        return near <= far;
    };
    if (!slab(0, dx, b.x0, b.x1, {-1, 0, 0}, {1, 0, 0}) || !slab(eye, dy, b.y0, b.y1, {0, -1, 0}, {0, 1, 0}) ||
        !slab(0, 1, b.depth, back, {0, 0, -1}, {0, 0, 1}))
        return std::nullopt;
    return std::make_pair(near, normal);
}

bool InWindow(const RoomGeometry& g, Surface s, const Vec3& p) {
    for (const RoomWindow& w : g.windows) {
        const bool wall = (w.wall == Wall::Left && s == Surface::LeftWall) ||
                          (w.wall == Wall::Right && s == Surface::RightWall) ||
                          (w.wall == Wall::Back && s == Surface::BackWall);
        const double along = w.wall == Wall::Back ? p.x : p.z;
        if (wall && along > w.from && along < w.to && p.y > w.low && p.y < w.high) return true;
    }
    return false;
}

// Casts the ray through picture pixel (px, py) of the 1600-wide reference.
Hit CastRay(const RoomGeometry& g, double px, double py) {
    const double dx = (px - g.centreX) / g.focal;   // x per unit depth
    const double dy = -(py - g.horizonY) / g.focal;  // y per unit depth
    double depth = g.back;
    Hit hit;
    auto consider = [&](double d, Surface s, Vec3 n) {
        if (d > 0 && d < depth) {
            depth = d;
            hit.surface = s;
            hit.normal = n;
        }
    };
    if (dy < 0) consider(g.eye / -dy, Surface::Floor, {0, 1, 0});
    if (dy > 0) consider((g.height - g.eye) / dy, Surface::Ceiling, {0, -1, 0});
    if (dx < 0) consider(g.left / dx, Surface::LeftWall, {1, 0, 0});
    if (dx > 0) consider(g.right / dx, Surface::RightWall, {-1, 0, 0});
    for (const RoomBox& b : g.boxes) {
        const auto entered = EnterBox(b, g.back, g.eye, dx, dy);
        if (!entered || entered->first >= depth) continue;
        const Vec3 n = entered->second;
        consider(entered->first, n.z < 0 ? Surface::BoxFront : n.y > 0 ? Surface::BoxTop : Surface::BoxSide, n);
        hit.box = &b;
    }
    if (hit.surface != Surface::BoxFront && hit.surface != Surface::BoxTop && hit.surface != Surface::BoxSide)
        hit.box = nullptr;
    hit.point = {dx * depth, g.eye + dy * depth, depth};
    if (InWindow(g, hit.surface, hit.point)) hit.surface = Surface::Window;
    return hit;
}

double PointLight(const Hit& hit, Vec3 light, double power) {
    const Vec3 l{light.x - hit.point.x, light.y - hit.point.y, light.z - hit.point.z};
    const double r2 = l.x * l.x + l.y * l.y + l.z * l.z;
    const double r = std::sqrt(r2);
    const double cosine = (l.x * hit.normal.x + l.y * hit.normal.y + l.z * hit.normal.z) / r;
    return cosine <= 0 ? 0.0 : power * cosine / r2;
}

// Cheap, deterministic per-pixel noise in [-1, 1].
double Noise(int x, int y) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFF) / 32767.5 - 1.0;
}

struct Rgb {
    double r, g, b;
};

Rgb Of(const QColor& c, double add = 0) { return {c.redF() + add, c.greenF() + add, c.blueF() + add}; }

// A box's front in its own millimetres: (x, y) from its bottom-left.
Rgb FrontColour(const RoomBox& b, double x, double y) {
    const double w = b.x1 - b.x0, h = b.y1 - b.y0;
    const double doorWidth = w / std::max(1, b.doors);
    const double inDoor = std::fmod(x, doorWidth);
    const double toJoint = std::min(inDoor, doorWidth - inDoor);
    switch (b.style) {
        case FrontStyle::WoodDoors: {
            if ((toJoint < 12 && x > 12 && x < w - 12) || y < 80) return {0.20, 0.14, 0.09};
            const double grain = 0.04 * std::sin(x / 6.0 + 2.5 * std::sin(y / 240.0)) + 0.02 * std::sin(x / 2.3 + y / 900.0);
            const bool handle = toJoint > 55 && toJoint < 85 && std::abs(y - std::min(1150.0, h / 2)) < 160;
            if (handle && x > 100 && x < w - 100) return {0.75, 0.75, 0.78};
            return {0.55 + grain, 0.38 + grain, 0.24 + grain};
        }
        case FrontStyle::WhiteDoors: {
            if (toJoint < 4 || y < 6 || y > h - 6) return {0.45, 0.45, 0.46};
            const double bar = h < 1000 ? h - 90 : 90;  // low cabinets open at the top, wall ones below
            if (std::abs(y - bar) < 10 && std::abs(inDoor - doorWidth / 2) < 90) return {0.70, 0.71, 0.74};
            return {0.93, 0.92, 0.89};
        }
        case FrontStyle::Bookcase: {
            constexpr double kShelf = 380;
            const double inShelf = std::fmod(y, kShelf);
            if (x < 40 || x > w - 40 || y < 60 || y > h - 40 || inShelf < 25) return {0.30, 0.20, 0.13};
            const int spine = static_cast<int>(x / 38) * 7 + static_cast<int>(y / kShelf) * 13;
            const double top = 220 + (spine * 37 % 120);
            if (inShelf > top) return {0.12, 0.09, 0.07};  // the shelf's shadow above the books
            static const Rgb kBooks[] = {{0.55, 0.18, 0.15}, {0.20, 0.30, 0.45}, {0.80, 0.75, 0.62},
                                         {0.25, 0.40, 0.28}, {0.62, 0.45, 0.22}, {0.35, 0.33, 0.36}};
            return kBooks[spine % 6];
        }
        case FrontStyle::TvCabinet: {
            if (std::abs(y - h / 2) < 6 || toJoint < 5 || y < 30) return {0.12, 0.10, 0.09};
            if (std::abs(y - h * 0.75) < 8 && std::abs(inDoor - doorWidth / 2) < 120) return {0.72, 0.70, 0.66};
            const double grain = 0.03 * std::sin(x / 9.0 + 2.0 * std::sin(y / 80.0));
            return {0.36 + grain, 0.26 + grain, 0.19 + grain};
        }
    }
    return {0.5, 0.5, 0.5};
}

Rgb BaseColour(const RoomGeometry& g, const Hit& hit) {
    const Vec3& p = hit.point;
    switch (hit.surface) {
        case Surface::Floor: {
            // Screed with faint blotches.
            const double blotch = 0.04 * std::sin(p.x / 310.0) * std::cos(p.z / 270.0);
            return Of(g.floor, blotch);
        }
        case Surface::Ceiling: return Of(g.ceiling);
        case Surface::BoxFront: return FrontColour(*hit.box, p.x - hit.box->x0, p.y - hit.box->y0);
        case Surface::BoxTop: return Of(hit.box->topColour, 0.02 * std::sin(p.x / 40.0 + p.z / 55.0));
        case Surface::BoxSide: {
            const Rgb front = FrontColour(*hit.box, 200, (hit.box->y1 - hit.box->y0) / 2);
            return {front.r * 0.85, front.g * 0.85, front.b * 0.85};
        }
        case Surface::Window: {
            const RoomWindow* w = &g.windows.front();
            for (const RoomWindow& candidate : g.windows) {
                const double along = candidate.wall == Wall::Back ? p.x : p.z;
                if (along > candidate.from && along < candidate.to && p.y > candidate.low && p.y < candidate.high)
                    w = &candidate;
            }
            const double along = w->wall == Wall::Back ? p.x : p.z;
            const double t = (p.y - w->low) / (w->high - w->low);
            const bool bar = std::abs(along - (w->from + w->to) / 2) < 30 || along < w->from + 40 ||
                             along > w->to - 40 || p.y < w->low + 40 || p.y > w->high - 40;
            if (bar) return {0.95, 0.95, 0.95};
            return {0.80 + 0.15 * t, 0.88 + 0.08 * t, 1.0};
        }
        default: {
            // Painted walls; a skirting board along the floor.
            if (p.y < 90) return {0.85, 0.83, 0.80};
            return Of(g.walls);
        }
    }
}

uint8_t ToByte(double v) { return static_cast<uint8_t>(std::clamp(v, 0.0, 255.0)); }

Vec3 LampOf(const RoomGeometry& g) {
    return {(g.left + g.right) / 2, g.height - 500, std::max(g.NearCeiling(), g.back - 4000)};
}

// A light just inside each window.
std::vector<Vec3> WindowLights(const RoomGeometry& g) {
    std::vector<Vec3> lights;
    for (const RoomWindow& w : g.windows) {
        const double y = (w.low + w.high) / 2, along = (w.from + w.to) / 2;
        if (w.wall == Wall::Left) lights.push_back({g.left + 200, y, along});
        if (w.wall == Wall::Right) lights.push_back({g.right - 200, y, along});
        if (w.wall == Wall::Back) lights.push_back({along, y, g.back - 200});
    }
    return lights;
}

}  // namespace

QImage DrawRoom(const RoomGeometry& room, int width, int height) {
    RoomGeometry g = room;
    g.scale = width / 1600.0;
    QImage image(width, height, QImage::Format_RGB32);
    const double toReference = 1600.0 / width;
    const Vec3 lamp = LampOf(g);
    const std::vector<Vec3> windows = WindowLights(g);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const Hit hit = CastRay(g, (x + 0.5) * toReference, (y + 0.5) * toReference);
            const Rgb base = BaseColour(g, hit);
            double light;
            if (hit.surface == Surface::Window) {
                light = 1.0;
            } else {
                light = 0.30 + PointLight(hit, lamp, 4.0e6);
                for (const Vec3& w : windows) light += PointLight(hit, w, 2.5e6);
                // A soft shoulder instead of clipping keeps the light's shape readable.
                light = 1.08 * (1.0 - std::exp(-1.7 * light));
                // The room darkens towards the camera's edges, as lenses do.
                const double cx = (x - width / 2.0) / width, cy = (y - height / 2.0) / height;
                light *= 1.0 - 0.35 * (cx * cx + cy * cy);
            }
            const double grain = 3.0 * Noise(x, y);
            const double k = 255.0 * light;
            row[x] = 0xFF000000u | uint32_t(ToByte(base.r * k + grain)) << 16 |
                     uint32_t(ToByte(base.g * k + grain)) << 8 | ToByte(base.b * k + grain);
        }
    }
    // The ceiling lamp itself.
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 252, 240));
    painter.drawEllipse(QPointF(g.u(lamp.x, lamp.z), g.v(g.height, lamp.z)), 70 * g.scale, 14 * g.scale);
    return image;
}

namespace {

using QuadF = std::array<QPointF, 4>;

QPainterPath PathOf(const QuadF& q) {
    QPainterPath path;
    path.addPolygon(QPolygonF({q[0], q[1], q[2], q[3], q[0]}));
    return path;
}

V2d_Point Rounded(QPointF p) {
    return {static_cast<int32_t>(std::lround(p.x())), static_cast<int32_t>(std::lround(p.y()))};
}

// Adds a region whose quad is `quad` and whose outline is what of it stays
// visible in `frame` once `hidden` is taken away; null when nothing does.
V2dPolygon* AddRegion(Scene& scene, const char* name, const QuadF& quad, const QPainterPath& frame,
                      const QPainterPath& hidden, double realWidth, double realHeight) {
    const QPainterPath visible = PathOf(quad).intersected(frame).subtracted(hidden);
    PolygonPtr record = NewPolygon();
    for (const QPolygonF& ring : visible.toSubpathPolygons()) {
        std::vector<V2d_Point> points;
        for (const QPointF& p : ring)
            if (points.empty() || !(Rounded(p) == points.back())) points.push_back(Rounded(p));
        if (points.size() > 1 && points.front() == points.back()) points.pop_back();
        if (points.size() < 3) continue;
        record->points.insert(record->points.end(), points.begin(), points.end());
        record->indexList.push_back(record->pointCount() - 1);
    }
    if (record->points.empty()) return nullptr;
    record->name = name;
    for (int i = 0; i < 4; ++i) record->corners[i] = Rounded(quad[size_t(i)]);
    record->realWidth = static_cast<int32_t>(std::lround(realWidth));
    record->realHeight = static_cast<int32_t>(std::lround(realHeight));
    return scene.Append(std::move(record));
}

// The left wall laid through a 4 x 4 mesh that follows the true
// perspective: canvas nodes on a regular grid over the outline box,
// destination nodes relative to the box's top-left.
void AddLeftWallMesh(Scene& scene, V2dPolygon* wall, const RoomGeometry& g) {
    wall->castShadow = 0;
    auto mesh = std::make_unique<V2dPolygonMesh>();
    mesh->owner = wall;
    mesh->rows = 4;
    mesh->cols = 4;
    const PixelBox box = BoxOf(wall->points);
    const double near = g.NearLeft();
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            mesh->srcNodes.push_back({(box.maxX - box.minX) * c / 3, (box.maxY - box.minY) * r / 3});
            const double d = near + (g.back - near) * c / 3.0, y = g.height - g.height * r / 3.0;
            const V2d_Point p = Rounded({std::clamp(g.u(g.left, d), 0.0, 1600 * g.scale - 1),
                                         std::clamp(g.v(y, d), 0.0, 1200 * g.scale - 1)});
            mesh->dstNodes.push_back({p.x - box.minX, p.y - box.minY});
        }
    }
    scene.AddMesh(std::move(mesh));
}

}  // namespace

Scene BuildRoomScene(const RoomGeometry& room, int width, int height) {
    RoomGeometry g = room;
    g.scale = width / 1600.0;
    Scene scene;
    scene.background = DrawRoom(room, width, height);
    auto at = [&](double x, double y, double d) { return QPointF(g.u(x, d), g.v(y, d)); };
    const double l = g.left, r = g.right, h = g.height, b = g.back;
    QPainterPath frame;
    frame.addRect(QRectF(0, 0, width - 1, height - 1));

    // What the boxes hide: each box's six faces together.
    auto boxPath = [&](const RoomBox& x) {
        QPainterPath path;
        const double ds[] = {x.depth, b};
        for (double d : ds) path = path.united(PathOf({at(x.x0, x.y1, d), at(x.x1, x.y1, d), at(x.x1, x.y0, d), at(x.x0, x.y0, d)}));
        for (double y : {x.y0, x.y1}) path = path.united(PathOf({at(x.x0, y, b), at(x.x1, y, b), at(x.x1, y, x.depth), at(x.x0, y, x.depth)}));
        for (double xx : {x.x0, x.x1}) path = path.united(PathOf({at(xx, x.y1, x.depth), at(xx, x.y1, b), at(xx, x.y0, b), at(xx, x.y0, x.depth)}));
        return path;
    };
    QPainterPath boxes;
    for (const RoomBox& x : g.boxes) boxes = boxes.united(boxPath(x));
    auto windowsIn = [&](Wall wall) {
        QPainterPath path;
        for (const RoomWindow& w : g.windows) {
            if (w.wall != wall) continue;
            const double x = wall == Wall::Left ? l : r;
            path.addPolygon(wall == Wall::Back
                                ? QPolygonF({at(w.from, w.high, b), at(w.to, w.high, b), at(w.to, w.low, b), at(w.from, w.low, b)})
                                : QPolygonF({at(x, w.high, w.from), at(x, w.high, w.to), at(x, w.low, w.to), at(x, w.low, w.from)}));
            path.closeSubpath();
        }
        return boxes.united(path);
    };

    const double nf = g.NearFloor(), nl = g.NearLeft(), nr = g.NearRight(), nc = g.NearCeiling();
    AddRegion(scene, "地面", {at(l, 0, b), at(r, 0, b), at(r, 0, nf), at(l, 0, nf)}, frame, boxes, r - l, b - nf);
    V2dPolygon* back = AddRegion(scene, "背景墙", {at(l, h, b), at(r, h, b), at(r, 0, b), at(l, 0, b)}, frame,
                                 windowsIn(Wall::Back), r - l, h);
    V2dPolygon* left = AddRegion(scene, "左墙", {at(l, h, nl), at(l, h, b), at(l, 0, b), at(l, 0, nl)}, frame,
                                 windowsIn(Wall::Left), b - nl, h);
    V2dPolygon* right = AddRegion(scene, "右墙", {at(r, h, b), at(r, h, nr), at(r, 0, nr), at(r, 0, b)}, frame,
                                  windowsIn(Wall::Right), b - nr, h);
    AddRegion(scene, "天花", {at(l, h, nc), at(r, h, nc), at(r, h, b), at(l, h, b)}, frame, boxes, r - l, b - nc);
    for (const RoomBox& x : g.boxes) {
        // Only boxes nearer than this one hide it.
        QPainterPath nearer;
        for (const RoomBox& other : g.boxes)
            if (other.depth < x.depth) nearer = nearer.united(boxPath(other));
        AddRegion(scene, x.name, {at(x.x0, x.y1, x.depth), at(x.x1, x.y1, x.depth), at(x.x1, x.y0, x.depth), at(x.x0, x.y0, x.depth)},
                  frame, nearer, x.x1 - x.x0, x.y1 - x.y0);
        if (x.topName && x.y1 < g.eye)
            AddRegion(scene, x.topName, {at(x.x0, x.y1, b), at(x.x1, x.y1, b), at(x.x1, x.y1, x.depth), at(x.x0, x.y1, x.depth)},
                      frame, nearer, x.x1 - x.x0, b - x.depth);
    }
    if (g.leftWallMesh && left) AddLeftWallMesh(scene, left, g);
    std::vector<V2dPolygon*> walls;
    for (V2dPolygon* wall : {back, left, right})
        if (wall) walls.push_back(wall);
    if (walls.size() >= 2) scene.AddGroup(V2dGroupPL{"墙面", {walls.begin(), walls.end()}});
    return scene;
}

Result<Bytes> BareRoomThumbnail(const Scene& room) {
    std::optional<Bytes> jpeg =
        EncodeJpeg(room.background.scaled(200, 150, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), 90);
    if (!jpeg) return Error{"写文件失败。"};
    return *jpeg;
}

QImage DrawDemoRoom(int width, int height) { return DrawRoom(StartRoomGeometry(), width, height); }

Scene BuildDemoRoomScene(int width, int height) { return BuildRoomScene(StartRoomGeometry(), width, height); }

}  // namespace v2d::demo
