#include "demo/rendered_rooms.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <sstream>

#include <unistd.h>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "demo/floor_textures.h"

namespace v2d::demo {
namespace {

constexpr double kDeg = std::numbers::pi / 180;

Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec3 Unit(Vec3 a) { return a * (1 / std::sqrt(Dot(a, a))); }

// The camera's right, up and forward unit vectors as POV-Ray builds them
// from look_at with the sky along y.
struct Basis {
    Vec3 right, up, forward;
};
Basis BasisOf(const RoomCamera& camera) {
    const Vec3 forward = Unit(camera.lookAt - camera.location);
    const Vec3 right = Unit(Cross(camera.sky, forward));
    return {right, Cross(forward, right), forward};
}

// ---- The scene file -------------------------------------------------------

std::string V(Vec3 v) {
    char text[96];
    std::snprintf(text, sizeof text, "<%.3f, %.3f, %.3f>", v.x, v.y, v.z);
    return text;
}

// Writes objects with a photo texture, or for the label render each in the
// flat grey of the face it belongs to (red = face * 16 / 255, rendered
// without light, antialiasing or gamma so every pixel is one face exactly).
class SceneText {
public:
    explicit SceneText(bool labels) : labels_(labels) {}
    bool labels() const { return labels_; }
    std::ostringstream& out() { return out_; }
    std::string str() const { return out_.str(); }

