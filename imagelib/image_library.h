#pragma once
// The image-operations library VexellDll.so, loaded by name from the program's
// library folder, carrying out the image operations over its nine exports. The program needs all
// nine; Load() says in the user's words which ones it could not find.
#include "imagelib/image_operations.h"

#include <QImage>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace v2d {

class ImageLibrary final : public ImageOperations {
public:
    static constexpr const char* kFileName = "VexellDll.so";

    ImageLibrary() = default;
    ~ImageLibrary() override;
    ImageLibrary(ImageLibrary&& other) noexcept;
    ImageLibrary& operator=(ImageLibrary&& other) noexcept;
    ImageLibrary(const ImageLibrary&) = delete;
    ImageLibrary& operator=(const ImageLibrary&) = delete;

    // Loads folder + "/VexellDll.so" and looks up the nine exports in the
    // program's fixed order. Returns the messages to show, in order: empty when
    // everything resolved; a library that does not load gives its message
    // followed by one message per export.
    std::vector<std::string> Load(const std::string& folder);
    // Where the program finds the library, whatever its workspace: beside the
    // executable (a build or a portable copy), else the installed package's
    // library folder, PREFIX/lib/x86_64-linux-gnu/vexel2d for PREFIX/bin.
    static std::string ProgramLibraryFolder();
    bool IsLoaded() const;
    // The system's reason for the last failed load, for diagnostics.
    const std::string& LoadFailureDetail() const { return loadFailureDetail_; }

    QImage Transform(const QImage& source, const Quad& quad, const Progress& progress = {}) const override;
    QImage ATransform(const QImage& source, const Quad& quad, const Progress& progress = {}) const override;
    QImage TransformMesh(const QImage& source, std::span<const V2d_Point> srcNodes,
                         std::span<const V2d_Point> dstNodes, int rows, int cols,
                         const Progress& progress = {}) const override;
    std::optional<std::vector<V2d_Point>> TransPoint(std::span<const V2d_Point> points,
                                                     const Quad& quad) const override;
    std::optional<std::vector<V2d_Point>> ATransPoint(std::span<const V2d_Point> points,
                                                      const Quad& quad) const override;
    std::optional<std::vector<V2d_Point>> PsTransPoint(std::span<const V2d_Point> points,
                                                       const Quad& quad) const override;
    QImage GetBumpMap(const QImage& source, ReliefKind kind) const override;
    QImage GetBumpMapLevels(const QImage& source, ReliefKind kind) const override;
    QImage GaussBlurCV2(const QImage& source, int radius, double sigma) const override;
    QImage GaussBlur(const QImage& source, int radius) const override;

private:
    struct HandleCloser {
        void operator()(void* handle) const;
    };
    template <class Fn>
    Fn Export(int index) const;
    // transform and atransform share one signature and one call pattern.
    QImage WarpWith(int exportIndex, const QImage& source, const Quad& quad,
                    const Progress& progress) const;
    std::optional<std::vector<V2d_Point>> MapPoints(int index, std::span<const V2d_Point> points,
                                                    const Quad& quad) const;
    QImage BumpMapAs(const QImage& source, ReliefKind kind, QImage::Format format) const;

    std::shared_ptr<void> handle_;  // shared with the pictures the library returned
    std::array<void*, 9> exports_{};
    std::string loadFailureDetail_;
};

}  // namespace v2d
