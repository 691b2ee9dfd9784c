#pragma once
// The image operations as the program calls them: warps, point mappings,
// relief maps and blurs on QImages. ImageLibrary carries them out through the
// loaded VexellDll.so; a test may put a counting or failing implementation in
// its place.
#include <QImage>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "base/geometry.h"
#include "base/progress.h"

namespace v2d {

// GetBumpMap's kind; the numbers are the library's.
enum class ReliefKind : int32_t { Raised = 0, Sunken = 1 };

class ImageOperations {
public:
    virtual ~ImageOperations() = default;

    // Each picture call returns a null QImage when the library refuses its
    // arguments ("the warp yields nothing"). Results keep the source's 32-bit
    // format (other formats are converted first).

    // The whole source warped onto the quad (top-left, top-right,
    // bottom-right, bottom-left), in a picture of the quad's bounding-box size
    // whose (0, 0) is the box's top-left corner; outside the quad 0.
    virtual QImage Transform(const QImage& source, const Quad& quad, const Progress& progress = {}) const = 0;
    // The reverse: the quad's part of a scene-sized source, rectified into a
    // picture of the quad's box size.
    virtual QImage ATransform(const QImage& source, const Quad& quad, const Progress& progress = {}) const = 0;
    // The source warped from the source grid onto the destination grid (both
    // rows × cols nodes, row by row), sized to the destination nodes' box.
    virtual QImage TransformMesh(const QImage& source, std::span<const V2d_Point> srcNodes,
                                 std::span<const V2d_Point> dstNodes, int rows, int cols,
                                 const Progress& progress = {}) const = 0;

    // Point mappings; nothing when the quad is degenerate or a point falls
    // out of range. TransPoint maps the quad's unwarped frame (its bounding
    // box) into the scene, ATransPoint back; PsTransPoint maps the points' own
    // bounding box onto the quad. Callers that want the library's "output
    // pre-filled with the input" behaviour use value_or(points).
    virtual std::optional<std::vector<V2d_Point>> TransPoint(std::span<const V2d_Point> points,
                                                             const Quad& quad) const = 0;
    virtual std::optional<std::vector<V2d_Point>> ATransPoint(std::span<const V2d_Point> points,
                                                              const Quad& quad) const = 0;
    virtual std::optional<std::vector<V2d_Point>> PsTransPoint(std::span<const V2d_Point> points,
                                                               const Quad& quad) const = 0;

    // Grey relief map of the source's size (RGB32).
    virtual QImage GetBumpMap(const QImage& source, ReliefKind kind) const = 0;
    // The same map for a caller that reads only its grey levels: it may keep
    // the fourth byte as the library leaves it (ARGB32 with alpha 0), which
    // spares the pass that makes it opaque.
    virtual QImage GetBumpMapLevels(const QImage& source, ReliefKind kind) const { return GetBumpMap(source, kind); }
    // Gaussian blur with a kernel of 2 × radius + 1 and the given sigma; the
    // library refuses radius <= 0, so callers pass an unblurred picture on.
    virtual QImage GaussBlurCV2(const QImage& source, int radius, double sigma) const = 0;
    virtual QImage GaussBlur(const QImage& source, int radius) const = 0;
};

// A mapping that the library refused leaves the points where they were.
inline std::vector<V2d_Point> MappedOrAsGiven(std::optional<std::vector<V2d_Point>> mapped,
                                              std::span<const V2d_Point> points) {
    return mapped ? std::move(*mapped) : std::vector<V2d_Point>(points.begin(), points.end());
}

}  // namespace v2d
