// The room's light without the old surface: photos made here of a floor in
// perspective, its albedo (a chequer, a red tile) and its light (a soft
// fall-off and a sunlit patch with sharp edges) known pixel by pixel.
#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <functional>

#include "vision/room_light.h"

namespace v2d::vision {
namespace {

constexpr int kWidth = 400, kHeight = 300;
constexpr double kRealWidth = 4000, kRealHeight = 3000;

struct Colour {
    double r, g, b;
};

struct SyntheticFloor {
    QImage photo;
    V2dPolygon region;
    cv::Mat trueLight;  // CV_64F: the brightest albedo's largest channel times the light
    cv::Mat inside;     // CV_8U: well inside the outline
    cv::Mat sunEdge;    // CV_8U: within a few pixels of the sunlit patch's edge
    cv::Mat pattern;    // CV_64F: the log of the albedo's largest channel
};

// The light on the floor at plane point (u, v) in millimetres: a fall-off
// away from the window and a sunlit patch 2.2 times as bright, nothing overexposed.
bool SunAt(double u, double v) { return u > 900 && u < 2300 && v > 1100 && v < 2100; }
double LightAt(double u, double v) {
    const bool sun = SunAt(u, v);
    return (0.3 + 0.15 * u / kRealWidth) * (sun ? 2.2 : 1.0);
}

SyntheticFloor MakeFloor(const std::function<Colour(double u, double v)>& albedo, double brightest) {
    SyntheticFloor f;
    const std::array<cv::Point2f, 4> quad{cv::Point2f(110, 60), cv::Point2f(290, 60), cv::Point2f(395, 295),
                                          cv::Point2f(5, 295)};
    const std::array<cv::Point2f, 4> plane{cv::Point2f(0, 0), cv::Point2f(kRealWidth, 0),
                                           cv::Point2f(kRealWidth, kRealHeight), cv::Point2f(0, kRealHeight)};
    const cv::Mat toPlane = cv::getPerspectiveTransform(quad.data(), plane.data());
    f.photo = QImage(kWidth, kHeight, QImage::Format_RGB32);
    f.photo.fill(0xFF808890u);
    f.trueLight = cv::Mat::zeros(kHeight, kWidth, CV_64F);
    cv::Mat onFloor = cv::Mat::zeros(kHeight, kWidth, CV_8U), sun = cv::Mat::zeros(kHeight, kWidth, CV_8U);
    f.pattern = cv::Mat::zeros(kHeight, kWidth, CV_64F);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const cv::Mat q = toPlane * (cv::Mat_<double>(3, 1) << x + 0.5, y + 0.5, 1);
            const double u = q.at<double>(0) / q.at<double>(2), v = q.at<double>(1) / q.at<double>(2);
            if (u < 0 || u > kRealWidth || v < 0 || v > kRealHeight) continue;
            const double light = LightAt(u, v);
            const Colour a = albedo(u, v);
            f.photo.setPixel(x, y, qRgb(std::min(255, int(a.r * light)), std::min(255, int(a.g * light)),
                                        std::min(255, int(a.b * light))));
            f.trueLight.at<double>(y, x) = brightest * light;
            onFloor.at<uint8_t>(y, x) = 255;
            sun.at<uint8_t>(y, x) = SunAt(u, v) ? 255 : 0;
            f.pattern.at<double>(y, x) = std::log(std::max({a.r, a.g, a.b}));
        }
    f.region.points = {{110, 60}, {290, 60}, {395, 295}, {5, 295}};
    f.region.indexList = {3};
    f.region.corners[0] = {110, 60}, f.region.corners[1] = {290, 60};
    f.region.corners[2] = {395, 295}, f.region.corners[3] = {5, 295};
    f.region.realWidth = int(kRealWidth), f.region.realHeight = int(kRealHeight);
    cv::erode(onFloor, f.inside, cv::getStructuringElement(cv::MORPH_RECT, {9, 9}));
    cv::Mat grown, shrunk;
    cv::dilate(sun, grown, cv::getStructuringElement(cv::MORPH_RECT, {9, 9}));
    cv::erode(sun, shrunk, cv::getStructuringElement(cv::MORPH_RECT, {9, 9}));
    f.sunEdge = (grown - shrunk) & f.inside;
    return f;
}

struct LightError {
    double meanLog = 0;  // mean |ln(found / true)|
    double residue = 0;  // correlation of ln(found / true) with the old surface's pattern
};

LightError Compare(const SyntheticFloor& f, const QImage& map, const cv::Mat& where) {
    const int box = 5;  // the outline box's left (the map's column 0)
    std::vector<double> error, pattern;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            if (!where.at<uint8_t>(y, x)) continue;
            const double found = qRed(map.pixel(x - box, y - 60)) + 1, truth = f.trueLight.at<double>(y, x) + 1;
            error.push_back(std::log(found / truth));
            pattern.push_back(f.pattern.at<double>(y, x));
        }
    LightError out;
    double me = 0, mp = 0;
    for (size_t i = 0; i < error.size(); ++i) out.meanLog += std::abs(error[i]), me += error[i], mp += pattern[i];
    const double n = double(error.size());
    out.meanLog /= n, me /= n, mp /= n;
    double cov = 0, ve = 0, vp = 0;
    for (size_t i = 0; i < error.size(); ++i)
        cov += (error[i] - me) * (pattern[i] - mp), ve += (error[i] - me) * (error[i] - me),
            vp += (pattern[i] - mp) * (pattern[i] - mp);
    out.residue = ve > 0 && vp > 0 ? cov / std::sqrt(ve * vp) : 0;
    return out;
}

