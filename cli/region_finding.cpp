#include "cli/region_finding.h"

#include <array>

#include "base/integer_text.h"
#include "cli/render_options.h"
#include "scene/photo_scheme.h"
#include "library/pub_functions.h"
#include "vision/perspective.h"

namespace v2d::cli {

namespace {

std::optional<std::array<int, 5>> FiveNumbers(const std::string& text) {
    const std::vector<std::string> pieces = SplitText(text, ",");
    if (pieces.size() != 5) return std::nullopt;
    std::array<int, 5> numbers{};
    for (int i = 0; i < 5; ++i) {
        const std::optional<int> n = ParseInt(pieces[i]);
        if (!n) return std::nullopt;
        numbers[i] = *n;
    }
    return numbers;
}

}  // namespace

std::optional<KnownLength> ParseKnownLength(const std::string& text) {
    const auto n = FiveNumbers(text);
    if (!n || (*n)[4] <= 0) return std::nullopt;
    return KnownLength{{(*n)[0], (*n)[1]}, {(*n)[2], (*n)[3]}, (*n)[4]};
}

std::optional<vision::RoomLength> ParseLengthFields(const std::string& text) {
    const auto n = FiveNumbers(text);
    if (!n) return std::nullopt;
    return vision::RoomLength{{(*n)[0], (*n)[1]}, {(*n)[2], (*n)[3]}, double((*n)[4])};
}

std::optional<vision::RoomRequest> ParseRoomRequest(const std::string& text) {
    vision::RoomRequest request;
    const size_t colon = text.find(':');
    const std::string at = text.substr(0, colon);
    if (!at.empty() && !(request.floorClick = ParsePoint(at))) return std::nullopt;
    if (colon != std::string::npos && !(request.length = ParseLengthFields(text.substr(colon + 1)))) return std::nullopt;
    return request;
}

Result<std::shared_ptr<const vision::PhotoAnalysis>> AnalysedPhoto(const std::string& path) {
    Result<QImage> photo = ReadPhoto(path);
    if (!photo) return photo.failure();
    return vision::PhotoAnalysis::Of(*photo);
}

void WritePoint(JsonWriter& json, V2d_Point p) { json.beginArray().value(int64_t{p.x}).value(int64_t{p.y}).endArray(); }

void WriteRing(JsonWriter& json, const vision::Ring& ring) {
    json.beginArray();
    for (const V2d_Point& p : ring) WritePoint(json, p);
    json.endArray();
}

Result<FoundRegion> FindRegion(const vision::PhotoAnalysis& photo, const RegionRequest& request) {
    Result<vision::FoundSurface> surface = vision::FindSurface(photo, request.clicks);
    if (!surface) return Error{surface.error()};
    FoundRegion found{std::move(*surface)};
    if (request.length) {
        const KnownLength& known = *request.length;
        const auto point = [](V2d_Point p) { return cv::Point2d{double(p.x), double(p.y)}; };
        const auto size = vision::SizeFromKnownLength(found.surface.corners, photo.size(),
                                                                    point(known.a), point(known.b), known.millimetres,
                                                                    found.surface.focal);
        if (!size) return Error{size.error()};
        found.realWidth = size->width;
        found.realHeight = size->height;
    }
    return found;
}

}  // namespace v2d::cli
