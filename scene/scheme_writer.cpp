#include <cstring>

#include "base/atomic_file.h"
#include "base/gbk_text.h"
#include "scene/record_codec.h"
#include "scene/record_entry.h"
#include "scene/scheme_file.h"

namespace v2d {
namespace {

void AppendMesh(Bytes& out, const V2dPolygonMesh* mesh) {
    // The reader expects a mesh section for every such record, so one
    // without a mesh writes an empty one.
    AppendI32(out, mesh ? mesh->rows : 0);
    AppendI32(out, mesh ? mesh->cols : 0);
    if (!mesh) return;
    AppendPoints(out, mesh->srcNodes);
    AppendPoints(out, mesh->dstNodes);
}

void AppendGroups(Bytes& out, const Scene& scene) {
    AppendI32(out, static_cast<int32_t>(scene.groups().size()));
    for (const V2dGroupPL& group : scene.groups()) {
        std::vector<int32_t> positions;
        for (const V2dPolygon* member : group.members)
            if (int p = scene.IndexOfPolygon(member); p >= 0) positions.push_back(p);
        uint8_t record[kGroupRecordSize] = {};
        const std::string name = GbkForField(group.name, kGroupNameBytes);
        std::memcpy(record, name.data(), name.size());
        WriteI32(record + kGroupNameBytes, static_cast<int32_t>(positions.size()));
        out.insert(out.end(), record, record + kGroupRecordSize);
        for (int32_t p : positions) AppendI32(out, p);
    }
}

void AppendHeader(Bytes& out, const Bytes& background, int32_t recordCount) {
    out.insert(out.end(), kSchemeSignature, kSchemeSignature + 4);
    AppendI32(out, kSchemeVersion);
    AppendI32(out, static_cast<int32_t>(BlockLength(background)));
    AppendI32(out, 1);
    AppendI32(out, recordCount);
    AppendBlock(out, background);
}

}  // namespace

Result<Bytes> SerializeScheme(const Scene& scene) {
    // Every picture is encoded first, in parallel; then the file is laid out.
    PictureEncodeQueue queue;
    const int background = queue.add(&scene.background, Encoding::Jpeg);
    std::vector<EntryPictures> entries;
    entries.reserve(size_t(scene.count()));
    for (const V2dPolygon* r : scene.records()) entries.push_back(QueueEntryPictures(*r, scene.FrameSetOf(r), queue));
    if (!queue.run()) return Error{queue.failed(background) ? kMsgBackgroundFailed : kMsgWriteFailed};

    Bytes out;
    out.reserve(kSchemeHeaderSize + 64 + queue.totalSize() + size_t(scene.count()) * (kRecordSize + 64));
    AppendHeader(out, queue.result(background), scene.count());
    for (int i = 0; i < scene.count(); ++i) {
        const V2dPolygon& record = *scene.at(i);
        const int owner = record.group ? scene.IndexOfPolygon(record.group) : -1;
        AppendRecordEntry(out, record, owner >= 0 ? owner + 1 : 0, entries[i], queue);
        if (record.kind == RecordKind::CutOutModel) AppendFrameBlock(out, scene.FrameSetOf(&record), entries[i], queue);
        if (record.hasMesh()) AppendMesh(out, scene.MeshOf(&record));
    }
    AppendGroups(out, scene);
    return out;
}

Status WriteSchemeFile(const Scene& scene, const std::filesystem::path& path) {
    Result<Bytes> bytes = SerializeScheme(scene);
    if (!bytes) return Error{bytes.error()};
    if (!WriteFileAtomically(path, *bytes)) return Error{kMsgWriteFailed};
    return Status::Ok();
}

}  // namespace v2d
