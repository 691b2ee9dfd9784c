// Warp through a grid of node pairs: every destination cell is filled from
// its source cell, by that cell's own homography when the cell is convex and
// by two affine triangles when the user has bent it out of shape.
#include "imagelib/vx_bands.h"
#include "imagelib/vx_geometry.h"
#include "imagelib/vx_operations.h"
#include "imagelib/vx_sampling.h"

#include <opencv2/core/utility.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#ifdef VX_HAS_AVX2_PATH
#include <immintrin.h>
#endif

namespace v2d::vexell {

namespace {

inline constexpr int64_t kMaxNodes = int64_t{1} << 20;
// A sample position far enough outside any picture to read the border's 0.
inline constexpr float kUnmapped = -100.0f;
inline constexpr int32_t kUnmappedPosition = int32_t(kUnmapped) * kSubpixelSteps;

// One convex piece of the destination (a whole cell or a triangle of it)
// with the map from destination points back into the source.
struct Piece {
    cv::Point2d corners[4];
    int count = 0;
    bool projective = false;
    cv::Matx33d backward;  // projective pieces
    cv::Matx23d affine;    // triangles
    int firstRow = 0, lastRow = -1;  // the pixel rows it reaches, from Bound

    cv::Point2d SourceOf(const cv::Point2d& p) const {
        if (!projective) return affine * cv::Vec3d(p.x, p.y, 1.0);
        const std::optional<cv::Point2d> q = Apply(backward, p);
        return q ? *q : cv::Point2d(kUnmapped, kUnmapped);
    }
};

std::optional<cv::Matx23d> AffineBetween(const cv::Point2d from[3], const cv::Point2d to[3]) {
    const cv::Point2d e1 = from[1] - from[0], e2 = from[2] - from[0];
    const double det = e1.cross(e2);
    if (std::abs(det) < 1e-9) return std::nullopt;
    // Columns: the images of the unit steps in x and y.
    const cv::Point2d f1 = to[1] - to[0], f2 = to[2] - to[0];
    const double a = (f1.x * e2.y - f2.x * e1.y) / det, b = (f2.x * e1.x - f1.x * e2.x) / det;
    const double c = (f1.y * e2.y - f2.y * e1.y) / det, d = (f2.y * e1.x - f1.y * e2.x) / det;
    return cv::Matx23d(a, b, to[0].x - a * from[0].x - b * from[0].y, c, d, to[0].y - c * from[0].x - d * from[0].y);
}

void Bound(Piece& piece) {
    constexpr double kTolerance = 1e-7;
    double minY = piece.corners[0].y, maxY = minY;
    for (int i = 1; i < piece.count; ++i) {
        minY = std::min(minY, piece.corners[i].y);
        maxY = std::max(maxY, piece.corners[i].y);
    }
    piece.firstRow = int(std::ceil(minY - kTolerance));
    piece.lastRow = int(std::floor(maxY + kTolerance));
}

void AddCell(const Quad& dst, const Quad& src, std::vector<Piece>& pieces) {
    if (IsStrictlyConvex(dst)) {
        if (const std::optional<cv::Matx33d> h = HomographyBetween(dst, src)) {
            Piece piece;
            std::copy(dst.begin(), dst.end(), piece.corners);
            piece.count = 4;
            piece.projective = true;
            piece.backward = *h;
            Bound(piece);
            pieces.push_back(piece);
            return;
        }
    }
    for (const auto& corner : {std::array{0, 1, 2}, std::array{0, 2, 3}}) {
        const cv::Point2d d[3] = {dst[corner[0]], dst[corner[1]], dst[corner[2]]};
        const cv::Point2d s[3] = {src[corner[0]], src[corner[1]], src[corner[2]]};
        if (const std::optional<cv::Matx23d> m = AffineBetween(d, s)) {
            Piece piece;
            std::copy(d, d + 3, piece.corners);
            piece.count = 3;
            piece.affine = *m;
            Bound(piece);
            pieces.push_back(piece);
        }
    }
}

// The columns [left, end) that some piece covers on some row of [first, end).
Columns BandColumns(const std::vector<Piece>& pieces, int first, int end, int width) {
    Columns band{width, 0};
    for (const Piece& piece : pieces) {
        for (int y = std::max(first, piece.firstRow); y <= std::min(end - 1, piece.lastRow); ++y) {
            const Columns c = CoveredColumns(piece.corners, piece.count, y, width);
            if (c.empty()) continue;
            band.left = std::min(band.left, c.left);
            band.end = std::max(band.end, c.end);
        }
    }
    return band;
}

#ifdef VX_HAS_AVX2_PATH
// h's row r applied to the points (x, y), four at a time, in Apply's steps.
VX_AVX2 inline __m256d LineOf(const cv::Matx33d& h, int r, __m256d x, __m256d y) {
    return _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(_mm256_set1_pd(h(r, 0)), x), _mm256_mul_pd(_mm256_set1_pd(h(r, 1)), y)),
                         _mm256_set1_pd(h(r, 2)));
}

