#pragma once
// A moulding drawn across a region at a point, following the region's
// perspective: its profile picture repeated into a strip of the moulding's
// real height, each strip row laid along one step line between the
// region's left and right corner edges, into a copy of the region's picture.
#include <QImage>

#include "scene/v2d_polygon.h"

namespace v2d {

// The region's picture with the moulding drawn in; null (nothing drawn) when
// the point lies outside the outline's box, the region has no picture or no
// real height, or the profile is empty.
QImage DrawDecorationLine(const V2dPolygon& region, const QImage& profile, int mouldingHeightMm, V2d_Point point);

}  // namespace v2d