    std::string Texture(const std::string& photoTexture, RoomFace face) const {
        if (!labels_) return photoTexture;
        char text[96];
        std::snprintf(text, sizeof text, "texture { pigment { rgb <%.6f, 0, 0> } finish { ambient 1 diffuse 0 } }",
                      static_cast<int>(face) * 16 / 255.0);
        return text;
    }
    // `modifiers` follow the texture, as " no_shadow".
    void Box(Vec3 a, Vec3 b, const std::string& photoTexture, RoomFace face, const char* modifiers = "") {
        out_ << "box { " << V(a) << ", " << V(b) << " " << Texture(photoTexture, face) << modifiers << " }\n";
    }

private:
    bool labels_;
    std::ostringstream out_;
};

std::string Matte(const char* rgb, double ambient = 0.1, double diffuse = 0.75) {
    std::ostringstream t;
    t << "texture { pigment { rgb " << rgb << " } finish { ambient " << ambient << " diffuse " << diffuse << " } }";
    return t.str();
}

std::string WallTexture(WallFinish finish) {
    switch (finish) {
    case WallFinish::WarmWhite: return Matte("<0.78, 0.74, 0.66>");
    case WallFinish::Sage: return Matte("<0.36, 0.44, 0.33>");
    case WallFinish::Greige: return Matte("<0.50, 0.45, 0.39>");
    case WallFinish::White: return Matte("<0.72, 0.71, 0.69>");
    case WallFinish::Striped:
        return "texture { pigment { gradient <1, 0, 1> color_map { [0 rgb <0.62, 0.58, 0.50>] [0.5 rgb <0.62, 0.58, 0.50>]"
               " [0.5 rgb <0.45, 0.50, 0.55>] [1 rgb <0.45, 0.50, 0.55>] } scale 320 } finish { ambient 0.1 diffuse 0.75 } }";
    }
    return "";
}

Vec3 LookDirection(const RoomSpec& s) {
    const double yaw = s.yawDeg * kDeg, pitch = s.pitchDeg * kDeg;
    return {std::sin(yaw) * std::cos(pitch), -std::sin(pitch), std::cos(yaw) * std::cos(pitch)};
}

// The window's opening in the left wall: along the wall (z) and up (y).
struct WindowOpening {
    double z0, z1, y0, y1;
};
WindowOpening WindowOf(const RoomSpec& s) {
    const double z0 = s.roomDepth * 0.32;
    return {z0, z0 + 1400, 900, 2200};
}

// The sun 30 degrees up, to the left and turned towards the back wall: a
// parallel light, so the patch it draws through the window on the floor
// and the shadow of the table standing in it have sharp edges. The
// ceiling's area light and a faint fill light the rest softly.
void WriteSunlight(const RoomSpec& s, const std::string& sampling, SceneText& scene) {
    const double W = s.roomWidth, D = s.roomDepth, H = s.roomHeight;
    const double elevation = 30 * kDeg, turn = -20 * kDeg;
    const Vec3 along{std::cos(elevation) * std::cos(turn), -std::sin(elevation), std::cos(elevation) * std::sin(turn)};
    const WindowOpening window = WindowOf(s);
    const Vec3 middle{-W / 2, (window.y0 + window.y1) / 2, (window.z0 + window.z1) / 2};
    auto& o = scene.out();
    o << "light_source { " << V(middle - along * 20000) << " rgb <1, 0.95, 0.86>*1.2 parallel point_at "
      << V(middle) << " }\n";
    o << "light_source { " << V({0, H - 60, D * 0.5}) << " rgb <1, 0.96, 0.88>*0.5"
      << " area_light <900, 0, 0>, <0, 0, 900>," << sampling << " circular orient"
      << " fade_distance 3000 fade_power 1 }\n";
    o << "light_source { " << V({W / 2 - 300, 1800, D * 0.3}) << " rgb <1, 1, 1>*0.2 shadowless }\n";
}

// Small renders sample the area lights on a fixed grid, so a room renders
// to the same pixels every time; large ones jitter fewer samples, which is
// about twice as fast and as soft.
void WriteLights(const RoomSpec& s, bool repeatable, SceneText& scene) {
    const double W = s.roomWidth, D = s.roomDepth, H = s.roomHeight;
    const std::string sampling = repeatable ? " 9, 9 adaptive 1" : " 4, 4 adaptive 1 jitter";
    auto& o = scene.out();
    if (s.light == RoomLight::Sunlit) {
        WriteSunlight(s, sampling, scene);
        return;
    }
    if (s.light != RoomLight::Window) {
        const double power = s.light == RoomLight::Ceiling ? 1.1 : 0.75;
        o << "light_source { " << V({0, H - 60, D * 0.5}) << " rgb <1, 0.96, 0.88>*" << power
          << " area_light <900, 0, 0>, <0, 0, 900>," << sampling << " circular orient"
          << " fade_distance 3000 fade_power 1 }\n";
        o << "light_source { " << V({0, H - 200, D * 0.15}) << " rgb <1, 0.96, 0.88>*" << power * 0.35
          << " shadowless }\n";
    }
    if (s.light != RoomLight::Ceiling) {
        // Daylight through the left wall's window.
        const double power = s.light == RoomLight::Window ? 1.2 : 0.8;
        o << "light_source { " << V({-W / 2 + 150, 1550, D * 0.32 + 700}) << " rgb <0.92, 0.96, 1.0>*" << power
          << " area_light <0, 0, 1400>, <0, 1300, 0>," << sampling
          << " orient fade_distance 2500 fade_power 1 }\n";
        o << "light_source { " << V({W / 2 - 300, 1800, D * 0.6}) << " rgb <1, 1, 1>*" << power * 0.3
          << " shadowless }\n";
    }
}

void WriteRoomShell(const RoomSpec& s, SceneText& scene) {
    const double W = s.roomWidth, D = s.roomDepth, H = s.roomHeight, t = 150;
    const std::string wall = WallTexture(s.walls);
    scene.out() << "plane { y, 0 " << scene.Texture("texture { FloorTex }", RoomFace::Floor) << " }\n";
    scene.Box({-W / 2 - t, H, -t}, {W / 2 + t, H + t, D + t}, Matte("<0.85, 0.84, 0.82>", 0.3), RoomFace::Ceiling);
    scene.Box({-W / 2 - t, 0, D}, {W / 2 + t, H, D + t}, wall, RoomFace::BackWall);
    scene.Box({W / 2, 0, -t}, {W / 2 + t, H, D + t}, wall, RoomFace::RightWall);
    scene.Box({-W / 2 - t, 0, -t - 1}, {W / 2 + t, H, 0}, wall, RoomFace::FrontWall);
    if (!s.window) {
        scene.Box({-W / 2 - t, 0, -t}, {-W / 2, H, D + t}, wall, RoomFace::LeftWall);
    } else {
        // The left wall with a window opening, its frame and the bright view;
        // the opening's sides belong to the window.
        const auto [z0, z1, y0, y1] = WindowOf(s);
        scene.out() << "difference { box { " << V({-W / 2 - t, 0, -t}) << ", " << V({-W / 2, H, D + t}) << " "
                    << scene.Texture(wall, RoomFace::LeftWall) << " }"
                    << " box { " << V({-W / 2 - t - 1, y0, z0}) << ", " << V({-W / 2 + 1, y1, z1}) << " "
                    << scene.Texture(wall, RoomFace::Window) << " } }\n";
        scene.Box({-W / 2 - t - 40, y0 - 10, z0 - 10}, {-W / 2 - t - 20, y1 + 10, z1 + 10},
                  "texture { pigment { rgb <0.85, 0.92, 1.0> } finish { ambient 1.3 diffuse 0 } }", RoomFace::Window,
                  s.light == RoomLight::Sunlit ? " no_shadow" : "");  // the sun shines through the view
        const std::string frame = Matte("<0.9, 0.9, 0.88>", 0.25);
        scene.Box({-W / 2 - 80, y0 - 40, z0 - 60}, {-W / 2 + 40, y0, z1 + 60}, frame, RoomFace::Window);  // sill
        scene.Box({-W / 2 - 80, y1, z0 - 40}, {-W / 2 - 20, y1 + 40, z1 + 40}, frame, RoomFace::Window);
        scene.Box({-W / 2 - 80, y0, z0 - 40}, {-W / 2 - 20, y1, z0}, frame, RoomFace::Window);
        scene.Box({-W / 2 - 80, y0, z1}, {-W / 2 - 20, y1, z1 + 40}, frame, RoomFace::Window);
        scene.Box({-W / 2 - 80, y0, (z0 + z1) / 2 - 25}, {-W / 2 - 40, y1, (z0 + z1) / 2 + 25}, frame,
                  RoomFace::Window);
    }
    if (s.skirting) {
        // Skirting along every wall, counted as the wall's.
        const std::string skirting =
            "texture { pigment { rgb <0.86, 0.86, 0.84> } finish { ambient 0.16 diffuse 0.7 specular 0.3 } }";
        const double k = 90, d = 16;
        scene.Box({-W / 2, 0, D - d}, {W / 2, k, D}, skirting, RoomFace::BackWall);
        scene.Box({-W / 2, 0, 0}, {-W / 2 + d, k, D}, skirting, RoomFace::LeftWall);
        scene.Box({W / 2 - d, 0, 0}, {W / 2, k, D}, skirting, RoomFace::RightWall);
        scene.Box({-W / 2, 0, 0}, {W / 2, k, d}, skirting, RoomFace::FrontWall);
    }
    if (s.door) {
        // A door in the back wall near its left end: frame, leaf and handle standing out of the wall.
        const double x0 = -W / 2 + std::clamp(W / 2 - 1000, 150.0, 400.0), x1 = x0 + 900, h = 2050;
        const std::string frame = Matte("<0.80, 0.78, 0.74>", 0.2);
        scene.Box({x0 - 60, 0, D - 20}, {x1 + 60, h + 60, D}, frame, RoomFace::Door);
        scene.Box({x0, 0, D - 35}, {x1, h, D - 20}, Matte("<0.45, 0.30, 0.18>", 0.12), RoomFace::Door);
        scene.Box({x1 - 120, 980, D - 75}, {x1 - 60, 1010, D - 35}, Matte("<0.7, 0.7, 0.72>", 0.2),
                  RoomFace::Door);
    }
}

void WriteFurniture(const RoomSpec& s, SceneText& scene) {
    const double W = s.roomWidth, D = s.roomDepth;
    constexpr RoomFace F = RoomFace::Furniture;
    if (s.rug) {
        // A patterned wool rug, 12 mm thick, a deep red field in a dark blue border.
        const auto [near, far] = RugOnFloor(s);
        const Vec3 a{near.x, 0, near.z}, b{far.x, 12, far.z};
        scene.Box(a, b, Matte("<0.06, 0.08, 0.20>", 0.14, 0.8), RoomFace::Rug);
        scene.Box(a + Vec3{120, 0, 120}, b + Vec3{-120, 1, -120},
                  "texture { pigment { checker rgb <0.40, 0.05, 0.04> rgb <0.52, 0.12, 0.06> scale 160 } "
                  "normal { granite 0.2 scale 8 } finish { ambient 0.14 diffuse 0.8 } }",
                  RoomFace::Rug);
    }
    if (s.sofa) {
        // A three-seater with its back to the right wall, on a recessed plinth.
        const std::string fabric = Matte("<0.22, 0.24, 0.27>", 0.14, 0.8);
        const double x0 = W / 2 - 960, x1 = W / 2 - 60, z0 = D * 0.45, z1 = z0 + 2100;
        scene.Box({x0 + 40, 0, z0 + 40}, {x1 - 40, 90, z1 - 40}, Matte("<0.04, 0.04, 0.04>", 0.1), F);
        scene.Box({x0, 90, z0}, {x1, 400, z1}, fabric, F);
        scene.Box({x1 - 220, 400, z0}, {x1, 860, z1}, fabric, F);                       // back
        scene.Box({x0, 400, z0}, {x1 - 220, 620, z0 + 200}, fabric, F);                 // arms
        scene.Box({x0, 400, z1 - 200}, {x1 - 220, 620, z1}, fabric, F);
        const std::string cushion = Matte("<0.26, 0.28, 0.31>", 0.14, 0.8);
        for (int i = 0; i < 3; ++i) {
            const double c0 = z0 + 210 + i * 560, c1 = c0 + 550;
            scene.Box({x0 + 10, 400, c0}, {x1 - 230, 520, c1}, cushion, F);
        }
    }
    if (s.table) {
        // A dining table on four legs: the floor shows between them, in its shadow.
        const std::string wood = Matte("<0.30, 0.18, 0.09>", 0.14, 0.75);
        const double x0 = -W / 2 + 450, x1 = x0 + 900, z0 = D * 0.34, z1 = z0 + 1500;
        scene.Box({x0, 730, z0}, {x1, 770, z1}, wood, F);
        for (double x : {x0 + 40, x1 - 100})
            for (double z : {z0 + 40, z1 - 100}) scene.Box({x, 0, z}, {x + 60, 730, z + 60}, wood, F);
    }
    if (s.cabinet) {
        // A sideboard against the back wall: plinth, body, two door gaps.
        const double x0 = -500, x1 = 1300, z0 = D - 470, z1 = D - 10;
        scene.Box({x0 + 30, 0, z0 + 40}, {x1 - 30, 80, z1}, Matte("<0.05, 0.05, 0.05>", 0.1), F);
        scene.Box({x0, 80, z0}, {x1, 860, z1},
                  "texture { pigment { rgb <0.72, 0.70, 0.66> } finish { ambient 0.15 diffuse 0.7 specular 0.3 } }", F);
        for (double x : {x0 + 600.0, x0 + 1200.0})
            scene.Box({x - 3, 100, z0 - 1}, {x + 3, 840, z0 + 5}, Matte("<0.1, 0.1, 0.1>", 0.1), F);
    }
}

bool Repeatable(int width, int height) { return width * height <= 1'000'000; }

std::string SceneFile(const RoomSpec& s, const RoomCamera& camera, bool labels) {
    SceneText scene(labels);
    auto& o = scene.out();
    o << "// " << s.name << (labels ? ": what each pixel shows\n" : ": the photo\n");
    o << "#version 3.7;\nglobal_settings { assumed_gamma 1.0 max_trace_level 4 }\nbackground { rgb 0 }\n";
    o << "camera { perspective location " << V(camera.location) << " right x*" << camera.width << "/" << camera.height
      << " up y angle " << camera.angleDeg << " sky " << V(camera.sky) << " look_at " << V(camera.lookAt) << " }\n";
    if (!labels) {
        o << FloorTexture(s.floor, s.plainFloor);
        WriteLights(s, Repeatable(camera.width, camera.height), scene);
    }
    WriteRoomShell(s, scene);
    WriteFurniture(s, scene);
    return scene.str();
}

// ---- Rendering --------------------------------------------------------------

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// POV-Ray writes only beside its working folder, so it runs inside `dir`.
// Without antialiasing the picture is written without gamma, as labels.
Status RunPovRay(const std::filesystem::path& dir, const std::string& scene, const std::string& output, int width,
                 int height, bool antialias) {
    const std::string log = output + ".log";
    const std::string command = "cd " + Quoted(dir.string()) + " && povray +I" + Quoted(scene) + " +O" +
                                Quoted(output) + " +W" + std::to_string(width) + " +H" + std::to_string(height) +
                                " -D +FN -V -P +WT2 " + (antialias ? "+A0.3 +AM2 +R2 -J" : "-A File_Gamma=1.0") + " >" +
                                Quoted(log) + " 2>&1";
    if (std::system(command.c_str()) != 0 || !std::filesystem::exists(dir / output))
        return Error{"POV-Ray 渲染失败：" + (dir / log).string()};
    std::error_code ignored;
    std::filesystem::remove(dir / log, ignored);
    return {};
}

QImage LoadPng(const std::filesystem::path& path) {
    const auto bytes = ReadWholeFile(path);
    return bytes ? DecodePng(*bytes) : QImage();
}

// Chamfer distance (in about pixels) of every floor pixel to the nearest
// pixel that is not floor, the picture's border included.
std::vector<int> DistanceToEdge(const QImage& mask) {
    const int w = mask.width(), h = mask.height();
    std::vector<int> d(static_cast<size_t>(w) * h);
    auto at = [&](int x, int y) -> int& { return d[static_cast<size_t>(y) * w + x]; };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) at(x, y) = mask.constScanLine(y)[x] ? 1 << 28 : 0;
    auto relax = [&](int x, int y, int nx, int ny, int cost) {
        const int other = nx < 0 || ny < 0 || nx >= w || ny >= h ? 0 : at(nx, ny);
        at(x, y) = std::min(at(x, y), other + cost);
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            relax(x, y, x - 1, y, 3), relax(x, y, x, y - 1, 3);
            relax(x, y, x - 1, y - 1, 4), relax(x, y, x + 1, y - 1, 4);
        }
    for (int y = h - 1; y >= 0; --y)
        for (int x = w - 1; x >= 0; --x) {
            relax(x, y, x + 1, y, 3), relax(x, y, x, y + 1, 3);
            relax(x, y, x + 1, y + 1, 4), relax(x, y, x - 1, y + 1, 4);
        }
    for (int& v : d) v /= 3;
    return d;
}

// The click and the known length: the floor pixel farthest from any edge,
// and the longest of a few metre-scale floor spans through it whose ends
// lie well inside the visible floor.
Status PlaceClickAndLength(RenderedRoom& room) {
    const QImage& mask = room.floorMask;
    const std::vector<int> distance = DistanceToEdge(mask);
    const auto best = std::max_element(distance.begin(), distance.end());
    if (*best < 4) return Error{"渲染的房间里看不到地面。"};
    const int index = static_cast<int>(best - distance.begin());
    room.click = {index % mask.width(), index / mask.width()};
    const auto centre = room.camera.FloorPointAt({room.click.x + 0.5, room.click.y + 0.5});
    if (!centre) return Error{"渲染的房间里看不到地面。"};
    const int margin = std::max(8, mask.width() / 60);
    auto wellInside = [&](const std::optional<PixelPos>& p) {
        if (!p || p->x < 0 || p->y < 0 || p->x >= mask.width() || p->y >= mask.height()) return false;
        return distance[static_cast<size_t>(p->y) * mask.width() + static_cast<int>(p->x)] >= margin;
    };
    double longest = 0;
    for (double half : {600.0, 500.0, 400.0, 300.0, 200.0})
        for (double angle : {0.0, 90.0, 45.0, 135.0, 30.0, 60.0, 120.0, 150.0}) {
            const double dx = half * std::cos(angle * kDeg), dz = half * std::sin(angle * kDeg);
            const auto a = room.camera.Project({centre->x - dx, 0, centre->z - dz});
            const auto b = room.camera.Project({centre->x + dx, 0, centre->z + dz});
            if (!wellInside(a) || !wellInside(b)) continue;
            const double pixels = std::hypot(b->x - a->x, b->y - a->y);
            if (pixels > longest) longest = pixels, room.length = {*a, *b, 2 * half};
        }
    if (longest == 0) return Error{"渲染的房间里看不到地面。"};
    return {};
}

bool SameText(const std::filesystem::path& path, const std::string& text) {
    const auto bytes = ReadWholeFile(path);
    return bytes && std::string(bytes->begin(), bytes->end()) == text;
}

Status WriteText(const std::filesystem::path& path, const std::string& text) {
    if (WriteFileAtomically(path, {reinterpret_cast<const uint8_t*>(text.data()), text.size()})) return {};
    return Error{"无法写入 " + path.string()};
}

// Renders labels and photo under names of this process, then puts the
// pictures in place and the scene files last: a scene file beside its
// pictures says they are whole and drawn from it, also when several
// processes render the same room at once.
Status RenderScenes(const std::filesystem::path& dir, const std::string& stem, const std::string& photoScene,
                    const std::string& maskScene, int width, int height) {
    const std::string own = "." + std::to_string(::getpid());
    const std::string photoPov = stem + own + ".pov", maskPov = stem + "-labels" + own + ".pov";
    const std::string photoPng = stem + own + ".png", maskPng = stem + "-labels" + own + ".png";
    std::error_code error;
    auto cleanUp = [&] {
        for (const std::string& name : {photoPov, maskPov, photoPng, maskPng}) std::filesystem::remove(dir / name, error);
    };
    Status done = WriteText(dir / photoPov, photoScene);
    if (done) done = WriteText(dir / maskPov, maskScene);
    if (done) done = RunPovRay(dir, maskPov, maskPng, width, height, false);
    if (done) done = RunPovRay(dir, photoPov, photoPng, width, height, Repeatable(width, height));
    if (done) {
        const QImage rendered = LoadPng(dir / photoPng);
        const std::optional<Bytes> jpeg = rendered.isNull() ? std::nullopt : EncodeJpeg(rendered, 90);
        if (!jpeg || !WriteFileAtomically(dir / (stem + ".jpg"), *jpeg)) done = Error{"无法写入 " + stem + ".jpg"};
    }
    for (const auto& [from, to] : {std::pair{maskPng, stem + "-labels.png"}, {maskPov, stem + "-labels.pov"},
                                   {photoPov, stem + ".pov"}}) {
        if (done) std::filesystem::rename(dir / from, dir / to, error);
        if (done && error) done = Error{"无法写入 " + (dir / to).string()};
    }
    cleanUp();
    return done;
}

}  // namespace

