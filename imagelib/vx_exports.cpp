// The nine C exports. Nothing thrown inside ever crosses this boundary: any
// failure, exhausted memory included, comes out as a null bitmap or -1.
#include "imagelib/vexell_api.h"
#include "imagelib/vx_operations.h"

namespace {

template <class Operation>
VxBitmap* Guarded(Operation&& operation) noexcept {
    try {
        return v2d::vexell::HandOver(operation());
    } catch (...) {
        return nullptr;
    }
}

template <class Operation>
int32_t GuardedPoints(Operation&& operation) noexcept {
    try {
        return operation();
    } catch (...) {
        return -1;
    }
}

}  // namespace

using namespace v2d::vexell;

extern "C" {

VxBitmap* transform(const VxPoint* quad, const VxBitmap* source, VxProgress progress) {
    return Guarded([&] { return TransformOntoQuad(quad, source, progress); });
}

VxBitmap* GaussBlur(const VxBitmap* source, int32_t radius) {
    return Guarded([&] { return BlurWithRadius(source, radius); });
}

VxBitmap* GetBumpMap(const VxBitmap* source, int32_t kind) {
    return Guarded([&] { return ReliefMap(source, kind); });
}

VxBitmap* atransform(const VxPoint* quad, const VxBitmap* source, VxProgress progress) {
    return Guarded([&] { return RectifyQuad(quad, source, progress); });
}

VxBitmap* TransformMesh(const VxPoint* srcNodes, const VxPoint* dstNodes, int32_t rows, int32_t cols,
                        const VxBitmap* source, VxProgress progress) {
    return Guarded([&] { return WarpThroughMesh(srcNodes, dstNodes, rows, cols, source, progress); });
}

int32_t PsTransPoint(const VxPoint* in, VxPoint* out, int32_t count, const VxPoint* quad) {
    return GuardedPoints([&] { return MapPoints(PointMapping::PointBoxToScene, in, out, count, quad); });
}

int32_t TransPoint(const VxPoint* in, VxPoint* out, int32_t count, const VxPoint* quad) {
    return GuardedPoints([&] { return MapPoints(PointMapping::FrameToScene, in, out, count, quad); });
}

int32_t aTransPoint(const VxPoint* in, VxPoint* out, int32_t count, const VxPoint* quad) {
    return GuardedPoints([&] { return MapPoints(PointMapping::SceneToFrame, in, out, count, quad); });
}

VxBitmap* GaussBlurCV2(const VxBitmap* source, int32_t radius, double sigma) {
    return Guarded([&] { return BlurWithSigma(source, radius, sigma); });
}

}  // extern "C"
