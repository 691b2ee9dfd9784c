// Point mappings between a quad and its unwarped frame (the quad's bounding
// box, corner onto corner), and from a point set's own box onto a quad.
#include "imagelib/vx_geometry.h"
#include "imagelib/vx_operations.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace v2d::vexell {

namespace {

inline constexpr int32_t kMaxPoints = int32_t{1} << 24;

std::optional<int32_t> Rounded(double value) {
    const double r = std::floor(value + 0.5);
    if (!(r >= std::numeric_limits<int32_t>::min() && r <= std::numeric_limits<int32_t>::max())) return std::nullopt;
    return static_cast<int32_t>(r);
}

std::optional<cv::Matx33d> MappingFor(PointMapping mapping, const VxPoint* in, int32_t count, const Quad& quad,
                                      const VxPoint* quadPoints) {
    switch (mapping) {
        case PointMapping::FrameToScene: return HomographyBetween(BoxOf(quadPoints, 4).Corners(), quad);
        case PointMapping::SceneToFrame: return HomographyBetween(quad, BoxOf(quadPoints, 4).Corners());
        case PointMapping::PointBoxToScene: {
            const Box box = BoxOf(in, count);
            if (box.Width() < 2 || box.Height() < 2) return std::nullopt;  // a line or a point has no box
            return HomographyBetween(box.Corners(), quad);
        }
    }
    return std::nullopt;
}

}  // namespace

int32_t MapPoints(PointMapping mapping, const VxPoint* in, VxPoint* out, int32_t count, const VxPoint* quadPoints) {
    const std::optional<Quad> quad = UsableQuad(quadPoints);
    if (!quad || count < 0 || count > kMaxPoints) return -1;
    if (count == 0) return 0;
    if (in == nullptr || out == nullptr || !CoordinatesAcceptable(in, count)) return -1;
    const std::optional<cv::Matx33d> h = MappingFor(mapping, in, count, *quad, quadPoints);
    if (!h) return -1;

    // Mapped whole before anything is written, so a refusal leaves `out` as it
    // was and `in` may be `out`.
    std::vector<VxPoint> mapped(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const std::optional<cv::Point2d> p = Apply(*h, cv::Point2d(in[i].x, in[i].y));
        if (!p) return -1;
        const std::optional<int32_t> x = Rounded(p->x), y = Rounded(p->y);
        if (!x || !y) return -1;
        mapped[size_t(i)] = VxPoint{*x, *y};
    }
    std::copy(mapped.begin(), mapped.end(), out);
    return 0;
}

}  // namespace v2d::vexell