// ---- The camera ---------------------------------------------------------------

RoomCamera CameraOf(const RoomSpec& s, int width, int height) {
    RoomCamera camera;
    camera.location = {s.cameraX, s.cameraHeight, s.cameraZ};
    const Vec3 forward = LookDirection(s);
    camera.lookAt = camera.location + forward * 1000;
    // The sky turned about the view by the roll (Rodrigues' rotation).
    const double roll = -s.rollDeg * kDeg;
    const Vec3 up{0, 1, 0}, k = Unit(forward);
    camera.sky = up * std::cos(roll) + Cross(k, up) * std::sin(roll) + k * (Dot(k, up) * (1 - std::cos(roll)));
    camera.angleDeg = s.viewAngleDeg;
    camera.width = width, camera.height = height;
    return camera;
}

double RoomCamera::FocalPixels() const { return width / 2.0 / std::tan(angleDeg * kDeg / 2); }

std::optional<PixelPos> RoomCamera::Project(Vec3 point) const {
    const Basis basis = BasisOf(*this);
    const Vec3 v = point - location;
    const double depth = Dot(v, basis.forward);
    if (depth <= 1e-9) return std::nullopt;
    const double f = FocalPixels();
    return PixelPos{width / 2.0 + f * Dot(v, basis.right) / depth, height / 2.0 - f * Dot(v, basis.up) / depth};
}

