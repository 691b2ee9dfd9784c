#pragma once
// What a phone does to a room photo, made from a clean one: sensor grain,
// strong JPEG compression, darker corners, a dim room, a blurred shot.
#include <QImage>

#include <opencv2/imgproc.hpp>

#include "base/picture_codec.h"

namespace v2d::testing {

inline cv::Mat MatOf(const QImage& image) {
    const QImage rows = image.convertToFormat(QImage::Format_RGB32);
    return cv::Mat(rows.height(), rows.width(), CV_8UC4, const_cast<uchar*>(rows.constBits()), size_t(rows.bytesPerLine())).clone();
}
inline QImage ImageOf(const cv::Mat& bgra) {
    return QImage(bgra.data, bgra.cols, bgra.rows, int(bgra.step), QImage::Format_RGB32).copy();
}

// Grain of `sigma` levels in the light (a third of it in the colour), then
// each level multiplied by `gain` and the corners darkened by `vignette`.
inline QImage PhoneCopy(const QImage& clean, double sigma, double gain = 1, double vignette = 0, int quality = 0,
                        double blur = 0) {
    cv::Mat m = MatOf(clean), f;
    m.convertTo(f, CV_32FC4);
    if (blur > 0) cv::GaussianBlur(f, f, {0, 0}, blur);
    cv::theRNG().state = 12345;
    cv::Mat light(f.size(), CV_32F), colour(f.size(), CV_32FC4);
    cv::randn(light, 0, sigma);
    cv::randn(colour, 0, sigma / 3);
    const cv::Point2f centre(f.cols / 2.f, f.rows / 2.f);
    const float reach = std::hypot(centre.x, centre.y);
    for (int y = 0; y < f.rows; ++y)
        for (int x = 0; x < f.cols; ++x) {
            const float r = std::hypot(x - centre.x, y - centre.y) / reach;
            const float keep = float(gain) * (1 - float(vignette) * r * r);
            cv::Vec4f& p = f.at<cv::Vec4f>(y, x);
            for (int c = 0; c < 3; ++c) p[c] = p[c] * keep + light.at<float>(y, x) + colour.at<cv::Vec4f>(y, x)[c];
        }
    f.convertTo(m, CV_8UC4);
    QImage out = ImageOf(m);
    return quality > 0 ? DecodeJpeg(*EncodeJpeg(out, quality)) : out;
}

}  // namespace v2d::testing
