#include "tests/imagelib/support.h"

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace v2d::test {

const ImageLibrary& Library() {
    static const ImageLibrary library = [] {
        ImageLibrary loaded;
        if (!loaded.Load(VEXELL_LIBRARY_DIR).empty()) std::abort();
        return loaded;
    }();
    return library;
}

const RawExports& Raw() {
    static const RawExports raw = [] {
        // RTLD_NOLOAD would miss it if Library() had not run yet; a second
        // dlopen of the same file shares the loaded copy.
        void* handle = dlopen(VEXELL_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) std::abort();
        auto get = [&](const char* name) {
            void* symbol = dlsym(handle, name);
            if (symbol == nullptr) std::abort();
            return symbol;
        };
        return RawExports{
            reinterpret_cast<VxTransformFn>(get("transform")),
            reinterpret_cast<VxGaussBlurFn>(get("GaussBlur")),
            reinterpret_cast<VxBumpMapFn>(get("GetBumpMap")),
            reinterpret_cast<VxTransformFn>(get("atransform")),
            reinterpret_cast<VxTransformMeshFn>(get("TransformMesh")),
            reinterpret_cast<VxPointMapFn>(get("PsTransPoint")),
            reinterpret_cast<VxPointMapFn>(get("TransPoint")),
            reinterpret_cast<VxPointMapFn>(get("aTransPoint")),
            reinterpret_cast<VxGaussBlurCV2Fn>(get("GaussBlurCV2")),
        };
    }();
    return raw;
}

Homography Homography::Between(const std::array<std::array<long double, 2>, 4>& from,
                               const std::array<std::array<long double, 2>, 4>& to) {
    long double a[8][9] = {};
    for (int i = 0; i < 4; ++i) {
        const long double x = from[i][0], y = from[i][1], u = to[i][0], v = to[i][1];
        const long double rowU[9] = {x, y, 1, 0, 0, 0, -x * u, -y * u, u};
        const long double rowV[9] = {0, 0, 0, x, y, 1, -x * v, -y * v, v};
        std::copy(rowU, rowU + 9, a[2 * i]);
        std::copy(rowV, rowV + 9, a[2 * i + 1]);
    }
    for (int col = 0; col < 8; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 8; ++r) {
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        }
        if (std::fabs(a[pivot][col]) < 1e-18L) throw std::runtime_error("singular");
        std::swap(a[col], a[pivot]);
        for (int r = 0; r < 8; ++r) {
            if (r == col) continue;
            const long double f = a[r][col] / a[col][col];
            for (int k = col; k < 9; ++k) a[r][k] -= f * a[col][k];
        }
    }
    Homography result{};
    for (int i = 0; i < 8; ++i) result.h[i] = a[i][8] / a[i][i];
    result.h[8] = 1;
    return result;
}

std::array<long double, 2> Homography::operator()(long double x, long double y) const {
    const long double w = h[6] * x + h[7] * y + h[8];
    return {(h[0] * x + h[1] * y + h[2]) / w, (h[3] * x + h[4] * y + h[5]) / w};
}

std::array<std::array<long double, 2>, 4> Corners(const Quad& quad) {
    std::array<std::array<long double, 2>, 4> result;
    for (int i = 0; i < 4; ++i) result[i] = {(long double)quad[i].x, (long double)quad[i].y};
    return result;
}

std::array<std::array<long double, 2>, 4> BoxCorners(const Quad& quad) { return Corners(v2d::BoxOf(quad).corners()); }

std::array<std::array<long double, 2>, 4> PictureCorners(int width, int height) {
    const int r = width - 1, b = height - 1;
    return Corners({V2d_Point{0, 0}, V2d_Point{r, 0}, V2d_Point{r, b}, V2d_Point{0, b}});
}

QImage Filled(int width, int height, QRgb colour, QImage::Format format) {
    QImage image(width, height, format);
    image.fill(colour);
    return image;
}

}  // namespace v2d::test
