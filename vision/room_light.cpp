#include "vision/room_light.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <optional>
#include <random>
#include <vector>


#include "base/row_bands.h"
#include "scene/outline_geometry.h"

namespace v2d::vision {
namespace {

// The rectified plane's longer side while the light around each pixel is worked out.
constexpr int kWorkingSide = 384;
// Colour classes: at most this many; centres closer than kSameClass (log
// brightness, chroma weighted by kChromaWeight) are one; a class of less
// than kSmallestClass of the surface is its nearest neighbour's.
constexpr int kMostClasses = 6;
constexpr double kSameClass = 0.18;
constexpr double kChromaWeight = 2.0;
constexpr double kSmallestClass = 0.01;
constexpr int kClassSamples = 12000;
constexpr int kPairSamples = 80000;
// The first light around a pixel: this share of the brightness within a
// window of kWindowPeriods pattern periods; then kRefinements medians of the light found.
constexpr double kUpperShare = 0.9;
constexpr double kWindowPeriods = 1.5;
constexpr int kRefinements = 2;
// A class's tone slopes need this many samples; their ridge (per sample) and
// the largest log offset they may give a pixel.
constexpr size_t kLeastToneSamples = 200;
constexpr double kToneRidge = 1e-4;
constexpr float kMostToneOffset = 0.5f;
// Log brightness in 16 bits: value = kLogScale * ln(1 + channel).
constexpr double kLogScale = 10000;
// The light's own grain (sensor noise, mixed pixels on class boundaries) goes with a median this wide.
constexpr int kFinalMedian = 5;
// The classes' ratios are corrected on a grid this many cells across, where a cell has this many pairs.
constexpr int kLocalColumns = 12;
constexpr size_t kLeastLocalPairs = 15;
// A class whose pixels have their own class a few pixels away on both axes
// less often than this is thin lines; they are filled from a window this wide.
constexpr double kThinShare = 0.5;
constexpr int kThinFill = 9;
// The level kept is that of the brightest class covering at least this share.
constexpr double kReferenceShare = 0.2;
// Two classes' ratio is read from at least this many pairs.
constexpr size_t kLeastPairs = 20;
// Pieces of a class (boards, tiles) are evened with their neighbours from
// pairs this far apart, about this many sampled, from this many pixels a
// piece and this many pairs a meeting, in this many sweeps, held to their
// class's level by this share.
constexpr int kPieceGap = 3;
constexpr int kPieceSide = 800;
constexpr int64_t kPiecePairSamples = 400000;
constexpr int kLeastPiece = 20;
constexpr size_t kLeastPieceMeetings = 6;
constexpr int kPieceSweeps = 60;
constexpr float kPiecePrior = 0.02f;
// Pieces of two classes meet where the classes' own ratio already evens
// them (a chequer's squares are alike): they are linked only along a long
// meeting (a board's side), of this share of the photo's longer side in
// pairs, each pair counting this much.
constexpr double kOtherClassMeeting = 0.9;
constexpr float kOtherClassWeight = 0.01f;
// The offsets' drift is what they share over this share of the photo's longer side.
constexpr double kPieceDrift = 0.12;

struct Feature {
    float r = 0, c1 = 0, c2 = 0;
};

// A pixel's log brightness (of its largest channel) and its chroma, which light of one colour leaves alone.
struct PixelReading {
    std::array<float, 256> logOf{}, chromaScale{};
    std::array<float, 3 * 255 + 1> inverseSum{};
    PixelReading() {
        for (int v = 0; v < 256; ++v) logOf[v] = float(std::log1p(double(v))), chromaScale[v] = float(kChromaWeight / (v + 8));
        for (size_t sum = 0; sum < inverseSum.size(); ++sum) inverseSum[sum] = float(1.0 / (double(sum) + 3));
    }
    float Log(const uint8_t* bgra) const { return logOf[std::max({bgra[0], bgra[1], bgra[2]})]; }
    // The red and green shares of R + G + B (a third each for black), which no light of one colour changes.
    cv::Vec2f Shares(const uint8_t* bgra) const {
        const float inverse = inverseSum[bgra[0] + bgra[1] + bgra[2]];
        return {float(bgra[2] + 1) * inverse, float(bgra[1] + 1) * inverse};
    }
    Feature Of(const uint8_t* bgra, float logLight) const {
        const int m = std::max({bgra[0], bgra[1], bgra[2]});
        const float scale = chromaScale[m];
        return {logOf[m] - logLight, float(bgra[2] - bgra[1]) * scale, float(bgra[0] - bgra[1]) * scale};
    }
};

float Distance2(const Feature& a, const cv::Vec3f& c) {
    const float dr = a.r - c[0], d1 = a.c1 - c[1], d2 = a.c2 - c[2];
    return dr * dr + d1 * d1 + d2 * d2;
}

inline int NearestClass(const Feature& f, const std::vector<cv::Vec3f>& centres) {
    const cv::Vec3f* c = centres.data();
    const int n = int(centres.size());
    int best = 0;
    float least = Distance2(f, c[0]);
    for (int k = 1; k < n; ++k)
        if (const float d = Distance2(f, c[k]); d < least) least = d, best = k;
    return best;
}

// The classes of these features: k-means, close centres merged, small classes dropped.
std::vector<cv::Vec3f> ColourClasses(const std::vector<Feature>& features) {
    if (features.size() < size_t(kMostClasses) * 4) return {cv::Vec3f(0, 0, 0)};
    cv::Mat data(int(features.size()), 3, CV_32F, const_cast<Feature*>(features.data()));
    cv::Mat labels, centresMat;
    cv::setRNGSeed(7);
    cv::kmeans(data, kMostClasses, labels, cv::TermCriteria(cv::TermCriteria::COUNT | cv::TermCriteria::EPS, 20, 1e-3),
               1, cv::KMEANS_PP_CENTERS, centresMat);
    std::vector<cv::Vec3f> centres;
    std::vector<int> counts;
    for (int k = 0; k < centresMat.rows; ++k) centres.push_back(centresMat.at<cv::Vec3f>(k)), counts.push_back(0);
    for (int i = 0; i < labels.rows; ++i) ++counts[labels.at<int>(i)];
    // Merge the closest pair while it is closer than kSameClass, weighting by count.
    for (;;) {
        double least = kSameClass * kSameClass;
        int a = -1, b = -1;
        for (size_t i = 0; i < centres.size(); ++i)
            for (size_t j = i + 1; j < centres.size(); ++j) {
                const cv::Vec3f d = centres[i] - centres[j];
                if (const double d2 = d.dot(d); d2 < least) least = d2, a = int(i), b = int(j);
            }
        if (a < 0) break;
        const double wa = std::max(counts[a], 1), wb = std::max(counts[b], 1);
        centres[a] = (centres[a] * float(wa) + centres[b] * float(wb)) * float(1 / (wa + wb));
        counts[a] += counts[b];
        centres.erase(centres.begin() + b), counts.erase(counts.begin() + b);
    }
    const int smallest = int(std::ceil(kSmallestClass * double(features.size())));
    std::vector<cv::Vec3f> kept;
    for (size_t k = 0; k < centres.size(); ++k)
        if (counts[k] >= smallest) kept.push_back(centres[k]);
    return kept.empty() ? std::vector<cv::Vec3f>{centres.front()} : kept;
}

// Within a class, what a pixel's chromaticity says of its own brightness:
// boards of one class still differ in tone, a darker board being a redder
// one, and a pixel half on a joint lies between the two colours. Per class,
// the least-squares slopes of a pixel's log brightness against the light
// (Feature::r) over its shares of red and green, about the class's mean;
// about zero where the class's chromaticity says nothing (a black and white
// chequer).
struct ToneSlope {
    float along1 = 0, along2 = 0, mean1 = 0, mean2 = 0;
    float Offset(cv::Vec2f share) const {
        return std::clamp(along1 * (share[0] - mean1) + along2 * (share[1] - mean2), -kMostToneOffset, kMostToneOffset);
    }
};

// `shares[i]` the chromaticity of the pixel of `features[i]`.
std::vector<ToneSlope> ToneSlopes(const std::vector<Feature>& features, const std::vector<cv::Vec2f>& shares,
                                  const std::vector<cv::Vec3f>& centres) {
    const size_t n = centres.size();
    std::vector<ToneSlope> slopes(n);
    std::vector<std::vector<size_t>> members(n);
    for (size_t i = 0; i < features.size(); ++i) members[NearestClass(features[i], centres)].push_back(i);
    for (size_t k = 0; k < n; ++k) {
        const auto& m = members[k];
        if (m.size() < kLeastToneSamples) continue;
        double m1 = 0, m2 = 0, mr = 0;
        for (const size_t i : m) m1 += shares[i][0], m2 += shares[i][1], mr += features[i].r;
        m1 /= double(m.size()), m2 /= double(m.size()), mr /= double(m.size());
        double s11 = 0, s12 = 0, s22 = 0, s1r = 0, s2r = 0;
        for (const size_t i : m) {
            const double d1 = shares[i][0] - m1, d2 = shares[i][1] - m2, dr = features[i].r - mr;
            s11 += d1 * d1, s12 += d1 * d2, s22 += d2 * d2, s1r += d1 * dr, s2r += d2 * dr;
        }
        // A little ridge, so that chromaticity of no spread (a grey class) gives no slope.
        const double ridge = kToneRidge * double(m.size());
        s11 += ridge, s22 += ridge;
        const double det = s11 * s22 - s12 * s12;
        if (!(det > 0)) continue;
        slopes[k] = {float((s22 * s1r - s12 * s2r) / det), float((s11 * s2r - s12 * s1r) / det), float(m1), float(m2)};
    }
    return slopes;
}

// Fills what lies outside the mask with the mask's values nearby.
cv::Mat FilledOutside(const cv::Mat& values, const cv::Mat& mask, int reach) {
    cv::Mat v, m, vb, mb;
    values.convertTo(v, CV_32F);
    mask.convertTo(m, CV_32F, 1.0 / 255);
    v = v.mul(m);
    const int k = std::max(3, reach | 1);
    cv::blur(v, vb, {k, k}, {-1, -1}, cv::BORDER_REPLICATE);
    cv::blur(m, mb, {k, k}, {-1, -1}, cv::BORDER_REPLICATE);
    cv::Mat filled = values.clone();
    filled.convertTo(filled, CV_32F);
    const float mean = float(cv::mean(values, mask)[0]);
    for (int y = 0; y < filled.rows; ++y)
        for (int x = 0; x < filled.cols; ++x)
            if (!mask.at<uint8_t>(y, x)) {
                const float w = mb.at<float>(y, x);
                filled.at<float>(y, x) = w > 1e-3f ? vb.at<float>(y, x) / w : mean;
            }
    return filled;
}

// Each class's log albedo relative to the brightest (0), from pixels `gap`
// apart on either side of a class boundary: there the light is alike, so
// the median difference of their log brightness is the classes' own.
// `at(x, y)` gives a pixel's class (-1 outside) and `logAt` its log brightness.
// With `local`, also each class's correction on a grid of cells across the
// photo (CV_32F, log), from the pairs within each cell: a glossy floor adds
// what it mirrors to its dark squares, so their ratio to the light ones
// changes with the light across the room.
struct LocalAlbedos {
    std::vector<cv::Mat> correction;  // one a class
};

template <typename ClassAt, typename LogAt>
std::vector<double> ClassAlbedos(const std::vector<cv::Vec3f>& centres, int width, int height, int gap,
                                 ClassAt at, LogAt logAt, LocalAlbedos* local = nullptr, bool interior = false) {
    const int n = int(centres.size());
    std::vector<double> albedo(n);
    for (int k = 0; k < n; ++k) albedo[k] = centres[k][0];
    struct Pair {
        int cell, k, j;
        float d;
    };
    std::vector<Pair> pairs;
    std::vector<int64_t> share(n);  // the sampled pixels of each class
    const int cellSide = local ? std::max(8, (width + kLocalColumns - 1) / kLocalColumns) : 1;
    const int columns = (width + cellSide - 1) / cellSide, rows = (height + cellSide - 1) / cellSide;
    if (n > 1 && width > gap && height > gap) {
        // Pairs clear of the boundary's mixed pixels, and all pairs for a
        // class too thin to have many of those (a tile's joints).
        std::vector<std::vector<float>> differences(n * n), anyDifferences(n * n);
        const int64_t pixels = int64_t(width) * height;
        const int stride = int(std::max<int64_t>(1, pixels / kPairSamples));
        for (int64_t i = 0; i < pixels; i += stride) {
            const int x = int(i % width), y = int(i / width);
            const int k = at(x, y);
            if (k < 0) continue;
            ++share[k];
            for (const auto [ux, uy] : {std::pair{1, 0}, std::pair{0, 1}}) {
                const int dx = ux * gap, dy = uy * gap;
                if (x < ux || y < uy || x + dx + ux >= width || y + dy + uy >= height) continue;
                const int j = at(x + dx, y + dy);
                if (j < 0 || j == k) continue;
                const float d = logAt(x, y) - logAt(x + dx, y + dy);
                const int pair = k < j ? k * n + j : j * n + k;
                anyDifferences[pair].push_back(k < j ? d : -d);
                // Both ends away from the boundary's mixed pixels: each with
                // its own class beyond it.
                if (interior && (at(x - ux, y - uy) != k || at(x + dx + ux, y + dy + uy) != j)) continue;
                differences[pair].push_back(k < j ? d : -d);
                if (local) pairs.push_back({(y / cellSide) * columns + x / cellSide, k, j, d});
            }
        }
        // Least squares over the pairs seen, each weighted by its count,
        // the class centres' own offsets holding what no pair reaches.
        cv::Mat normal = cv::Mat::zeros(n, n, CV_64F), rhs = cv::Mat::zeros(n, 1, CV_64F);
        constexpr double kPrior = 1e-3;
        for (int k = 0; k < n; ++k) normal.at<double>(k, k) += kPrior, rhs.at<double>(k) += kPrior * albedo[k];
        for (int k = 0; k < n; ++k)
            for (int j = k + 1; j < n; ++j) {
                std::vector<float>& d =
                    differences[k * n + j].size() >= kLeastPairs ? differences[k * n + j] : anyDifferences[k * n + j];
                if (d.size() < kLeastPairs) continue;
                std::nth_element(d.begin(), d.begin() + d.size() / 2, d.end());
                const double m = d[d.size() / 2], w = double(d.size());
                normal.at<double>(k, k) += w, normal.at<double>(j, j) += w;
                normal.at<double>(k, j) -= w, normal.at<double>(j, k) -= w;
                rhs.at<double>(k) += w * m, rhs.at<double>(j) -= w * m;
            }
        cv::Mat solved;
        if (cv::solve(normal, rhs, solved, cv::DECOMP_SVD))
            for (int k = 0; k < n; ++k) albedo[k] = solved.at<double>(k);
    }
    // The level kept is the brightest class's among those that cover much of
    // the surface: a few bright pixels (a highlight) do not lift the rest.
    const int64_t counted = std::accumulate(share.begin(), share.end(), int64_t(0));
    int reference = -1;
    for (int k = 0; k < n; ++k)
        if (double(share[k]) >= kReferenceShare * double(counted) && (reference < 0 || albedo[k] > albedo[reference]))
            reference = k;
    if (reference < 0) reference = int(std::max_element(albedo.begin(), albedo.end()) - albedo.begin());
    const double brightest = albedo[reference];
    for (double& a : albedo) a -= brightest;
    if (local) {
        // What each cell's pairs with the brightest class say beyond the whole's ratio.
        std::vector<std::vector<float>> residuals(size_t(columns) * rows * n);
        for (const Pair& p : pairs) {
            const float e = p.d - float(albedo[p.k] - albedo[p.j]);
            if (p.j == reference) residuals[size_t(p.cell) * n + p.k].push_back(e);
            else if (p.k == reference) residuals[size_t(p.cell) * n + p.j].push_back(-e);
        }
        local->correction.assign(n, cv::Mat());
        for (int k = 0; k < n; ++k) {
            cv::Mat value = cv::Mat::zeros(rows, columns, CV_32F), known = cv::Mat::zeros(rows, columns, CV_8U);
            for (int c = 0; c < columns * rows; ++c) {
                std::vector<float>& r = residuals[size_t(c) * n + k];
                if (k == reference || r.size() < kLeastLocalPairs) continue;
                std::nth_element(r.begin(), r.begin() + r.size() / 2, r.end());
                value.at<float>(c / columns, c % columns) = r[r.size() / 2];
                known.at<uint8_t>(c / columns, c % columns) = 255;
            }
            cv::Mat filled = cv::countNonZero(known) > 0 ? FilledOutside(value, known, 3) : value;
            cv::GaussianBlur(filled, local->correction[k], {3, 3}, 0, 0, cv::BORDER_REPLICATE);
        }
    }
    return albedo;
}

// The pattern's period on the rectified plane (pixels), from the
// autocorrelation of the log brightness's detail along either axis; none
// for a surface without one.
std::optional<int> PatternPeriod(const cv::Mat& logBrightness, const cv::Mat& mask) {
    cv::Mat detail, smooth, m;
    logBrightness.convertTo(detail, CV_32F);
    cv::GaussianBlur(detail, smooth, {0, 0}, std::max(logBrightness.cols, logBrightness.rows) / 12.0);
    detail -= smooth;
    mask.convertTo(m, CV_32F, 1.0 / 255);
    detail = detail.mul(m);
    const int w = cv::getOptimalDFTSize(detail.cols * 2), h = cv::getOptimalDFTSize(detail.rows * 2);
    const auto autocorrelation = [&](const cv::Mat& image) {
        cv::Mat padded = cv::Mat::zeros(h, w, CV_32F), spectrum, out;
        image.copyTo(padded(cv::Rect(0, 0, image.cols, image.rows)));
        cv::dft(padded, spectrum, cv::DFT_COMPLEX_OUTPUT);
        cv::mulSpectrums(spectrum, spectrum, spectrum, 0, true);
        cv::idft(spectrum, out, cv::DFT_REAL_OUTPUT | cv::DFT_SCALE);
        return out;
    };
    const cv::Mat a = autocorrelation(detail), overlap = autocorrelation(m);
    const float zero = a.at<float>(0, 0) / std::max(overlap.at<float>(0, 0), 1.0f);
    if (!(zero > 1e-6f)) return std::nullopt;
    const auto along = [&](int lag, bool rows) {
        const float o = rows ? overlap.at<float>(lag, 0) : overlap.at<float>(0, lag);
        const float v = rows ? a.at<float>(lag, 0) : a.at<float>(0, lag);
        return o > 0.2f * overlap.at<float>(0, 0) ? v / o / zero : 0.0f;
    };
    std::optional<int> best;
    for (const bool rows : {false, true}) {
        const int most = (rows ? logBrightness.rows : logBrightness.cols) / 2;
        bool dipped = false;
        for (int lag = 2; lag + 1 < most; ++lag) {
            const float v = along(lag, rows);
            if (v < 0.3f) dipped = true;
            if (dipped && v > 0.25f && v >= along(lag - 1, rows) && v >= along(lag + 1, rows)) {
                if (!best || lag < *best) best = lag;
                break;
            }
        }
    }
    return best;
}

// The `share` quantile of the masked values within a window around each
// pixel, from a grid of windows half a window apart, smoothly between them.
cv::Mat WindowQuantile(const cv::Mat& values, const cv::Mat& mask, int window, double share) {
    const int step = std::max(2, window / 2);
    const int cols = values.cols / step + 2, rows = values.rows / step + 2;
    cv::Mat grid(rows, cols, CV_32F), weight(rows, cols, CV_32F);
    std::vector<float> seen;
    for (int gy = 0; gy < rows; ++gy)
        for (int gx = 0; gx < cols; ++gx) {
            const int cx = gx * step, cy = gy * step;
            seen.clear();
            for (int y = std::max(0, cy - window / 2); y < std::min(values.rows, cy + window / 2 + 1); ++y)
                for (int x = std::max(0, cx - window / 2); x < std::min(values.cols, cx + window / 2 + 1); ++x)
                    if (mask.at<uint8_t>(y, x)) seen.push_back(values.at<float>(y, x));
            if (seen.size() < 8) {
                grid.at<float>(gy, gx) = 0, weight.at<float>(gy, gx) = 0;
                continue;
            }
            const auto at = seen.begin() + std::min(seen.size() - 1, size_t(share * double(seen.size())));
            std::nth_element(seen.begin(), at, seen.end());
            grid.at<float>(gy, gx) = *at, weight.at<float>(gy, gx) = 255;
        }
    cv::Mat known;
    weight.convertTo(known, CV_8U);
    grid = FilledOutside(grid, known, 3);
    cv::Mat out;
    cv::resize(grid(cv::Rect(0, 0, cols, rows)), out, {cols * step, rows * step}, 0, 0, cv::INTER_LINEAR);
    // The grid node (gx, gy) stands for pixel (gx * step, gy * step): the resize puts it at (gx + 0.5) * step.
    cv::Mat shifted;
    const cv::Mat shift = (cv::Mat_<double>(2, 3) << 1, 0, -0.5 * step, 0, 1, -0.5 * step);
    cv::warpAffine(out, shifted, shift, values.size(), cv::INTER_LINEAR, cv::BORDER_REPLICATE);
    return shifted;
}

// The median of the masked values in a window, what lies outside filled first.
cv::Mat MaskedMedian(const cv::Mat& logValues, const cv::Mat& mask, int window) {
    cv::Mat filled = FilledOutside(logValues, mask, window), bytes, out;
    // 8 bits over the range seen, for a median of any width.
    double low = 0, high = 0;
    cv::minMaxLoc(filled, &low, &high);
    const double scale = high > low ? 255.0 / (high - low) : 1.0;
    filled.convertTo(bytes, CV_8U, scale, -low * scale);
    cv::medianBlur(bytes, out, std::max(3, window | 1));
    out.convertTo(out, CV_32F, 1 / scale, low);
    return out;
}

// Pieces of one class between joints and other classes (a board, a tile, a
// square) each keep a tone of their own that their class's ratio misses:
// boards of one class still differ. Each piece's light is moved by the
// offset that best evens it with the pieces beside it, read from pixels
// kPieceGap apart across their meeting (the light is alike there), by a
// few sweeps of Gauss-Seidel over the pieces, less what the offsets share
// over the room (a chain of small errors drifts). The gain of each pixel
// (CV_32F, 1 where none); `pixelClass` -1 outside; pieces of thin classes
// are left alone.
cv::Mat PieceGains(const cv::Mat& light, const cv::Mat& pixelClass, const std::vector<bool>& thin,
                   const PixelReading& reading) {
    const int width = light.cols, height = light.rows;
    cv::Mat gains(light.size(), CV_32F, cv::Scalar(1));
    cv::Mat pieces(light.size(), CV_32S, cv::Scalar(-1));
    int count = 0;
    std::vector<int> pieceClass, size;  // of each piece
    for (size_t k = 0; k < thin.size(); ++k) {
        if (thin[k]) continue;
        cv::Mat of, labels, stats, centroids;
        cv::compare(pixelClass, cv::Scalar(double(k)), of, cv::CMP_EQ);
        const int found = cv::connectedComponentsWithStats(of, labels, stats, centroids, 4, CV_32S);
        labels += count - 1;  // the background (0) becomes count - 1 but is not copied
        labels.copyTo(pieces, of);
        for (int i = 1; i < found; ++i) size.push_back(stats.at<int>(i, cv::CC_STAT_AREA));
        count += found - 1;
        pieceClass.resize(size_t(count), int(k));
    }
    if (count < 2) return gains;
    struct Meeting {
        uint64_t pair;
        float d;
    };
    std::vector<Meeting> meetings;
    const int64_t pixels = int64_t(width) * height;
    const int stride = int(std::max<int64_t>(1, pixels / kPiecePairSamples));
    for (int64_t i = 0; i < pixels; i += stride) {
        const int x = int(i % width), y = int(i / width);
        const int a = pieces.at<int>(y, x);
        if (a < 0 || size[a] < kLeastPiece) continue;
        for (const auto& [dx, dy] : {std::pair{kPieceGap, 0}, std::pair{0, kPieceGap}}) {
            if (x + dx >= width || y + dy >= height) continue;
            const int b = pieces.at<int>(y + dy, x + dx);
            if (b < 0 || b == a || size[b] < kLeastPiece) continue;
            const float d = reading.logOf[light.at<uint8_t>(y, x)] - reading.logOf[light.at<uint8_t>(y + dy, x + dx)];
            meetings.push_back(a < b ? Meeting{uint64_t(a) << 32 | uint32_t(b), d} : Meeting{uint64_t(b) << 32 | uint32_t(a), -d});
        }
    }
    std::sort(meetings.begin(), meetings.end(), [](const Meeting& l, const Meeting& r) { return l.pair < r.pair; });
    // Per pair of pieces: the median difference of a's light over b's and its weight.
    struct Link {
        int other;
        float difference, weight;
    };
    std::vector<std::vector<Link>> links(count);
    std::vector<float> ds;
    for (size_t i = 0; i < meetings.size();) {
        size_t j = i;
        ds.clear();
        while (j < meetings.size() && meetings[j].pair == meetings[i].pair) ds.push_back(meetings[j++].d);
        const int a = int(meetings[i].pair >> 32), b = int(meetings[i].pair & 0xFFFFFFFFu);
        const bool alike = pieceClass[a] == pieceClass[b];
        if (ds.size() >= (alike ? double(kLeastPieceMeetings) : kOtherClassMeeting * std::max(width, height))) {
            std::nth_element(ds.begin(), ds.begin() + ds.size() / 2, ds.end());
            const float m = ds[ds.size() / 2], w = float(ds.size()) * (alike ? 1.f : kOtherClassWeight);
            links[a].push_back({b, m, w});
            links[b].push_back({a, -m, w});
        }
        i = j;
    }
    // Offsets o with light_a - o_a = light_b - o_b across each meeting, held a little to 0.
    std::vector<float> offset(count, 0.f);
    for (int sweep = 0; sweep < kPieceSweeps; ++sweep)
        for (int a = 0; a < count; ++a) {
            if (links[a].empty()) continue;
            float sum = 0, weight = 0;
            for (const Link& l : links[a]) sum += l.weight * (l.difference + offset[l.other]), weight += l.weight;
            offset[a] = sum / (weight * (1 + kPiecePrior));
        }
    // Only what sets a piece apart from the pieces around: the offsets'
    // own drift over the room (a chain of small errors) is taken off.
    // Worked out on a copy a sixteenth of the photo's side or less: it is smooth.
    const int step = std::max(1, std::max(width, height) / 256);
    const cv::Size small((width + step - 1) / step, (height + step - 1) / step);
    cv::Mat offsets(small, CV_32F, cv::Scalar(0)), known(small, CV_32F, cv::Scalar(0));
    for (int y = 0; y < height; y += step) {
        const int* p = pieces.ptr<int>(y);
        for (int x = 0; x < width; x += step)
            if (p[x] >= 0 && !links[p[x]].empty())
                offsets.at<float>(y / step, x / step) = offset[p[x]], known.at<float>(y / step, x / step) = 1;
    }
    const double sigma = kPieceDrift * std::max(small.width, small.height);
    cv::Mat drift, weight;
    cv::GaussianBlur(offsets, drift, {0, 0}, sigma);
    cv::GaussianBlur(known, weight, {0, 0}, sigma);
    drift /= cv::max(weight, 1e-3);
    cv::exp(drift, drift);
    std::vector<float> gain(count, 1.f);
    for (int a = 0; a < count; ++a) gain[a] = std::exp(-offset[a]);
    ForEachRowBand(height, width, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            const int* p = pieces.ptr<int>(y);
            float* g = gains.ptr<float>(y);
            const float* d = drift.ptr<float>(y / step);
            for (int x = 0; x < width; ++x)
                if (const int a = p[x]; a >= 0 && !links[a].empty()) g[x] = d[x / step] * gain[a];
        }
    });
    return gains;
}

}  // namespace

