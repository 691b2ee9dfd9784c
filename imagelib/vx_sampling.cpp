#include "imagelib/vx_sampling.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#ifdef VX_HAS_AVX2_PATH
#include <immintrin.h>
#endif

namespace v2d::vexell {

namespace {

constexpr int kFractions = kSubpixelSteps * kSubpixelSteps;
constexpr int kWeightBits = 15;
constexpr int kRounding = 1 << (kWeightBits - 1);

// OpenCV's fixed-point bilinear weights: the products of the fractions
// scaled to 2^15, kept in 16-bit shorts. A whole-pixel position overflows
// its top-left weight, which is held at 32767; the missing 1 goes to the
// bottom-right weight, as OpenCV hands it out. The pairs are laid out for
// multiply-add: [top-left, top-right] four times, then the bottom pair.
struct WeightTable {
    int16_t plain[kFractions][4];  // top-left, top-right, bottom-left, bottom-right
    alignas(32) int16_t pairs[kFractions][16];

    WeightTable() {
        for (int ty = 0; ty < kSubpixelSteps; ++ty) {
            for (int tx = 0; tx < kSubpixelSteps; ++tx) {
                const int scale = (1 << kWeightBits) / kFractions;
                const int ry = kSubpixelSteps - ty, rx = kSubpixelSteps - tx;
                int w[4] = {ry * rx * scale, ry * tx * scale, ty * rx * scale, ty * tx * scale};
                if (w[0] > INT16_MAX) {
                    w[3] += w[0] - INT16_MAX;
                    w[0] = INT16_MAX;
                }
                int16_t* entry = plain[ty * kSubpixelSteps + tx];
                int16_t* pair = pairs[ty * kSubpixelSteps + tx];
                for (int k = 0; k < 4; ++k) entry[k] = static_cast<int16_t>(w[k]);
                for (int k = 0; k < 4; ++k) {
                    pair[2 * k] = entry[0];
                    pair[2 * k + 1] = entry[1];
                    pair[8 + 2 * k] = entry[2];
                    pair[8 + 2 * k + 1] = entry[3];
                }
            }
        }
    }
};

const WeightTable& Weights() {
    static const WeightTable table;
    return table;
}

int Fraction(int32_t x, int32_t y) {
    return (y & (kSubpixelSteps - 1)) * kSubpixelSteps + (x & (kSubpixelSteps - 1));
}

// The whole pixel of a position, held within a 16-bit short as OpenCV holds it.
int WholePixel(int32_t position) { return std::clamp(position >> kSubpixelBits, INT16_MIN, INT16_MAX); }

// One sample, any position, with the border.
uint32_t SampleOne(const cv::Mat& source, Border border, int32_t x, int32_t y) {
    const int sx = WholePixel(x), sy = WholePixel(y);
    const int width = source.cols, height = source.rows;
    if (border == Border::Zero && (sx >= width || sx + 1 < 0 || sy >= height || sy + 1 < 0)) return 0;
    static constexpr uint8_t kNothing[4] = {};
    const uint8_t* taps[4];
    for (int k = 0; k < 4; ++k) {
        int tx = sx + (k & 1), ty = sy + (k >> 1);
        if (border == Border::Replicate) {
            tx = std::clamp(tx, 0, width - 1);
            ty = std::clamp(ty, 0, height - 1);
        } else if (tx < 0 || tx >= width || ty < 0 || ty >= height) {
            taps[k] = kNothing;
            continue;
        }
        taps[k] = source.ptr<uint8_t>(ty) + 4 * static_cast<size_t>(tx);
    }
    const int16_t* w = Weights().plain[Fraction(x, y)];
    uint8_t pixel[4];
    for (int c = 0; c < 4; ++c) {
        const int sum = taps[0][c] * w[0] + taps[1][c] * w[1] + taps[2][c] * w[2] + taps[3][c] * w[3];
        pixel[c] = static_cast<uint8_t>(std::clamp((sum + kRounding) >> kWeightBits, 0, 255));
    }
    uint32_t packed;
    std::memcpy(&packed, pixel, sizeof packed);
    return packed;
}

void SamplePlain(const cv::Mat& source, Border border, const int32_t* xs, const int32_t* ys, int count,
                 uint32_t* out) {
    for (int i = 0; i < count; ++i) out[i] = SampleOne(source, border, xs[i], ys[i]);
}

#ifdef VX_HAS_AVX2_PATH
// The four sums of one pixel whose 2 × 2 taps all lie inside: the top pair's
// channel sums in the low half, the bottom pair's in the high half.
VX_AVX2 inline __m256i TapSums(const WeightTable& weights, const uint8_t* bits, size_t step, int32_t x, int32_t y) {
    const __m128i byChannel = _mm_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15);
    const uint8_t* top = bits + static_cast<size_t>(y >> kSubpixelBits) * step + 4 * static_cast<size_t>(x >> kSubpixelBits);
    __m128i taps = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(top));
    taps = _mm_castpd_si128(_mm_loadh_pd(_mm_castsi128_pd(taps), reinterpret_cast<const double*>(top + step)));
    const __m256i wide = _mm256_cvtepu8_epi16(_mm_shuffle_epi8(taps, byChannel));
    return _mm256_madd_epi16(wide, _mm256_load_si256(reinterpret_cast<const __m256i*>(weights.pairs[Fraction(x, y)])));
}