std::optional<FloorPos> RoomCamera::FloorPointAt(PixelPos pixel) const {
    const Basis basis = BasisOf(*this);
    const double f = FocalPixels();
    const Vec3 ray =
        basis.forward + basis.right * ((pixel.x - width / 2.0) / f) - basis.up * ((pixel.y - height / 2.0) / f);
    if (ray.y >= -1e-12 || location.y <= 0) return std::nullopt;
    const double t = -location.y / ray.y;
    return FloorPos{location.x + t * ray.x, location.z + t * ray.z};
}

std::array<FloorPos, 2> RugOnFloor(const RoomSpec& s) {
    return {FloorPos{s.roomWidth / 2 - 2900, s.roomDepth * 0.45 - 100}, FloorPos{s.roomWidth / 2 - 700, s.roomDepth * 0.45 + 2300}};
}

// ---- The rooms ------------------------------------------------------------------

RoomSpec PlainTwin(const RoomSpec& spec) {
    RoomSpec twin = spec;
    twin.name += "-plain";
    twin.plainFloor = true;
    return twin;
}

std::vector<RoomSpec> TestRooms() {
    std::vector<RoomSpec> rooms;
    auto add = [&](std::string name, FloorKind floor, double height, double pitch, double yaw, WallFinish walls,
                   RoomLight light) -> RoomSpec& {
        RoomSpec& s = rooms.emplace_back();
        s.name = std::move(name), s.floor = floor, s.cameraHeight = height, s.pitchDeg = pitch, s.yawDeg = yaw;
        s.walls = walls, s.light = light;
        return s;
    };
    RoomSpec* s = &add("tiles-living", FloorKind::PolishedTiles, 1500, 27, 0, WallFinish::WarmWhite,
                       RoomLight::CeilingAndWindow);
    s->viewAngleDeg = 60, s->sofa = s->rug = s->table = true;
    s = &add("boards-oblique", FloorKind::WoodBoards, 1600, 30, 24, WallFinish::Sage, RoomLight::Window);
    s->cameraX = -1500, s->viewAngleDeg = 68, s->sofa = s->rug = s->cabinet = true;
    s = &add("stone-low", FloorKind::DarkStone, 900, 13, -10, WallFinish::Greige, RoomLight::Ceiling);
    s->cameraX = 600, s->viewAngleDeg = 72, s->table = s->cabinet = true;
    s = &add("carpet-high", FloorKind::PlainCarpet, 2100, 40, 8, WallFinish::Striped, RoomLight::CeilingAndWindow);
    s->cameraZ = 250, s->viewAngleDeg = 70, s->sofa = s->cabinet = true;
    s = &add("tiles-oblique-low", FloorKind::PolishedTiles, 1100, 17, -28, WallFinish::Greige, RoomLight::Window);
    s->cameraX = 1600, s->viewAngleDeg = 56, s->sofa = s->rug = s->cabinet = true;
    s = &add("boards-high", FloorKind::WoodBoards, 1900, 38, 0, WallFinish::WarmWhite, RoomLight::Ceiling);
    s->table = s->rug = true;
    s = &add("stone-wide", FloorKind::DarkStone, 1400, 24, 33, WallFinish::WarmWhite, RoomLight::CeilingAndWindow);
    s->cameraX = -1800, s->cameraZ = 300, s->viewAngleDeg = 75, s->sofa = s->rug = s->table = s->cabinet = true;
    return rooms;
}

