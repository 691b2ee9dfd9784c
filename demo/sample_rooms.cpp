#include "demo/sample_rooms.h"

namespace v2d::demo {
namespace {

struct Shape {
    double left, right, height, back, eye = 1600, focal = 1200;
};

RoomGeometry Room(const Shape& s, std::vector<RoomBox> boxes, std::vector<RoomWindow> windows) {
    RoomGeometry g;
    g.left = s.left;
    g.right = s.right;
    g.height = s.height;
    g.back = s.back;
    g.eye = s.eye;
    g.focal = s.focal;
    // The horizon follows the eye, so low and high cameras both see floor and ceiling.
    g.horizonY = 600 - (s.eye - 1500) * 0.4;
    g.boxes = std::move(boxes);
    g.windows = std::move(windows);
    return g;
}

const std::vector<std::string> kWalls = {"背景墙", "左墙", "右墙"};

std::vector<SampleRoom> MakeSampleRooms() {
    using F = FrontStyle;
    const QColor marble(236, 234, 230), oak(170, 125, 80);
    std::vector<SampleRoom> rooms;
    rooms.push_back({"现代简约客厅", 1, 1,
                     Room({-2400, 2600, 2800, 5600, 1500, 900}, {}, {{Wall::Right, 2400, 4400, 800, 2400}}),
                     {{{"地面"}, "PG-6004"}, {{"背景墙"}, "BZ-5303"}},
                     {{"SF-003", "背景墙", -800, 850}, {"GH-002", "背景墙", -600, 2150}, {"DT-002", "地面", -1000, 4200}}});
    rooms.push_back({"欧式古典客厅", 2, 1,
                     Room({-2800, 2200, 3200, 6200, 1600, 950}, {{"电视柜", -1200, 1200, 0, 500, 5750, F::TvCabinet, 3}},
                          {{Wall::Left, 2600, 4800, 900, 2600}}),
                     {{{"地面"}, "DL-8003"}, {kWalls, "BZ-5301"}},
                     {{"GH-001", "背景墙", -450, 2000}, {"DT-001", "地面", -1000, 4800}}});
    rooms.push_back({"新中式卧室", 3, 2,
                     Room({-1800, 2200, 2900, 5800, 1600, 900}, {{"衣柜门", 300, 2200, 0, 2300, 5200, F::WoodDoors, 3}},
                          {{Wall::Left, 2400, 4200, 900, 2300}}),
                     {{{"地面"}, "MB-9103"}, {kWalls, "BZ-5306"}},
                     {{"GH-001", "背景墙", -1500, 1900}, {"DT-002", "地面", -1500, 4600}}});
    rooms.push_back({"田园风卧室", 4, 2,
                     Room({-2200, 1800, 2800, 5400, 1500, 900}, {{"衣柜门", -2200, -600, 0, 2200, 4800, F::WhiteDoors, 2}},
                          {{Wall::Back, 100, 1400, 900, 2200}}),
                     {{{"地面"}, "MB-1207"}, {kWalls, "BZ-5308"}},
                     {{"DT-001", "地面", -800, 4000}}});
    rooms.push_back({"地中海餐厅", 5, 5,
                     Room({-2300, 2300, 2800, 5200, 1550, 850},
                          {{"餐边柜", -2300, -1000, 0, 850, 4750, F::TvCabinet, 2, "餐边柜台面", QColor(200, 190, 175)}},
                          {{Wall::Back, -600, 700, 900, 2200}}),
                     {{{"地面"}, "FG-6003"}, {kWalls, "BZ-5305"}, {{"餐边柜台面"}, "HG-6001"}},
                     {{"GH-002", "背景墙", 950, 2000}, {"DT-002", "地面", -1000, 4000}}});
    rooms.push_back({"美式书房", 6, 6,
                     Room({-2000, 2400, 2800, 5000, 1600, 850}, {{"书柜", -2000, -300, 0, 2400, 4600, F::Bookcase}},
                          {{Wall::Right, 2200, 3800, 900, 2300}}),
                     {{{"地面"}, "MB-9104"}, {kWalls, "BZ-5304"}},
                     {{"SF-002", "背景墙", 100, 950}, {"GH-001", "背景墙", 750, 2100}, {"DT-001", "地面", -300, 3600}}});
    rooms.push_back({"简约厨房", 1, 3,
                     Room({-1800, 2000, 2700, 4600, 1600, 850},
                          {{"橱柜门", -1800, 2000, 0, 850, 4000, F::WhiteDoors, 5, "台面", marble},
                           {"吊柜门", -1800, 2000, 1500, 2300, 4250, F::WhiteDoors, 5}},
                          {{Wall::Left, 2400, 3600, 1000, 2200}}),
                     {{{"地面"}, "FG-6005"}, {kWalls, "QZ-3005"}, {{"台面"}, "HG-6003"}},
                     {{"MM-002", "右墙", 3100, 2100}}});
    rooms.push_back({"现代卫生间", 1, 4,
                     Room({-1200, 1300, 2600, 3800, 1500, 800},
                          {{"浴室柜", -1200, 200, 0, 850, 3250, F::WhiteDoors, 2, "台面", marble}},
                          {{Wall::Back, 500, 1200, 1700, 2300}}),
                     {{{"地面"}, "PG-6004"}, {kWalls, "QZ-3001"}, {{"台面"}, "DL-6004"}},
                     {{"MM-002", "左墙", 1800, 2100}}});
    rooms.push_back({"欧式主卧", 2, 2,
                     Room({-2600, 2600, 3200, 6600, 1600, 1000}, {{"衣柜门", 800, 2600, 0, 2400, 6000, F::WoodDoors, 3}},
                          {{Wall::Left, 3000, 5200, 900, 2500}}),
                     {{{"地面"}, "MB-1201"}, {kWalls, "BZ-5302"}},
                     {{"GH-002", "背景墙", -1800, 2100}, {"DT-001", "地面", -1600, 5200}}});
    rooms.push_back({"新中式书房", 3, 6,
                     Room({-2200, 1800, 2800, 4800, 1600, 900}, {{"书柜", 200, 1800, 0, 2500, 4400, F::Bookcase}},
                          {{Wall::Left, 2200, 3800, 900, 2300}}),
                     {{{"地面"}, "MB-1206"}, {kWalls, "BZ-5303"}},
                     {{"GH-001", "背景墙", -1700, 2000}, {"DT-002", "地面", -1800, 3600}}});
    rooms.push_back({"田园餐厅", 4, 5,
                     Room({-2000, 2600, 2800, 5400, 1500, 900},
                          {{"餐边柜", 600, 2600, 0, 850, 4950, F::TvCabinet, 3, "餐边柜台面", oak}},
                          {{Wall::Right, 2400, 4200, 900, 2300}}),
                     {{{"地面"}, "FG-6001"}, {kWalls, "BZ-5309"}},
                     {{"GH-002", "背景墙", -1600, 2000}, {"DT-001", "地面", -1200, 4000}}});
    rooms.push_back({"地中海客厅", 5, 1,
                     Room({-2500, 2500, 2900, 6000, 1450, 950}, {{"电视柜", -1200, 1200, 0, 450, 5550, F::TvCabinet, 3}},
                          {{Wall::Left, 2800, 5000, 800, 2400}}),
                     {{{"地面"}, "FG-6002"}, {{"背景墙"}, "QZ-3002"}, {{"左墙", "右墙"}, "BZ-5305"}},
                     {{"GH-001", "背景墙", -450, 1900}, {"DT-002", "地面", -1000, 4600}}});
    rooms.push_back({"美式乡村卧室", 6, 2,
                     Room({-1900, 2300, 2800, 5600, 1550, 900}, {{"衣柜门", -1900, -300, 0, 2300, 5000, F::WoodDoors, 2}},
                          {{Wall::Back, 300, 1700, 900, 2200}}),
                     {{{"地面"}, "MB-1202"}, {kWalls, "BZ-5307"}},
                     {{"DT-001", "地面", -600, 4200}}});
    return rooms;
}

}  // namespace

const std::vector<SampleRoom>& SampleRooms() {
    static const std::vector<SampleRoom> rooms = MakeSampleRooms();
    return rooms;
}

QPointF SamplePoint(const RoomGeometry& room, const SampleFurniture& f, int width) {
    RoomGeometry g = room;
    g.scale = width / 1600.0;
    if (f.region == "地面") return {g.u(f.along, f.up), g.v(0, f.up)};
    if (f.region == "左墙") return {g.u(g.left, f.along), g.v(f.up, f.along)};
    if (f.region == "右墙") return {g.u(g.right, f.along), g.v(f.up, f.along)};
    return {g.u(f.along, g.back), g.v(f.up, g.back)};
}

}  // namespace v2d::demo
