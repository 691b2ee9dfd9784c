// Blurs and the relief map.
#include "imagelib/vx_operations.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace v2d::vexell {

namespace {

// A kernel wider than this is never wanted and would take minutes.
inline constexpr int32_t kMaxRadius = 2048;

OwnedBitmapPtr Blur(const VxBitmap* source, int32_t radius, double sigma) {
    const std::optional<cv::Mat> view = ViewOf(source);
    if (!view || radius <= 0 || radius > kMaxRadius || !std::isfinite(sigma)) return nullptr;
    OwnedBitmapPtr result = NewBitmap(view->cols, view->rows);
    const int size = 2 * radius + 1;
    // Replicated edges: a flat picture stays flat up to its border.
    cv::GaussianBlur(*view, result->pixels, cv::Size(size, size), sigma, sigma, cv::BORDER_REPLICATE);
    return result;
}

}  // namespace

OwnedBitmapPtr BlurWithSigma(const VxBitmap* source, int32_t radius, double sigma) {
    return Blur(source, radius, std::max(sigma, 0.0));
}

// Sigma 0 lets the kernel width decide it.
OwnedBitmapPtr BlurWithRadius(const VxBitmap* source, int32_t radius) { return Blur(source, radius, 0.0); }

// Light falls from the top left: a raised pattern brightens where the picture
// grows lighter to the right and downwards, a sunken one darkens there. Flat
// areas get the level 170, which the relief's default strength of 1.5 turns
// into an unchanged pixel.
OwnedBitmapPtr ReliefMap(const VxBitmap* source, int32_t kind) {
    constexpr int kFlatLevel = 170;
    constexpr float kGradientScale = 1.0f / 8.0f;
    const std::optional<cv::Mat> view = ViewOf(source);
    if (!view || (kind != 0 && kind != 1)) return nullptr;
    cv::Mat grey, dx, dy;
    cv::cvtColor(*view, grey, cv::COLOR_BGRA2GRAY);
    cv::Sobel(grey, dx, CV_16S, 1, 0, 3, 1, 0, cv::BORDER_REPLICATE);
    cv::Sobel(grey, dy, CV_16S, 0, 1, 3, 1, 0, cv::BORDER_REPLICATE);
    const float sign = kind == 0 ? kGradientScale : -kGradientScale;

    OwnedBitmapPtr result = NewBitmap(view->cols, view->rows);
    for (int y = 0; y < view->rows; ++y) {
        const int16_t* gx = dx.ptr<int16_t>(y);
        const int16_t* gy = dy.ptr<int16_t>(y);
        uint8_t* out = result->pixels.ptr<uint8_t>(y);
        for (int x = 0; x < view->cols; ++x) {
            const uint8_t level = cv::saturate_cast<uint8_t>(kFlatLevel + sign * float(gx[x] + gy[x]));
            out[4 * x] = out[4 * x + 1] = out[4 * x + 2] = level;  // fourth byte stays 0
        }
    }
    return result;
}

}  // namespace v2d::vexell