Result<RenderedRoom> RenderRoom(const RoomSpec& spec, const std::filesystem::path& dir, int width, int height,
                                RoomFace knownOn) {
    if (width < 16 || height < 16 || spec.name.empty()) return Error{"房间的尺寸不正确。"};
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    RenderedRoom room;
    room.spec = spec;
    room.camera = CameraOf(spec, width, height);
    const std::string stem = spec.name + "-" + std::to_string(width) + "x" + std::to_string(height);
    const std::string photoScene = SceneFile(spec, room.camera, false), labelScene = SceneFile(spec, room.camera, true);
    room.photo = dir / (stem + ".jpg");
    const std::filesystem::path labelPath = dir / (stem + "-labels.png");
    const bool reuse = SameText(dir / (stem + ".pov"), photoScene) &&
                       SameText(dir / (stem + "-labels.pov"), labelScene) && std::filesystem::exists(room.photo) &&
                       std::filesystem::exists(labelPath);
    if (!reuse) {
        const auto start = std::chrono::steady_clock::now();
        if (Status s = RenderScenes(dir, stem, photoScene, labelScene, width, height); !s) return s.failure();
        room.renderSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const QImage rendered = LoadPng(labelPath);
    if (rendered.size() != QSize(width, height)) return Error{"无法读取 " + labelPath.string()};
    room.labels = QImage(width, height, QImage::Format_Grayscale8);
    room.floorMask = QImage(width, height, QImage::Format_Grayscale8);
    const QImage rgb = rendered.convertToFormat(QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        const uchar* in = rgb.constScanLine(y);
        uchar *label = room.labels.scanLine(y), *floor = room.floorMask.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const int face = (in[3 * x] + 8) / 16;
            label[x] = static_cast<uchar>(face < kRoomFaces ? face : 0);
            floor[x] = label[x] == static_cast<uchar>(RoomFace::Floor) ? 255 : 0;
        }
    }
    room.planes = PlaneLabels(spec, room.camera);
    if (Status placed = PlaceClickAndLength(room); !placed) return placed.failure();
    auto known = KnownLengthOn(room, knownOn);
    if (!known && knownOn != RoomFace::Floor) known = KnownLengthOn(room, RoomFace::Floor);
    if (!known) return Error{"渲染的房间里看不到地面。"};
    room.known = *known;
    return room;
}

