#include "demo/floor_region.h"

#include <opencv2/core.hpp>

#include <algorithm>
#include <cmath>

#include "vision/mask_outline.h"

namespace v2d::demo {
namespace {

std::string PointsText(const auto& points) {
    std::string text;
    for (const V2d_Point& p : points) text += (text.empty() ? "" : ";") + std::to_string(p.x) + "," + std::to_string(p.y);
    return text;
}

V2d_Point Rounded(PixelPos p) { return {int(std::lround(p.x)), int(std::lround(p.y))}; }

}  // namespace

std::optional<FloorRegion> FloorRegionOf(const RenderedRoom& room, double marginMm) {
    const QImage& mask = room.floorMask;
    const cv::Mat pixels(mask.height(), mask.width(), CV_8UC1, const_cast<uchar*>(mask.constBits()),
                         size_t(mask.bytesPerLine()));
    const std::vector<vision::RingD> rings = vision::OutlineOf(pixels.clone(), {1, 1}, {});
    if (rings.empty()) return std::nullopt;
    FloorRegion region;
    double left = 1e300, right = -1e300, near = 1e300, far = -1e300;
    for (const cv::Point2d& p : rings.front()) {
        region.outline.push_back(Rounded({p.x, p.y}));
        // The outline runs through its edge pixels' centres.
        const auto on = room.camera.FloorPointAt({region.outline.back().x + 0.5, region.outline.back().y + 0.5});
        if (!on) return std::nullopt;
        left = std::min(left, on->x), right = std::max(right, on->x);
        near = std::min(near, on->z), far = std::max(far, on->z);
    }
    region.widthMm = int(std::ceil(right - left + 2 * marginMm));
    region.heightMm = int(std::ceil(far - near + 2 * marginMm));
    left -= marginMm, far += marginMm;
    // The far side is the photo's top.
    const FloorPos corners[4] = {{left, far}, {left + region.widthMm, far}, {left + region.widthMm, far - region.heightMm},
                                 {left, far - region.heightMm}};
    for (int i = 0; i < 4; ++i) {
        const auto seen = room.camera.Project({corners[i].x, 0, corners[i].z});
        if (!seen) return std::nullopt;
        region.corners[i] = Rounded(*seen);
    }
    return region;
}

std::string RegionArgument(const std::string& name, const FloorRegion& region) {
    return name + ":" + PointsText(region.outline) + ":" + std::to_string(region.widthMm) + "x" +
           std::to_string(region.heightMm) + ":" + PointsText(region.corners);
}

}  // namespace v2d::demo
