#pragma once
// A laid pattern painted onto a flat canvas that stands for the region's
// real rectangle: the joint colour underneath, each tile the product's
// picture at its place and turn. The canvas is then warped as any other.
#include <QImage>

#include <cstdint>

#include "layout/pattern_layout.h"

namespace v2d {

// A Format_RGB32 canvas of the given size; pixels per millimetre are the
// canvas side over the real side in each direction. Null for an unusable
// size or product.
QImage PaintPatternCanvas(const TileLayout& layout, const QImage& product, int width, int height,
                          uint32_t jointColour);

}  // namespace v2d
