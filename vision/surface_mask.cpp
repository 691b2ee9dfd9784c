#include "vision/surface_mask.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>

#include "vision/line_segments.h"

namespace v2d::vision {

namespace {

// Seeds lie this far (reduced pixels) inside where the surface may lie, of
// its colour within this many levels a channel; at most this many.
constexpr int kSeedInside = 9;
constexpr double kSeedColour = 14;
constexpr int kMostSeeds = 3;

// The coarse copy, where regions are grown and cut, is this many times smaller.
constexpr int kCoarseFactor = 3;
// Grain, joints and seams narrower than this (reduced pixels) are smoothed away.
constexpr int kTextureSize = 5;
// A click marks this radius around it as surface for certain.
constexpr int kClickRadius = 2;
// Half the width of the band where the boundary is settled at the reduced size.
constexpr int kBand = 5;
// Necks narrower than twice this (coarse pixels) part two pieces of a surface.
constexpr int kNeck = 3;
// Straight lines at least this long (coarse pixels) stop a grown region.
constexpr double kBarrierLength = 10;
// A grown region stops where what it would add differs from what it has by
// this many of its own spreads (but at least kColourSpread levels).
constexpr double kColourChange = 3.0;
constexpr double kColourSpread = 6.0;
constexpr int kCutIterations = 2;
// Pieces parted from a grown region by an edge are looked for this far
// (coarse pixels) from it, for at most this many rounds.
constexpr int kJoinReach = 3;
constexpr int kJoinRounds = 12;
// A piece in the shade of what stands on the surface (darker, down to this
// share of the region's lightness, of the same hue within this share of its
// channels) joins from farther off, across the shadow's soft double edge.
constexpr int kShadeReach = 6;
constexpr double kShadeDarkest = 0.7;
constexpr double kShadeHue = 0.01;
constexpr int kShadeMinArea = 100;

// Sensor grain below this spread (grey levels on the reduced copy) is left
// as it is: the copy of a clean photo is worked on exactly as it was taken.
constexpr double kGrainSmoothed = 1.0;
// Canny's thresholds on the coarse copy, and how many of the grain's spreads
// an edge must stand above it there.
constexpr double kEdgeLow = 40, kEdgeHigh = 90;
constexpr double kEdgeLowGrains = 12, kEdgeHighGrains = 27;

cv::Mat Disc(int size) { return cv::getStructuringElement(cv::MORPH_ELLIPSE, {size, size}); }

bool Within(const cv::Mat& m, cv::Point p) { return p.x >= 0 && p.y >= 0 && p.x < m.cols && p.y < m.rows; }

// Pixels of like colour connected to `seed`, not crossing strong edges. The
// tolerance grows step by step while what it adds looks like what it had; a
// change of colour means it ran out onto a neighbouring surface.
cv::Mat GrownRegion(const ReducedPhoto& photo, cv::Point seed) {
    const cv::Mat& image = photo.coarse;
    const double total = double(image.total());
    cv::Mat best;
    cv::Scalar mean, spread;
    for (const double tolerance : {1.5, 2.5, 3.5, 5.0, 7.0, 9.0}) {
        cv::Mat fill(image.rows + 2, image.cols + 2, CV_8U, cv::Scalar(0));
        cv::Mat inner = fill(cv::Rect(1, 1, image.cols, image.rows));
        inner.setTo(1, photo.coarseEdges);
        cv::circle(inner, seed, 2, cv::Scalar(0), cv::FILLED);
        const cv::Scalar range(tolerance, tolerance, tolerance);
        cv::floodFill(image, fill, seed, cv::Scalar(), nullptr, range, range,
                      4 | cv::FLOODFILL_MASK_ONLY | (255 << 8));
        cv::Mat region = inner == 255;
        if (cv::countNonZero(region) > 0.9 * total) break;
        if (!best.empty()) {
            const cv::Mat added = region & ~best;
            if (cv::countNonZero(added) > 0.05 * cv::countNonZero(best)) {
                const cv::Scalar addedMean = cv::mean(image, added);
                double change = 0;
                for (int c = 0; c < 3; ++c)
                    change = std::max(change, std::abs(addedMean[c] - mean[c]) / std::max(kColourSpread, spread[c]));
                if (change > kColourChange) break;
            }
        }
        best = region;
        cv::meanStdDev(image, mean, spread, best);
    }
    return best;
}

// The grown region joined by the pieces next to it, across the edges between
// them, that look like it: boards of a floor parted by their seams, each of
// its own shade, are one surface, and so is the floor in a table's shadow.
// Pieces are told against the grown region alone, so that a chain of small
// changes cannot lead onto another surface.
cv::Mat JoinedAcrossEdges(const ReducedPhoto& photo, cv::Mat region) {
    if (region.empty() || cv::countNonZero(region) == 0) return region;
    const cv::Mat& image = photo.coarse;
    cv::Mat labels;
    const int n = cv::connectedComponents(~photo.coarseEdges, labels, 4);
    std::vector<cv::Vec3d> sum(n);
    std::vector<int> count(n, 0);
    for (int y = 0; y < image.rows; ++y) {
        const int* l = labels.ptr<int>(y);
        const cv::Vec3b* c = image.ptr<cv::Vec3b>(y);
        for (int x = 0; x < image.cols; ++x) sum[l[x]] += cv::Vec3d(c[x]), ++count[l[x]];
    }
    cv::Scalar mean, spread;
    cv::meanStdDev(image, mean, spread, region);
    const double lightness = mean[0] + mean[1] + mean[2] + 1;
    const auto sameColour = [&](int i) {
        for (int c = 0; c < 3; ++c)
            if (std::abs(sum[i][c] / count[i] - mean[c]) > kColourChange * std::max(kColourSpread, spread[c])) return false;
        return true;
    };
    const auto shaded = [&](int i) {
        const cv::Vec3d piece = sum[i] / count[i];
        const double light = piece[0] + piece[1] + piece[2] + 1;
        if (count[i] < kShadeMinArea || light > lightness || light < kShadeDarkest * lightness) return false;
        for (int c = 0; c < 3; ++c)
            if (std::abs(piece[c] / light - mean[c] / lightness) > kShadeHue) return false;
        return true;
    };
    enum : char { Unseen, Joined, Apart };
    std::vector<char> state(n, Unseen);
    state[0] = Apart;  // the edges themselves
    for (int round = 0; round < kJoinRounds; ++round) {
        cv::Mat near, far;
        cv::dilate(region, near, Disc(2 * kJoinReach + 1));
        cv::dilate(region, far, Disc(2 * kShadeReach + 1));
        std::vector<char> joins(n, 0);
        bool added = false;
        for (int y = 0; y < image.rows; ++y) {
            const int* l = labels.ptr<int>(y);
            const uchar* m = near.ptr<uchar>(y);
            const uchar* f = far.ptr<uchar>(y);
            for (int x = 0; x < image.cols; ++x) {
                const int i = l[x];
                if (!f[x] || state[i] != Unseen) continue;
                if (m[x]) state[i] = sameColour(i) || shaded(i) ? Joined : Apart;
                else if (shaded(i)) state[i] = Joined;
                if (state[i] == Joined) joins[i] = 1, added = true;
            }
        }
        if (!added) break;
        for (int y = 0; y < image.rows; ++y) {
            const int* l = labels.ptr<int>(y);
            uchar* r = region.ptr<uchar>(y);
            for (int x = 0; x < image.cols; ++x)
                if (joins[l[x]]) r[x] = 255;
        }
    }
    // The edges between joined pieces belong to the surface too.
    cv::morphologyEx(region, region, cv::MORPH_CLOSE, Disc(2 * kJoinReach + 1));
    return region;
}

// The component of `mask` (4-connected) holding `p`, or the one nearest it
// within a few pixels.
int ComponentAt(const cv::Mat& labels, cv::Point p) {
    for (int r = 0; r <= 6; ++r)
        for (int dy = -r; dy <= r; ++dy)
            for (int dx = -r; dx <= r; ++dx) {
                if (std::max(std::abs(dx), std::abs(dy)) != r) continue;
                const cv::Point q = p + cv::Point(dx, dy);
                if (Within(labels, q) && labels.at<int>(q) > 0) return labels.at<int>(q);
            }
    return 0;
}

// Background enclosed by the surface: holes when large, filled when they are
// mere specks.
void FillSpecks(cv::Mat& mask, double minHole) {
    cv::Mat background = mask == 0;
    cv::Mat labels, stats, centroids;
    const int n = cv::connectedComponentsWithStats(background, labels, stats, centroids, 4);
    std::vector<char> fill(n, 0);
    for (int i = 1; i < n; ++i) {
        const int x = stats.at<int>(i, cv::CC_STAT_LEFT), y = stats.at<int>(i, cv::CC_STAT_TOP);
        const int w = stats.at<int>(i, cv::CC_STAT_WIDTH), h = stats.at<int>(i, cv::CC_STAT_HEIGHT);
        const bool touchesBorder = x == 0 || y == 0 || x + w == mask.cols || y + h == mask.rows;
        fill[i] = !touchesBorder && stats.at<int>(i, cv::CC_STAT_AREA) < minHole;
    }
    for (int y = 0; y < mask.rows; ++y) {
        const int* l = labels.ptr<int>(y);
        uchar* m = mask.ptr<uchar>(y);
        for (int x = 0; x < mask.cols; ++x)
            if (fill[l[x]]) m[x] = 255;
    }
}

// The parts of `found` holding the inside clicks.
cv::Mat PartsAt(const cv::Mat& found, const std::vector<cv::Point>& inside) {
    cv::Mat labels;
    const int n = cv::connectedComponents(found, labels, 4);
    std::vector<char> keep(n, 0);
    for (const cv::Point& p : inside) keep[ComponentAt(labels, p)] = 1;
    keep[0] = 0;
    cv::Mat mask(found.size(), CV_8U, cv::Scalar(0));
    for (int y = 0; y < mask.rows; ++y) {
        const int* l = labels.ptr<int>(y);
        uchar* m = mask.ptr<uchar>(y);
        for (int x = 0; x < mask.cols; ++x)
            if (keep[l[x]]) m[x] = 255;
    }
    return mask;
}

// The parts holding the clicks, cut off where they hang on by a narrow neck:
// the legs of a table of the floor's colour do not bring its top along.
cv::Mat ThickPartsAt(const cv::Mat& found, const std::vector<cv::Point>& inside) {
    cv::Mat core;
    cv::erode(found, core, Disc(2 * kNeck + 1));
    cv::Mat kept = PartsAt(core, inside);
    if (cv::countNonZero(kept) == 0) return PartsAt(found, inside);
    cv::dilate(kept, kept, Disc(2 * kNeck + 5));
    return PartsAt(found & kept, inside);
}

std::vector<cv::Point> Counted(const std::vector<cv::Point>& points, const std::vector<char>& counts) {
    std::vector<cv::Point> out;
    for (size_t i = 0; i < points.size(); ++i)
        if (counts[i]) out.push_back(points[i]);
    return out;
}

std::vector<cv::Point> Scaled(const std::vector<cv::Point>& points, cv::Size from, cv::Size to) {
    std::vector<cv::Point> out;
    for (const cv::Point& p : points)
        out.emplace_back(std::min(p.x * to.width / from.width, to.width - 1),
                         std::min(p.y * to.height / from.height, to.height - 1));
    return out;
}

// The graph cut on the coarse copy: each click's grown region is probably
// surface, the rest probably not; the clicks themselves are certain. What an
// outside click takes away wins over an inside click on it: `counts` tells
// which inside clicks still count.
cv::Mat CoarseCut(const ReducedPhoto& photo, const MaskClicks& clicks, std::vector<char>& counts) {
    const cv::Mat& image = photo.coarse;
    cv::Mat cut(image.size(), CV_8U, cv::Scalar(cv::GC_PR_BGD));
    // Inside, what looks like a click's surface throughout stays surface: the
    // cut only settles its boundary.
    cv::Mat sure(image.size(), CV_8U, cv::Scalar(0));
    for (const cv::Point& p : clicks.inside) {
        const cv::Mat joined = JoinedAcrossEdges(photo, GrownRegion(photo, p));
        if (joined.empty()) {  // like colour all over: nothing to tell apart
            cut.setTo(cv::GC_PR_FGD);
            continue;
        }
        cut.setTo(cv::GC_PR_FGD, joined);
        cv::Mat inner;
        cv::erode(joined, inner, Disc(kBand));
        sure |= inner;
    }
    cut.setTo(cv::GC_FGD, sure);
    for (const cv::Point& p : clicks.outside) {
        cut.setTo(cv::GC_BGD, GrownRegion(photo, p));
        cv::circle(cut, p, kClickRadius, cv::Scalar(cv::GC_BGD), cv::FILLED);
    }
    counts.assign(clicks.inside.size(), 0);
    for (size_t i = 0; i < clicks.inside.size(); ++i) {
        counts[i] = cut.at<uchar>(clicks.inside[i]) != cv::GC_BGD;
        if (counts[i]) cv::circle(cut, clicks.inside[i], kClickRadius, cv::Scalar(cv::GC_FGD), cv::FILLED);
    }
    if (std::find(counts.begin(), counts.end(), 1) == counts.end()) return {};
    try {
        cv::theRNG().state = 0x9E3779B97F4A7C15ULL;  // the same photo and clicks give the same outline
        cv::Mat bgModel, fgModel;
        cv::grabCut(image, cut, cv::Rect(), bgModel, fgModel, kCutIterations, cv::GC_INIT_WITH_MASK);
    } catch (const cv::Exception&) {
        return {};  // too few pixels on one side to model its colours
    }
    cv::Mat found = (cut == cv::GC_FGD) | (cut == cv::GC_PR_FGD);
    cv::morphologyEx(found, found, cv::MORPH_OPEN, Disc(3));
    cv::morphologyEx(found, found, cv::MORPH_CLOSE, Disc(3));
    return ThickPartsAt(found, Counted(clicks.inside, counts));
}

// The coarse mask brought to the reduced copy, its boundary settled on the
// strongest change of colour within a narrow band around it.
cv::Mat Refined(const cv::Mat& coarse, const cv::Mat& smooth) {
    cv::Mat up;
    cv::resize(coarse, up, smooth.size(), 0, 0, cv::INTER_LINEAR);
    up = up > 127;
    cv::Mat sure, maybe;
    cv::erode(up, sure, Disc(kBand));
    cv::dilate(up, maybe, Disc(kBand));
    cv::Mat markers(up.size(), CV_32S, cv::Scalar(2));
    markers.setTo(0, maybe);
    markers.setTo(1, sure);
    cv::watershed(smooth, markers);
    // Watershed lines between the two sides count as surface: they are its edge pixels.
    cv::Mat settled = (markers == 1) | (markers == -1);
    // The watershed also marks the picture's own one-pixel frame as a line:
    // there the coarse mask decides, or the frame would join every surface.
    const int w = settled.cols, h = settled.rows;
    for (const cv::Rect frame : {cv::Rect(0, 0, w, 1), cv::Rect(0, h - 1, w, 1), cv::Rect(0, 0, 1, h), cv::Rect(w - 1, 0, 1, h)})
        up(frame).copyTo(settled(frame));
    return settled;
}

// The spread of the grain in grey levels: the median size of the finest
// second differences (Immerkaer's mask, 6 spreads of white noise), so that the
// photo's own edges and texture, a small share of its pixels, count little.
// Taken across 1, 2 and 3 pixels, the largest: an enlarged copy of a small
// photo spreads each of its grains over a few pixels.
double GrainOf(const cv::Mat& colour) {
    cv::Mat grey;
    cv::cvtColor(colour, grey, cv::COLOR_BGR2GRAY);
    double grain = 0;
    for (int step = 1; step <= 3; ++step) {
        if (grey.rows <= 2 * step || grey.cols <= 2 * step) break;
        constexpr int kBins = 1024;  // |response| in quarters of a level
        std::vector<int> counts(kBins, 0);
        long total = 0;
        for (int y = step; y + step < grey.rows; y += step) {
            const uchar *above = grey.ptr<uchar>(y - step), *row = grey.ptr<uchar>(y), *below = grey.ptr<uchar>(y + step);
            for (int x = step; x + step < grey.cols; x += step) {
                const int r = above[x - step] - 2 * above[x] + above[x + step] - 2 * row[x - step] + 4 * row[x] -
                              2 * row[x + step] + below[x - step] - 2 * below[x] + below[x + step];
                ++counts[std::min(kBins - 1, std::abs(r) * 4)];
                ++total;
            }
        }
        double seen = 0;
        for (int i = 0; i < kBins; ++i)
            if ((seen += counts[i]) >= total / 2.0) {
                grain = std::max(grain, (i + 0.5) / 4 / 0.6745 / 6);
                break;
            }
    }
    return grain;
}

// A dim photo is brightened until its brighter tenth stands at this grey
// level (at most kMostBrightened times), so that colours differ by as many
// levels as in a lit room; a lit photo is left as it is.
constexpr double kDimLevel = 100, kLitLevel = 170, kMostBrightened = 3.5;

cv::Mat Lit(cv::Mat colour) {
    cv::Mat grey;
    cv::cvtColor(colour, grey, cv::COLOR_BGR2GRAY);
    std::array<int, 256> counts{};
    for (int y = 0; y < grey.rows; ++y) {
        const uchar* g = grey.ptr<uchar>(y);
        for (int x = 0; x < grey.cols; ++x) ++counts[g[x]];
    }
    int level = 0;
    for (double seen = 0; level < 255 && (seen += counts[level]) < 0.9 * double(grey.total());) ++level;
    if (level >= kDimLevel) return colour;
    cv::Mat lit;
    colour.convertTo(lit, -1, std::min(kMostBrightened, kLitLevel / std::max(level, 1)));
    return lit;
}

// Grain smoothed away while edges stay: each pixel is averaged with its
// neighbours of like colour, "like" measured in the grain's own spreads.
cv::Mat Degrained(const cv::Mat& colour, double grain) {
    cv::Mat once, twice;
    cv::bilateralFilter(colour, once, 7, 3.5 * grain, 3);
    cv::bilateralFilter(once, twice, 7, 2.5 * grain, 3);
    return twice;
}

}  // namespace

ReducedPhoto ReducedPhoto::Of(cv::Mat colour) {
    ReducedPhoto photo;
    colour = Lit(std::move(colour));
    photo.grain = GrainOf(colour);
    photo.colour = photo.grain > kGrainSmoothed ? Degrained(colour, photo.grain) : std::move(colour);
    cv::Mat smooth;
    cv::medianBlur(photo.colour, smooth, kTextureSize);
    cv::morphologyEx(smooth, smooth, cv::MORPH_CLOSE, Disc(kTextureSize));
    cv::morphologyEx(smooth, smooth, cv::MORPH_OPEN, Disc(3));
    photo.smooth = smooth;
    const cv::Size coarse(std::max(1, photo.colour.cols / kCoarseFactor), std::max(1, photo.colour.rows / kCoarseFactor));
    cv::resize(smooth, photo.coarse, coarse, 0, 0, cv::INTER_AREA);
    // What grain is left after smoothing and reducing stays under the edge thresholds.
    const double coarseGrain = photo.grain > kGrainSmoothed ? GrainOf(photo.coarse) : 0;
    cv::Canny(photo.coarse, photo.coarseEdges, std::max(kEdgeLow, kEdgeLowGrains * coarseGrain),
              std::max(kEdgeHigh, kEdgeHighGrains * coarseGrain));
    // The room's straight lines close the gaps an edge leaves where two
    // surfaces of nearly one colour meet.
    cv::Mat grey;
    cv::cvtColor(photo.coarse, grey, cv::COLOR_BGR2GRAY);
    for (const Segment& s : LineSegmentsOf(grey, {1, 1}, kBarrierLength))
        cv::line(photo.coarseEdges, s.a, s.b, cv::Scalar(255));
    cv::dilate(photo.coarseEdges, photo.coarseEdges, cv::Mat::ones(3, 3, CV_8U));
    return photo;
}

cv::Mat SurfaceMaskOf(const ReducedPhoto& photo, const MaskClicks& clicks, const cv::Mat& within) {
    const cv::Mat& image = photo.colour;
    if (photo.coarse.empty() || photo.coarse.rows < 8 || photo.coarse.cols < 8 || clicks.inside.empty()) return {};
    for (const cv::Point& p : clicks.inside)
        if (!Within(image, p)) return {};
    for (const cv::Point& p : clicks.outside)
        if (!Within(image, p)) return {};
    const MaskClicks coarseClicks{Scaled(clicks.inside, image.size(), photo.coarse.size()),
                                  Scaled(clicks.outside, image.size(), photo.coarse.size())};
    std::vector<char> counts;
    const cv::Mat coarse = CoarseCut(photo, coarseClicks, counts);
    if (coarse.empty() || cv::countNonZero(coarse) == 0) return {};
    cv::Mat mask = PartsAt(Refined(coarse, photo.smooth), Counted(clicks.inside, counts));
    if (within.size() == mask.size()) mask &= within;
    const double total = double(image.total());
    FillSpecks(mask, std::max(16.0, 0.0003 * total));
    const double area = cv::countNonZero(mask);
    if (area < std::max(40.0, 0.001 * total) || area > 0.97 * total) return {};
    return mask;
}

std::vector<cv::Point> SeedsWithin(const cv::Mat& within, const cv::Mat& smooth, std::optional<cv::Vec3b> colour) {
    cv::Mat inner;
    cv::erode(within, inner, Disc(2 * kSeedInside + 1));
    if (cv::countNonZero(inner) == 0) inner = within.clone();
    std::vector<cv::Mat> channels;
    cv::split(smooth, channels);
    cv::Mat near = inner.clone();
    for (int c = 0; c < int(channels.size()) && c < 3; ++c) {
        const cv::Mat& channel = channels[c];
        int level = colour ? (*colour)[c] : 0;
        if (!colour) {  // the median
            int histogram[256] = {};
            int count = 0;
            for (int y = 0; y < channel.rows; ++y) {
                const uchar* v = channel.ptr<uchar>(y);
                const uchar* m = inner.ptr<uchar>(y);
                for (int x = 0; x < channel.cols; ++x)
                    if (m[x]) ++histogram[v[x]], ++count;
            }
            for (int seen = 0; level < 255 && (seen += histogram[level]) * 2 < count;) ++level;
        }
        cv::Mat close;
        cv::inRange(channel, cv::Scalar(level - kSeedColour), cv::Scalar(level + kSeedColour), close);
        near &= close;
    }
    cv::Mat distance;
    cv::distanceTransform(near, distance, cv::DIST_L2, 3);
    std::vector<cv::Point> seeds;
    double first = 0;
    for (int k = 0; k < kMostSeeds; ++k) {
        double most = 0;
        cv::Point at;
        cv::minMaxLoc(distance, nullptr, &most, nullptr, &at);
        if (!(most > 1) || (k > 0 && most < first / 3)) break;
        if (k == 0) first = most;
        seeds.push_back(at);
        cv::circle(distance, at, int(std::max<double>(most * 3, within.cols / 6.0)), cv::Scalar(0), cv::FILLED);
    }
    return seeds;
}

}  // namespace v2d::vision
