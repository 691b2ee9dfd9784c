#pragma once
// What a phone does to a clean room photo: blur, light times `gain`, corners
// darkened by `vignette`, grain of `sigma` levels (a third of it in colour), JPEG at `quality`.
#include <opencv2/imgproc.hpp>

#include "base/picture_codec.h"

namespace v2d::testing {

inline QImage PhoneCopy(const QImage& clean, double sigma, double gain = 1, double vignette = 0, int quality = 0, double blur = 0) {
    const QImage rows = clean.convertToFormat(QImage::Format_RGB32);
    cv::Mat f, grain(rows.height(), rows.width(), CV_32F), colour(grain.size(), CV_32FC4);
    cv::Mat(rows.height(), rows.width(), CV_8UC4, const_cast<uchar*>(rows.constBits()), rows.bytesPerLine()).convertTo(f, CV_32FC4);
    if (blur > 0) cv::GaussianBlur(f, f, {0, 0}, blur);
    cv::theRNG().state = 12345;
    cv::randn(grain, 0, sigma), cv::randn(colour, 0, sigma / 3);
    for (int y = 0; y < f.rows; ++y)
        for (int x = 0; x < f.cols; ++x) {
            const double r2 = (std::pow(x - f.cols / 2.0, 2) + std::pow(y - f.rows / 2.0, 2)) / (std::pow(f.cols / 2.0, 2) + std::pow(f.rows / 2.0, 2));
            for (int c = 0; c < 3; ++c)
                f.at<cv::Vec4f>(y, x)[c] = float(f.at<cv::Vec4f>(y, x)[c] * gain * (1 - vignette * r2) + grain.at<float>(y, x) + colour.at<cv::Vec4f>(y, x)[c]);
        }
    cv::Mat out;
    f.convertTo(out, CV_8UC4);
    const QImage copy = QImage(out.data, out.cols, out.rows, int(out.step), QImage::Format_RGB32).copy();
    return quality > 0 ? DecodeJpeg(*EncodeJpeg(copy, quality)) : copy;
}

}  // namespace v2d::testing