QImage RoomLightMap(const QImage& photo, const V2dPolygon& region, const CancelToken* cancel) {
    const auto cancelled = [&] { return cancel && cancel->cancelled(); };
    const PixelBox box = OutlineBox(region);
    if (box.empty() || photo.isNull()) return {};
    const QRect boxRect(box.minX, box.minY, box.width(), box.height());
    const QRect within = boxRect & photo.rect();
    if (within.isEmpty()) return {};
    // The photo's own pixels where they are 32-bit already, else a converted copy of the box.
    const bool direct = photo.format() == QImage::Format_RGB32 || photo.format() == QImage::Format_ARGB32;
    const QImage crop = direct ? photo : photo.copy(within).convertToFormat(QImage::Format_RGB32);
    const QPoint cropAt = direct ? within.topLeft() : QPoint(0, 0);
    const cv::Mat colour(within.height(), within.width(), CV_8UC4,
                         const_cast<uchar*>(crop.constBits() + cropAt.y() * crop.bytesPerLine() + 4 * cropAt.x()),
                         size_t(crop.bytesPerLine()));
    const int width = colour.cols, height = colour.rows;

    // The outline as the program fills it (even-odd), in the crop's pixels.
    cv::Mat mask = cv::Mat::zeros(height, width, CV_8U);
    {
        std::vector<std::vector<cv::Point>> rings;
        for (const auto ring : OutlineRings(region)) {
            std::vector<cv::Point>& r = rings.emplace_back();
            for (const V2d_Point& p : ring) r.emplace_back(p.x - within.x(), p.y - within.y());
        }
        cv::fillPoly(mask, rings, cv::Scalar(255), cv::LINE_8);
    }
    const int inside = cv::countNonZero(mask);
    if (inside == 0) return {};
    const PixelReading reading;

    // The plane: the corners stand for a real rectangle (a square where no size is known).
    const double realWidth = region.realWidth > 0 ? region.realWidth : 1000;
    const double realHeight = region.realHeight > 0 ? region.realHeight : 1000;
    std::array<cv::Point2f, 4> corners, rectangle{cv::Point2f(0, 0), cv::Point2f(float(realWidth), 0),
                                                  cv::Point2f(float(realWidth), float(realHeight)),
                                                  cv::Point2f(0, float(realHeight))};
    for (int k = 0; k < 4; ++k)
        corners[k] = cv::Point2f(float(region.corners[k].x - within.x()), float(region.corners[k].y - within.y()));
    const cv::Mat toPlane = cv::getPerspectiveTransform(corners.data(), rectangle.data());
    if (toPlane.empty() || !cv::checkRange(toPlane)) return {};
    // What of the plane the outline covers, on the camera's side of the horizon, within a few rectangles.
    const double cornerSide = [&] {
        const cv::Mat c = (cv::Mat_<double>(3, 1) << corners[0].x, corners[0].y, 1);
        return cv::Mat(toPlane * c).at<double>(2) > 0 ? 1.0 : -1.0;
    }();
    double minU = 0, maxU = realWidth, minV = 0, maxV = realHeight;
    for (const V2d_Point& p : region.points) {
        const cv::Mat q = toPlane * (cv::Mat_<double>(3, 1) << p.x - within.x(), p.y - within.y(), 1);
        const double w = q.at<double>(2);
        if (!(w * cornerSide > 1e-12)) continue;
        const double u = std::clamp(q.at<double>(0) / w, -2 * realWidth, 3 * realWidth);
        const double v = std::clamp(q.at<double>(1) / w, -2 * realHeight, 3 * realHeight);
        minU = std::min(minU, u), maxU = std::max(maxU, u), minV = std::min(minV, v), maxV = std::max(maxV, v);
    }
    const double scale = kWorkingSide / std::max(maxU - minU, maxV - minV);
    const cv::Size working(std::max(8, int(std::ceil((maxU - minU) * scale))),
                           std::max(8, int(std::ceil((maxV - minV) * scale))));
    const cv::Mat toWorking = (cv::Mat_<double>(3, 3) << scale, 0, -minU * scale, 0, scale, -minV * scale, 0, 0, 1) * toPlane;
    cv::Mat planeColour, planeMask;
    cv::warpPerspective(colour, planeColour, toWorking, working, cv::INTER_LINEAR, cv::BORDER_CONSTANT);
    cv::warpPerspective(mask, planeMask, toWorking, working, cv::INTER_NEAREST, cv::BORDER_CONSTANT);
    if (cv::countNonZero(planeMask) < 64 || cancelled()) return {};

    // The light around each pixel of the plane: first the upper brightness
    // of windows a pattern wide, then the median of the light found, twice.
    cv::Mat planeLog(working, CV_32F);
    for (int y = 0; y < working.height; ++y)
        for (int x = 0; x < working.width; ++x)
            planeLog.at<float>(y, x) = reading.Log(planeColour.ptr<uint8_t>(y) + 4 * x);
    const int period = PatternPeriod(planeLog, planeMask).value_or(kWorkingSide / 8);
    const int window = std::clamp(int(kWindowPeriods * period), 8, kWorkingSide / 3);
    cv::Mat planeLight = WindowQuantile(planeLog, planeMask, window, kUpperShare);
    std::vector<cv::Point> planePixels;
    cv::findNonZero(planeMask, planePixels);
    for (int round = 0; round < kRefinements && !cancelled(); ++round) {
        std::vector<Feature> features;
        std::vector<cv::Vec2f> shares;
        const size_t stride = std::max<size_t>(1, planePixels.size() / kClassSamples);
        for (size_t i = 0; i < planePixels.size(); i += stride) {
            const cv::Point p = planePixels[i];
            const uint8_t* pixel = planeColour.ptr<uint8_t>(p.y) + 4 * p.x;
            features.push_back(reading.Of(pixel, planeLight.at<float>(p)));
            shares.push_back(reading.Shares(pixel));
        }
        const std::vector<cv::Vec3f> centres = ColourClasses(features);
        const std::vector<ToneSlope> slopes = ToneSlopes(features, shares, centres);
        cv::Mat classes(working, CV_8S, cv::Scalar(-1));
        for (const cv::Point p : planePixels)
            classes.at<int8_t>(p) = int8_t(
                NearestClass(reading.Of(planeColour.ptr<uint8_t>(p.y) + 4 * p.x, planeLight.at<float>(p)), centres));
        const std::vector<double> albedo = ClassAlbedos(
            centres, working.width, working.height, 2, [&](int x, int y) { return int(classes.at<int8_t>(y, x)); },
            [&](int x, int y) { return planeLog.at<float>(y, x); });
        cv::Mat light = planeLog.clone();
        for (const cv::Point p : planePixels) {
            const int k = classes.at<int8_t>(p);
            const uint8_t* pixel = planeColour.ptr<uint8_t>(p.y) + 4 * p.x;
            light.at<float>(p) -= float(albedo[k]) + slopes[k].Offset(reading.Shares(pixel));
        }
        planeLight = MaskedMedian(light, planeMask, std::max(5, period / 2));
    }
    if (cancelled()) return {};

    // Back on the photo: the light around each pixel, the classes of a
    // sample against it, the classes' albedos from pixels side by side, then
    // in one pass each pixel's class and its light, the brightness over its
    // class's albedo.
    const int shrink = std::clamp(std::max(width, height) / (2 * kWorkingSide), 1, 4);
    cv::Mat aroundLog;
    {
        // The plane's light holds no more than its working pixels: on a
        // large photo it is warped to a fraction of the photo's sides that
        // still holds twice as many, then stretched.
        cv::Mat light16, quarter;
        planeLight.convertTo(light16, CV_16U, kLogScale);
        const cv::Size small((width + shrink - 1) / shrink, (height + shrink - 1) / shrink);
        // A quarter pixel's centre, as the stretch places it on the photo.
        const double sx = double(width) / small.width, sy = double(height) / small.height;
        const cv::Mat fromSmall = (cv::Mat_<double>(3, 3) << sx, 0, (sx - 1) / 2, 0, sy, (sy - 1) / 2, 0, 0, 1);
        cv::warpPerspective(light16, quarter, toWorking * fromSmall, small,
                            cv::INTER_LINEAR | cv::WARP_INVERSE_MAP, cv::BORDER_REPLICATE);
        cv::resize(quarter, aroundLog, colour.size(), 0, 0, cv::INTER_LINEAR);
    }
    const auto around = [&](int x, int y) { return float(aroundLog.at<uint16_t>(y, x) * (1 / kLogScale)); };
    const auto featureAt = [&](int x, int y) { return reading.Of(colour.ptr<uint8_t>(y) + 4 * x, around(x, y)); };
    std::vector<Feature> features;
    {
        std::mt19937 random(11);
        std::uniform_int_distribution<int> column(0, width - 1), row(0, height - 1);
        for (int tries = 0; tries < 20 * kClassSamples && int(features.size()) < std::min(kClassSamples, inside);
             ++tries) {
            const int x = column(random), y = row(random);
            if (mask.at<uint8_t>(y, x)) features.push_back(featureAt(x, y));
        }
    }
    const std::vector<cv::Vec3f> centres = ColourClasses(features);
    if (cancelled()) return {};
    const auto classAt = [&](int x, int y) { return mask.at<uint8_t>(y, x) ? NearestClass(featureAt(x, y), centres) : -1; };
    LocalAlbedos local;
    const std::vector<double> albedo = ClassAlbedos(
        centres, width, height, 3, classAt, [&](int x, int y) { return reading.Log(colour.ptr<uint8_t>(y) + 4 * x); },
        &local, true);
    // light = e^(ln(1 + brightness) - albedo) - 1: the gain e^-albedo of
    // each class, with its cells' corrections, at that fraction of the photo's sides.
    const cv::Size quarterSize((width + shrink - 1) / shrink, (height + shrink - 1) / shrink);
    std::vector<cv::Mat> gains(albedo.size());
    for (size_t k = 0; k < albedo.size(); ++k) {
        cv::Mat correction;
        cv::resize(local.correction[k], correction, quarterSize, 0, 0, cv::INTER_LINEAR);
        cv::exp(-(correction + float(albedo[k])), gains[k]);
    }
    cv::Mat light(colour.size(), CV_8U), pixelClass(colour.size(), CV_8S, cv::Scalar(-1));
    std::vector<int> column(width);
    for (int x = 0; x < width; ++x) column[x] = x / shrink;
    // Row by row in steps the compiler turns into vector code: each pixel's
    // features, then its nearest class one class at a time, then its light.
    const int classCount = int(centres.size());
    ForEachRowBand(height, width, [&](int first, int end) {
        std::array<const float*, kMostClasses> gainRow{};
        std::vector<float> fr(width), f1(width), f2(width), least(width);
        std::vector<int> nearest(width);
        for (int y = first; y < end; ++y) {
            std::fill(least.begin(), least.end(), INFINITY);
            std::fill(nearest.begin(), nearest.end(), 0);
            const uint8_t* in = colour.ptr<uint8_t>(y);
            const uint8_t* m = mask.ptr<uint8_t>(y);
            const uint16_t* a = aroundLog.ptr<uint16_t>(y);
            uint8_t* out = light.ptr<uint8_t>(y);
            int8_t* classOut = pixelClass.ptr<int8_t>(y);
            for (size_t k = 0; k < gains.size(); ++k) gainRow[k] = gains[k].ptr<float>(y / shrink);
            for (int x = 0; x < width; ++x) {
                const Feature f = reading.Of(in + 4 * x, float(a[x] * (1 / kLogScale)));
                fr[x] = f.r, f1[x] = f.c1, f2[x] = f.c2;
            }
            float* __restrict leastOf = least.data();
            int* __restrict nearestOf = nearest.data();
            const float *__restrict r = fr.data(), *__restrict c1 = f1.data(), *__restrict c2 = f2.data();
            const int n = width;
            for (int k = 0; k < classCount; ++k) {
                const float cr = centres[k][0], cc1 = centres[k][1], cc2 = centres[k][2];
                for (int x = 0; x < n; ++x) {
                    const float dr = r[x] - cr, d1 = c1[x] - cc1, d2 = c2[x] - cc2;
                    const float d = dr * dr + d1 * d1 + d2 * d2;
                    const int closer = -int(d < leastOf[x]);  // all bits set where class k is nearer
                    nearestOf[x] = (nearestOf[x] & ~closer) | (k & closer);
                    leastOf[x] = std::min(d, leastOf[x]);
                }
            }
            for (int x = 0; x < width; ++x) {
                float value;
                if (m[x]) {
                    const uint8_t* p = in + 4 * x;
                    const int k = nearest[x];
                    value = float(1 + std::max({p[0], p[1], p[2]})) * gainRow[k][column[x]] - 1;
                    classOut[x] = int8_t(k);
                } else {
                    value = std::expm1(float(a[x] * (1 / kLogScale)));
                }
                out[x] = cv::saturate_cast<uint8_t>(value);
            }
        }
    });
    // A class of thin lines (a tile's joints) is too thin for its ratio to
    // hold: its pixels take the light of the other classes' pixels around.
    std::vector<bool> thin(centres.size());
    if (centres.size() > 1) {
        std::vector<int> seen(centres.size()), solid(centres.size());
        const int64_t pixels = int64_t(width) * height;
        const int64_t stride = std::max<int64_t>(1, pixels / kClassSamples);
        constexpr int kThin = 3;
        for (int64_t i = 0; i < pixels; i += stride) {
            const int x = int(i % width), y = int(i / width);
            const int k = pixelClass.at<int8_t>(y, x);
            if (k < 0 || x < kThin || y < kThin || x + kThin >= width || y + kThin >= height) continue;
            ++seen[k];
            const auto same = [&](int dx, int dy) { return pixelClass.at<int8_t>(y + dy, x + dx) == k; };
            if ((same(-kThin, 0) || same(kThin, 0)) && (same(0, -kThin) || same(0, kThin))) ++solid[k];
        }
        bool any = false;
        for (size_t k = 0; k < centres.size(); ++k)
            any |= thin[k] = seen[k] > 0 && solid[k] < kThinShare * seen[k];
        if (any) {
            const auto byBands = [&](auto&& row) {
                ForEachRowBand(height, width, [&](int first, int end) {
                    for (int y = first; y < end; ++y) row(y);
                });
            };
            cv::Mat kept(colour.size(), CV_32F), weight(colour.size(), CV_32F);
            byBands([&](int y) {
                for (int x = 0; x < width; ++x) {
                    const int k = pixelClass.at<int8_t>(y, x);
                    const bool solidPixel = k >= 0 && !thin[k];
                    weight.at<float>(y, x) = solidPixel ? 1.f : 0.f;
                    kept.at<float>(y, x) = solidPixel ? light.at<uint8_t>(y, x) : 0.f;
                }
            });
            cv::Mat keptSum, weightSum;
            cv::blur(kept, keptSum, {kThinFill, kThinFill});
            cv::blur(weight, weightSum, {kThinFill, kThinFill});
            byBands([&](int y) {
                for (int x = 0; x < width; ++x) {
                    const int k = pixelClass.at<int8_t>(y, x);
                    const float w = weightSum.at<float>(y, x);
                    if (k >= 0 && thin[k] && w > 0.05f)
                        light.at<uint8_t>(y, x) = cv::saturate_cast<uint8_t>(keptSum.at<float>(y, x) / w);
                }
            });
        }
    }
    // Each piece evened with those beside it; on a large photo on a copy of
    // at most kPieceSide pixels across, its gains taken by the pixels it stands for.
    {
        const int step = (std::max(width, height) + kPieceSide - 1) / kPieceSide;
        cv::Mat smallLight = light, smallClass = pixelClass;
        if (step > 1) {
            const cv::Size small((width + step - 1) / step, (height + step - 1) / step);
            cv::resize(light, smallLight, small, 0, 0, cv::INTER_AREA);
            cv::resize(pixelClass, smallClass, small, 0, 0, cv::INTER_NEAREST);
        }
        const cv::Mat pieceGains = PieceGains(smallLight, smallClass, thin, reading);
        std::vector<int> at(width);
        for (int x = 0; x < width; ++x) at[x] = std::min(pieceGains.cols - 1, x / step);
        ForEachRowBand(height, width, [&](int first, int end) {
            for (int y = first; y < end; ++y) {
                uint8_t* l = light.ptr<uint8_t>(y);
                const int8_t* k = pixelClass.ptr<int8_t>(y);
                const float* g = pieceGains.ptr<float>(std::min(pieceGains.rows - 1, y / step));
                for (int x = 0; x < width; ++x)
                    if (const float gain = g[at[x]]; k[x] >= 0 && gain != 1.f)
                        l[x] = cv::saturate_cast<uint8_t>(float(1 + l[x]) * gain - 1);
            }
        });
    }
    // The median band by band side by side, each band with the rows it reads beyond its own.
    cv::Mat smoothed(light.size(), CV_8U);
    constexpr int kReach = kFinalMedian / 2;
    ForEachRowBand(height, width, [&](int first, int end) {
        const int from = std::max(0, first - kReach), to = std::min(height, end + kReach);
        cv::Mat part;
        cv::medianBlur(light.rowRange(from, to), part, kFinalMedian);
        part.rowRange(first - from, end - from).copyTo(smoothed.rowRange(first, end));
    });
    light = smoothed;

    QImage map(boxRect.size(), QImage::Format_RGB32);
    if (map.isNull()) return {};
    map.fill(0xFFFFFFFFu);
    const int dx = within.x() - box.minX, dy = within.y() - box.minY;
    uchar* bits = map.bits();
    const qsizetype line = map.bytesPerLine();
    ForEachRowBand(height, width, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(bits + (dy + y) * line) + dx;
            const uint8_t* l = light.ptr<uint8_t>(y);
            for (int x = 0; x < width; ++x) row[x] = 0xFF000000u | uint32_t(l[x]) * 0x010101u;
        }
    });
    return map;
}

}  // namespace v2d::vision
