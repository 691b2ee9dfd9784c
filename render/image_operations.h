#pragma once
// The image-operations library as the renderer sees it: warps, point
// mappings, relief maps and blurs on QImages. LibraryImageOperations
// (library_operations.h) forwards to the loaded VexellDll.so; a test may put
// a counting or failing implementation in its place.
#include <QImage>

#include <array>
#include <functional>
#include <span>
#include <vector>

#include "scene/v2d_polygon.h"

namespace v2d {

// Percent done, 0..100, for the caller's progress bar. May be empty.
using RenderProgress = std::function<void(int percent)>;

// Top-left, top-right, bottom-right, bottom-left.
using Quad = std::array<V2d_Point, 4>;

class ImageOperations {
public:
    virtual ~ImageOperations() = default;
    // The whole source warped onto the quad, as large as the quad's box;
    // pixel (0, 0) is the box's top-left. Null when the library fails.
    virtual QImage Transform(const Quad& quad, const QImage& source, const RenderProgress& progress) = 0;
    // The source warped from the source grid onto the destination grid,
    // sized to the destination nodes' box.
    virtual QImage TransformMesh(std::span<const V2d_Point> srcNodes, std::span<const V2d_Point> dstNodes,
                                 int rows, int cols, const QImage& source, const RenderProgress& progress) = 0;
    // Unwarped frame of the quad into the scene, and back.
    virtual std::vector<V2d_Point> TransPoint(std::span<const V2d_Point> points, const Quad& quad) = 0;
    virtual std::vector<V2d_Point> aTransPoint(std::span<const V2d_Point> points, const Quad& quad) = 0;
    // The box of the points mapped onto the quad (model outlines).
    virtual std::vector<V2d_Point> PsTransPoint(std::span<const V2d_Point> points, const Quad& quad) = 0;
    // Grey relief map of the source's size; kind 0 raised, 1 sunken.
    virtual QImage GetBumpMap(const QImage& source, int kind) = 0;
    virtual QImage GaussBlurCV2(const QImage& source, int radius, double sigma) = 0;
};

// The box of a quad: min and max over its four points.
struct PixelBox {
    int minX = 0, minY = 0, maxX = -1, maxY = -1;
    // Saturate at INT_MAX for hostile coordinates; callers check the size.
    int width() const { return Span(minX, maxX); }
    int height() const { return Span(minY, maxY); }
    bool empty() const { return maxX < minX || maxY < minY; }
    friend bool operator==(const PixelBox&, const PixelBox&) = default;

private:
    static int Span(int low, int high) {
        const long long span = static_cast<long long>(high) - low + 1;
        return span > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(span);
    }
};
PixelBox BoxOf(std::span<const V2d_Point> points);
Quad QuadOf(const V2d_Point (&corners)[4]);

}  // namespace v2d
