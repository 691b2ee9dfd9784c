#include "vision/value_levels.h"

#include <algorithm>
#include <vector>

namespace v2d::vision {

double Percentile(const cv::Mat& values, double maximum, double share) {
    constexpr int kBins = 256;
    std::vector<double> counts(kBins, 0);
    const double scale = (kBins - 1) / std::max(maximum, 1e-9);
    for (int y = 0; y < values.rows; ++y) {
        const float* v = values.ptr<float>(y);
        for (int x = 0; x < values.cols; ++x) counts[std::clamp(int(v[x] * scale), 0, kBins - 1)] += 1;
    }
    const double wanted = share * double(values.total());
    double seen = 0;
    for (int i = 0; i < kBins; ++i)
        if ((seen += counts[i]) >= wanted) return (i + 0.5) / scale;
    return maximum;
}

cv::Mat Stretched(const cv::Mat& grey) {
    constexpr double kTail = 0.01;
    constexpr double kLeastSpread = 8;
    cv::Mat levels;
    grey.convertTo(levels, CV_32F);
    const double low = Percentile(levels, 255, kTail), high = Percentile(levels, 255, 1 - kTail);
    if (!(high - low > kLeastSpread)) return grey.clone();
    cv::Mat out;
    grey.convertTo(out, CV_8U, 255.0 / (high - low), -255.0 * low / (high - low));
    return out;
}

}  // namespace v2d::vision
