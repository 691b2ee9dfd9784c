#pragma once
// How a product laid on an old patterned floor takes the room's light: the
// laid floor in a patterned room against the same product laid in its plain
// twin, rendered under the same light. The two photos differ by the old
// pattern alone, so what of it shows in the laid floor, and how far the
// laid floor's light strays from the twin's, can be measured.
#include <QImage>

#include <array>
#include <vector>

#include "base/geometry.h"
#include "demo/rendered_rooms.h"

namespace v2d::demo {

// Pictures of one size; the mask is Format_Grayscale8, 255 on the pixels compared.
struct LaidFloors {
    QImage photoPatterned, photoPlain;  // the two rooms as rendered
    QImage laidPatterned, laidPlain;    // the same product laid on each floor
    QImage mask;
};

struct LightScore {
    // Pearson correlation of log laid-patterned over laid-plain with log
    // photo-patterned over photo-plain (luminance + 1): about 1 when the
    // old pattern shows through as strongly as in the photo, about 0 when
    // none of it does.
    double residue = 0;
    // The mean |log| ratio of the two laid floors, each smoothed over the
    // mask (a Gaussian of 6 pixels, normalised by the mask's own blur), in
    // per cent; and the same with the median log ratio taken off.
    double shadingPercent = 0, shadingExposureFreePercent = 0;
    // The shading measure where the plain photo's smoothed log luminance
    // changes fastest (its top 5 % of gradients, grown 2 pixels): the edges
    // of sunlit patches and of shadows; and there with the whole floor's
    // median log ratio taken off.
    double edgesPercent = 0, edgesExposureFreePercent = 0;
};

inline constexpr double kShadingSigma = 6;

LightScore ScoreLaidFloors(const LaidFloors& floors);

// The floor the labels show inside the outline, shrunk 3 pixels away from
// the outline and from whatever stands on the floor.
QImage ComparedFloor(const RenderedRoom& room, const std::vector<V2d_Point>& outline);

// Where the edges measure looks: the plain photo's fastest changing light.
QImage LightEdges(const QImage& photoPlain, const QImage& mask);

// The mean red, green and blue over the mask.
std::array<double, 3> MeanColour(const QImage& picture, const QImage& mask);

}  // namespace v2d::demo
