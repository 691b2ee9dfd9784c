// The room's camera from segments drawn by a known camera: a turn, a tilt
// and a roll of 4 degrees, and a focal length; the room's three directions,
// the focal and the horizon come back as that camera made them.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "vision/plane_rectification.h"
#include "vision/room_box.h"
#include "vision/room_camera.h"
#include "vision/room_planes.h"

namespace v2d::vision {
namespace {

constexpr double kDeg = M_PI / 180;

struct TrueCamera {
    double focal;
    cv::Matx33d rotation;  // room (u right, v down, w in) to camera coordinates

    cv::Point2d Project(const cv::Vec3d& room) const {
        const cv::Vec3d x = rotation * room;
        return {focal * x[0] / x[2], focal * x[1] / x[2]};
    }
};

// Yaw about the room's vertical, then pitch down, then roll about the view.
TrueCamera Camera(double focal, double yaw, double pitch, double roll) {
    const auto about = [](int axis, double a) {
        cv::Matx33d r = cv::Matx33d::eye();
        const int i = (axis + 1) % 3, j = (axis + 2) % 3;
        r(i, i) = r(j, j) = std::cos(a), r(i, j) = -std::sin(a), r(j, i) = std::sin(a);
        return r;
    };
    return {focal, about(2, roll * kDeg) * about(0, -pitch * kDeg) * about(1, -yaw * kDeg)};
}

// Segments of a 6 x 2.7 x 8 room (the camera 1.5 above its floor) along the
// chosen axes, as the camera sees them on a photo of 1000 x 750 pixels;
// each end a quarter of a pixel off at most.
// `uprights` of them at most along the vertical.
std::vector<FrameSegment> Segments(const TrueCamera& camera, std::initializer_list<int> axes, int uprights = 120) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> u(-3, 3), v(-1.2, 1.5), w(1, 8), noise(-0.25, 0.25);
    const NormalFrame frame = FrameOfPhoto(QSize(1000, 750));
    std::vector<Segment> segments;
    for (int axis : axes)
        for (int n = 0; n < (axis == 1 ? uprights : 120); ++n) {
            cv::Vec3d a(u(random), v(random), w(random)), b = a;
            b[axis] += axis == 1 ? 0.8 : 1.5;
            if ((camera.rotation * a)[2] < 0.3 || (camera.rotation * b)[2] < 0.3) continue;  // behind the camera
            const cv::Point2d pa = camera.Project(a), pb = camera.Project(b);
            if (std::max({std::abs(pa.x), std::abs(pa.y), std::abs(pb.x), std::abs(pb.y)}) > 0.75) continue;  // out of sight
            const auto pixel = [&](cv::Point2d p) { return p * frame.unit + frame.centre + cv::Point2d(noise(random), noise(random)); };
            segments.push_back({pixel(pa), pixel(pb)});
        }
    return ToFrame(frame, segments);
}

double AngleDeg(const cv::Vec3d& a, const cv::Vec3d& b) {
    return std::acos(std::min(1.0, std::abs(a.dot(b)) / cv::norm(a) / cv::norm(b))) / kDeg;
}

// The horizon's turn worked out apart from the camera code: the line through
// the images of two level directions far off.
double HorizonRollDeg(const TrueCamera& camera) {
    const cv::Point2d p = camera.Project({-1e6, 0, 1e6}), q = camera.Project({1e6, 0, 1e6});
    return std::atan2(q.y - p.y, q.x - p.x) / kDeg;
}

TEST(RoomCamera, ThreeDirectionsFocalAndRollComeBackFromTheSegments) {
    struct Case {
        double focal, yaw, pitch, roll;
    };
    // A corner view rolled 4 degrees; straight on, rolled the other way; one
    // where the left-right lines are not seen, at a phone's focal length; and
    // one seen from high up, too few upright lines for a family of their own
    // and the lines across meeting at no finite point, again at a phone's focal.
    const Case cases[] = {{1.3, 35, 20, 4}, {1.1, 3, 28, -5}, {DefaultFocal(), 12, 22, 3}, {DefaultFocal(), 0, 24, 0}};
    for (size_t c = 0; c < std::size(cases); ++c) {
        const Case& k = cases[c];
        SCOPED_TRACE(c);
        const TrueCamera truth = Camera(k.focal, k.yaw, k.pitch, k.roll);
        const auto segments = Segments(truth, c == 2 ? std::initializer_list<int>{1, 2} : std::initializer_list<int>{0, 1, 2}, c == 3 ? 6 : 120);
        const auto axes = RoomAxesOf(segments, LineFamilies(segments, 5));
        ASSERT_TRUE(axes);
        EXPECT_NEAR(axes->focal, k.focal, 0.01 * k.focal);
        // Down is down; the two level directions are the true two, either way round.
        const cv::Vec3d down(truth.rotation(0, 1), truth.rotation(1, 1), truth.rotation(2, 1));
        EXPECT_LT(AngleDeg(axes->axis[1], down), 0.2);
        EXPECT_GT(axes->axis[1][1], 0);
        for (int level : {0, 2}) {
            double nearest = 90;
            for (int t : {0, 2})
                nearest = std::min(nearest, AngleDeg(axes->axis[level], {truth.rotation(0, t), truth.rotation(1, t), truth.rotation(2, t)}));
            EXPECT_LT(nearest, 0.2) << level;
        }
        EXPECT_NEAR(axes->RollDegrees(), HorizonRollDeg(truth), 0.2);
        EXPECT_NEAR(HorizonRollDeg(truth), k.roll, 1.5);  // the test's own camera is what it says
    }
}

// The box's faces meet along the room's axes, and a ray leaves through the
// face a hand count gives: the camera 1 above the floor of a 4 x 2.5 x 5 box.
TEST(RoomBox, FacesOfRaysAndWhereTheyMeet) {
    RoomBox box{Squared(1, {cv::Vec3d(1, 0, 0), cv::Vec3d(0, 1, 0), cv::Vec3d(0, 0, 1)}), -2, 2, 5, -1.5};
    EXPECT_EQ(box.FaceOf({0, 0.1, 1}), RoomFace::Back);      // 0.5 down at the back wall: above the floor
    EXPECT_EQ(box.FaceOf({0, 0.3, 1}), RoomFace::Floor);     // the floor at depth 3.3
    EXPECT_EQ(box.FaceOf({-0.5, 0, 1}), RoomFace::Left);     // the left wall at depth 4
    EXPECT_EQ(box.FaceOf({0.5, -0.4, 1}), RoomFace::Ceiling);  // the ceiling at 3.75, the right wall at 4
    EXPECT_EQ(box.FaceOf({0.5, -0.3, 1}), RoomFace::Right);
    EXPECT_EQ(MeetingAxis(RoomFace::Floor, RoomFace::Back), 0);
    EXPECT_EQ(MeetingAxis(RoomFace::Left, RoomFace::Back), 1);
    EXPECT_EQ(MeetingAxis(RoomFace::Ceiling, RoomFace::Right), 2);
    EXPECT_EQ(MeetingAxis(RoomFace::Floor, RoomFace::Ceiling), -1);
    const cv::Vec4d back = box.Plane(RoomFace::Back), ceiling = box.Plane(RoomFace::Ceiling);
    EXPECT_LT(cv::norm(back - cv::Vec4d(0, 0, 1, 5)), 1e-9);
    EXPECT_LT(cv::norm(ceiling - cv::Vec4d(0, -1, 0, 1.5)), 1e-9);
}

// A floor 200 wide and 200 deep seen level from 1 above it: the rectangle
// round all of it would have corners about 40 photo sides off, so a region
// gets the rectangle of its nearer part, on the floor, not no floor at all.
TEST(RoomBox, AFloorReachingFarOffHasTheRectangleOfItsNearerPart) {
    const RoomBox box{Squared(1, {cv::Vec3d(1, 0, 0), cv::Vec3d(0, 1, 0), cv::Vec3d(0, 0, 1)}), -100, 100, 200, -1.5};
    const QSize photo(640, 480);
    const std::vector<cv::Point2d> floor = FaceInPhoto(box, RoomFace::Floor, photo);
    ASSERT_GE(floor.size(), 3u);
    const auto rectangle = RectangleOnFace(box, RoomFace::Floor, floor, photo);
    ASSERT_TRUE(rectangle);
    for (const V2d_Point& c : rectangle->corners) {
        EXPECT_LT(std::max(std::abs(c.x), std::abs(c.y)), 20 * 640);
        EXPECT_GT(c.y, 240);  // below the horizon: on the floor
    }
    EXPECT_GT(rectangle->width, 3);
    EXPECT_GT(rectangle->height, 1);
}

}  // namespace
}  // namespace v2d::vision
