#pragma once
// The demo's sample rooms (样板房): living rooms, bedrooms, a kitchen, a
// bathroom, studies and dining rooms, each with its own walls, camera and
// fittings, the products laid into its regions and the furniture placed in
// it, named by the products' numbers in the demo catalogue.
#include <QPointF>

#include <string>
#include <vector>

#include "demo/room_geometry.h"

namespace v2d::demo {

// A material laid into regions, named as the room's region list shows them.
struct SampleLaying {
    std::vector<std::string> regions;
    std::string number;
};

// A model dropped on a region. The point is where the model's top-left
// corner goes, in millimetres of the region's plane: on the floor x and
// depth, on the back wall x and height, on a side wall depth and height.
struct SampleFurniture {
    std::string number;
    std::string region;
    double along, up;
};

struct SampleRoom {
    std::string name;
    int style = 1;     // TableStyle.StyleID
    int roomType = 1;  // TableRoomType.RTypeID
    RoomGeometry geometry;
    std::vector<SampleLaying> layings;
    std::vector<SampleFurniture> furniture;
};

// The local templates of the demo workspace, in the order they are stored.
const std::vector<SampleRoom>& SampleRooms();

// The picture point of a model's top-left corner on the named region's
// plane (see SampleFurniture), for a picture `width` pixels wide.
QPointF SamplePoint(const RoomGeometry& room, const SampleFurniture& f, int width);

}  // namespace v2d::demo
