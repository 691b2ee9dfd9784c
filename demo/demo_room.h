#pragma once
// The demo room: a photograph-like picture of a room drawn by the program
// itself (floor, three walls, ceiling, a wardrobe front, a window), with one
// region record per surface whose corners follow the drawn perspective.
#include <QImage>

#include "scene/scene.h"

namespace v2d::demo {

// Width and height keep 4:3; every coordinate scales with the width.
QImage DrawDemoRoom(int width = 1600, int height = 1200);

// The start scene: background, one record per surface (real sizes in
// millimetres), the walls grouped, and the left wall warped through a mesh.
Scene BuildDemoRoomScene(int width = 1600, int height = 1200);

}  // namespace v2d::demo
