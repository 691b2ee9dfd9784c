#pragma once
// Shared by the image library's tests: the real library loaded once, raw
// access to its exports, a homography solved independently of the library,
// and picture makers.
#include "imagelib/image_library.h"
#include "imagelib/qimage_bitmap.h"
#include "imagelib/vexell_api.h"

#include <QImage>

#include <array>
#include <vector>

namespace v2d::test {

// The library built with these tests, loaded once for the whole run.
const ImageLibrary& Library();

// The raw exports of the same library, for calls the binding never makes.
struct RawExports {
    VxTransformFn transform;
    VxGaussBlurFn gaussBlur;
    VxBumpMapFn getBumpMap;
    VxTransformFn atransform;
    VxTransformMeshFn transformMesh;
    VxPointMapFn psTransPoint;
    VxPointMapFn transPoint;
    VxPointMapFn aTransPoint;
    VxGaussBlurCV2Fn gaussBlurCV2;
};
const RawExports& Raw();

// A projective map solved by plain Gaussian elimination in long double.
struct Homography {
    long double h[9];
    static Homography Between(const std::array<std::array<long double, 2>, 4>& from,
                              const std::array<std::array<long double, 2>, 4>& to);
    std::array<long double, 2> operator()(long double x, long double y) const;
};

// A floor seen from above the camera: narrow far edge, wide near edge.
inline constexpr Quad kFloor = {V2d_Point{300, 120}, V2d_Point{700, 130}, V2d_Point{980, 560}, V2d_Point{40, 540}};
std::array<std::array<long double, 2>, 4> Corners(const Quad& quad);
std::array<std::array<long double, 2>, 4> BoxCorners(const Quad& quad);
std::array<std::array<long double, 2>, 4> PictureCorners(int width, int height);

QImage Filled(int width, int height, QRgb colour, QImage::Format format = QImage::Format_RGB32);

// The owner of a bitmap returned by a raw call.
struct RawResult {
    VxBitmap* bitmap = nullptr;
    explicit RawResult(VxBitmap* b) : bitmap(b) {}
    ~RawResult() {
        if (bitmap != nullptr) bitmap->release(bitmap);
    }
    RawResult(const RawResult&) = delete;
    RawResult& operator=(const RawResult&) = delete;
    explicit operator bool() const { return bitmap != nullptr; }
};

}  // namespace v2d::test
