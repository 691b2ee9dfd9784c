// vexel2d-cli find-room: the whole room of a photo (the floor, each wall
// seen, the ceiling) with each surface's plane, visible outline, rectangle
// and, from one known length anywhere in the room, real size; printed as JSON.
#include <cstdio>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/region_finding.h"
#include "cli/render_options.h"
#include "scene/photo_scheme.h"
#include "vision/room_finder.h"

namespace v2d::cli {
namespace {

constexpr const char* kUsage = "usage: vexel2d-cli find-room PHOTO.jpg [--at X,Y] [--length X1,Y1,X2,Y2,MM]\n";

struct FindRoomOptions {
    std::string photo;
    vision::RoomRequest request;
};

Result<FindRoomOptions> ParseFindRoomOptions(const Args& args) {
    FindRoomOptions o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--at" || a == "--length") {
            if (i + 1 >= args.size()) return Error{a + " needs a value"};
            const std::string& v = args[++i];
            if (a == "--at" && !(o.request.floorClick = ParsePoint(v))) return Error{"--at takes X,Y in photo pixels"};
            if (a == "--length" && !(o.request.length = ParseLengthFields(v)))
                return Error{"--length takes X1,Y1,X2,Y2,MM"};
        } else if (Status operand = TakeOperand(a, o.photo, "one photo only"); !operand.ok()) {
            return operand.failure();
        }
    }
    if (o.photo.empty()) return Error{"no photo given"};
    return o;
}

const char* KindName(vision::RoomSurfaceKind kind) {
    switch (kind) {
    case vision::RoomSurfaceKind::Floor: return "floor";
    case vision::RoomSurfaceKind::Wall: return "wall";
    case vision::RoomSurfaceKind::Ceiling: break;
    }
    return "ceiling";
}

}  // namespace

int RunFindRoom(const Args& args) {
    Result<FindRoomOptions> options = ParseFindRoomOptions(args);
    if (!options) return UsageFailure("find-room", options.error(), kUsage);
    const auto analysis = AnalysedPhoto(options->photo);
    if (!analysis) return Fail("find-room", analysis.error());
    const Result<vision::RoomLayout> room = FindRoom(**analysis, options->request);
    if (!room) return Fail("find-room", room.error());

    JsonWriter json;
    json.beginObject().field("width", int64_t{room->width}).field("height", int64_t{room->height});
    json.key("focal").number(room->camera.focal, 1).field("calibrated", room->calibrated()).key("surfaces").beginArray();
    for (const vision::RoomSurface& surface : room->surfaces) {
        json.beginObject().field("kind", KindName(surface.kind)).field("name", std::string_view(surface.name));
        json.key("plane");
        WriteRing(json, surface.plane);
        json.key("outline").beginArray();
        for (const vision::Ring& ring : surface.outline) WriteRing(json, ring);
        json.endArray().key("corners").beginArray();
        for (const V2d_Point& p : surface.corners) WritePoint(json, p);
        json.endArray();
        const std::array<double, 2> size = vision::SurfaceMillimetres(*room, surface);
        json.field("realWidth", int64_t{std::llround(size[0])}).field("realHeight", int64_t{std::llround(size[1])});
        json.endObject();
    }
    json.endArray().endObject();
    std::printf("%s\n", json.str().c_str());
    return 0;
}

}  // namespace v2d::cli
