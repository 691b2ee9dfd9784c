#include "render/library_operations.h"

#include <algorithm>

namespace v2d {
namespace {

// The library reports fractions; the progress bar takes whole percents.
ProgressFn AsFraction(const RenderProgress& progress) {
    if (!progress) return {};
    return [&progress](double fraction) { progress(static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 100)); };
}

std::vector<V2d_Point> OrAsGiven(std::optional<std::vector<V2d_Point>> mapped, std::span<const V2d_Point> points) {
    return mapped ? std::move(*mapped) : std::vector<V2d_Point>(points.begin(), points.end());
}

}  // namespace

QImage LibraryImageOperations::Transform(const Quad& quad, const QImage& source, const RenderProgress& progress) {
    return library_.Transform(source, std::span<const V2d_Point, 4>(quad), AsFraction(progress));
}

QImage LibraryImageOperations::TransformMesh(std::span<const V2d_Point> srcNodes,
                                             std::span<const V2d_Point> dstNodes, int rows, int cols,
                                             const QImage& source, const RenderProgress& progress) {
    return library_.TransformMesh(source, srcNodes, dstNodes, rows, cols, AsFraction(progress));
}

std::vector<V2d_Point> LibraryImageOperations::TransPoint(std::span<const V2d_Point> points, const Quad& quad) {
    return OrAsGiven(library_.TransPoint(points, std::span<const V2d_Point, 4>(quad)), points);
}
std::vector<V2d_Point> LibraryImageOperations::aTransPoint(std::span<const V2d_Point> points, const Quad& quad) {
    return OrAsGiven(library_.ATransPoint(points, std::span<const V2d_Point, 4>(quad)), points);
}
std::vector<V2d_Point> LibraryImageOperations::PsTransPoint(std::span<const V2d_Point> points, const Quad& quad) {
    return OrAsGiven(library_.PsTransPoint(points, std::span<const V2d_Point, 4>(quad)), points);
}

QImage LibraryImageOperations::GetBumpMap(const QImage& source, int kind) {
    return library_.GetBumpMap(source, kind);
}

QImage LibraryImageOperations::GaussBlurCV2(const QImage& source, int radius, double sigma) {
    return library_.GaussBlurCV2(source, radius, sigma);
}

}  // namespace v2d
