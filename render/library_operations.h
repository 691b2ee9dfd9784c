#pragma once
// The renderer's image operations carried out by the loaded VexellDll.so.
#include "imagelib/image_library.h"
#include "render/image_operations.h"

namespace v2d {

class LibraryImageOperations final : public ImageOperations {
public:
    explicit LibraryImageOperations(const ImageLibrary& library) : library_(library) {}
    QImage Transform(const Quad& quad, const QImage& source, const RenderProgress& progress) override;
    QImage TransformMesh(std::span<const V2d_Point> srcNodes, std::span<const V2d_Point> dstNodes, int rows,
                         int cols, const QImage& source, const RenderProgress& progress) override;
    // A mapping the library refuses leaves the points as they were.
    std::vector<V2d_Point> TransPoint(std::span<const V2d_Point> points, const Quad& quad) override;
    std::vector<V2d_Point> aTransPoint(std::span<const V2d_Point> points, const Quad& quad) override;
    std::vector<V2d_Point> PsTransPoint(std::span<const V2d_Point> points, const Quad& quad) override;
    QImage GetBumpMap(const QImage& source, int kind) override;
    QImage GaussBlurCV2(const QImage& source, int radius, double sigma) override;

private:
    const ImageLibrary& library_;
};

}  // namespace v2d
