// Perspective warps between a quad and its unwarped frame.
#include "imagelib/vx_bands.h"
#include "imagelib/vx_geometry.h"
#include "imagelib/vx_operations.h"
#include "imagelib/vx_sampling.h"

#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace v2d::vexell {

namespace {

// The corner pixels' centres of a w × h picture, in quad order.
Quad PictureCorners(int width, int height) {
    const double r = width - 1, b = height - 1;
    return {cv::Point2d(0, 0), cv::Point2d(r, 0), cv::Point2d(r, b), cv::Point2d(0, b)};
}

// The same backward map for a window of the result whose top-left pixel is
// (left, top) of the whole.
cv::Matx33d ForWindow(const cv::Matx33d& backward, int left, int top) {
    const cv::Matx33d shift(1, 0, left, 0, 1, top, 0, 0, 1);
    return backward * shift;
}

// Warps the rows [first, end) of the result. Only the pixels inside the
// quad are sampled; the bitmap starts zeroed, so the rest stays 0. The
// positions are those warpPerspective gives for the band's window of the
// result (the columns some row of the band covers), so the pixels are too.
void WarpBand(const cv::Mat& picture, const cv::Matx33d& backward, const Quad& target, cv::Mat& result, int first,
              int end) {
    std::vector<Columns> rows(size_t(end - first));
    int left = result.cols, right = 0;
    for (int y = first; y < end; ++y) {
        const Columns c = CoveredColumns(target.data(), 4, y, result.cols);
        rows[size_t(y - first)] = c;
        if (c.end > c.left) {
            left = std::min(left, c.left);
            right = std::max(right, c.end);
        }
    }
    if (right <= left) return;
    const PerspectivePositions positions(ForWindow(backward, left, first), cv::Size(right - left, end - first));
    cv::parallel_for_(cv::Range(first, end), [&](const cv::Range& part) {
        std::vector<int32_t> xs(size_t(right - left)), ys(size_t(right - left));
        for (int y = part.start; y < part.end; ++y) {
            const Columns c = rows[size_t(y - first)];
            if (c.empty()) continue;
            positions.Row(y - first, c.left - left, c.end - left, xs.data(), ys.data());
            // Replicated edges keep the quad's border pixels free of a dark fringe.
            SampleBilinear(picture, Border::Replicate, xs.data(), ys.data(), c.end - c.left,
                           result.ptr<uint32_t>(y) + c.left);
        }
    });
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
    ForEachBand(result->height, progress,
                [&](int first, int end) { WarpBand(picture, *backward, target, result->pixels, first, end); });
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
        cv::warpPerspective(*view, band, ForWindow(*backward, 0, first), band.size(), cv::INTER_LINEAR | cv::WARP_INVERSE_MAP,
                            cv::BORDER_CONSTANT, cv::Scalar::all(0));
    });
    return result;
}

}  // namespace v2d::vexell
