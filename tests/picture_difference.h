#pragma once
// How far two pictures of one size are apart, for tests that compare a
// picture with the one it should match.
#include <QImage>

#include <cstdlib>

namespace v2d::test {

// Mean absolute difference per channel of two pictures of one size.
inline double MeanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

}  // namespace v2d::test
