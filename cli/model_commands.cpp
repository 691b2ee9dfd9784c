// vexel2d-cli add-model: a model file placed into a scheme as a drop on the
// scene would place it, free or fitted into a region at its real size.
#include <cstdio>

#include "base/integer_text.h"
#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/render_options.h"
#include "document/scene_document.h"
#include "library/pub_functions.h"
#include "scene/model_file.h"
#include "scene/outline_geometry.h"

namespace v2d::cli {
namespace {

constexpr const char* kUsage =
    "usage: vexel2d-cli add-model SCHEME.v2d MODEL.c2d -o OUT.v2d [--at X,Y] [--region NAME|INDEX]\n";

struct AddModelOptions {
    std::string scheme, model, output, region;
    std::optional<V2d_Point> at;
};

Result<AddModelOptions> ParseAddModelOptions(const Args& args) {
    AddModelOptions o;
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if ((a == "-o" || a == "--at" || a == "--region") && !hasValue) return Error{a + " needs a value"};
        if (a == "-o") {
            o.output = args[++i];
        } else if (a == "--at") {
            o.at = ParsePoint(args[++i]);
            if (!o.at) return Error{"--at takes X,Y in picture pixels"};
        } else if (a == "--region") {
            o.region = args[++i];
        } else if (!a.empty() && a[0] == '-') {
            return Error{"unknown option " + a};
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 2) return Error{"a scheme and a model file are needed"};
    if (o.output.empty()) return Error{"no output given (-o)"};
    o.scheme = files[0];
    o.model = files[1];
    return o;
}

V2d_Point CentreOf(const PixelBox& box) { return {box.minX + box.width() / 2, box.minY + box.height() / 2}; }

// The drop: into the named region at the point (its box's centre by
// default), or free at the point (the scene's centre by default).
Result<ModelDrop> DropFor(const SceneDocument& doc, const AddModelOptions& options) {
    ModelDrop drop;
    drop.modelFile = options.model;
    const QImage& background = doc.scene().background;
    drop.point = options.at.value_or(V2d_Point{background.width() / 2, background.height() / 2});
    if (options.region.empty()) return drop;
    Result<std::vector<int>> regions = ResolveRegions(doc.scene(), options.region);
    if (!regions) return Error{regions.error()};
    if (regions->size() != 1) return Error{"--region names one region"};
    const V2dPolygon& region = *doc.scene().at(regions->front());
    if (region.kind != RecordKind::Region) return Error{"\"" + options.region + "\" is not a region"};
    drop.target = regions->front();
    drop.fitIntoRegion = true;
    if (!options.at) drop.point = CentreOf(OutlineBox(region));
    return drop;
}

}  // namespace

int RunAddModel(const Args& args) {
    Result<AddModelOptions> options = ParseAddModelOptions(args);
    if (!options) return UsageFailure("add-model", options.error(), kUsage);
    ImageLibrary library;
    if (Status loaded = LoadImageLibrary(library); !loaded) return Fail("add-model", loaded.error());
    SceneDocument doc(library);
    if (Outcome opened = doc.OpenScheme(options->scheme); opened.refused())
        return Fail("add-model", options->scheme + ": " + opened.error());
    Result<ModelDrop> drop = DropFor(doc, *options);
    if (!drop) return Fail("add-model", drop.error());
    Outcome placed = doc.DropModel(*drop);
    if (placed.refused()) return Fail("add-model", options->model + ": " + placed.error());
    if (*placed < 0) return Fail("add-model", options->model + ": " + kMsgModelMissing);
    if (Outcome saved = doc.SaveScheme(options->output); saved.refused())
        return Fail("add-model", options->output + ": " + saved.error());
    return 0;
}

}  // namespace v2d::cli

// vexel2d-cli model: one operation of the model menu on record N (its
// position as `info` lists it), the result written as a new scheme.
namespace v2d::cli {
namespace {

constexpr const char* kModelUsage =
    "usage: vexel2d-cli model SCHEME.v2d --record N (--mirror-x | --mirror-y | --reset | --copy | --delete |"
    " --frame next|prev) -o OUT.v2d\n";

struct ModelOptions {
    std::string scheme, output, operation;
    int record = -1;
    int frameStep = 0;
};

Result<ModelOptions> ParseModelOptions(const Args& args) {
    ModelOptions o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if ((a == "-o" || a == "--record" || a == "--frame") && !hasValue) return Error{a + " needs a value"};
        if (a == "-o") {
            o.output = args[++i];
        } else if (a == "--record") {
            const std::optional<int> n = ParseInt(args[++i]);
            if (!n || *n < 0) return Error{"--record takes a position from 0"};
            o.record = *n;
        } else if (a == "--mirror-x" || a == "--mirror-y" || a == "--reset" || a == "--copy" || a == "--delete" ||
                   a == "--frame") {
            if (!o.operation.empty()) return Error{"one operation at a time"};
            o.operation = a;
            if (a == "--frame") {
                const std::string& way = args[++i];
                if (way != "next" && way != "prev") return Error{"--frame takes next or prev"};
                o.frameStep = way == "next" ? 1 : -1;
            }
        } else if (Status operand = TakeOperand(a, o.scheme, "one scheme only"); !operand.ok()) {
            return operand.failure();
        }
    }
    if (o.scheme.empty()) return Error{"no scheme given"};
    if (o.record < 0) return Error{"no record given (--record N)"};
    if (o.operation.empty()) return Error{"no operation given"};
    if (o.output.empty()) return Error{"no output given (-o)"};
    return o;
}

// The operation on the selected record; the refusal when it does not apply.
Status ApplyModelOperation(SceneDocument& doc, const ModelOptions& o) {
    const std::string which = "record " + std::to_string(o.record);
    if (o.operation == "--delete") return doc.DeleteSelection(nullptr).status();
    if (o.operation == "--mirror-x" || o.operation == "--mirror-y") {
        const MirrorAxis axis = o.operation == "--mirror-x" ? MirrorAxis::X : MirrorAxis::Y;
        return doc.MirrorSelected(axis).done() ? Status::Ok() : Error{which + " is not a picture model"};
    }
    if (o.operation == "--reset") return doc.ResetSelected().done() ? Status::Ok() : Error{which + " cannot be reset"};
    if (o.operation == "--copy") return doc.CopyFocusedModel().done() ? Status::Ok() : Error{which + " is not a model"};
    return doc.StepFocusedFrame(o.frameStep).done() ? Status::Ok()
                                                    : Error{which + " is not a cut-out model with two or more frames"};
}

}  // namespace

int RunModel(const Args& args) {
    Result<ModelOptions> options = ParseModelOptions(args);
    if (!options) {
        std::fprintf(stderr, "vexel2d-cli model: %s\n%s", options.error().c_str(), kModelUsage);
        return 2;
    }
    ImageLibrary library;
    if (Status loaded = LoadImageLibrary(library); !loaded) return Fail("model", loaded.error());
    SceneDocument doc(library);
    if (Outcome opened = doc.OpenScheme(options->scheme); opened.refused())
        return Fail("model", options->scheme + ": " + opened.error());
    if (options->record >= doc.scene().count())
        return Fail("model", "record " + std::to_string(options->record) + " is past the last record (" +
                                 std::to_string(doc.scene().count()) + " records)");
    doc.Select(options->record);
    if (Status applied = ApplyModelOperation(doc, *options); !applied) return Fail("model", applied.error());
    if (Outcome saved = doc.SaveScheme(options->output); saved.refused())
        return Fail("model", options->output + ": " + saved.error());
    return 0;
}

}  // namespace v2d::cli
