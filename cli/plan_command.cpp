// plan SCHEME.v2d --region NAME|INDEX -o PLAN.svg: the laying plan of one
// tiled region as an SVG drawing, written whole or not at all; prints the
// file and the counts as JSON.
#include <cstdio>
#include <span>

#include "base/atomic_file.h"
#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/render_options.h"
#include "layout/laying_plan.h"
#include "scene/scheme_file.h"

namespace v2d::cli {
namespace {

constexpr const char* kUsage = "usage: vexel2d-cli plan SCHEME.v2d --region NAME|INDEX -o PLAN.svg\n";

}  // namespace

int RunPlan(const Args& args) {
    std::string scheme, region, output;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--region" && hasValue) region = args[++i];
        else if (a == "-o" && hasValue) output = args[++i];
        else if (Status operand = TakeOperand(a, scheme, "unexpected argument " + a); !operand)
            return UsageFailure("plan", operand.error(), kUsage);
    }
    if (scheme.empty()) return UsageFailure("plan", "no scheme file given", kUsage);
    if (region.empty()) return UsageFailure("plan", "no region given (--region)", kUsage);
    if (output.empty()) return UsageFailure("plan", "no output given (-o)", kUsage);

    const Result<SchemeFile> file = ReadSchemeFile(scheme);
    if (!file) return Fail("plan", scheme + ": " + file.error());
    const Result<std::vector<int>> found = ResolveRegions(file->scene, region);
    if (!found) return Fail("plan", found.error());
    if (found->size() != 1) return UsageFailure("plan", "--region takes one region", kUsage);
    const Result<LayingPlan> plan = MakeLayingPlan(file->scene, found->front());
    if (!plan) return Fail("plan", plan.error());
    const std::string svg = LayingPlanSvg(*plan);
    if (!WriteFileAtomically(output, std::span(reinterpret_cast<const uint8_t*>(svg.data()), svg.size())))
        return Fail("plan", "cannot write " + output);
    JsonWriter json;
    json.beginObject()
        .field("plan", std::string_view(output))
        .field("region", std::string_view(plan->regionName))
        .field("whole", static_cast<int64_t>(plan->whole))
        .field("cut", static_cast<int64_t>(plan->cut))
        .endObject();
    std::printf("%s\n", json.str().c_str());
    return 0;
}

}  // namespace v2d::cli
