#pragma once
// A found surface as a scheme's region: its outline rings, its corners and
// its real size, as the outline tool and the command line write them.
#include <string>

#include "scene/photo_scheme.h"
#include "vision/room_finder.h"
#include "vision/surface_finder.h"

namespace v2d::vision {

// The surface of a found room as a region named as the finder names it,
// sized as SurfaceMillimetres() sizes it.
RegionOutline RegionOfSurface(const RoomLayout& room, const RoomSurface& surface);

// A surface found by clicks as a region of the given name and size (millimetres).
RegionOutline RegionOfFound(const std::string& name, const FoundSurface& found, int realWidth, int realHeight);

}  // namespace v2d::vision
