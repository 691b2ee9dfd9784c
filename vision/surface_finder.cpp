#include "vision/surface_finder.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

#include "vision/line_segments.h"
#include "vision/mask_outline.h"
#include "vision/perspective.h"
#include "vision/surface_mask.h"

namespace v2d::vision {

namespace {

// The reduced copy's longer side: fine enough for a boundary within a pixel
// or two of the photo's own, small enough for a click well under a second.
constexpr int kReducedSide = 1000;
// Photos with a shorter side are used at their own size.
constexpr int kMinEnlarged = 64;
// Segments shorter than this (reduced pixels) are grain, not the room's lines.
constexpr double kMinSegment = 12.0;

cv::Mat ReducedColour(const QImage& photo, cv::Size reduced) {
    const QImage::Format format = photo.format();
    const QImage rows = format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
                                format == QImage::Format_ARGB32_Premultiplied
                            ? photo
                            : photo.convertToFormat(QImage::Format_RGB32);
    const cv::Mat full(rows.height(), rows.width(), CV_8UC4, const_cast<uchar*>(rows.constBits()),
                       size_t(rows.bytesPerLine()));
    cv::Mat small, colour;
    const bool enlarged = reduced.width > full.cols;
    cv::resize(full, small, reduced, 0, 0, enlarged ? cv::INTER_LINEAR : cv::INTER_AREA);
    cv::cvtColor(small, colour, cv::COLOR_BGRA2BGR);
    return colour;
}

V2d_Point PixelOf(cv::Point2d p, QSize photo) {
    return {std::clamp(int(std::lround(p.x)), 0, photo.width() - 1),
            std::clamp(int(std::lround(p.y)), 0, photo.height() - 1)};
}

// Corners when no rectangle on the plane can be told: the outer ring
// simplified to a quadrilateral, or its smallest turned box.
Quad FallbackCorners(const Ring& outer, QSize photo) {
    std::vector<cv::Point> points;
    for (const V2d_Point& p : outer) points.emplace_back(p.x, p.y);
    std::vector<cv::Point> hull, four;
    cv::convexHull(points, hull);
    const double perimeter = cv::arcLength(hull, true);
    for (double share = 0.01; share < 0.2 && four.size() != 4; share += 0.01) cv::approxPolyDP(hull, four, share * perimeter, true);
    std::vector<cv::Point2d> corners;
    if (four.size() == 4) {
        for (const cv::Point& p : four) corners.emplace_back(p.x, p.y);
    } else {
        cv::Point2f box[4];
        cv::minAreaRect(points).points(box);
        for (const cv::Point2f& p : box) corners.emplace_back(p.x, p.y);
    }
    std::sort(corners.begin(), corners.end(), [](auto a, auto b) { return a.y < b.y; });
    if (corners[0].x > corners[1].x) std::swap(corners[0], corners[1]);
    if (corners[2].x < corners[3].x) std::swap(corners[2], corners[3]);
    return {PixelOf(corners[0], photo), PixelOf(corners[1], photo), PixelOf(corners[2], photo), PixelOf(corners[3], photo)};
}

}  // namespace

class PreparedPhoto {
public:
    QSize size;
    cv::Point2d toPhoto;  // photo pixels per reduced pixel
    ReducedPhoto reduced;
    std::vector<Segment> segments;  // in photo pixels
};

SurfaceFinder::SurfaceFinder(std::unique_ptr<PreparedPhoto> prepared) : prepared_(std::move(prepared)) {}
SurfaceFinder::SurfaceFinder(SurfaceFinder&&) noexcept = default;
SurfaceFinder& SurfaceFinder::operator=(SurfaceFinder&&) noexcept = default;
SurfaceFinder::~SurfaceFinder() = default;

Result<SurfaceFinder> SurfaceFinder::ForPhoto(const QImage& photo) {
    if (photo.isNull() || photo.width() <= 0 || photo.height() <= 0) return Error{"照片无法读取。"};
    auto prepared = std::make_unique<PreparedPhoto>();
    prepared->size = photo.size();
    const double longSide = std::max(photo.width(), photo.height());
    // Smaller photos are enlarged to the same working size, so that a joint or a
    // leg spans as many working pixels whatever the photo's size.
    const double factor = std::min(photo.width(), photo.height()) < kMinEnlarged ? std::max(1.0, longSide / kReducedSide)
                                                                                : longSide / kReducedSide;
    const cv::Size reduced(std::max(1, int(std::lround(photo.width() / factor))),
                           std::max(1, int(std::lround(photo.height() / factor))));
    prepared->toPhoto = {double(photo.width()) / reduced.width, double(photo.height()) / reduced.height};
    prepared->reduced = ReducedPhoto::Of(ReducedColour(photo, reduced));
    cv::Mat grey;
    cv::cvtColor(prepared->reduced.colour, grey, cv::COLOR_BGR2GRAY);
    prepared->segments = LineSegmentsOf(grey, prepared->toPhoto, kMinSegment);
    return SurfaceFinder(std::move(prepared));
}

FlatRings Flattened(const std::vector<Ring>& rings) {
    FlatRings flat;
    for (const Ring& ring : rings) {
        flat.points.insert(flat.points.end(), ring.begin(), ring.end());
        flat.ends.push_back(static_cast<int32_t>(flat.points.size()) - 1);
    }
    return flat;
}

QSize SurfaceFinder::photoSize() const { return prepared_ ? prepared_->size : QSize(); }

Result<FoundSurface> SurfaceFinder::Find(const SurfaceClicks& clicks) const {
    const Error notFound{kMsgNoSurfaceFound};
    if (!prepared_ || clicks.inside.empty()) return notFound;
    const PreparedPhoto& photo = *prepared_;
    const auto reducedAt = [&](V2d_Point p, std::vector<cv::Point>& into) {
        if (p.x < 0 || p.y < 0 || p.x >= photo.size.width() || p.y >= photo.size.height()) return false;
        into.emplace_back(std::min(int(p.x / photo.toPhoto.x), photo.reduced.colour.cols - 1),
                          std::min(int(p.y / photo.toPhoto.y), photo.reduced.colour.rows - 1));
        return true;
    };
    MaskClicks reducedClicks;
    for (const V2d_Point& p : clicks.inside)
        if (!reducedAt(p, reducedClicks.inside)) return Error{kMsgClickOutsidePhoto};
    for (const V2d_Point& p : clicks.outside)
        if (!reducedAt(p, reducedClicks.outside)) return Error{kMsgClickOutsidePhoto};

    const cv::Mat mask = SurfaceMaskOf(photo.reduced, reducedClicks);
    if (mask.empty()) return notFound;
    FoundSurface found;
    for (const RingD& ring : OutlineOf(mask, photo.toPhoto, photo.segments)) {
        Ring pixels;
        for (const cv::Point2d& p : ring) {
            const V2d_Point q = PixelOf(p, photo.size);
            if (pixels.empty() || !(pixels.back() == q)) pixels.push_back(q);
        }
        if (pixels.size() > 1 && pixels.front() == pixels.back()) pixels.pop_back();
        if (pixels.size() >= 3) found.rings.push_back(std::move(pixels));
        if (found.rings.empty()) return notFound;  // the outer boundary collapsed
    }
    if (found.rings.empty()) return notFound;
    if (const auto rectangle = RectangleOnSurface(found.rings, photo.segments, photo.size)) {
        found.corners = rectangle->corners;
        found.focal = rectangle->focal;
    } else {
        found.corners = FallbackCorners(found.rings.front(), photo.size);
    }
    return found;
}

}  // namespace v2d::vision
