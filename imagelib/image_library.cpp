#include "imagelib/image_library.h"

#include "base/process_setup.h"
#include "imagelib/qimage_bitmap.h"
#include "imagelib/vexell_api.h"

#include <dlfcn.h>

#include <algorithm>
#include <filesystem>
#include <exception>
#include <utility>

namespace v2d {

namespace {

// The program's lookup order, with the message shown for each missing export.
struct ExportEntry {
    const char* name;
    const char* missingMessage;
};
constexpr const char* kLibraryMissing = "VexellDll.dll加载失败";
constexpr const char* kExportMissing = "VexellDll.dll函数加载失败";
enum ExportIndex {
    kTransform, kGaussBlur, kGetBumpMap, kATransform, kTransformMesh,
    kPsTransPoint, kTransPoint, kATransPoint, kGaussBlurCV2,
};
constexpr std::array<ExportEntry, 9> kExports = {{
    {"transform", kExportMissing},
    {"GaussBlur", kExportMissing},
    {"GetBumpMap", "GetBumpMap函数加载失败"},
    {"atransform", kExportMissing},
    {"TransformMesh", kExportMissing},
    {"PsTransPoint", kExportMissing},
    {"TransPoint", kExportMissing},
    {"aTransPoint", kExportMissing},
    {"GaussBlurCV2", "GaussBlurCV2函数加载失败"},
}};

static_assert(sizeof(V2d_Point) == sizeof(VxPoint));

std::vector<VxPoint> ToVx(std::span<const V2d_Point> points) {
    std::vector<VxPoint> result(points.size());
    std::transform(points.begin(), points.end(), result.begin(), [](const V2d_Point& p) { return VxPoint{p.x, p.y}; });
    return result;
}

std::vector<V2d_Point> FromVx(const std::vector<VxPoint>& points) {
    std::vector<V2d_Point> result(points.size());
    std::transform(points.begin(), points.end(), result.begin(), [](const VxPoint& p) { return V2d_Point{p.x, p.y}; });
    return result;
}

// The library's callback is a bare function pointer without user data, so the
// caller's std::function travels through a thread-local relay. An exception
// thrown by the caller's function must not unwind through the library: it is
// held and rethrown once the library has returned.
class ProgressRelay {
public:
    explicit ProgressRelay(const Progress& target) : target_(target), previous_(current_) { current_ = this; }
    ~ProgressRelay() { current_ = previous_; }
    ProgressRelay(const ProgressRelay&) = delete;
    ProgressRelay& operator=(const ProgressRelay&) = delete;

    VxProgress Callback() const { return target_ ? &Relay : nullptr; }
    void RethrowFailure() const {
        if (failure_) std::rethrow_exception(failure_);
    }

private:
    static int Relay(double fraction) {
        ProgressRelay* relay = current_;
        if (relay == nullptr || relay->failure_) return 0;
        try {
            // The library counts in fractions, the program's bars in percents.
            relay->target_(static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 100));
        } catch (...) {
            relay->failure_ = std::current_exception();
        }
        return 0;
    }

    const Progress& target_;
    ProgressRelay* previous_;
    std::exception_ptr failure_;
    static thread_local ProgressRelay* current_;
};
thread_local ProgressRelay* ProgressRelay::current_ = nullptr;


}  // namespace

void ImageLibrary::HandleCloser::operator()(void* handle) const {
    if (handle != nullptr) dlclose(handle);
}

ImageLibrary::~ImageLibrary() = default;

ImageLibrary::ImageLibrary(ImageLibrary&& other) noexcept
    : handle_(std::move(other.handle_)),
      exports_(std::exchange(other.exports_, {})),
      loadFailureDetail_(std::move(other.loadFailureDetail_)) {}

ImageLibrary& ImageLibrary::operator=(ImageLibrary&& other) noexcept {
    if (this != &other) {
        exports_ = std::exchange(other.exports_, {});
        handle_ = std::move(other.handle_);
        loadFailureDetail_ = std::move(other.loadFailureDetail_);
    }
    return *this;
}

std::vector<std::string> ImageLibrary::Load(const std::string& folder) {
    exports_ = {};
    handle_.reset();
    loadFailureDetail_.clear();

    std::string path = folder.empty() ? std::string(".") : folder;
    if (path.back() != '/') path += '/';
    path += kFileName;

    std::vector<std::string> messages;
    handle_ = std::shared_ptr<void>(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL), HandleCloser{});
    if (!handle_) {
        const char* reason = dlerror();
        loadFailureDetail_ = reason != nullptr ? reason : path;
        messages.emplace_back(kLibraryMissing);
    }
    // As the program always did, every export is looked up even after a
    // failure, so each missing one has its own message.
    for (size_t i = 0; i < kExports.size(); ++i) {
        exports_[i] = handle_ ? dlsym(handle_.get(), kExports[i].name) : nullptr;
        if (exports_[i] == nullptr) messages.emplace_back(kExports[i].missingMessage);
    }
    return messages;
}

std::string ImageLibrary::ProgramLibraryFolder() { return ProgramLibraryFile(kFileName).parent_path().string(); }

bool ImageLibrary::IsLoaded() const {
    return handle_ && std::all_of(exports_.begin(), exports_.end(), [](void* symbol) { return symbol != nullptr; });
}

