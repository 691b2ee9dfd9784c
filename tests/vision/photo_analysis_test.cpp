// A photo's analysis against a room drawn through a known camera: 1600x1200
// pixels, f = 1000, pitched down 30 degrees and turned 20, no roll. Its
// vanishing points, worked out by hand, lie at (3975.4, 22.6) for the floor's
// x, (380.3, 22.6) for its y and (800, 2332.1) for the upright edges.
#include <gtest/gtest.h>

#include <QPainter>

#include <cmath>

#include "vision/photo_analysis.h"

namespace v2d::vision {
namespace {

QPointF Pixel(double x, double y, double z) {  // world: x right, y ahead, z up; the eye 1.5 m up
    const double s = std::sin(20 * M_PI / 180), c = std::cos(20 * M_PI / 180), sp = 0.5, cp = std::sqrt(0.75);
    const double dz = z - 1500, ahead = s * cp * x + c * cp * y - sp * dz;
    return {1000 * (c * x - s * y) / ahead + 800, 1000 * (-s * sp * x - c * sp * y - cp * dz) / ahead + 600};
}

TEST(PhotoAnalysis, ScaleVanishingPointsAndCameraOfKnownLines) {
    QImage photo(1600, 1200, QImage::Format_RGB32);
    photo.fill(QColor(230, 225, 215));
    QPainter painter(&photo);
    painter.setPen(QPen(QColor(60, 50, 40), 3));
    for (double k = 2500; k <= 8000; k += 500) painter.drawLine(Pixel(-2500, k, 0), Pixel(2500, k, 0));
    for (double k = -2500; k <= 2500; k += 500) painter.drawLine(Pixel(k, 2500, 0), Pixel(k, 8000, 0));
    for (double k = -2500; k <= 2500; k += 1250) painter.drawLine(Pixel(k, 8000, 0), Pixel(k, 8000, 2500));
    painter.end();
    const auto analysis = PhotoAnalysis::Of(photo);
    ASSERT_TRUE(analysis.ok());
    const PhotoAnalysis& a = **analysis;
    EXPECT_EQ(a.orientation(), Orientation::AsGiven);
    EXPECT_EQ(a.upright().cacheKey(), photo.cacheKey());
    EXPECT_EQ(a.reducedSize(), cv::Size(1000, 750));
    EXPECT_EQ(a.toPhoto(), cv::Point2d(1.6, 1.6));

    const cv::Point2d truth[] = {{3975.4, 22.6}, {380.3, 22.6}, {800, 2332.1}};
    const std::vector<cv::Vec3d> points = a.vanishingPoints();
    for (const cv::Point2d& t : truth)
        EXPECT_TRUE(std::any_of(points.begin(), points.end(), [&](const cv::Vec3d& p) {
            return p[2] != 0 && cv::norm(cv::Point2d(p[0] / p[2], p[1] / p[2]) - t) < 0.01 * cv::norm(t - cv::Point2d(800, 600));
        })) << t;
    ASSERT_TRUE(a.camera());
    EXPECT_NEAR(a.camera()->focal, 1000, 30);
    ASSERT_TRUE(a.camera()->horizon);
    const cv::Vec3d horizon = *a.camera()->horizon;  // y = 22.6, level
    EXPECT_NEAR(-horizon[2] / horizon[1], 22.6, 5);
    EXPECT_NEAR(horizon[0], 0, 0.01);

}

}  // namespace
}  // namespace v2d::vision
