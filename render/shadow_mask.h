#pragma once
// Soft shadows: a blurred silhouette of an outline (or of a cut-out model's
// picture) multiplies the scene beneath it. White in a mask leaves the scene
// as it is; a grey darkens it by its brightness.
#include <QImage>
#include <QPoint>
#include <QRect>

#include <cstdint>
#include <vector>

#include "imagelib/image_operations.h"
#include "render/banded_blur.h"
#include "scene/v2d_polygon.h"

namespace v2d {

// The grey of a shadow region's mask and the blur size it is built with.
inline constexpr uint32_t kShadowRegionGrey = 0xC0C0C0;
inline constexpr int kShadowRegionMaskSize = 15;
// A cut-out model's shadow is never blurred wider than this.
inline constexpr int kCutoutShadowRadiusCap = 5;

// Blurs the picture with radius and sigma r on a canvas r pixels wider on
// every side (white beyond the picture), then shrinks the canvas back to the
// picture's size. r < 1 leaves the picture alone.
void BlurWithMargin(QImage& picture, int r, const ImageOperations& ops);

// White, outline-box-sized mask with the outline filled in `colour`
// (anti-aliased), blurred with BlurWithMargin(size / 2). The rings of a
// picture-model part are filled one by one, others as one even-odd path.
// Null for an empty or absurdly large outline.
QImage BuildShadowMask(const V2dPolygon& record, int size, uint32_t colour, const ImageOperations& ops);

// Multiplies the target's pixels under the mask placed at `at` by the
// mask's brightness (ApplyLightMap at factor `factor`); pixels outside the
// target, or outside a non-empty clip, are skipped.
void MultiplyByMask(QImage& target, QPoint at, const QImage& mask, double factor = 1.0, const QRect& clip = {});

// Darkens the target at (x, y) with the record's mask.
void CastShadow(const V2dPolygon& record, int size, uint32_t colour, QImage& target, int x, int y,
                const ImageOperations& ops);

// A cut-out model's shadow: its picture drawn with alpha on white at its
// scaled size less s (s = shadowRadius capped at 5), blurred with radius s
// and placed at the origin plus the shadow offset, 2s larger each way. Null
// when the shrunk size is not positive: such a model casts no shadow.
QImage CutoutShadowMask(const V2dPolygon& model, const ImageOperations& ops);
QPoint CutoutShadowOrigin(const V2dPolygon& model);
// The pixels of that mask (0 without one), and the same shadow cast a band
// of rows at a time without ever holding the whole mask.
int64_t CutoutShadowPixels(const V2dPolygon& model);
void CastCutoutShadowInBands(const V2dPolygon& model, QImage& target, const ImageOperations& ops,
                             const QRect& clip = {}, long long bandPixels = kBlurBandPixels);

// A picture model's (or part's) blur size: shadowRadius kept within 0..11,
// so its blur radius (size / 2) is capped like a cut-out's.
int PictureModelShadowSize(int shadowRadius);
// A picture model's shadow: the outline as drawn in the scene (`drawnOutline`,
// already moved by the origin) with its radius and colour; `at` receives the
// mask's top-left in the scene.
QImage PictureModelShadowMask(const V2dPolygon& model, const std::vector<V2d_Point>& drawnOutline,
                              const ImageOperations& ops, QPoint& at);

}  // namespace v2d