// The coordinates as floats clamped to [0, most], in 1/32 pixel.
VX_AVX2 inline __m128i ClampedPositions(__m256d coordinates, float most) {
    const __m128 clamped = _mm_max_ps(_mm_min_ps(_mm256_cvtpd_ps(coordinates), _mm_set1_ps(most)), _mm_setzero_ps());
    return _mm_cvtps_epi32(_mm_mul_ps(clamped, _mm_set1_ps(float(kSubpixelSteps))));
}

// The pixels x .. x + 3 of row y in a projective piece: Apply and the
// clamping of FillPositions four at a time, the same IEEE steps; pixels
// already mapped keep their positions.
VX_AVX2 void FourProjectivePositions(const cv::Matx33d& h, int x, int y, float maxX, float maxY, int32_t* rowX,
                                     int32_t* rowY) {
    const __m256d px = _mm256_add_pd(_mm256_set1_pd(x), _mm256_setr_pd(0, 1, 2, 3)), py = _mm256_set1_pd(y);
    const __m256d magnitude = _mm256_set1_pd(-0.0);  // the sign bit, cleared for |v|
    const __m256d w = LineOf(h, 2, px, py);
    const __m256d qx = _mm256_div_pd(LineOf(h, 0, px, py), w), qy = _mm256_div_pd(LineOf(h, 1, px, py), w);
    const __m256d largest = _mm256_set1_pd(std::numeric_limits<double>::max());
    __m256d valid = _mm256_cmp_pd(_mm256_andnot_pd(magnitude, w), _mm256_set1_pd(1e-12), _CMP_GT_OQ);
    valid = _mm256_and_pd(valid, _mm256_cmp_pd(_mm256_andnot_pd(magnitude, qx), largest, _CMP_LE_OQ));
    valid = _mm256_and_pd(valid, _mm256_cmp_pd(_mm256_andnot_pd(magnitude, qy), largest, _CMP_LE_OQ));
    // A source x of exactly kUnmapped reads as unmapped, as it does one pixel at a time.
    valid = _mm256_and_pd(valid, _mm256_cmp_pd(qx, _mm256_set1_pd(kUnmapped), _CMP_NEQ_OQ));
    const __m128i validLanes = _mm256_castsi256_si128(
        _mm256_permutevar8x32_epi32(_mm256_castpd_si256(valid), _mm256_setr_epi32(0, 2, 4, 6, 0, 0, 0, 0)));
    const __m128i oldX = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rowX + x));
    const __m128i oldY = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rowY + x));
    const __m128i take = _mm_and_si128(validLanes, _mm_cmpeq_epi32(oldX, _mm_set1_epi32(kUnmappedPosition)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(rowX + x), _mm_blendv_epi8(oldX, ClampedPositions(qx, maxX), take));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(rowY + x), _mm_blendv_epi8(oldY, ClampedPositions(qy, maxY), take));
}
#endif

