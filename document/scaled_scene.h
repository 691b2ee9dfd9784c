#pragma once
// A copy of a scene at another size: the photo and every record's pictures
// resampled, every coordinate in pixels scaled, the real sizes in
// millimetres kept. A product laid into the copy shows the same pattern at
// the copy's size as it would in the scene itself, for a fraction of the
// work (the comparison's cells).
#include <QSize>

#include "scene/scene.h"

namespace v2d {

// The factor (at most 1) that fits a scene of `scene` pixels into `box`,
// keeping its aspect; 0 for an empty size.
double FittingScale(QSize scene, QSize box);

// The scene's copy at `factor` (0 < factor <= 1): its records in the same
// order with the same identities, their groups, warp meshes and the current
// rotation frame of each cut-out. A pixel's centre p lands on
// (p + 0.5) * factor - 0.5, so outlines stay on the resampled photo.
Scene ScaledScene(const Scene& scene, double factor);

}  // namespace v2d
