// vexel2d-cli new-scheme: a scheme made from a user's own photo, its regions
// given as outlines on the command line, without a display.
#include <cctype>
#include <cstdio>

#include "base/integer_text.h"
#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/region_finding.h"
#include "cli/render_options.h"
#include "library/pub_functions.h"
#include "scene/photo_scheme.h"
#include "scene/scheme_file.h"
#include "vision/room_region.h"

namespace v2d::cli {
namespace {

constexpr const char* kUsage =
    "usage: vexel2d-cli new-scheme PHOTO.jpg -o OUT.v2d --region \"NAME:x1,y1;x2,y2;...:WIDTHxHEIGHT[:x,y;x,y;x,y;x,y]\" ...\n"
    "                              --find \"NAME:X,Y[:X1,Y1,X2,Y2,MM]\" ...\n"
    "                              --room [X,Y][:X1,Y1,X2,Y2,MM]  (every surface of the room; unsized, as if\n"
    "                              the photo was taken 1.5 m above the floor)\n"
    "                              [--light photo|room]  (the light the regions take; the room's by default:\n"
    "                              the old surface's pattern does not show through what is laid)\n";

std::optional<std::vector<V2d_Point>> ParsePoints(const std::string& text) {
    std::vector<V2d_Point> points;
    for (const std::string& pair : SplitText(text, ";")) {
        if (pair.empty()) continue;
        const std::vector<std::string> xy = SplitText(pair, ",");
        if (xy.size() != 2) return std::nullopt;
        const std::optional<int> x = ParseInt(xy[0]), y = ParseInt(xy[1]);
        if (!x || !y) return std::nullopt;
        points.push_back({*x, *y});
    }
    return points;
}

// "NAME:POINTS:WxH[:CORNERS]"; the corners may carry the word "corners" in front.
Result<RegionOutline> ParseRegion(const std::string& text) {
    const Error bad{"bad --region \"" + text + "\": expected NAME:x1,y1;x2,y2;...:WIDTHxHEIGHT[:x,y;x,y;x,y;x,y]"};
    const std::vector<std::string> fields = SplitText(text, ":");
    if (fields.size() < 3 || fields.size() > 4 || fields[0].empty()) return bad;
    RegionOutline outline;
    outline.name = fields[0];
    std::optional<std::vector<V2d_Point>> points = ParsePoints(fields[1]);
    if (!points) return bad;
    outline.points = std::move(*points);
    const std::vector<std::string> size = SplitText(fields[2], "x");
    if (size.size() != 2) return bad;
    const std::optional<int> w = ParseInt(size[0]), h = ParseInt(size[1]);
    if (!w || !h) return bad;
    outline.realWidth = *w;
    outline.realHeight = *h;
    if (fields.size() == 4) {
        std::string cornerText = fields[3];
        if (cornerText.rfind("corners", 0) == 0) cornerText = cornerText.substr(7);
        std::optional<std::vector<V2d_Point>> corners = ParsePoints(cornerText);
        if (!corners || corners->size() != 4) return Error{bad.message + " (four corners)"};
        outline.corners = Quad{(*corners)[0], (*corners)[1], (*corners)[2], (*corners)[3]};
    }
    return outline;
}

// "NAME:X,Y[:X1,Y1,X2,Y2,MM]": the surface under a click, sized by a known length.
struct FindSpec {
    std::string name;
    RegionRequest request;
};

Result<FindSpec> ParseFind(const std::string& text) {
    const Error bad{"bad --find \"" + text + "\": expected NAME:X,Y[:X1,Y1,X2,Y2,MM]"};
    const std::vector<std::string> fields = SplitText(text, ":");
    if (fields.size() < 2 || fields.size() > 3 || fields[0].empty()) return bad;
    FindSpec spec{fields[0], {}};
    const std::optional<V2d_Point> at = ParsePoint(fields[1]);
    if (!at) return bad;
    spec.request.clicks.inside.push_back(*at);
    if (fields.size() == 3 && !(spec.request.length = ParseKnownLength(fields[2]))) return bad;
    return spec;
}

struct NewSchemeOptions {
    std::string photo, output;
    std::vector<RegionOutline> regions;
    std::vector<FindSpec> finds;
    std::optional<vision::RoomRequest> room;
    LightMode light = LightMode::Room;
};

// The value of --room is optional: the next argument when it reads as one.
bool RoomValue(const std::string& text) { return !text.empty() && (text[0] == ':' || std::isdigit(static_cast<unsigned char>(text[0]))); }

Result<NewSchemeOptions> ParseNewSchemeOptions(const Args& args) {
    NewSchemeOptions o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if ((a == "-o" || a == "--region" || a == "--find" || a == "--light") && i + 1 >= args.size())
            return Error{a + " needs a value"};
        if (a == "-o") {
            o.output = args[++i];
        } else if (a == "--region") {
            Result<RegionOutline> region = ParseRegion(args[++i]);
            if (!region) return Error{region.error()};
            o.regions.push_back(std::move(*region));
        } else if (a == "--find") {
            Result<FindSpec> find = ParseFind(args[++i]);
            if (!find) return Error{find.error()};
            o.finds.push_back(std::move(*find));
        } else if (a == "--light") {
            if (!ParseLightModeWord(args[++i], o.light)) return Error{"--light needs photo or room"};
        } else if (a == "--room") {
            if (o.room) return Error{"--room given twice"};
            const bool valued = i + 1 < args.size() && RoomValue(args[i + 1]) && !o.photo.empty();
            o.room = valued ? ParseRoomRequest(args[++i]) : vision::RoomRequest{};
            if (!o.room) return Error{"bad --room \"" + args[i] + "\": expected [X,Y][:X1,Y1,X2,Y2,MM]"};
        } else if (Status operand = TakeOperand(a, o.photo, "one photo only"); !operand.ok()) {
            return operand.failure();
        }
    }
    if (o.photo.empty()) return Error{"no photo given"};
    if (o.output.empty()) return Error{"no output given (-o)"};
    return o;
}

}  // namespace