// Two pixels' channels, rounded: the first pixel in the low half.
VX_AVX2 inline __m256i Rounded(__m256i first, __m256i second) {
    const __m256i sums = _mm256_add_epi32(_mm256_permute2x128_si256(first, second, 0x20),
                                          _mm256_permute2x128_si256(first, second, 0x31));
    return _mm256_srai_epi32(_mm256_add_epi32(sums, _mm256_set1_epi32(kRounding)), kWeightBits);
}

VX_AVX2 void SampleAvx2(const cv::Mat& source, Border border, const int32_t* xs, const int32_t* ys, int count,
                        uint32_t* out) {
    const unsigned innerWidth = static_cast<unsigned>(source.cols - 1), innerHeight = static_cast<unsigned>(source.rows - 1);
    const auto inside = [&](int i) {
        return static_cast<unsigned>(xs[i] >> kSubpixelBits) < innerWidth &&
               static_cast<unsigned>(ys[i] >> kSubpixelBits) < innerHeight;
    };
    const WeightTable& weights = Weights();
    const uint8_t* bits = source.data;
    const size_t step = source.step;
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        if (!(inside(i) && inside(i + 1) && inside(i + 2) && inside(i + 3))) {
            SamplePlain(source, border, xs + i, ys + i, 4, out + i);
            continue;
        }
        const __m256i p01 = Rounded(TapSums(weights, bits, step, xs[i], ys[i]),
                                    TapSums(weights, bits, step, xs[i + 1], ys[i + 1]));
        const __m256i p23 = Rounded(TapSums(weights, bits, step, xs[i + 2], ys[i + 2]),
                                    TapSums(weights, bits, step, xs[i + 3], ys[i + 3]));
        // Lanes after packing: [p0 p2 p0 p2 | p1 p3 p1 p3]; the order is restored.
        const __m256i bytes = _mm256_packus_epi16(_mm256_packs_epi32(p01, p23), _mm256_setzero_si256());
        const __m256i ordered = _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 4, 1, 5, 0, 0, 0, 0));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm256_castsi256_si128(ordered));
    }
    SamplePlain(source, border, xs + i, ys + i, count - i, out + i);
}
#endif

// warpPerspective's blocks are 32 × 32 pixels where the result allows,
// reshaped to 16 rows by 64 columns.
int BlockWidth(cv::Size result) {
    constexpr int kBlockPixels = 32 * 32, kBlockRows = 16;
    const int width = std::max(result.width, 1), height = std::max(result.height, 1);
    return std::min(kBlockPixels / std::min(kBlockRows, height), width);
}

