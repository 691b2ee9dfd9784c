// The library's own sampling against OpenCV's warpPerspective and remap:
// the same bytes for random pictures, quads, window shapes and positions.
#include "imagelib/vx_sampling.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <random>
#include <vector>

namespace v2d::vexell {
namespace {

cv::Mat RandomPicture(std::mt19937& random, int width, int height) {
    cv::Mat picture(height, width, CV_8UC4);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 4 * width; ++x) picture.ptr<uint8_t>(y)[x] = static_cast<uint8_t>(byte(random));
    return picture;
}

int DifferingPixels(const cv::Mat& a, const cv::Mat& b) {
    cv::Mat differs;
    cv::compare(a.reshape(1), b.reshape(1), differs, cv::CMP_NE);
    return cv::countNonZero(differs);
}

TEST(Sampling, PerspectivePositionsAndSamplesGiveWarpPerspectivesBytes) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> jitter(-0.45, 0.45);
    // Windows wide and narrow, tall and shorter than warpPerspective's 16-row blocks.
    const cv::Size windows[] = {{301, 97}, {64, 16}, {63, 15}, {5, 200}, {250, 3}, {1, 1}, {129, 33}};
    for (const cv::Size window : windows) {
        for (int round = 0; round < 4; ++round) {
            const cv::Mat source = RandomPicture(random, 40 + 37 * round, 23 + 11 * round);
            const double w = source.cols - 1, h = source.rows - 1;
            // A quad reaching a little beyond the window, so that borders are sampled too.
            const cv::Point2f to[4] = {
                {float(-3 + jitter(random) * 8), float(-2 + jitter(random) * 5)},
                {float(window.width * 0.8 + jitter(random) * 9), float(1 + jitter(random))},
                {float(window.width + 2 + jitter(random)), float(window.height + 1 + jitter(random))},
                {float(window.width * 0.1 + jitter(random)), float(window.height * 0.9 + jitter(random))}};
            const cv::Point2f from[4] = {{0, 0}, {float(w), 0}, {float(w), float(h)}, {0, float(h)}};
            const cv::Matx33d backward = cv::Matx33d(cv::getPerspectiveTransform(to, from));
            cv::Mat expected;
            cv::warpPerspective(source, expected, backward, window, cv::INTER_LINEAR | cv::WARP_INVERSE_MAP,
                                cv::BORDER_REPLICATE);

            cv::Mat sampled(window, CV_8UC4, cv::Scalar::all(7));
            const PerspectivePositions positions(backward, window);
            std::vector<int32_t> xs(size_t(window.width)), ys(size_t(window.width));
            for (int y = 0; y < window.height; ++y) {
                // Rows sampled from a column on, as a warp samples only what its quad covers.
                const int first = (y * 13) % window.width;
                positions.Row(y, first, window.width, xs.data(), ys.data());
                SampleBilinear(source, Border::Replicate, xs.data(), ys.data(), window.width - first,
                               sampled.ptr<uint32_t>(y) + first);
                std::copy_n(expected.ptr<uint32_t>(y), first, sampled.ptr<uint32_t>(y));
            }
            EXPECT_EQ(DifferingPixels(sampled, expected), 0) << window << " round " << round;
        }
    }
}

TEST(Sampling, FloatPositionsGiveRemapsBytesWithAZeroBorder) {
    std::mt19937 random(11);
    const cv::Mat source = RandomPicture(random, 57, 31);
    constexpr int kWidth = 203, kHeight = 9;
    std::uniform_real_distribution<float> anywhere(-3.0f, 60.0f);
    cv::Mat map(kHeight, kWidth, CV_32FC2);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            cv::Vec2f& p = map.at<cv::Vec2f>(y, x);
            switch ((x + y) % 5) {
                case 0: p = {-100.0f, -100.0f}; break;                                  // unmapped
                case 1: p = {float(x % 57), float(y % 31)}; break;                      // whole pixels, the last included
                case 2: p = {(x % 114) * 0.5f + 1.0f / 64, (y % 62) * 0.5f}; break;     // halfway: rounds to even
                default: p = {anywhere(random), anywhere(random) * 0.5f}; break;        // anywhere, beyond the edges too
            }
        }
    }
    cv::Mat expected;
    cv::remap(source, expected, map, cv::noArray(), cv::INTER_LINEAR, cv::BORDER_CONSTANT, cv::Scalar::all(0));

    cv::Mat sampled(kHeight, kWidth, CV_8UC4);
    std::vector<int32_t> xs(kWidth), ys(kWidth);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            xs[size_t(x)] = ToSubpixel(map.at<cv::Vec2f>(y, x)[0]);
            ys[size_t(x)] = ToSubpixel(map.at<cv::Vec2f>(y, x)[1]);
        }
        SampleBilinear(source, Border::Zero, xs.data(), ys.data(), kWidth, sampled.ptr<uint32_t>(y));
    }
    EXPECT_EQ(DifferingPixels(sampled, expected), 0);
}

}  // namespace
}  // namespace v2d::vexell