template <class Fn>
Fn ImageLibrary::Export(int index) const {
    return reinterpret_cast<Fn>(exports_[static_cast<size_t>(index)]);
}

QImage ImageLibrary::Transform(const QImage& source, const Quad& quad,
                               const Progress& progress) const {
    return WarpWith(kTransform, source, quad, progress);
}

QImage ImageLibrary::ATransform(const QImage& source, const Quad& quad,
                                const Progress& progress) const {
    return WarpWith(kATransform, source, quad, progress);
}

QImage ImageLibrary::WarpWith(int exportIndex, const QImage& source, const Quad& quad,
                              const Progress& progress) const {
    const auto call = Export<VxTransformFn>(exportIndex);
    if (call == nullptr || source.isNull()) return {};
    const QImage picture = As32BitPicture(source);
    const VxBitmap view = BitmapViewOf(picture);
    const std::vector<VxPoint> corners = ToVx(quad);
    const ProgressRelay relay(progress);
    QImage result = AdoptBitmap(call(corners.data(), &view, relay.Callback()), picture.format(), handle_);
    relay.RethrowFailure();
    return result;
}

QImage ImageLibrary::TransformMesh(const QImage& source, std::span<const V2d_Point> srcNodes,
                                   std::span<const V2d_Point> dstNodes, int rows, int cols,
                                   const Progress& progress) const {
    const auto call = Export<VxTransformMeshFn>(kTransformMesh);
    if (call == nullptr || source.isNull() || rows < 2 || cols < 2) return {};
    const size_t nodes = static_cast<size_t>(rows) * static_cast<size_t>(cols);
    if (srcNodes.size() != nodes || dstNodes.size() != nodes) return {};
    const QImage picture = As32BitPicture(source);
    const VxBitmap view = BitmapViewOf(picture);
    const std::vector<VxPoint> from = ToVx(srcNodes), to = ToVx(dstNodes);
    const ProgressRelay relay(progress);
    QImage result =
        AdoptBitmap(call(from.data(), to.data(), rows, cols, &view, relay.Callback()), picture.format(), handle_);
    relay.RethrowFailure();
    return result;
}

std::optional<std::vector<V2d_Point>> ImageLibrary::MapPoints(int index, std::span<const V2d_Point> points,
                                                              const Quad& quad) const {
    const auto call = Export<VxPointMapFn>(index);
    if (call == nullptr || points.size() > static_cast<size_t>(INT32_MAX)) return std::nullopt;
    const std::vector<VxPoint> in = ToVx(points), corners = ToVx(quad);
    std::vector<VxPoint> out = in;  // the library's callers always pre-fill the output
    if (call(in.data(), out.data(), static_cast<int32_t>(in.size()), corners.data()) != 0) return std::nullopt;
    return FromVx(out);
}

std::optional<std::vector<V2d_Point>> ImageLibrary::TransPoint(std::span<const V2d_Point> points,
                                                               const Quad& quad) const {
    return MapPoints(kTransPoint, points, quad);
}

std::optional<std::vector<V2d_Point>> ImageLibrary::ATransPoint(std::span<const V2d_Point> points,
                                                                const Quad& quad) const {
    return MapPoints(kATransPoint, points, quad);
}

std::optional<std::vector<V2d_Point>> ImageLibrary::PsTransPoint(std::span<const V2d_Point> points,
                                                                 const Quad& quad) const {
    return MapPoints(kPsTransPoint, points, quad);
}

QImage ImageLibrary::BumpMapAs(const QImage& source, ReliefKind kind, QImage::Format format) const {
    const auto call = Export<VxBumpMapFn>(kGetBumpMap);
    if (call == nullptr || source.isNull()) return {};
    const QImage picture = As32BitPicture(source);
    const VxBitmap view = BitmapViewOf(picture);
    return AdoptBitmap(call(&view, static_cast<int32_t>(kind)), format, handle_);
}

QImage ImageLibrary::GetBumpMap(const QImage& source, ReliefKind kind) const {
    return BumpMapAs(source, kind, QImage::Format_RGB32);
}

// ARGB32 takes the library's rows as they are: only RGB32 gets the opaque pass.
QImage ImageLibrary::GetBumpMapLevels(const QImage& source, ReliefKind kind) const {
    return BumpMapAs(source, kind, QImage::Format_ARGB32);
}

QImage ImageLibrary::GaussBlurCV2(const QImage& source, int radius, double sigma) const {
    const auto call = Export<VxGaussBlurCV2Fn>(kGaussBlurCV2);
    if (call == nullptr || source.isNull()) return {};
    const QImage picture = As32BitPicture(source);
    const VxBitmap view = BitmapViewOf(picture);
    return AdoptBitmap(call(&view, radius, sigma), picture.format(), handle_);
}

QImage ImageLibrary::GaussBlur(const QImage& source, int radius) const {
    const auto call = Export<VxGaussBlurFn>(kGaussBlur);
    if (call == nullptr || source.isNull()) return {};
    const QImage picture = As32BitPicture(source);
    const VxBitmap view = BitmapViewOf(picture);
    return AdoptBitmap(call(&view, radius), picture.format(), handle_);
}

}  // namespace v2d
