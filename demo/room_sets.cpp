#include "demo/room_sets.h"

#include <utility>

namespace v2d::demo {
namespace {

struct Shell {
    FloorKind floor;
    WallFinish walls;
    double width, depth, height;
};

struct View {
    double x, z, cameraHeight, pitch, yaw, roll, angle;
};

RoomSpec Spec(std::string name, Shell shell, View view, RoomLight light = RoomLight::CeilingAndWindow) {
    RoomSpec s;
    s.name = std::move(name);
    s.floor = shell.floor, s.walls = shell.walls;
    s.roomWidth = shell.width, s.roomDepth = shell.depth, s.roomHeight = shell.height;
    s.cameraX = view.x, s.cameraZ = view.z, s.cameraHeight = view.cameraHeight;
    s.pitchDeg = view.pitch, s.yawDeg = view.yaw, s.rollDeg = view.roll, s.viewAngleDeg = view.angle;
    s.light = light;
    return s;
}

RoomCase Copy(const RoomCase& of, std::string suffix, PhoneLook look) {
    RoomCase copy = of;
    copy.name = of.name + "-" + std::move(suffix);
    copy.phone = look;
    return copy;
}

// Rooms once held out, since tuned on.
std::vector<RoomCase> EarlierHeldOutRooms() {
    std::vector<RoomCase> rooms;
    RoomCase corner{"white-corner", Spec("white-corner", {FloorKind::LightTiles, WallFinish::White, 4200, 5000, 2700},
                                         {1500, 800, 1450, 16, -38, -3, 66})};
    corner.spec.skirting = false, corner.spec.rug = corner.spec.table = true;
    RoomCase straight{"sage-straight", Spec("sage-straight", {FloorKind::PolishedTiles, WallFinish::Sage, 5600, 6400, 2800},
                                            {0, 300, 1600, 10, 0, 0, 70}),
                      RoomFace::BackWall};
    straight.spec.door = straight.spec.cabinet = straight.spec.sofa = true;
    RoomCase corridor{"corridor-tiles", Spec("corridor-tiles", {FloorKind::PolishedTiles, WallFinish::Greige, 2000, 10000, 2700},
                                             {-300, 300, 1550, 10, 6, 3, 62}, RoomLight::Ceiling)};
    corridor.spec.door = true;
    RoomCase carpet{"carpet-wide", Spec("carpet-wide", {FloorKind::PlainCarpet, WallFinish::WarmWhite, 6000, 5000, 2600},
                                        {0, 300, 1750, 28, 0, 0, 68}),
                    RoomFace::RightWall};
    carpet.spec.sofa = carpet.spec.rug = true;
    RoomCase boards{"boards-rolled", Spec("boards-rolled", {FloorKind::WoodBoards, WallFinish::White, 4800, 5800, 2700},
                                          {-400, 500, 1300, 15, 12, -5, 64}, RoomLight::Window)};
    boards.spec.table = boards.spec.cabinet = true;
    RoomCase living{"white-living", Spec("white-living", {FloorKind::LightTiles, WallFinish::White, 5200, 6200, 2800},
                                         {800, 400, 1600, 20, -15, 0, 66}),
                    RoomFace::LeftWall};
    living.spec.sofa = living.spec.rug = living.spec.table = living.spec.cabinet = living.spec.door = true;
    rooms = {corner, straight, corridor, carpet, boards, living};
    rooms.push_back(Copy(corner, "noisy", {.noise = 12, .jpegQuality = 35, .vignette = 0.25}));
    rooms.push_back(Copy(corner, "window", {.exposure = 1.4, .windowGlare = 1}));
    rooms.push_back(Copy(boards, "dim", {.noise = 8, .jpegQuality = 60, .exposure = 0.28}));
    rooms.push_back(Copy(living, "portrait", {.noise = 5, .exifOrientation = 8}));
    rooms.push_back(Copy(corridor, "lens", {.vignette = 0.3, .barrel = 0.035}));
    return rooms;
}

// The second rooms held out, since tuned on too.
std::vector<RoomCase> SecondHeldOutRooms() {
    // A cream room into its corner with a sofa and a table, no skirting.
    RoomCase cream{"cream-corner", Spec("cream-corner", {FloorKind::LightTiles, WallFinish::WarmWhite, 4800, 5200, 2700},
                                        {-1200, 600, 1550, 17, 30, 2, 66})};
    cream.spec.skirting = false, cream.spec.sofa = cream.spec.table = true;
    // Greige walls over polished tiles, seen from low down and rolled.
    RoomCase low{"greige-low", Spec("greige-low", {FloorKind::PolishedTiles, WallFinish::Greige, 5200, 5800, 2600},
                                    {200, 400, 1150, 8, 4, -3, 66}),
                 RoomFace::BackWall};
    low.spec.cabinet = low.spec.door = true;
    // A wide white room with boards, seen from high up, furnished.
    RoomCase wide{"boards-wide", Spec("boards-wide", {FloorKind::WoodBoards, WallFinish::White, 6200, 5000, 2800},
                                      {-300, 300, 1700, 24, 10, 1, 68})};
    wide.spec.rug = wide.spec.sofa = true;
    // A carpeted sage room seen into its right-hand corner.
    RoomCase sage{"sage-carpet", Spec("sage-carpet", {FloorKind::PlainCarpet, WallFinish::Sage, 4400, 4800, 2500},
                                      {1100, 500, 1500, 15, -32, 0, 64}, RoomLight::Window)};
    sage.spec.table = sage.spec.cabinet = true;
    // A narrow white hall with a door, light tiles, no skirting.
    RoomCase hall{"white-hall", Spec("white-hall", {FloorKind::LightTiles, WallFinish::White, 2600, 8000, 2700},
                                     {0, 300, 1500, 12, -4, 0, 62}, RoomLight::Ceiling),
                  RoomFace::RightWall};
    hall.spec.skirting = false, hall.spec.door = true;
    std::vector<RoomCase> rooms{cream, low, wide, sage, hall};
    rooms.push_back(Copy(cream, "noisy", {.noise = 10, .jpegQuality = 45, .vignette = 0.2}));
    rooms.push_back(Copy(low, "dim", {.noise = 6, .exposure = 0.35}));
    rooms.push_back(Copy(wide, "portrait", {.noise = 4, .exifOrientation = 6}));
    rooms.push_back(Copy(hall, "lens", {.vignette = 0.3, .barrel = 0.03}));
    rooms.push_back(Copy(sage, "window", {.exposure = 1.3, .windowGlare = 1}));
    return rooms;
}

}  // namespace

std::vector<RoomCase> TuningRooms() {
    std::vector<RoomCase> rooms;
    RoomCase white{"white-straight", Spec("white-straight", {FloorKind::LightTiles, WallFinish::White, 5000, 6000, 2700},
                                          {0, 400, 1500, 18, 0, 0, 64})};
    white.spec.skirting = false, white.spec.cabinet = true;
    RoomCase corner{"corner-boards", Spec("corner-boards", {FloorKind::WoodBoards, WallFinish::Greige, 4600, 5500, 2700},
                                          {-1700, 900, 1500, 14, 40, 0, 64}, RoomLight::Window),
                    RoomFace::BackWall};
    corner.spec.sofa = true;
    RoomCase rolled{"rolled-tiles", Spec("rolled-tiles", {FloorKind::PolishedTiles, WallFinish::WarmWhite, 5000, 6000, 2700},
                                         {0, 400, 1400, 12, 0, 4, 64})};
    rolled.spec.table = rolled.spec.rug = true;
    RoomCase corridor{"corridor-white", Spec("corridor-white", {FloorKind::LightTiles, WallFinish::White, 1800, 9000, 2600},
                                             {0, 300, 1500, 8, 0, 0, 64}, RoomLight::Ceiling),
                      RoomFace::LeftWall};
    corridor.spec.door = true;
    RoomCase hall{"hall-high", Spec("hall-high", {FloorKind::DarkStone, WallFinish::Sage, 7000, 8000, 3000},
                                    {600, 500, 2000, 22, -8, 0, 70})};
    hall.spec.sofa = hall.spec.table = hall.spec.cabinet = hall.spec.rug = true;
    RoomCase small{"small-low", Spec("small-low", {FloorKind::PlainCarpet, WallFinish::Striped, 3200, 3600, 2500},
                                     {0, 300, 1000, 6, 0, 0, 72}, RoomLight::Ceiling),
                   RoomFace::BackWall};
    small.spec.cabinet = true;
    // Light floors against white walls without skirting, seen into a corner;
    // a furnished lounge; a deep carpeted room seen from high up.
    RoomCase pale{"pale-corner", Spec("pale-corner", {FloorKind::LightTiles, WallFinish::White, 4600, 5400, 2600},
                                      {-1400, 700, 1500, 15, 35, 2, 64})};
    pale.spec.skirting = false, pale.spec.rug = pale.spec.sofa = true;
    RoomCase lounge{"white-lounge", Spec("white-lounge", {FloorKind::LightTiles, WallFinish::WarmWhite, 5400, 6000, 2700},
                                         {-600, 500, 1650, 18, 12, 0, 66})};
    lounge.spec.sofa = lounge.spec.rug = lounge.spec.table = lounge.spec.cabinet = lounge.spec.door = true;
    RoomCase deep{"carpet-deep", Spec("carpet-deep", {FloorKind::PlainCarpet, WallFinish::White, 5800, 5200, 2700},
                                      {300, 300, 1700, 26, 5, 0, 68})};
    deep.spec.sofa = deep.spec.rug = true;
    RoomCase high{"carpet-raised", Spec("carpet-raised", {FloorKind::PlainCarpet, WallFinish::Greige, 6400, 4800, 2600},
                                        {-200, 300, 1800, 31, 0, 0, 70})};
    high.spec.sofa = high.spec.rug = high.spec.table = true;
    // Plain white walls without skirting over pale tiles, seen from low down
    // and turned, lit by the window alone: few lines to find the room by.
    RoomCase plain{"plain-low-turned", Spec("plain-low-turned", {FloorKind::PolishedTiles, WallFinish::White, 4600, 5200, 2600},
                                            {600, 500, 1150, 8, -24, 0, 66}, RoomLight::Window)};
    plain.spec.skirting = false, plain.spec.table = true;
    rooms = {white, corner, rolled, corridor, hall, small, pale, lounge, deep, high, plain};
    rooms.push_back(Copy(white, "noisy", {.noise = 10, .jpegQuality = 40}));
    rooms.push_back(Copy(pale, "noisy", {.noise = 12, .jpegQuality = 40, .vignette = 0.2}));
    rooms.push_back(Copy(corner, "lens", {.vignette = 0.35, .barrel = 0.03}));
    rooms.push_back(Copy(rolled, "dim", {.noise = 6, .exposure = 0.3}));
    rooms.push_back(Copy(white, "portrait", {.exifOrientation = 6}));
    for (RoomCase& room : EarlierHeldOutRooms()) rooms.push_back(std::move(room));
    for (RoomCase& room : SecondHeldOutRooms()) rooms.push_back(std::move(room));
    return rooms;
}

std::vector<RoomCase> HeldOutRooms() {
    // Warm white walls over light tiles, no skirting, seen from low down and
    // turned a little, a rug and a table, lit by the window alone.
    RoomCase warm{"warm-oblique", Spec("warm-oblique", {FloorKind::LightTiles, WallFinish::WarmWhite, 5000, 5600, 2600},
                                       {-500, 500, 1200, 9, 22, 0, 64}, RoomLight::Window)};
    warm.spec.skirting = false, warm.spec.rug = warm.spec.table = true;
    // A deep greige room over carpet, a sofa and a cabinet, the phone rolled.
    RoomCase deep{"greige-deep", Spec("greige-deep", {FloorKind::PlainCarpet, WallFinish::Greige, 4200, 7500, 2700},
                                      {300, 300, 1600, 14, -6, 2, 66}),
                  RoomFace::BackWall};
    deep.spec.sofa = deep.spec.cabinet = true;
    // White walls over boards seen into the left-hand corner, a door, a sofa and a rug.
    RoomCase corner{"boards-corner", Spec("boards-corner", {FloorKind::WoodBoards, WallFinish::White, 4600, 5000, 2700},
                                          {1300, 700, 1500, 16, -40, 0, 66})};
    corner.spec.sofa = corner.spec.rug = corner.spec.door = true;
    // A small sage room over light tiles, rolled the other way, under the ceiling's light.
    RoomCase small{"sage-small", Spec("sage-small", {FloorKind::LightTiles, WallFinish::Sage, 3400, 3800, 2500},
                                      {0, 300, 1350, 18, 10, -4, 70}, RoomLight::Ceiling),
                   RoomFace::LeftWall};
    small.spec.table = small.spec.cabinet = true;
    // A wide lounge on dark stone, seen from high up straight on.
    RoomCase lounge{"stone-lounge", Spec("stone-lounge", {FloorKind::DarkStone, WallFinish::WarmWhite, 6800, 5600, 2800},
                                         {0, 300, 1750, 24, 0, 0, 68})};
    lounge.spec.rug = lounge.spec.sofa = lounge.spec.table = lounge.spec.door = true;
    std::vector<RoomCase> rooms{warm, deep, corner, small, lounge};
    rooms.push_back(Copy(warm, "noisy", {.noise = 11, .jpegQuality = 40}));
    rooms.push_back(Copy(deep, "dim", {.noise = 6, .exposure = 0.32}));
    rooms.push_back(Copy(corner, "portrait", {.noise = 4, .exifOrientation = 8}));
    rooms.push_back(Copy(small, "lens", {.vignette = 0.3, .barrel = 0.03}));
    rooms.push_back(Copy(lounge, "window", {.exposure = 1.35, .windowGlare = 1}));
    return rooms;
}

std::vector<RoomSpec> LightRooms() {
    RoomSpec chequer = Spec("light-chequer", {FloorKind::Chequer, WallFinish::WarmWhite, 5000, 6000, 2700},
                            {300, 400, 1600, 36, -8, 0, 66}, RoomLight::Sunlit);
    RoomSpec boards = Spec("light-boards", {FloorKind::MixedBoards, WallFinish::White, 5000, 6000, 2700},
                           {600, 400, 1500, 33, -14, 0, 66}, RoomLight::Sunlit);
    RoomSpec terracotta = Spec("light-terracotta", {FloorKind::Terracotta, WallFinish::Greige, 5000, 6000, 2700},
                               {0, 400, 1700, 38, -4, 0, 66}, RoomLight::Sunlit);
    std::vector<RoomSpec> rooms{chequer, boards, terracotta};
    for (RoomSpec& room : rooms) room.sofa = room.table = true;
    return rooms;
}

Result<RenderedRoom> RenderCase(const RoomCase& room, const std::filesystem::path& dir, int width, int height) {
    auto rendered = RenderRoom(room.spec, dir, width, height, room.knownOn);
    if (!rendered || room.phone.plain()) return rendered;
    return PhoneCopy(*rendered, room.phone,
                     room.name + "-" + std::to_string(width) + "x" + std::to_string(height), dir);
}

}  // namespace v2d::demo