// Source positions (1/32 pixel) for the result rows [first, end) and the
// columns from `left` on that the maps hold, clamped into the source so that
// covered pixels never blend with the border, and rounded as remap rounds.
void FillPositions(const std::vector<Piece>& pieces, int first, int end, int left, cv::Size source, cv::Mat& xs,
                   cv::Mat& ys) {
    xs.setTo(cv::Scalar::all(kUnmappedPosition));
    ys.setTo(cv::Scalar::all(kUnmappedPosition));
    const float maxX = float(source.width - 1), maxY = float(source.height - 1);
    for (const Piece& piece : pieces) {
        for (int y = std::max(first, piece.firstRow); y <= std::min(end - 1, piece.lastRow); ++y) {
            const Columns c = CoveredColumns(piece.corners, piece.count, y, left + xs.cols);
            int32_t* rowX = xs.ptr<int32_t>(y - first) - left;
            int32_t* rowY = ys.ptr<int32_t>(y - first) - left;
            int x = std::max(c.left, left);
#ifdef VX_HAS_AVX2_PATH
            if (piece.projective && CpuHasAvx2())
                for (; x + 4 <= c.end; x += 4) FourProjectivePositions(piece.backward, x, y, maxX, maxY, rowX, rowY);
#endif
            for (; x < c.end; ++x) {
                if (rowX[x] != kUnmappedPosition) continue;  // the first piece owns shared edges
                const cv::Point2d s = piece.SourceOf(cv::Point2d(x, y));
                if (s.x == kUnmapped) continue;
                rowX[x] = ToSubpixel(std::clamp(float(s.x), 0.0f, maxX));
                rowY[x] = ToSubpixel(std::clamp(float(s.y), 0.0f, maxY));
            }
        }
    }
}

}  // namespace

OwnedBitmapPtr WarpThroughMesh(const VxPoint* srcNodes, const VxPoint* dstNodes, int32_t rows, int32_t cols,
                               const VxBitmap* source, VxProgress progress) {
    if (srcNodes == nullptr || dstNodes == nullptr || rows < 2 || cols < 2) return nullptr;
    const int64_t nodes = int64_t{rows} * cols;
    if (nodes > kMaxNodes) return nullptr;
    if (!CoordinatesAcceptable(srcNodes, nodes) || !CoordinatesAcceptable(dstNodes, nodes)) return nullptr;
    const std::optional<cv::Mat> view = ViewOf(source);
    if (!view) return nullptr;
    const Box box = BoxOf(dstNodes, nodes);
    if (!SizeIsAcceptable(box.Width(), box.Height())) return nullptr;

    auto node = [&](const VxPoint* grid, int r, int c, double dx, double dy) {
        const VxPoint& p = grid[int64_t{r} * cols + c];
        return cv::Point2d(p.x + dx, p.y + dy);
    };
    std::vector<Piece> pieces;
    pieces.reserve(size_t(rows - 1) * size_t(cols - 1));
    for (int r = 0; r + 1 < rows; ++r) {
        for (int c = 0; c + 1 < cols; ++c) {
            const double dx = -double(box.minX), dy = -double(box.minY);
            const Quad dst = {node(dstNodes, r, c, dx, dy), node(dstNodes, r, c + 1, dx, dy),
                              node(dstNodes, r + 1, c + 1, dx, dy), node(dstNodes, r + 1, c, dx, dy)};
            const Quad src = {node(srcNodes, r, c, 0, 0), node(srcNodes, r, c + 1, 0, 0),
                              node(srcNodes, r + 1, c + 1, 0, 0), node(srcNodes, r + 1, c, 0, 0)};
            AddCell(dst, src, pieces);
        }
    }

    // Only the columns the band's pieces cover are mapped and sampled: the
    // bitmap starts zeroed, which is what an unmapped pixel samples.
    OwnedBitmapPtr result = NewBitmap(int(box.Width()), int(box.Height()));
    cv::Mat xs, ys;
    ForEachBand(result->height, progress, [&](int first, int end) {
        const Columns columns = BandColumns(pieces, first, end, result->width);
        if (columns.empty()) return;
        xs.create(end - first, columns.end - columns.left, CV_32SC1);
        ys.create(end - first, columns.end - columns.left, CV_32SC1);
        // Each row depends on that row alone: the rows spread over the cores.
        cv::parallel_for_(cv::Range(first, end), [&](const cv::Range& part) {
            cv::Mat partX = xs.rowRange(part.start - first, part.end - first);
            cv::Mat partY = ys.rowRange(part.start - first, part.end - first);
            FillPositions(pieces, part.start, part.end, columns.left, view->size(), partX, partY);
            for (int y = part.start; y < part.end; ++y)
                SampleBilinear(*view, Border::Zero, xs.ptr<int32_t>(y - first), ys.ptr<int32_t>(y - first), xs.cols,
                               result->pixels.ptr<uint32_t>(y) + columns.left);
        });
    });
    return result;
}

}  // namespace v2d::vexell
