#include "demo/demo_room.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "demo/room_geometry.h"
#include "scene/outline_geometry.h"

namespace v2d::demo {
namespace {

using G = RoomGeometry;

struct Vec3 {
    double x, y, z;
};

enum class Surface { Floor, Ceiling, LeftWall, RightWall, BackWall, Wardrobe, Window };

struct Hit {
    Surface surface;
    Vec3 point;
    Vec3 normal;
};

// Casts the ray through picture pixel (px, py) of the 1600-wide reference.
Hit CastRay(double px, double py) {
    const double dx = (px - G::kCentreX) / G::kFocal;  // x per unit depth
    const double dy = -(py - G::kHorizonY) / G::kFocal;  // y per unit depth
    double depth = G::kBack;
    Hit hit{Surface::BackWall, {}, {0, 0, -1}};
    auto consider = [&](double d, Surface s, Vec3 n) {
        if (d > 0 && d < depth) {
            depth = d;
            hit.surface = s;
            hit.normal = n;
        }
    };
    if (dy < 0) consider(G::kEye / -dy, Surface::Floor, {0, 1, 0});
    if (dy > 0) consider((G::kHeight - G::kEye) / dy, Surface::Ceiling, {0, -1, 0});
    if (dx < 0) consider(G::kHalfWidth / -dx, Surface::LeftWall, {1, 0, 0});
    if (dx > 0) consider(G::kHalfWidth / dx, Surface::RightWall, {-1, 0, 0});
    const double wx = dx * G::kWardrobeDepth, wy = G::kEye + dy * G::kWardrobeDepth;
    if (wx >= G::kWardrobeLeft && wx <= G::kWardrobeRight && wy >= 0 && wy <= G::kWardrobeTop)
        consider(G::kWardrobeDepth, Surface::Wardrobe, {0, 0, -1});
    hit.point = {dx * depth, G::kEye + dy * depth, depth};
    if (hit.surface == Surface::RightWall && hit.point.z > G::kWindowNear && hit.point.z < G::kWindowFar &&
        hit.point.y > G::kWindowLow && hit.point.y < G::kWindowHigh)
        hit.surface = Surface::Window;
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

Rgb BaseColour(const Hit& hit) {
    const Vec3& p = hit.point;
    switch (hit.surface) {
        case Surface::Floor: {
            // Light grey screed with faint blotches.
            const double blotch = 0.04 * std::sin(p.x / 310.0) * std::cos(p.z / 270.0);
            return {0.72 + blotch, 0.70 + blotch, 0.66 + blotch};
        }
        case Surface::Ceiling: return {0.93, 0.93, 0.91};
        case Surface::Wardrobe: {
            // Two wooden doors with a dark gap and grain.
            const double middle = (G::kWardrobeLeft + G::kWardrobeRight) / 2;
            if (std::abs(p.x - middle) < 12 || p.y < 80) return {0.20, 0.14, 0.09};
            const double grain = 0.04 * std::sin(p.x / 6.0 + 2.5 * std::sin(p.y / 240.0)) +
                                 0.02 * std::sin(p.x / 2.3 + p.y / 900.0);
            const bool handle = std::abs(std::abs(p.x - middle) - 70) < 15 && std::abs(p.y - 1150) < 160;
            if (handle) return {0.75, 0.75, 0.78};
            return {0.55 + grain, 0.38 + grain, 0.24 + grain};
        }
        case Surface::Window: {
            const double t = (p.y - G::kWindowLow) / (G::kWindowHigh - G::kWindowLow);
            const bool bar = std::abs(p.z - (G::kWindowNear + G::kWindowFar) / 2) < 30 ||
                             p.z < G::kWindowNear + 40 || p.z > G::kWindowFar - 40 ||
                             p.y < G::kWindowLow + 40 || p.y > G::kWindowHigh - 40;
            if (bar) return {0.95, 0.95, 0.95};
            return {0.80 + 0.15 * t, 0.88 + 0.08 * t, 1.0};
        }
        default: {
            // Off-white walls; a skirting board along the floor.
            if (p.y < 90 && hit.surface != Surface::Ceiling) return {0.85, 0.83, 0.80};
            return {0.90, 0.87, 0.80};
        }
    }
}

uint8_t ToByte(double v) { return static_cast<uint8_t>(std::clamp(v, 0.0, 255.0)); }

}  // namespace

QImage DrawDemoRoom(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    const double toReference = 1600.0 / width;
    const Vec3 lamp{0, 2500, 5600};
    const Vec3 window{1800, 1600, 5500};
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const Hit hit = CastRay((x + 0.5) * toReference, (y + 0.5) * toReference);
            const Rgb base = BaseColour(hit);
            double light;
            if (hit.surface == Surface::Window) {
                light = 1.0;
            } else {
                light = 0.30 + PointLight(hit, lamp, 4.0e6) + PointLight(hit, window, 2.5e6);
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
    const G g{width / 1600.0};
    const double lampU = g.u(0, lamp.z), lampV = g.v(G::kHeight, lamp.z);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 252, 240));
    painter.drawEllipse(QPointF(lampU, lampV), 70 * g.scale, 14 * g.scale);
    return image;
}

namespace {

V2d_Point P(double u, double v, int width, int height) {
    return {static_cast<int32_t>(std::clamp(std::lround(u), 0L, long(width - 1))),
            static_cast<int32_t>(std::clamp(std::lround(v), 0L, long(height - 1)))};
}

V2dPolygon* AddRegion(Scene& scene, const char* name, std::vector<V2d_Point> outline,
                      std::vector<int32_t> rings, const std::array<V2d_Point, 4>& corners, int realWidth,
                      int realHeight) {
    PolygonPtr record = NewPolygon();
    record->name = name;
    record->points = std::move(outline);
    record->indexList = std::move(rings);
    std::copy(corners.begin(), corners.end(), record->corners);
    record->realWidth = realWidth;
    record->realHeight = realHeight;
    return scene.Append(std::move(record));
}

}  // namespace

Scene BuildDemoRoomScene(int width, int height) {
    Scene scene;
    scene.background = DrawDemoRoom(width, height);
    const G g{width / 1600.0};
    auto at = [&](double x, double y, double d) { return P(g.u(x, d), g.v(y, d), width, height); };
    const double w = G::kHalfWidth, h = G::kHeight, f = G::kFront, b = G::kBack;

    // Back-wall and floor corners, and the wardrobe front.
    const V2d_Point backTL = at(-w, h, b), backTR = at(w, h, b), backBR = at(w, 0, b), backBL = at(-w, 0, b);
    const V2d_Point wardTL = at(G::kWardrobeLeft, G::kWardrobeTop, G::kWardrobeDepth);
    const V2d_Point wardBR = at(G::kWardrobeRight, 0, G::kWardrobeDepth);
    const V2d_Point frontTL = at(-w, h, f), frontTR = at(w, h, f), frontBR = at(w, 0, f), frontBL = at(-w, 0, f);

    AddRegion(scene, "地面",
              {backBL, {wardTL.x, backBL.y}, {wardTL.x, wardBR.y}, {wardBR.x, wardBR.y}, {wardBR.x, backBR.y},
               backBR, frontBR, frontBL},
              {7}, {backBL, backBR, frontBR, frontBL}, 4000, static_cast<int>(b - f));
    V2dPolygon* back = AddRegion(scene, "背景墙",
                                 {backTL, backTR, backBR, {wardBR.x, backBR.y}, {wardBR.x, wardTL.y},
                                  {wardTL.x, wardTL.y}, {wardTL.x, backBL.y}, backBL},
                                 {7}, {backTL, backTR, backBR, backBL}, 4000, 3000);
    V2dPolygon* left = AddRegion(scene, "左墙", {frontTL, backTL, backBL, frontBL}, {3},
                                 {frontTL, backTL, backBL, frontBL}, static_cast<int>(b - f), 3000);
    const V2d_Point winTL = at(w, G::kWindowHigh, G::kWindowFar), winTR = at(w, G::kWindowHigh, G::kWindowNear);
    const V2d_Point winBR = at(w, G::kWindowLow, G::kWindowNear), winBL = at(w, G::kWindowLow, G::kWindowFar);
    // The window is a second ring: even-odd filling leaves it untouched.
    V2dPolygon* right = AddRegion(scene, "右墙", {backTR, frontTR, frontBR, backBR, winTL, winTR, winBR, winBL},
                                  {3, 7}, {backTR, frontTR, frontBR, backBR}, static_cast<int>(b - f), 3000);
    AddRegion(scene, "天花", {frontTL, frontTR, backTR, backTL}, {3}, {frontTL, frontTR, backTR, backTL}, 4000,
              static_cast<int>(b - f));
    AddRegion(scene, "衣柜门", {wardTL, {wardBR.x, wardTL.y}, wardBR, {wardTL.x, wardBR.y}}, {3},
              {wardTL, {wardBR.x, wardTL.y}, wardBR, {wardTL.x, wardBR.y}}, 1600, 2200);

    // The left wall is laid through a 4 x 4 mesh that follows the true
    // perspective: canvas nodes on a regular grid over the outline box,
    // destination nodes relative to the box's top-left.
    left->castShadow = 0;
    auto mesh = std::make_unique<V2dPolygonMesh>();
    mesh->owner = left;
    mesh->rows = 4;
    mesh->cols = 4;
    const PixelBox box = BoxOf(left->points);
    const int32_t minX = box.minX, minY = box.minY, maxX = box.maxX, maxY = box.maxY;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            mesh->srcNodes.push_back({(maxX - minX) * c / 3, (maxY - minY) * r / 3});
            const V2d_Point p = at(-w, h - h * r / 3.0, f + (b - f) * c / 3.0);
            mesh->dstNodes.push_back({p.x - minX, p.y - minY});
        }
    }
    scene.MeshList.push_back(std::move(mesh));

    scene.GroupList.push_back(V2dGroupPL{"墙面", {back, left, right}});
    return scene;
}

}  // namespace v2d::demo