// ---- Faces and planes ------------------------------------------------------------

FacePlane PlaneOf(const RoomSpec& s, RoomFace face) {
    const double W = s.roomWidth, D = s.roomDepth, H = s.roomHeight;
    // Each face seen from inside the room: first side to the right, second
    // side up (for the floor: to the right and away, for the ceiling: to
    // the right and towards the camera).
    switch (face) {
    case RoomFace::Floor: return {{-W / 2, 0, 0}, {1, 0, 0}, {0, 0, 1}, {0, 1, 0}, W, D};
    case RoomFace::Ceiling: return {{-W / 2, H, D}, {1, 0, 0}, {0, 0, -1}, {0, -1, 0}, W, D};
    case RoomFace::LeftWall: return {{-W / 2, 0, 0}, {0, 0, 1}, {0, 1, 0}, {1, 0, 0}, D, H};
    case RoomFace::BackWall: return {{-W / 2, 0, D}, {1, 0, 0}, {0, 1, 0}, {0, 0, -1}, W, H};
    case RoomFace::RightWall: return {{W / 2, 0, D}, {0, 0, -1}, {0, 1, 0}, {-1, 0, 0}, D, H};
    case RoomFace::FrontWall: return {{W / 2, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, 0, 1}, W, H};
    default: return {};
    }
}

