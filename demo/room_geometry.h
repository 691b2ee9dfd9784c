#pragma once
// The demo room's camera and walls, in millimetres. The camera stands at the
// middle of the front wall at eye height and looks straight at the back wall.
#include <cmath>

namespace v2d::demo {

struct RoomGeometry {
    // In pixels of the reference picture (1600 x 1200).
    static constexpr double kFocal = 1200.0;
    static constexpr double kCentreX = 800.0;
    static constexpr double kHorizonY = 560.0;
    // In millimetres.
    static constexpr double kHalfWidth = 2000.0;
    static constexpr double kEye = 1600.0;
    static constexpr double kHeight = 3000.0;
    static constexpr double kFront = 3000.0;
    static constexpr double kBack = 9600.0;
    // Wardrobe front against the back wall.
    static constexpr double kWardrobeDepth = 9000.0, kWardrobeLeft = 200.0, kWardrobeRight = 1800.0,
                            kWardrobeTop = 2200.0;
    // Window in the right wall.
    static constexpr double kWindowNear = 4500.0, kWindowFar = 6500.0, kWindowLow = 900.0,
                            kWindowHigh = 2300.0;

    double scale = 1.0;  // picture width / 1600

    // World point (x right, y up from the floor, d depth) to picture pixels.
    double u(double x, double d) const { return (kCentreX + kFocal * x / d) * scale; }
    double v(double y, double d) const { return (kHorizonY + kFocal * (kEye - y) / d) * scale; }
};

}  // namespace v2d::demo
