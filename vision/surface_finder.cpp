#include "vision/surface_finder.h"

namespace v2d::vision {

class PreparedPhoto {
public:
    QSize size;
};

SurfaceFinder::SurfaceFinder(std::unique_ptr<PreparedPhoto> prepared) : prepared_(std::move(prepared)) {}
SurfaceFinder::SurfaceFinder(SurfaceFinder&&) noexcept = default;
SurfaceFinder& SurfaceFinder::operator=(SurfaceFinder&&) noexcept = default;
SurfaceFinder::~SurfaceFinder() = default;

Result<SurfaceFinder> SurfaceFinder::ForPhoto(const QImage& photo) {
    if (photo.isNull() || photo.width() <= 0 || photo.height() <= 0) return Error{"照片无法读取。"};
    auto prepared = std::make_unique<PreparedPhoto>();
    prepared->size = photo.size();
    return SurfaceFinder(std::move(prepared));
}

QSize SurfaceFinder::photoSize() const { return prepared_->size; }

Result<FoundSurface> SurfaceFinder::Find(const SurfaceClicks&) const { return Error{"在单击处没有找到表面。"}; }

}  // namespace v2d::vision