Vec3 RoomCamera::RayThrough(PixelPos pixel) const {
    const Basis basis = BasisOf(*this);
    const double f = FocalPixels();
    return basis.forward + basis.right * ((pixel.x - width / 2.0) / f) - basis.up * ((pixel.y - height / 2.0) / f);
}

std::optional<Vec3> PointOnPlane(const RoomCamera& camera, const FacePlane& plane, PixelPos pixel) {
    const Vec3 ray = camera.RayThrough(pixel);
    const double along = Dot(ray, plane.normal);
    if (std::abs(along) < 1e-12) return std::nullopt;
    const double t = Dot(plane.origin - camera.location, plane.normal) / along;
    if (t <= 1e-9) return std::nullopt;
    return camera.location + ray * t;
}

QImage PlaneLabels(const RoomSpec& s, const RoomCamera& camera) {
    QImage labels(camera.width, camera.height, QImage::Format_Grayscale8);
    const double lo[3] = {-s.roomWidth / 2, 0, 0}, hi[3] = {s.roomWidth / 2, s.roomHeight, s.roomDepth};
    const double at[3] = {camera.location.x, camera.location.y, camera.location.z};
    const RoomFace low[3] = {RoomFace::LeftWall, RoomFace::Floor, RoomFace::FrontWall};
    const RoomFace high[3] = {RoomFace::RightWall, RoomFace::Ceiling, RoomFace::BackWall};
    for (int y = 0; y < camera.height; ++y) {
        uchar* row = labels.scanLine(y);
        for (int x = 0; x < camera.width; ++x) {
            const Vec3 r = camera.RayThrough({x + 0.5, y + 0.5});
            const double dir[3] = {r.x, r.y, r.z};
            // From inside the box the ray leaves it through the face it meets first.
            double nearest = 1e300;
            RoomFace face = RoomFace::None;
            for (int axis = 0; axis < 3; ++axis) {
                if (std::abs(dir[axis]) < 1e-15) continue;
                const double t = ((dir[axis] > 0 ? hi[axis] : lo[axis]) - at[axis]) / dir[axis];
                if (t > 0 && t < nearest) nearest = t, face = dir[axis] > 0 ? high[axis] : low[axis];
            }
            row[x] = static_cast<uchar>(face);
        }
    }
    return labels;
}

QImage FaceMask(const QImage& labels, RoomFace face) {
    QImage mask(labels.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < labels.height(); ++y)
        for (int x = 0; x < labels.width(); ++x)
            mask.scanLine(y)[x] = labels.constScanLine(y)[x] == static_cast<uchar>(face) ? 255 : 0;
    return mask;
}

std::optional<V2d_Point> DeepestPixel(const QImage& mask, int margin) {
    const std::vector<int> distance = DistanceToEdge(mask);
    const auto best = std::max_element(distance.begin(), distance.end());
    if (best == distance.end() || *best < margin) return std::nullopt;
    const int index = static_cast<int>(best - distance.begin());
    return V2d_Point{index % mask.width(), index / mask.width()};
}

double MaskIou(const QImage& a, const QImage& b) {
    long long both = 0, either = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar *p = a.constScanLine(y), *q = b.constScanLine(y);
        for (int x = 0; x < a.width(); ++x) both += p[x] >= 128 && q[x] >= 128, either += p[x] >= 128 || q[x] >= 128;
    }
    return either ? double(both) / either : 0;
}