// One position, in the steps warpPerspective takes for it.
void PositionAt(const cv::Matx33d& m, double x0, double y0, double w0, int x1, int32_t& x, int32_t& y) {
    double w = w0 + m(2, 0) * x1;
    w = w != 0 ? kSubpixelSteps / w : 0;
    const double fx = std::max(double(INT_MIN), std::min(double(INT_MAX), (x0 + m(0, 0) * x1) * w));
    const double fy = std::max(double(INT_MIN), std::min(double(INT_MAX), (y0 + m(1, 0) * x1) * w));
    x = static_cast<int32_t>(std::nearbyint(fx));
    y = static_cast<int32_t>(std::nearbyint(fy));
}

#ifdef VX_HAS_AVX2_PATH
// Four positions from x1 on, the same IEEE steps four at a time.
VX_AVX2 void FourPositionsAvx2(const cv::Matx33d& m, double x0, double y0, double w0, int x1, int32_t* xs,
                               int32_t* ys) {
    const __m256d step = _mm256_add_pd(_mm256_set1_pd(x1), _mm256_setr_pd(0, 1, 2, 3));
    const __m256d low = _mm256_set1_pd(double(INT_MIN)), high = _mm256_set1_pd(double(INT_MAX));
    __m256d w = _mm256_add_pd(_mm256_mul_pd(_mm256_set1_pd(m(2, 0)), step), _mm256_set1_pd(w0));
    w = _mm256_andnot_pd(_mm256_cmp_pd(w, _mm256_setzero_pd(), _CMP_EQ_OQ),
                         _mm256_div_pd(_mm256_set1_pd(kSubpixelSteps), w));
    const __m256d fx = _mm256_mul_pd(_mm256_add_pd(_mm256_set1_pd(x0), _mm256_mul_pd(_mm256_set1_pd(m(0, 0)), step)), w);
    const __m256d fy = _mm256_mul_pd(_mm256_add_pd(_mm256_set1_pd(y0), _mm256_mul_pd(_mm256_set1_pd(m(1, 0)), step)), w);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(xs), _mm256_cvtpd_epi32(_mm256_max_pd(low, _mm256_min_pd(high, fx))));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(ys), _mm256_cvtpd_epi32(_mm256_max_pd(low, _mm256_min_pd(high, fy))));
}
#endif

}  // namespace

bool CpuHasAvx2() {
#ifdef VX_HAS_AVX2_PATH
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
#else
    return false;
#endif
}

void SampleBilinear(const cv::Mat& source, Border border, const int32_t* xs, const int32_t* ys, int count,
                    uint32_t* out) {
    if (count <= 0) return;
#ifdef VX_HAS_AVX2_PATH
    if (CpuHasAvx2()) return SampleAvx2(source, border, xs, ys, count, out);
#endif
    SamplePlain(source, border, xs, ys, count, out);
}

int32_t ToSubpixel(float coordinate) {
    // The product is exact (a power of two); remap rounds it to even.
    return static_cast<int32_t>(std::nearbyint(coordinate * float(kSubpixelSteps)));
}

PerspectivePositions::PerspectivePositions(const cv::Matx33d& backward, cv::Size result)
    : m_(backward), blockWidth_(BlockWidth(result)) {}

void PerspectivePositions::Row(int y, int first, int end, int32_t* xs, int32_t* ys) const {
    const cv::Matx33d& m = m_;
    for (int x = first; x < end;) {
        const int block = x / blockWidth_ * blockWidth_;
        const int blockEnd = std::min(end, block + blockWidth_);
        const double x0 = m(0, 0) * block + m(0, 1) * y + m(0, 2);
        const double y0 = m(1, 0) * block + m(1, 1) * y + m(1, 2);
        const double w0 = m(2, 0) * block + m(2, 1) * y + m(2, 2);
#ifdef VX_HAS_AVX2_PATH
        if (CpuHasAvx2()) {
            for (; x + 4 <= blockEnd; x += 4) FourPositionsAvx2(m, x0, y0, w0, x - block, xs + (x - first), ys + (x - first));
        }
#endif
        for (; x < blockEnd; ++x) PositionAt(m, x0, y0, w0, x - block, xs[x - first], ys[x - first]);
    }
}

}  // namespace v2d::vexell