TEST(RoomLight, AChequerGoesAndTheSunlitPatchKeepsItsSharpEdges) {
    const auto chequer = [](double u, double v) {
        const bool white = (int(u / 400) + int(v / 400)) % 2 == 0;
        return white ? Colour{215, 210, 205} : Colour{38, 36, 40};
    };
    const SyntheticFloor floor = MakeFloor(chequer, 215);
    const QImage map = RoomLightMap(floor.photo, floor.region);
    ASSERT_EQ(map.size(), QSize(391, 236));
    const LightError whole = Compare(floor, map, floor.inside), edge = Compare(floor, map, floor.sunEdge);
    EXPECT_LT(whole.meanLog, 0.045);
    EXPECT_LT(std::abs(whole.residue), 0.3);
    EXPECT_LT(edge.meanLog, 0.15);
}

TEST(RoomLight, BoardsOfEveryToneBetweenTwoGoToo) {
    // 150 mm boards, each its own tone between a dark red-brown and a light
    // tan: more tones than classes, told apart by their chromaticity.
    const auto boards = [](double u, double) {
        const double t = std::fmod(std::floor(u / 150) * 0.618034, 1.0);
        return Colour{90 + 110 * t, 45 + 95 * t, 20 + 60 * t};
    };
    const SyntheticFloor floor = MakeFloor(boards, 200);
    const LightError whole = Compare(floor, RoomLightMap(floor.photo, floor.region), floor.inside);
    EXPECT_LT(std::abs(whole.residue), 0.11);
    EXPECT_LT(whole.meanLog, 0.14);
}

TEST(RoomLight, BoardsOfOneHueInManyTonesGoToo) {
    // Staggered 150 x 1200 mm boards of one colour, each lighter or darker
    // (nothing in their chromaticity tells them apart), with dark joints.
    const auto boards = [](double u, double v) {
        const int column = int(u / 150);
        const int row = int((v + std::fmod(column * 0.37, 1.0) * 1200) / 1200);
        if (std::fmod(u, 150) < 12 || std::fmod(v + std::fmod(column * 0.37, 1.0) * 1200, 1200) < 12)
            return Colour{40, 28, 18};
        const double t = std::fmod((column * 7 + row * 3) * 0.618034, 1.0);
        return Colour{(0.7 + 0.45 * t) * 150, (0.7 + 0.45 * t) * 100, (0.7 + 0.45 * t) * 60};
    };
    const SyntheticFloor floor = MakeFloor(boards, 172);
    const LightError whole = Compare(floor, RoomLightMap(floor.photo, floor.region), floor.inside);
    EXPECT_LT(std::abs(whole.residue), 0.17);  // 0.19 with each board left at its class's ratio
}

TEST(RoomLight, ASurfaceOfOneColourKeepsItsBrightestChannelAsTheLight) {
    // A red tile: a white tile laid on it must be lit as the red channel shows, not darkened to the red's luminance.
    const SyntheticFloor floor = MakeFloor([](double, double) { return Colour{200, 92, 60}; }, 200);
    const QImage map = RoomLightMap(floor.photo, floor.region);
    const LightError whole = Compare(floor, map, floor.inside);
    EXPECT_LT(whole.meanLog, 0.03);
    // Outside the photo the product keeps its own colour.
    V2dPolygon beyond = floor.region;
    for (V2d_Point& p : beyond.points) p.x += 100;
    const QImage cut = RoomLightMap(floor.photo, beyond);
    ASSERT_FALSE(cut.isNull());
    EXPECT_EQ(cut.pixel(cut.width() - 1, cut.height() / 2), 0xFFFFFFFFu);
    EXPECT_TRUE(RoomLightMap(QImage(), floor.region).isNull());
}

}  // namespace
}  // namespace v2d::vision
