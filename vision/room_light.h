#pragma once
// The light falling on a surface of the photo, without the surface's own
// pattern: what a new product laid there is shaded by when its region asks
// for the room's light.
//
// The photo's brightness beneath a region is the light times the old
// surface's own colour (its albedo). The old surface is taken to be made of
// a few colours (the squares of a chequer, tiles and their joints, boards of
// a few tones): each pixel's colour class is found against the light around
// it, the classes' albedo ratios from pixels side by side across class
// boundaries (where the light is the same on both sides), and the light is
// the brightness divided by its class's albedo. The light around a pixel is
// worked out on the surface's rectified plane, where the pattern repeats at
// one scale, and refined with a median, which keeps the edges of shadows and
// of sunlit patches sharp. The brightest class keeps its own level, so a
// surface of one colour keeps the photo's brightness.
//
// Brightness here is a pixel's largest channel, not its luminance: a red
// terracotta floor reflects white light in its red channel about as a white
// one would, so a white tile laid on it stays white.
#include <QImage>

#include "base/cancel_token.h"
#include "scene/v2d_polygon.h"

namespace v2d::vision {

// The light map of the region's outline box (Format_RGB32, grey), for
// ApplyLightMap at offset (0, 0). Pixels of the box outside the photo are
// white, so a product there keeps its own colour. A null picture when the
// region has no box within the photo, or when cancelled.
QImage RoomLightMap(const QImage& photo, const V2dPolygon& region, const CancelToken* cancel = nullptr);

}  // namespace v2d::vision
