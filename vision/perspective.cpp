#include "vision/perspective.h"

namespace v2d::vision {

std::optional<Homogeneous> VanishingPoint(std::span<const Segment>) { return std::nullopt; }
std::optional<double> FocalFromOrthogonal(Homogeneous, Homogeneous, PointD) { return std::nullopt; }
std::optional<Quad> RectangleOnSurface(std::span<const std::vector<V2d_Point>>, std::span<const Segment>, QSize) {
    return std::nullopt;
}
Result<RealSize> SizeFromKnownLength(const Quad&, QSize, PointD, PointD, double) { return Error{"not yet"}; }

}  // namespace v2d::vision
