#pragma once
// A plane seen by a pinhole camera K = [[f,0,0],[0,f,0],[0,0,1]] in a
// normalised frame (principal point at the origin): its vanishing line gives
// the normal n = K^T l, a pixel p goes back to the plane n . X = 1 along the
// ray K^-1 p, and plane coordinates run along two orthogonal directions.
#include <opencv2/core.hpp>

#include <array>
#include <optional>
#include <span>
#include <vector>

namespace v2d::vision {

// The focal length in frame units (half the longer side) when the photo is
// 65 degrees wide across its longer side, as a phone's main camera takes it
// (26 to 28 mm equivalent); used when the photo's lines do not settle it.
double DefaultFocal();
// Fields of view from about 19 to 130 degrees across the longer side.
bool PlausibleFocal(double focal);
// f from (v1 . v2 with K^-1) = 0: none when a point is a direction or the product is not negative.
std::optional<double> FocalOfPair(const cv::Vec3d& v1, const cv::Vec3d& v2);
// The angle in degrees (0 to 90) between the directions two points stand for.
double AngleBetween(const cv::Vec3d& v1, const cv::Vec3d& v2, double focal);
// The plausible focal length that brings pairs of vanishing points of
// orthogonal directions nearest to right angles (least squares over the
// angles, so a pair that hardly depends on it hardly counts); none when the
// angles stay within a degree of their best over 15 % either way.
std::optional<double> SettledFocal(std::span<const std::array<cv::Vec3d, 2>> pairs);

// The focal length at which three points stand square to each other, each
// pair within `withinDegrees` of a right angle; none when it is not settled.
std::optional<double> SquareFocal(const cv::Vec3d& a, const cv::Vec3d& b, const cv::Vec3d& c, double withinDegrees);

// The line through two points (or the line at infinity for two directions),
// scaled so that l . p is the distance of p (with w = 1) in frame units;
// none for one point twice.
std::optional<cv::Vec3d> LineThrough(const cv::Vec3d& p, const cv::Vec3d& q);

class PlaneView {
public:
    // `first` is the vanishing point of the first plane direction; `inside`
    // (w = 1) a point the plane covers, which fixes the horizon's side.
    static std::optional<PlaneView> Of(double focal, const cv::Vec3d& horizon, const cv::Vec3d& first,
                                       const cv::Vec3d& inside);

    double focal() const { return focal_; }
    // The distance from the vanishing line, positive on the plane's side (w = 1).
    double Side(const cv::Vec3d& p) const { return horizon_.dot(p) / p[2]; }
    // Camera coordinates on n . X = 1; requires Side(p) > 0.
    cv::Vec3d OnPlane(const cv::Vec3d& p) const;
    cv::Point2d Coordinates(const cv::Vec3d& p) const;
    // The image point (w = 1) of plane coordinates.
    cv::Vec3d Image(const cv::Point2d& st) const;
    // The plane direction a vanishing point stands for, as an angle from the first, in radians.
    double AngleOf(const cv::Vec3d& point) const;
    // Turns the plane's first direction by `radians`.
    void Turn(double radians);

private:
    double focal_ = 1;
    cv::Vec3d horizon_, normal_, e1_, e2_;
};

// The part of a polygon at least `margin` on the plane's side of its vanishing line.
std::vector<cv::Point2d> ClipToSide(std::span<const cv::Point2d> polygon, const PlaneView& view, double margin);

// The rectangle with sides along the plane's directions, inside the image
// polygon (entirely on the plane's side), whose image covers the most of the
// photo; its lower and upper plane coordinates.
std::optional<std::array<cv::Point2d, 2>> LargestRectangle(const PlaneView& view, std::span<const cv::Point2d> polygon);

// Whether a point lies inside a polygon (even-odd).
bool Inside(std::span<const cv::Point2d> polygon, const cv::Point2d& p);

}  // namespace v2d::vision
