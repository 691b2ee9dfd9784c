#pragma once
// Light and reflection: a laid product takes the photograph's light, and a
// region may show a mirrored copy of the scene blended over it.
#include <QImage>

#include <algorithm>
#include <cstdint>
#include <span>

#include "imagelib/image_operations.h"
#include "scene/outline_geometry.h"
#include "scene/v2d_polygon.h"

namespace v2d {

// 1/255 as the program has always written it.
inline constexpr double kInverse255 = 0.00392156862745098;

// The light of one light-map pixel (0x..RRGGBB): (0.299 R + 0.587 G +
// 0.114 B) * factor, each product and sum rounded in double in that order
// (never fused), kept within 0..255 as a 32-bit float.
inline double LightLevel(uint32_t light, double factor) {
    const double luminance =
        0.299 * ((light >> 16) & 0xFF) + 0.587 * ((light >> 8) & 0xFF) + 0.114 * (light & 0xFF);
    return static_cast<double>(std::clamp(static_cast<float>(luminance * factor), 0.0f, 255.0f));
}

// One channel lit by a level: (channel * L) is exact; one rounding by 1/255
// follows, as always.
inline uint32_t LitChannel(uint32_t channel, double level) {
    return static_cast<uint32_t>(channel * level * kInverse255);
}

// Each pixel (x, y) of the picture whose partner (offsetX + x, offsetY + y)
// lies inside the light map is multiplied by the partner's brightness
// L = (0.299 R + 0.587 G + 0.114 B) * factor, a 32-bit float kept within
// 0..255; channels become trunc(channel * L / 255). Other pixels keep their
// value. A negative factor (brightness below -100 from an old file) gives
// black, never wrapped colours.
// With `lit` (one span per picture row), only the span's columns are lit
// and the rest keep the picture's value: what no drawing of the picture shows.
QImage ApplyLightMap(const QImage& picture, const QImage& lightMap, int offsetX, int offsetY, double factor,
                     std::span<const ColumnSpan> lit = {});

// The scene mirrored top to bottom (floor) or left to right (wall) is
// blended over the picture at strength k (0..1): channel =
// trunc(mirrored * k + (1 - k) * picture), where the partner
// (offsetX + x, offsetY + y) lies inside the scene.
QImage ReflectFloor(const QImage& picture, const QImage& scene, int offsetX, int offsetY, float strength);
QImage ReflectWall(const QImage& picture, const QImage& scene, int offsetX, int offsetY, float strength);

// A region whose two side edges (bottom-left to top-left, bottom-right to
// top-right) both stand within 80..100 degrees (pi taken as 3.14) reflects
// as a wall; any other as a floor.
bool ReflectsAsWall(const V2d_Point (&corners)[4]);

// An edge blur wider than this shows nothing more, and the blur's cost grows
// with it; larger radii are blurred at this one.
inline constexpr int kLargestLightMapBlur = 30;

// The light map of a record with an edge blur: the photo with the colours
// at the outline points stamped along the outline (circles of radius 2r),
// cut to the outline box, stretched by 2r each way, blurred with radius and
// sigma r, and the box-sized window at (r, r).
QImage BuildSmoothedLightMap(const V2dPolygon& record, const QImage& photo, int radius, const ImageOperations& ops);
// Rows [firstRow, endRow) of that light map, made from the photo rows they
// need alone, pixel for pixel as in the whole map: a tall region's map is
// built band by band.
QImage BuildSmoothedLightMapRows(const V2dPolygon& record, const QImage& photo, int radius,
                                 const ImageOperations& ops, int firstRow, int endRow);

}  // namespace v2d