int RunNewScheme(const Args& args) {
    Result<NewSchemeOptions> options = ParseNewSchemeOptions(args);
    if (!options) return UsageFailure("new-scheme", options.error(), kUsage);
    Result<QImage> photo = ReadPhoto(options->photo);
    if (!photo) return Fail("new-scheme", photo.error());
    // Every region is found and checked before anything is written.
    std::vector<RegionOutline> outlines = options->regions;
    if (!options->finds.empty() || options->room) {
        const auto analysis = vision::PhotoAnalysis::Of(*photo);  // one for every find
        if (!analysis) return Fail("new-scheme", analysis.error());
        if (options->room) {
            const Result<vision::RoomLayout> room = vision::FindRoom(**analysis, *options->room);
            if (!room) return Fail("new-scheme", room.error());
            for (const vision::RoomSurface& surface : room->surfaces)
                outlines.push_back(vision::RegionOfSurface(*room, surface));
        }
        for (const FindSpec& spec : options->finds) {
            if (!spec.request.length)
                return Fail("new-scheme", "区域“" + spec.name + "”的实际宽度和高度必须大于0。" +
                                              "请在 --find 中给出一条已知长度：NAME:X,Y:X1,Y1,X2,Y2,MM");
            Result<FoundRegion> found = FindRegion(**analysis, spec.request);
            if (!found) return Fail("new-scheme", "区域“" + spec.name + "”：" + found.error());
            outlines.push_back(vision::RegionOfFound(spec.name, found->surface, found->realWidth, found->realHeight));
        }
    }
    Scene scene;
    scene.background = std::move(*photo);
    for (RegionOutline& outline : outlines) {
        outline.light = options->light;
        Result<PolygonPtr> record = NewRegionRecord(outline, scene.background.size());
        if (!record) return Fail("new-scheme", record.error());
        scene.Append(std::move(*record));
    }
    if (Status written = WriteSchemeFile(scene, options->output); !written)
        return Fail("new-scheme", options->output + ": " + written.error());
    return 0;
}

}  // namespace v2d::cli
