#pragma once
// A demo room's camera, walls and fittings, in millimetres. The camera
// stands in the room at eye height and looks straight at the back wall;
// x runs right, y up from the floor, depth away from the camera.
#include <QColor>

#include <vector>

namespace v2d::demo {

enum class FrontStyle {
    WoodDoors,    // wooden doors with a dark gap between them and handles
    WhiteDoors,   // lacquered doors, thin joints, metal bar handles
    Bookcase,     // a dark frame with shelves of books
    TvCabinet,    // a low cabinet with drawers
};

// A cabinet, wardrobe or bookcase: a box standing against the back wall.
// Its front face becomes a region; a box below eye height shows its top,
// which becomes a region too when `topName` is set (a worktop).
struct RoomBox {
    const char* name;  // the front's region name
    double x0, x1, y0, y1;  // the front face
    double depth;           // of the front face; the box reaches the back wall
    FrontStyle style;
    int doors = 2;
    const char* topName = nullptr;
    QColor topColour = QColor(225, 222, 215);
};

enum class Wall { Left, Right, Back };

// An opening in a wall: along a side wall `from`..`to` are depths, along
// the back wall x positions.
struct RoomWindow {
    Wall wall;
    double from, to, low, high;
};

struct RoomGeometry {
    // In pixels of the reference picture (1600 x 1200).
    double focal = 1200.0;
    double centreX = 800.0;
    double horizonY = 560.0;
    // In millimetres.
    double left = -2000.0, right = 2000.0;  // x of the side walls
    double eye = 1600.0;
    double height = 3000.0;
    double back = 9600.0;  // depth of the back wall
    // The photograph's own colours (0..1 per channel).
    QColor floor = QColor::fromRgbF(0.72f, 0.70f, 0.66f);
    QColor walls = QColor::fromRgbF(0.90f, 0.87f, 0.80f);
    QColor ceiling = QColor::fromRgbF(0.93f, 0.93f, 0.91f);
    std::vector<RoomBox> boxes;
    std::vector<RoomWindow> windows;
    // The start scheme lays its left wall through a warp mesh.
    bool leftWallMesh = false;

    double scale = 1.0;  // picture width / 1600

    // World point to picture pixels.
    double u(double x, double d) const { return (centreX + focal * x / d) * scale; }
    double v(double y, double d) const { return (horizonY + focal * (eye - y) / d) * scale; }
    // The nearest depth at which a surface enters the picture: the side
    // walls, the floor and the ceiling are seen from there to the back wall.
    double NearLeft() const { return focal * -left / centreX; }
    double NearRight() const { return focal * right / (1600.0 - centreX); }
    double NearFloor() const { return focal * eye / (1200.0 - horizonY); }
    double NearCeiling() const { return focal * (height - eye) / horizonY; }
};

// The start scheme's room: a bedroom with a wardrobe and a window.
RoomGeometry StartRoomGeometry();

}  // namespace v2d::demo
