#pragma once
// Filling a record's outline with a picture.
#include <QImage>
#include <QPoint>
#include <QRect>

#include "scene/v2d_polygon.h"

namespace v2d {

// True when every coordinate and offset of the record (outline, corners,
// origin, shadow offset) lies within kCoordinateLimit. Records beyond it
// come from no real scene and are not drawn, so no box or sum of them can
// leave the int range.
bool WithinDrawingRange(const V2dPolygon& record);

// Where a record's picture is anchored: the outline box's top-left, moved by
// the record's offset for shadow regions.
QPoint PictureOrigin(const V2dPolygon& record);

// Fills the record's outline (all rings, even-odd, anti-aliased) on the
// target with the picture as a repeating texture whose top-left sits at the
// record's picture origin. Points are pixel centres.
// A non-empty clip keeps every pixel outside it untouched.
void DrawRegionPicture(const V2dPolygon& record, const QImage& picture, QImage& target, const QRect& clip = {});

// Rows [firstRow, firstRow + rows.height()) of a picture through the
// outline: each lands where DrawRegionPicture puts that row of the whole
// picture, and no other row of the target is touched. A tall picture is
// drawn band by band this way.
void DrawRegionRows(const V2dPolygon& record, const QImage& rows, int firstRow, QImage& target, const QRect& clip = {});

// The pixels DrawRegionPicture may touch: the outline box, moved by the
// offset for shadow regions.
QRect DrawnBounds(const V2dPolygon& record);

}  // namespace v2d
