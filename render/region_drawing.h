#pragma once
// Filling a record's outline with a picture.
#include <QImage>
#include <QPoint>

#include "scene/v2d_polygon.h"

namespace v2d {

// Where a record's picture is anchored: the outline box's top-left, moved by
// the record's offset for shadow regions.
QPoint PictureOrigin(const V2dPolygon& record);

// Fills the record's outline (all rings, even-odd, anti-aliased) on the
// target with the picture as a repeating texture whose top-left sits at the
// record's picture origin. Points are pixel centres.
void DrawRegionPicture(const V2dPolygon& record, const QImage& picture, QImage& target);

}  // namespace v2d
