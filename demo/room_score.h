#pragma once
// A found room scored against a rendered room's truth: the layout's pixel
// error as LSUN counts it (the fraction of pixels not hidden by clutter whose
// surface is wrong), each visible surface's outline and plane IoU, the
// corners' angles on the surface's true plane and the size the finder gives
// against the true size of its own corners.
#include <optional>
#include <string>
#include <vector>

#include "demo/rendered_rooms.h"
#include "vision/room_finder.h"

namespace v2d::demo {

// A surface counts as visible (and is held to the IoU goals) from this
// fraction of the photo's pixels.
inline constexpr double kVisibleFraction = 0.01;

struct SurfaceScore {
    RoomFace face = RoomFace::None;  // the true face
    int visiblePixels = 0;
    int found = -1;         // the index of the found surface matched to it, -1 none
    double outlineIou = 0;  // the found visible outline against what is seen of the face
    double planeIou = 0;    // the found plane against the face's whole extent
    // The largest departure from 90 degrees of the found corners on the true
    // plane; none when a corner's ray misses the plane.
    std::optional<double> worstAngleDeg;
    // The found size (room units times millimetres per unit) against the
    // true sides of the same corners, the worse of width and height, in
    // percent; none without a calibration or corners on the plane.
    std::optional<double> sizeErrorPercent;
};

struct RoomLayoutScore {
    double pixelError = 1;  // 0..1
    std::vector<SurfaceScore> surfaces;  // the true visible surfaces: floor, walls left to right, ceiling
    int unmatched = 0;                   // found surfaces matched to no true one
    double meanIou = 0, minIou = 0;      // over the visible surfaces' outlines
    std::optional<double> worstAngleDeg, worstSizeErrorPercent;  // over the matched surfaces
};

// Found surfaces are matched to true ones of the same kind, the largest
// overlap of planes first, one to one. Rings are filled even-odd and read as
// continuous coordinates, as the program fills an outline.
RoomLayoutScore ScoreLayout(const RenderedRoom& truth, const vision::RoomLayout& found);

// The room as a perfect finder would give it (planes exact, outlines without
// holes, corners the faces' own, sizes in room units of the camera's
// height): what the scorer must score as faultless where no clutter stands.
vision::RoomLayout TrueLayout(const RenderedRoom& truth);

// The kind of surface a face is.
vision::RoomSurfaceKind KindOf(RoomFace face);

}  // namespace v2d::demo
