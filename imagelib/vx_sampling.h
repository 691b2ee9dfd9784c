#pragma once
// Bilinear sampling of 8-bit four-channel pictures at positions given in
// 1/32 pixel, with OpenCV's rounding, weights and borders, and the positions
// OpenCV's perspective warp samples. The warps sample only the pixels they
// keep, and give exactly the bytes OpenCV's warpPerspective and remap give.
#include <opencv2/core.hpp>

#include <cstdint>

#if defined(__x86_64__) && defined(__GNUC__)
#define VX_HAS_AVX2_PATH 1
#define VX_AVX2 __attribute__((target("avx2")))
#endif

namespace v2d::vexell {

// Whether the processor runs the AVX2 paths; they give the same bytes as the plain ones.
bool CpuHasAvx2();

inline constexpr int kSubpixelBits = 5;
inline constexpr int kSubpixelSteps = 1 << kSubpixelBits;

enum class Border {
    Replicate,  // the nearest edge pixel stands in for what lies outside
    Zero,       // what lies outside is 0
};

// out[i] = the source (CV_8UC4) sampled at (xs[i], ys[i]) / 32.
void SampleBilinear(const cv::Mat& source, Border border, const int32_t* xs, const int32_t* ys, int count,
                    uint32_t* out);

// A coordinate in pixels as a position in 1/32 pixel, rounded as remap
// rounds its float maps.
int32_t ToSubpixel(float coordinate);

// The positions warpPerspective (inverse map, linear) samples for a result
// of the given size. It works in blocks and counts each position from its
// block's left column; the same steps in the same order give the same
// doubles, hence the same positions.
class PerspectivePositions {
public:
    PerspectivePositions(const cv::Matx33d& backward, cv::Size result);

    // The positions of the result's row y, columns [first, end).
    void Row(int y, int first, int end, int32_t* xs, int32_t* ys) const;

private:
    cv::Matx33d m_;
    int blockWidth_;
};

}  // namespace v2d::vexell
