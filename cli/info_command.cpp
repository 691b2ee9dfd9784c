// vexel2d-cli info FILE.v2d: a scheme file as one JSON object.
#include <algorithm>
#include <cstdio>

#include "base/atomic_file.h"

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "scene/model_file.h"
#include "scene/scheme_file.h"

namespace v2d::cli {
namespace {

void WritePoint(JsonWriter& json, const V2d_Point& p) {
    json.beginArray().value(int64_t(p.x)).value(int64_t(p.y)).endArray();
}

void WriteSize(JsonWriter& json, std::string_view name, const QImage& image) {
    json.key(name);
    if (image.isNull()) {
        json.null();
        return;
    }
    json.beginObject().field("width", int64_t(image.width())).field("height", int64_t(image.height())).endObject();
}

void WriteRecord(JsonWriter& json, const Scene& scene, const V2dPolygon& r) {
    json.beginObject();
    json.field("name", r.name);
    json.field("pointCount", int64_t(r.pointCount()));
    json.field("realWidth", int64_t(r.realWidth));
    json.field("realHeight", int64_t(r.realHeight));
    json.key("points").beginArray();
    for (const V2d_Point& p : r.points) WritePoint(json, p);
    json.endArray();
    json.key("corners").beginArray();
    for (const V2d_Point& p : r.corners) WritePoint(json, p);
    json.endArray();
    json.field("indexCount", int64_t(r.indexCount()));
    json.key("indexList").beginArray();
    for (int32_t v : r.indexList) json.value(int64_t(v));
    json.endArray();
    json.field("lighten", int64_t(r.lighten));
    json.field("pictureSize", int64_t(r.pictureSize));
    json.field("reflect", int64_t(r.reflect));
    json.field("partsInfo", r.partsInfo.text());
    json.field("blurRadius", int64_t(r.blurRadius));
    json.field("kind", int64_t(r.kind));
    json.field("originX", int64_t(r.originX));
    json.field("originY", int64_t(r.originY));
    json.field("sourcePictureSize", int64_t(r.sourcePictureSize));
    json.field("scaleX", int64_t(r.scaleX));
    json.field("scaleY", int64_t(r.scaleY));
    json.field("toneEnabled", int64_t(r.toneEnabled));
    json.key("group");
    if (r.group)
        json.value(int64_t(scene.IndexOfPolygon(r.group)));
    else
        json.null();
    json.field("castShadow", int64_t(r.castShadow));
    json.field("shadowX", int64_t(r.shadowX));
    json.field("shadowY", int64_t(r.shadowY));
    json.field("shadowRadius", int64_t(r.shadowRadius));
    json.field("shadowColor", int64_t(r.shadowColor));
    WriteSize(json, "picture", r.picture);
    WriteSize(json, "sourcePicture", r.sourcePicture);
    json.key("frames");
    if (const V2dPolygonEx* frames = scene.FrameSetOf(&r))
        json.beginObject()
            .field("count", int64_t(frames->frames.size()))
            .field("current", int64_t(frames->current))
            .endObject();
    else
        json.null();
    json.key("mesh");
    if (const V2dPolygonMesh* mesh = scene.MeshOf(&r))
        json.beginObject().field("rows", int64_t(mesh->rows)).field("cols", int64_t(mesh->cols)).endObject();
    else
        json.null();
    json.endObject();
}

void WriteRecords(JsonWriter& json, const Scene& scene) {
    json.key("records").beginArray();
    for (const V2dPolygon* record : scene.records()) WriteRecord(json, scene, *record);
    json.endArray();
}

bool IsModelFile(const Bytes& bytes) {
    return bytes.size() >= 4 && std::equal(kModelSignature, kModelSignature + 4, bytes.begin());
}

template <class File>
int PrintInfo(const std::string& path, Result<File> file, std::string (*toJson)(File&&)) {
    if (!file) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), file.error().c_str());
        return 1;
    }
    std::printf("%s\n", toJson(std::move(*file)).c_str());
    return 0;
}

std::string SchemeJson(SchemeFile&& file) { return SchemeInfoJson(file); }

// A model file as the scheme's JSON without the background: the records as
// they load (before an owner is made), frames with the single cut-out record.
std::string ModelInfoJson(ModelFile&& file) {
    Scene scene;
    for (PolygonPtr& record : file.records) scene.Append(std::move(record));
    if (file.frames) scene.AddFrameSet(std::move(file.frames));
    JsonWriter json;
    json.beginObject();
    json.field("signature", std::string_view(kModelSignature, 4));
    json.field("version", int64_t(file.version));
    WriteRecords(json, scene);
    json.endObject();
    return json.str();
}

}  // namespace

std::string SchemeInfoJson(const SchemeFile& file) {
    const Scene& scene = file.scene;
    JsonWriter json;
    json.beginObject();
    json.field("signature", file.signature);
    json.field("version", int64_t(file.version));
    json.key("background").beginObject();
    json.field("type", int64_t(file.backgroundType));
    json.field("width", int64_t(scene.background.isNull() ? 0 : scene.background.width()));
    json.field("height", int64_t(scene.background.isNull() ? 0 : scene.background.height()));
    json.field("length", int64_t(file.backgroundLength));
    json.endObject();
    WriteRecords(json, scene);
    json.key("groups").beginArray();
    for (const V2dGroupPL& group : scene.groups()) {
        json.beginObject().field("name", group.name).key("members").beginArray();
        for (const V2dPolygon* member : group.members) json.value(int64_t(scene.IndexOfPolygon(member)));
        json.endArray().endObject();
    }
    json.endArray();
    json.endObject();
    return json.str();
}

int RunInfo(const Args& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: vexel2d-cli info FILE.v2d|FILE.c2d\n");
        return 2;
    }
    const std::optional<Bytes> bytes = ReadWholeFile(args[0]);
    if (bytes && IsModelFile(*bytes)) return PrintInfo(args[0], ParseModelFile(*bytes), ModelInfoJson);
    Result<SchemeFile> scheme = bytes ? ParseScheme(*bytes) : Result<SchemeFile>(Error{kMsgBadFormat});
    return PrintInfo(args[0], std::move(scheme), SchemeJson);
}

int RunConvert(const Args& args) {
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: vexel2d-cli convert IN.v2d OUT.v2d\n");
        return 2;
    }
    Result<SchemeFile> file = ReadSchemeFile(args[0]);
    if (!file) {
        std::fprintf(stderr, "%s: %s\n", args[0].c_str(), file.error().c_str());
        return 1;
    }
    if (file->scene.background.isNull()) {
        // A scheme whose background type is unknown keeps no background;
        // the writer needs one, so a blank picture of no size cannot do.
        std::fprintf(stderr, "%s: %s\n", args[0].c_str(), kMsgBackgroundFailed);
        return 1;
    }
    Status saved = WriteSchemeFile(file->scene, args[1]);
    if (!saved) {
        std::fprintf(stderr, "%s: %s\n", args[1].c_str(), saved.error().c_str());
        return 1;
    }
    return 0;
}

}  // namespace v2d::cli
