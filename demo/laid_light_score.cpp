#include "demo/laid_light_score.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace v2d::demo {
namespace {

cv::Mat Gray(const QImage& mask) {
    cv::Mat m(mask.height(), mask.width(), CV_8UC1);
    for (int y = 0; y < mask.height(); ++y) std::copy_n(mask.constScanLine(y), mask.width(), m.ptr<uchar>(y));
    return m;
}

QImage ToImage(const cv::Mat& mask) {
    QImage image(mask.cols, mask.rows, QImage::Format_Grayscale8);
    for (int y = 0; y < mask.rows; ++y) std::copy_n(mask.ptr<uchar>(y), mask.cols, image.scanLine(y));
    return image;
}

// 0.299 R + 0.587 G + 0.114 B, as the light map reads a photo.
cv::Mat Luminance(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    cv::Mat y(rgb.height(), rgb.width(), CV_64FC1);
    for (int row = 0; row < rgb.height(); ++row) {
        const uchar* in = rgb.constScanLine(row);
        for (int x = 0; x < rgb.width(); ++x)
            y.at<double>(row, x) = 0.299 * in[3 * x] + 0.587 * in[3 * x + 1] + 0.114 * in[3 * x + 2];
    }
    return y;
}

cv::Mat LogOf(const cv::Mat& luminance) {
    cv::Mat out;
    cv::log(luminance + 1, out);
    return out;
}

// A Gaussian blur of the values on the mask, divided by the mask's own blur:
// pixels off the mask count for nothing.
cv::Mat SmoothedWithin(const cv::Mat& values, const cv::Mat& mask) {
    cv::Mat weight, weighted, blurredWeight, blurred;
    mask.convertTo(weight, CV_64FC1, 1 / 255.0);
    weighted = values.mul(weight);
    cv::GaussianBlur(weighted, blurred, {0, 0}, kShadingSigma);
    cv::GaussianBlur(weight, blurredWeight, {0, 0}, kShadingSigma);
    return blurred / cv::max(blurredWeight, 1e-9);
}

std::vector<double> Sampled(const cv::Mat& values, const cv::Mat& mask) {
    std::vector<double> out;
    for (int y = 0; y < values.rows; ++y)
        for (int x = 0; x < values.cols; ++x)
            if (mask.at<uchar>(y, x)) out.push_back(values.at<double>(y, x));
    return out;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

double MeanAbsolutePercent(const std::vector<double>& logRatios, double offset) {
    if (logRatios.empty()) return 0;
    double sum = 0;
    for (double r : logRatios) sum += std::abs(r - offset);
    return 100 * sum / logRatios.size();
}

double Pearson(const std::vector<double>& a, const std::vector<double>& b) {
    const size_t n = a.size();
    if (n < 2) return 0;
    double ma = 0, mb = 0;
    for (size_t i = 0; i < n; ++i) ma += a[i], mb += b[i];
    ma /= n, mb /= n;
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < n; ++i) ab += (a[i] - ma) * (b[i] - mb), aa += (a[i] - ma) * (a[i] - ma), bb += (b[i] - mb) * (b[i] - mb);
    return aa > 1e-12 && bb > 1e-12 ? ab / std::sqrt(aa * bb) : 0;
}

cv::Mat Disc(int radius) { return cv::getStructuringElement(cv::MORPH_ELLIPSE, {2 * radius + 1, 2 * radius + 1}); }

}  // namespace

QImage LightEdges(const QImage& photoPlain, const QImage& maskImage) {
    const cv::Mat mask = Gray(maskImage);
    const cv::Mat light = SmoothedWithin(LogOf(Luminance(photoPlain)), mask);
    cv::Mat dx, dy, magnitude;
    cv::Sobel(light, dx, CV_64F, 1, 0);
    cv::Sobel(light, dy, CV_64F, 0, 1);
    cv::magnitude(dx, dy, magnitude);
    std::vector<double> gradients = Sampled(magnitude, mask);
    cv::Mat edges = cv::Mat::zeros(mask.size(), CV_8UC1);
    if (gradients.empty()) return ToImage(edges);
    const size_t top = gradients.size() * 95 / 100;
    std::nth_element(gradients.begin(), gradients.begin() + top, gradients.end());
    const double threshold = gradients[top];
    for (int y = 0; y < mask.rows; ++y)
        for (int x = 0; x < mask.cols; ++x)
            if (mask.at<uchar>(y, x) && magnitude.at<double>(y, x) >= threshold) edges.at<uchar>(y, x) = 255;
    cv::dilate(edges, edges, Disc(2));
    cv::bitwise_and(edges, mask, edges);
    return ToImage(edges);
}

LightScore ScoreLaidFloors(const LaidFloors& floors) {
    const cv::Mat mask = Gray(floors.mask);
    const cv::Mat laidPatterned = Luminance(floors.laidPatterned), laidPlain = Luminance(floors.laidPlain);
    LightScore score;
    score.residue = Pearson(Sampled(LogOf(laidPatterned) - LogOf(laidPlain), mask),
                            Sampled(LogOf(Luminance(floors.photoPatterned)) - LogOf(Luminance(floors.photoPlain)), mask));
    cv::Mat ratio;
    cv::log(cv::max(SmoothedWithin(laidPatterned, mask), 1e-9) / cv::max(SmoothedWithin(laidPlain, mask), 1e-9), ratio);
    const std::vector<double> ratios = Sampled(ratio, mask);
    score.shadingPercent = MeanAbsolutePercent(ratios, 0);
    score.shadingExposureFreePercent = MeanAbsolutePercent(ratios, Median(ratios));
    const std::vector<double> onEdges = Sampled(ratio, Gray(LightEdges(floors.photoPlain, floors.mask)));
    score.edgesPercent = MeanAbsolutePercent(onEdges, 0);
    score.edgesExposureFreePercent = MeanAbsolutePercent(onEdges, Median(ratios));
    return score;
}

QImage ComparedFloor(const RenderedRoom& room, const std::vector<V2d_Point>& outline) {
    const cv::Mat floor = Gray(room.floorMask);
    cv::Mat inside = cv::Mat::zeros(floor.size(), CV_8UC1);
    std::vector<cv::Point> ring;
    for (const V2d_Point& p : outline) ring.emplace_back(p.x, p.y);
    if (ring.size() >= 3) cv::fillPoly(inside, std::vector{ring}, 255);
    cv::Mat compared;
    cv::bitwise_and(floor, inside, compared);
    // Shrunk from the outline and from what stands on the floor alike; the
    // picture's own border is no edge of either.
    cv::erode(compared, compared, Disc(3), {-1, -1}, 1, cv::BORDER_CONSTANT, 255);
    return ToImage(compared);
}

std::array<double, 3> MeanColour(const QImage& picture, const QImage& maskImage) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    std::array<double, 3> sum{};
    long long count = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar *in = rgb.constScanLine(y), *on = maskImage.constScanLine(y);
        for (int x = 0; x < rgb.width(); ++x)
            if (on[x]) ++count, sum[0] += in[3 * x], sum[1] += in[3 * x + 1], sum[2] += in[3 * x + 2];
    }
    if (count) for (double& s : sum) s /= count;
    return sum;
}

}  // namespace v2d::demo
