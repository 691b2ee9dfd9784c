#pragma once
// Demo rooms: photograph-like pictures of rooms drawn by the program itself
// (floor, walls, ceiling, windows, wardrobes, cabinets and bookcases), with
// one region record per surface whose corners follow the drawn perspective.
#include <QImage>

#include "base/picture_codec.h"
#include "base/result.h"
#include "demo/room_geometry.h"
#include "scene/scene.h"

namespace v2d::demo {

// Width and height keep 4:3; every coordinate scales with the width.
QImage DrawRoom(const RoomGeometry& room, int width, int height);

// The room as a scene: background, one record per visible surface and
// cabinet front (real sizes in millimetres, outlines cut where something
// stands in front), the three walls grouped as "墙面".
Scene BuildRoomScene(const RoomGeometry& room, int width, int height);

// The thumbnail (200 x 150 JPEG) of a room whose regions hold nothing yet:
// its photograph, as the program shows such a scene.
Result<Bytes> BareRoomThumbnail(const Scene& room);

// The start scheme's room.
QImage DrawDemoRoom(int width = 1600, int height = 1200);
Scene BuildDemoRoomScene(int width = 1600, int height = 1200);

}  // namespace v2d::demo
