// Perspective warps between a quad and its unwarped frame.
#include "imagelib/vx_bands.h"
#include "imagelib/vx_geometry.h"
#include "imagelib/vx_operations.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace v2d::vexell {

namespace {

// The corner pixels' centres of a w × h picture, in quad order.
Quad PictureCorners(int width, int height) {
    const double r = width - 1, b = height - 1;
    return {cv::Point2d(0, 0), cv::Point2d(r, 0), cv::Point2d(r, b), cv::Point2d(0, b)};
}

// The same backward map for a band whose first row is `firstRow` of the whole.
cv::Matx33d ForBand(const cv::Matx33d& backward, int firstRow) {
    const cv::Matx33d down(1, 0, 0, 0, 1, firstRow, 0, 0, 1);
    return backward * down;
}

// Zeroes the pixels of a band whose centres lie outside the convex quad.
void ClearOutside(cv::Mat& band, const Quad& quad, int firstRow) {
    constexpr double kTolerance = 1e-7;
    for (int r = 0; r < band.rows; ++r) {
        uint8_t* row = band.ptr<uint8_t>(r);
        const std::optional<Span> span = ConvexRowSpan(quad.data(), 4, firstRow + r);
        int left = band.cols, right = band.cols;  // whole row when missed
        if (span) {
            left = static_cast<int>(std::clamp(std::ceil(span->left - kTolerance), 0.0, double(band.cols)));
            right = static_cast<int>(std::clamp(std::floor(span->right + kTolerance) + 1, double(left), double(band.cols)));
        }
        std::memset(row, 0, size_t{4} * left);
        std::memset(row + size_t{4} * right, 0, size_t{4} * (band.cols - right));
    }
}

// A picture one pixel wide or high has no extent to map corners from; it is
// doubled in that direction so that its single column or row fills the quad.
cv::Mat WithExtent(const cv::Mat& picture) {
    if (picture.cols >= 2 && picture.rows >= 2) return picture;
    cv::Mat stretched;
    cv::resize(picture, stretched, cv::Size(std::max(2, picture.cols), std::max(2, picture.rows)), 0, 0, cv::INTER_NEAREST);
    return stretched;
}

}  // namespace

OwnedBitmapPtr TransformOntoQuad(const VxPoint* quadPoints, const VxBitmap* source, VxProgress progress) {
    const std::optional<Quad> quad = UsableQuad(quadPoints);
    const std::optional<cv::Mat> view = ViewOf(source);
    if (!quad || !view) return nullptr;
    const Box box = BoxOf(quadPoints, 4);
    if (!SizeIsAcceptable(box.Width(), box.Height())) return nullptr;

    const cv::Mat picture = WithExtent(*view);
    const Quad target = Shifted(*quad, -double(box.minX), -double(box.minY));
    const std::optional<cv::Matx33d> backward = HomographyBetween(target, PictureCorners(picture.cols, picture.rows));
    if (!backward) return nullptr;

    OwnedBitmapPtr result = NewBitmap(int(box.Width()), int(box.Height()));
    ForEachBand(result->height, progress, [&](int first, int end) {
        cv::Mat band = result->pixels.rowRange(first, end);
        // Replicated edges keep the quad's border pixels free of a dark fringe;
        // everything outside the quad is then cleared.
        cv::warpPerspective(picture, band, ForBand(*backward, first), band.size(),
                            cv::INTER_LINEAR | cv::WARP_INVERSE_MAP, cv::BORDER_REPLICATE);
        ClearOutside(band, target, first);
    });
    return result;
}

OwnedBitmapPtr RectifyQuad(const VxPoint* quadPoints, const VxBitmap* source, VxProgress progress) {
    const std::optional<Quad> quad = UsableQuad(quadPoints);
    const std::optional<cv::Mat> view = ViewOf(source);
    if (!quad || !view) return nullptr;
    const Box box = BoxOf(quadPoints, 4);
    if (!SizeIsAcceptable(box.Width(), box.Height())) return nullptr;

    // Result pixel (u, v) is frame point (minX + u, minY + v); the source is
    // read in scene coordinates.
    const Quad frame = PictureCorners(int(box.Width()), int(box.Height()));
    const std::optional<cv::Matx33d> backward = HomographyBetween(frame, *quad);
    if (!backward) return nullptr;

    OwnedBitmapPtr result = NewBitmap(int(box.Width()), int(box.Height()));
    ForEachBand(result->height, progress, [&](int first, int end) {
        cv::Mat band = result->pixels.rowRange(first, end);
        cv::warpPerspective(*view, band, ForBand(*backward, first), band.size(), cv::INTER_LINEAR | cv::WARP_INVERSE_MAP,
                            cv::BORDER_CONSTANT, cv::Scalar::all(0));
    });
    return result;
}

}  // namespace v2d::vexell