std::optional<SurfaceLength> KnownLengthOn(const RenderedRoom& room, RoomFace face) {
    const int w = room.labels.width(), h = room.labels.height();
    const QImage mask = FaceMask(room.labels, face);
    const std::vector<int> distance = DistanceToEdge(mask);
    const int margin = std::max(6, w / 80);
    const auto deepest = DeepestPixel(mask, margin);
    if (!deepest) return std::nullopt;
    const FacePlane plane = PlaneOf(room.spec, face);
    const auto centre = PointOnPlane(room.camera, plane, {deepest->x + 0.5, deepest->y + 0.5});
    if (!centre) return std::nullopt;
    auto wellInside = [&](const std::optional<PixelPos>& p) {
        if (!p || p->x < 0 || p->y < 0 || p->x >= w || p->y >= h) return false;
        return distance[static_cast<size_t>(p->y) * w + static_cast<int>(p->x)] >= margin;
    };
    std::optional<SurfaceLength> longest;
    double longestPixels = 0;
    for (double half : {600.0, 500.0, 400.0, 300.0, 200.0, 125.0})
        for (const Vec3& side : {plane.first, plane.second}) {
            const auto a = room.camera.Project(*centre - side * half), b = room.camera.Project(*centre + side * half);
            if (!wellInside(a) || !wellInside(b)) continue;
            const double pixels = std::hypot(b->x - a->x, b->y - a->y);
            if (pixels <= longestPixels) continue;
            // The length between the whole pixels the user would click.
            const V2d_Point pa{TruncToInt(a->x), TruncToInt(a->y)}, pb{TruncToInt(b->x), TruncToInt(b->y)};
            const auto ea = PointOnPlane(room.camera, plane, {double(pa.x), double(pa.y)});
            const auto eb = PointOnPlane(room.camera, plane, {double(pb.x), double(pb.y)});
            if (!ea || !eb) continue;
            const Vec3 span = *eb - *ea;
            longestPixels = pixels;
            longest = SurfaceLength{face, pa, pb, std::sqrt(Dot(span, span))};
        }
    return longest;
}

// ---- The score -------------------------------------------------------------------

std::optional<FloorQuad> QuadOnFloor(const RoomCamera& camera, const Quad& corners) {
    std::array<FloorPos, 4> p;
    for (int i = 0; i < 4; ++i) {
        const auto on = camera.FloorPointAt({double(corners[i].x), double(corners[i].y)});
        if (!on) return std::nullopt;
        p[i] = *on;
    }
    FloorQuad quad;
    for (int i = 0; i < 4; ++i) {
        const FloorPos a = p[i], b = p[(i + 1) % 4], before = p[(i + 3) % 4];
        quad.sides[i] = std::hypot(b.x - a.x, b.z - a.z);
        const double ux = b.x - a.x, uz = b.z - a.z, vx = before.x - a.x, vz = before.z - a.z;
        quad.anglesDeg[i] = std::atan2(std::abs(ux * vz - uz * vx), ux * vx + uz * vz) / kDeg;
    }
    return quad;
}

QImage FilledRings(QSize size, const std::vector<std::vector<V2d_Point>>& rings) {
    QImage mask(size, QImage::Format_Grayscale8);
    mask.fill(0);
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (const auto& ring : rings) {
        if (ring.size() < 3) continue;
        QPolygonF polygon;
        for (const V2d_Point& p : ring) polygon << QPointF(p.x, p.y);
        path.addPolygon(polygon);
        path.closeSubpath();
    }
    QPainter painter(&mask);
    painter.fillPath(path, Qt::white);
    return mask;
}

RoomScore ScoreFound(const RenderedRoom& room, const std::vector<std::vector<V2d_Point>>& rings, const Quad& corners,
                     std::optional<std::pair<int, int>> realSize) {
    RoomScore score;
    const QImage& truth = room.floorMask;
    score.iou = MaskIou(truth, FilledRings(truth.size(), rings));
    const auto quad = QuadOnFloor(room.camera, corners);
    if (!quad) return score;
    score.cornersOnFloor = true;
    score.anglesDeg = quad->anglesDeg;
    for (double a : quad->anglesDeg) score.worstAngleErrorDeg = std::max(score.worstAngleErrorDeg, std::abs(a - 90));
    const auto& s = quad->sides;
    auto mismatch = [](double a, double b) { return 100 * std::abs(a - b) / std::max({a, b, 1e-9}); };
    score.sideMismatchPercent = std::max(mismatch(s[0], s[2]), mismatch(s[1], s[3]));
    if (realSize) {
        const double width = (s[0] + s[2]) / 2, height = (s[1] + s[3]) / 2;
        score.widthErrorPercent = 100 * std::abs(realSize->first - width) / width;
        score.heightErrorPercent = 100 * std::abs(realSize->second - height) / height;
    }
    return score;
}

}  // namespace v2d::demo
