#pragma once
// A plain region's toned picture (light, then reflection) and its drawing,
// whole or band by band. A band holds exactly the rows of the whole picture,
// so a region too large to tone at once within the memory at hand is drawn
// with the same pixels, a few hundred rows at a time.
#include <QImage>
#include <QRect>

#include <cstdint>

#include "imagelib/image_operations.h"
#include "render/render_caches.h"
#include "scene/v2d_polygon.h"

namespace v2d {

// The toned picture of the region over the scene built so far; null when
// the region draws nothing (no picture and no edge blur, or no light map).
// With `kept`, a region with an edge blur tones from the light map kept
// there when it was made from the same outline, blur and photo, and keeps
// the one it makes.
QImage TonedRegionPicture(const V2dPolygon& record, const QImage& photo, const QImage& scene,
                          const ImageOperations& ops, RenderCaches* kept = nullptr);

// Bytes that toning the region whole holds at once: its toned picture and,
// with an edge blur or a reflection, the working pictures beside it.
int64_t WholeToningBytes(const V2dPolygon& record);
// Bytes one row of a band takes in each working picture.
int64_t BandRowBytes(const V2dPolygon& record);

// True when the toned picture covers the outline box's rows without
// repeating, so it can be made and drawn in bands.
bool CanToneInBands(const V2dPolygon& record);

// Tones and draws the region onto the scene `bandRows` rows at a time, only
// the rows within `clip` (when not null) and the scene. A floor reflection
// reads the mirrored rows of the scene before the region covers them.
// False when nothing could be drawn, as TonedRegionPicture gives null.
bool DrawRegionInBands(const V2dPolygon& record, const QImage& photo, QImage& scene, const ImageOperations& ops,
                       const QRect& clip, int bandRows);

}  // namespace v2d
