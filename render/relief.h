#pragma once
// The effect window's relief: the laid canvas multiplied by the library's
// relief map (GetBumpMap, kind 0 raised, 1 sunken) times the strength, as
// ApplyLightMap multiplies by a light map.
#include <QImage>

#include "imagelib/image_operations.h"

namespace v2d {

// The same pixels as ApplyLightMap(canvas, GetBumpMap(canvas, kind), 0, 0,
// strength). The relief map is grey, so each of its 256 levels scales a
// channel through one table: the multiply costs a fraction of the map.
// A library that refuses the canvas leaves it as it was.
QImage ApplyRelief(const QImage& canvas, ReliefKind kind, double strength, const ImageOperations& ops);

}  // namespace v2d
