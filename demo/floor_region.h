#pragma once
// A rendered room's floor as new-scheme --region takes it: the outline of
// the visible floor and a true rectangle on the floor seen through the
// room's camera, so a product is laid in true perspective.
#include <optional>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "demo/rendered_rooms.h"

namespace v2d::demo {

struct FloorRegion {
    std::vector<V2d_Point> outline;
    Quad corners{};  // top-left, top-right, bottom-right, bottom-left in the photo
    int widthMm = 0, heightMm = 0;  // the rectangle's top side and its left side
};

// The outer boundary of the largest visible part of the floor (what stands
// inside it included) and the smallest rectangle on the floor, its sides
// along the room's and in whole millimetres, that holds the outline with
// `marginMm` to spare (a product is laid within the corners only; they may
// lie outside the photo). None without a floor in sight.
std::optional<FloorRegion> FloorRegionOf(const RenderedRoom& room, double marginMm = 200);

// "NAME:x,y;x,y;...:WxH:x,y;x,y;x,y;x,y", the value of new-scheme --region.
std::string RegionArgument(const std::string& name, const FloorRegion& region);

}  // namespace v2d::demo
