#pragma once
// Scenes, pictures and the loaded image library for the rendering tests.
#include <QImage>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <memory>

#include "imagelib/image_library.h"
#include "scene/scene.h"
#include "tests/scene/scene_fixtures.h"

namespace v2d::testing {

inline uint32_t Rgb(int r, int g, int b) { return 0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b); }
inline uint32_t At(const QImage& image, int x, int y) {
    return reinterpret_cast<const uint32_t*>(image.constScanLine(y))[x] | 0xFF000000u;
}
inline void Set(QImage& image, int x, int y, uint32_t pixel) {
    reinterpret_cast<uint32_t*>(image.scanLine(y))[x] = pixel;
}
inline QImage Solid(int w, int h, uint32_t pixel) { return SolidPicture(w, h, pixel); }
// Every pixel different: red = x, green = y, blue = x + y (mod 256).
inline QImage Gradient(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) Set(image, x, y, Rgb(x & 0xFF, y & 0xFF, (x + y) & 0xFF));
    return image;
}
inline bool SamePixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (At(a, x, y) != At(b, x, y)) return false;
    return true;
}

// The library built beside the tests, loaded once.
inline const ImageLibrary& Library() {
    static const ImageLibrary* library = [] {
        static ImageLibrary lib;
        const auto messages = lib.Load(VEXELL_LIBRARY_DIR);
        EXPECT_TRUE(messages.empty()) << (messages.empty() ? "" : messages.front());
        return &lib;
    }();
    return *library;
}

// The library's operations, counting the warps.
class CountingOperations final : public ImageOperations {
public:
    // Atomic: the regions of one command are laid side by side.
    mutable std::atomic<int> transforms = 0, meshes = 0, blurs = 0, lastBlurRadius = 0;
    bool failWarps = false;
    QImage Transform(const QImage& source, const Quad& quad, const Progress& progress) const override {
        ++transforms;
        return failWarps ? QImage() : real_.Transform(source, quad, progress);
    }
    QImage ATransform(const QImage& source, const Quad& quad, const Progress& progress) const override {
        return real_.ATransform(source, quad, progress);
    }
    QImage TransformMesh(const QImage& source, std::span<const V2d_Point> s, std::span<const V2d_Point> d, int rows,
                         int cols, const Progress& progress) const override {
        ++meshes;
        return failWarps ? QImage() : real_.TransformMesh(source, s, d, rows, cols, progress);
    }
    std::optional<std::vector<V2d_Point>> TransPoint(std::span<const V2d_Point> p, const Quad& q) const override {
        return real_.TransPoint(p, q);
    }
    std::optional<std::vector<V2d_Point>> ATransPoint(std::span<const V2d_Point> p, const Quad& q) const override {
        return real_.ATransPoint(p, q);
    }
    std::optional<std::vector<V2d_Point>> PsTransPoint(std::span<const V2d_Point> p, const Quad& q) const override {
        return real_.PsTransPoint(p, q);
    }
    QImage GetBumpMap(const QImage& source, ReliefKind kind) const override { return real_.GetBumpMap(source, kind); }
    QImage GaussBlurCV2(const QImage& source, int radius, double sigma) const override {
        ++blurs;
        lastBlurRadius = radius;
        return real_.GaussBlurCV2(source, radius, sigma);
    }
    QImage GaussBlur(const QImage& source, int radius) const override { return real_.GaussBlur(source, radius); }

private:
    const ImageLibrary& real_ = Library();
};

// A region with a rectangular outline from (x0, y0) to (x1, y1), its quad
// the outline box unless given.
inline PolygonPtr RectRegion(const char* name, int x0, int y0, int x1, int y1, int realWidth, int realHeight) {
    PolygonPtr r = NewPolygon();
    r->name = name;
    r->points = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    r->indexList = {3};
    SetCornersFromBoundingBox(*r);
    r->realWidth = realWidth;
    r->realHeight = realHeight;
    return r;
}

}  // namespace v2d::testing
