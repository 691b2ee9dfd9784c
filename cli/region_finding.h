#pragma once
// Surfaces found from clicks, as find-region and new-scheme --find take them:
// the clicks, an optional known length on the surface, the found outline
// sized from that length.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "cli/json_writer.h"
#include "vision/room_finder.h"
#include "vision/surface_finder.h"

namespace v2d::cli {

// A line of known millimetres on the surface: "X1,Y1,X2,Y2,MM".
struct KnownLength {
    V2d_Point a, b;
    int millimetres = 0;
};
std::optional<KnownLength> ParseKnownLength(const std::string& text);
// The same five numbers as a room's known length, its millimetres not yet
// checked (the room finder refuses a length of nought in its own words).
std::optional<vision::RoomLength> ParseLengthFields(const std::string& text);

// A room as find-room and new-scheme --room ask for it: "[X,Y][:X1,Y1,X2,Y2,MM]".
std::optional<vision::RoomRequest> ParseRoomRequest(const std::string& text);

struct RegionRequest {
    vision::SurfaceClicks clicks;
    std::optional<KnownLength> length;
};

struct FoundRegion {
    vision::FoundSurface surface;
    int realWidth = 0;  // 0 without a known length
    int realHeight = 0;
};

// The photo of the file, read as new-scheme reads it, and its analysis.
Result<std::shared_ptr<const vision::PhotoAnalysis>> AnalysedPhoto(const std::string& path);

// A photo point as [x, y] and a ring as [[x, y], ...].
void WritePoint(JsonWriter& json, V2d_Point p);
void WriteRing(JsonWriter& json, const vision::Ring& ring);

// Finds the surface on the analysed photo and sizes it; refused with the finder's or the
// calibration's message.
Result<FoundRegion> FindRegion(const vision::PhotoAnalysis& photo, const RegionRequest& request);

}  // namespace v2d::cli
