#include "cli/region_finding.h"

#include "base/integer_text.h"
#include "library/pub_functions.h"
#include "vision/perspective.h"

namespace v2d::cli {

std::optional<KnownLength> ParseKnownLength(const std::string& text) {
    const std::vector<std::string> pieces = SplitText(text, ",");
    if (pieces.size() != 5) return std::nullopt;
    int numbers[5];
    for (int i = 0; i < 5; ++i) {
        const std::optional<int> n = ParseInt(pieces[i]);
        if (!n) return std::nullopt;
        numbers[i] = *n;
    }
    if (numbers[4] <= 0) return std::nullopt;
    return KnownLength{{numbers[0], numbers[1]}, {numbers[2], numbers[3]}, numbers[4]};
}

Result<FoundRegion> FindRegion(const vision::PhotoAnalysis& photo, const RegionRequest& request) {
    Result<vision::FoundSurface> surface = vision::FindSurface(photo, request.clicks);
    if (!surface) return Error{surface.error()};
    FoundRegion found{std::move(*surface)};
    if (request.length) {
        const KnownLength& known = *request.length;
        const auto point = [](V2d_Point p) { return cv::Point2d{double(p.x), double(p.y)}; };
        Result<vision::RealSize> size = vision::SizeFromKnownLength(found.surface.corners, photo.size(),
                                                                    point(known.a), point(known.b), known.millimetres,
                                                                    found.surface.focal);
        if (!size) return Error{size.error()};
        found.realWidth = size->width;
        found.realHeight = size->height;
    }
    return found;
}

RegionOutline OutlineOfFound(const std::string& name, const FoundRegion& found) {
    vision::FlatRings flat = vision::Flattened(found.surface.rings);
    return RegionOutline{name, std::move(flat.points), found.realWidth, found.realHeight, found.surface.corners,
                         std::move(flat.ends)};
}

}  // namespace v2d::cli
