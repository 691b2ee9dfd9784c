#include "vision/room_region.h"

#include <algorithm>
#include <cmath>

namespace v2d::vision {

RegionOutline RegionOfFound(const std::string& name, const FoundSurface& found, int realWidth, int realHeight) {
    FlatRings flat = Flattened(found.rings);
    return RegionOutline{name, std::move(flat.points), realWidth, realHeight, found.corners, std::move(flat.ends)};
}

RegionOutline RegionOfSurface(const RoomLayout& room, const RoomSurface& surface) {
    const std::array<double, 2> size = SurfaceMillimetres(room, surface);
    const auto millimetres = [](double v) { return std::max(1, int(std::lround(std::min(v, 1e9)))); };
    FoundSurface found{surface.outline, surface.corners, room.camera.focal};
    return RegionOfFound(surface.name, found, millimetres(size[0]), millimetres(size[1]));
}

}  // namespace v2d::vision
