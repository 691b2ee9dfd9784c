#pragma once
// The rooms the room finder is tuned on and the rooms held out to judge it
// (rooms once held out and since looked at are tuning rooms):
// each set varies what customers' photos vary (floors and walls alike in
// colour, a rolled camera, corner and straight-on views, a long corridor,
// sizes and camera heights, clutter, phone-like copies), but no scene of
// one set is in the other.
#include <filesystem>
#include <string>
#include <vector>

#include "demo/rendered_rooms.h"
#include "demo/room_phone.h"

namespace v2d::demo {

struct RoomCase {
    std::string name;  // the scene's name, or the copy's
    RoomSpec spec;
    RoomFace knownOn = RoomFace::Floor;  // where the known length lies
    PhoneLook phone;                     // plain: the render itself
};

std::vector<RoomCase> TuningRooms();
std::vector<RoomCase> HeldOutRooms();

// Rooms whose old floor's pattern would show through a product laid on it:
// a black and white chequer, boards of mixed tones and terracotta, each in
// the sun through the left wall's window with a sofa and a table casting
// shadows. Each has a plain twin (PlainTwin) under the same light.
std::vector<RoomSpec> LightRooms();

// Renders the case's scene (cached in `dir` as RenderRoom does) and makes
// its phone copy, if any.
Result<RenderedRoom> RenderCase(const RoomCase& room, const std::filesystem::path& dir, int width, int height);

}  // namespace v2d::demo
