#pragma once
// The image-operations library VexellDll.so, loaded by name from the program
// folder, and QImage-level calls over its nine exports. The program needs all
// nine; Load() says in the user's words which ones it could not find.
#include "scene/v2d_polygon.h"

#include <QImage>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace v2d {

// Receives the fraction done, 0..1, on the calling thread.
using ProgressFn = std::function<void(double fraction)>;

class ImageLibrary {
public:
    static constexpr const char* kFileName = "VexellDll.so";

    ImageLibrary() = default;
    ~ImageLibrary();
    ImageLibrary(ImageLibrary&& other) noexcept;
    ImageLibrary& operator=(ImageLibrary&& other) noexcept;
    ImageLibrary(const ImageLibrary&) = delete;
    ImageLibrary& operator=(const ImageLibrary&) = delete;

    // Loads folder + "/VexellDll.so" and looks up the nine exports in the
    // program's fixed order. Returns the messages to show, in order: empty when
    // everything resolved; a library that does not load gives its message
    // followed by one message per export.
    std::vector<std::string> Load(const std::string& folder);
    bool IsLoaded() const;
    // The system's reason for the last failed load, for diagnostics.
    const std::string& LoadFailureDetail() const { return loadFailureDetail_; }

    // Each picture call returns a null QImage when the library refuses its
    // arguments ("the warp yields nothing") or is not loaded. Results keep the
    // source's 32-bit format (other formats are converted first).

    // The whole source warped onto the quad (top-left, top-right,
    // bottom-right, bottom-left), in a picture of the quad's bounding-box size
    // whose (0, 0) is the box's top-left corner; outside the quad 0.
    QImage Transform(const QImage& source, std::span<const V2d_Point, 4> quad, const ProgressFn& progress = {}) const;
    // The reverse: the quad's part of a scene-sized source, rectified into a
    // picture of the quad's box size.
    QImage ATransform(const QImage& source, std::span<const V2d_Point, 4> quad, const ProgressFn& progress = {}) const;
    // The source warped from the source grid onto the destination grid (both
    // rows × cols nodes, row by row), sized to the destination nodes' box.
    QImage TransformMesh(const QImage& source, std::span<const V2d_Point> srcNodes,
                         std::span<const V2d_Point> dstNodes, int rows, int cols,
                         const ProgressFn& progress = {}) const;

    // Point mappings; nothing when the quad is degenerate or a point falls
    // out of range. TransPoint maps the quad's unwarped frame (its bounding box)
    // into the scene, ATransPoint back; PsTransPoint maps the points' own
    // bounding box onto the quad. Callers that want the library's
    // "output pre-filled with the input" behaviour use value_or(points).
    std::optional<std::vector<V2d_Point>> TransPoint(std::span<const V2d_Point> points,
                                                     std::span<const V2d_Point, 4> quad) const;
    std::optional<std::vector<V2d_Point>> ATransPoint(std::span<const V2d_Point> points,
                                                      std::span<const V2d_Point, 4> quad) const;
    std::optional<std::vector<V2d_Point>> PsTransPoint(std::span<const V2d_Point> points,
                                                       std::span<const V2d_Point, 4> quad) const;

    // Grey relief map of the source's size (RGB32); kind 0 raised, 1 sunken.
    QImage GetBumpMap(const QImage& source, int kind) const;
    // Gaussian blur with a kernel of 2 × radius + 1 and the given sigma; the
    // library refuses radius <= 0, so callers pass an unblurred picture on.
    QImage GaussBlurCV2(const QImage& source, int radius, double sigma) const;
    QImage GaussBlur(const QImage& source, int radius) const;

private:
    struct HandleCloser {
        void operator()(void* handle) const;
    };
    template <class Fn>
    Fn Export(int index) const;
    // transform and atransform share one signature and one call pattern.
    QImage WarpWith(int exportIndex, const QImage& source, std::span<const V2d_Point, 4> quad,
                    const ProgressFn& progress) const;
    std::optional<std::vector<V2d_Point>> MapPoints(int index, std::span<const V2d_Point> points,
                                                    std::span<const V2d_Point, 4> quad) const;

    std::unique_ptr<void, HandleCloser> handle_;
    std::array<void*, 9> exports_{};
    std::string loadFailureDetail_;
};

}  // namespace v2d
