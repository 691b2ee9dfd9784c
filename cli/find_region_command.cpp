// vexel2d-cli find-region: the surface under one or more clicks on a photo,
// its outline with holes, a rectangle on its plane and, from one known
// length, its real size; printed as JSON.
#include <cstdio>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/region_finding.h"
#include "cli/render_options.h"
#include "scene/photo_scheme.h"

namespace v2d::cli {
namespace {

constexpr const char* kUsage =
    "usage: vexel2d-cli find-region PHOTO.jpg --at X,Y [--at X,Y ...] [--not X,Y ...] [--length X1,Y1,X2,Y2,MM]\n";

struct FindRegionOptions {
    std::string photo;
    RegionRequest request;
};

Result<FindRegionOptions> ParseFindRegionOptions(const Args& args) {
    FindRegionOptions o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--at" || a == "--not" || a == "--length") {
            if (i + 1 >= args.size()) return Error{a + " needs a value"};
            const std::string& v = args[++i];
            if (a == "--length") {
                if (!(o.request.length = ParseKnownLength(v))) return Error{"--length takes X1,Y1,X2,Y2,MM (MM > 0)"};
                continue;
            }
            const std::optional<V2d_Point> point = ParsePoint(v);
            if (!point) return Error{a + " takes X,Y in photo pixels"};
            (a == "--at" ? o.request.clicks.inside : o.request.clicks.outside).push_back(*point);
        } else if (Status operand = TakeOperand(a, o.photo, "one photo only"); !operand.ok()) {
            return operand.failure();
        }
    }
    if (o.photo.empty()) return Error{"no photo given"};
    if (o.request.clicks.inside.empty()) return Error{"--at is needed"};
    return o;
}

}  // namespace

int RunFindRegion(const Args& args) {
    Result<FindRegionOptions> options = ParseFindRegionOptions(args);
    if (!options) return UsageFailure("find-region", options.error(), kUsage);
    const auto analysis = AnalysedPhoto(options->photo);
    if (!analysis) return Fail("find-region", analysis.error());
    Result<FoundRegion> found = FindRegion(**analysis, options->request);
    if (!found) return Fail("find-region", found.error());

    JsonWriter json;
    json.beginObject().key("outline").beginArray();
    for (const vision::Ring& ring : found->surface.rings) WriteRing(json, ring);
    json.endArray().key("corners").beginArray();
    for (const V2d_Point& p : found->surface.corners) WritePoint(json, p);
    json.endArray();
    json.field("realWidth", int64_t{found->realWidth}).field("realHeight", int64_t{found->realHeight}).endObject();
    std::printf("%s\n", json.str().c_str());
    return 0;
}

}  // namespace v2d::cli
