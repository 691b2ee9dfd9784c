#pragma once
// The library's operations behind the C exports. Each returns a null bitmap
// (or -1) for arguments it refuses, and may throw on exhausted memory; the
// exports turn every exception into a null result.
#include "imagelib/vexell_api.h"
#include "imagelib/vx_bitmap.h"

namespace v2d::vexell {

OwnedBitmapPtr TransformOntoQuad(const VxPoint* quad, const VxBitmap* source, VxProgress progress);
OwnedBitmapPtr RectifyQuad(const VxPoint* quad, const VxBitmap* source, VxProgress progress);
OwnedBitmapPtr WarpThroughMesh(const VxPoint* srcNodes, const VxPoint* dstNodes, int32_t rows, int32_t cols,
                               const VxBitmap* source, VxProgress progress);

OwnedBitmapPtr BlurWithSigma(const VxBitmap* source, int32_t radius, double sigma);
OwnedBitmapPtr BlurWithRadius(const VxBitmap* source, int32_t radius);
OwnedBitmapPtr ReliefMap(const VxBitmap* source, int32_t kind);

enum class PointMapping { FrameToScene, SceneToFrame, PointBoxToScene };
int32_t MapPoints(PointMapping mapping, const VxPoint* in, VxPoint* out, int32_t count, const VxPoint* quad);

}  // namespace v2d::vexell
