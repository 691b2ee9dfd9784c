#include <algorithm>
#include <cstring>

#include "base/atomic_file.h"
#include "base/byte_reader.h"
#include "base/gbk_text.h"
#include "scene/record_codec.h"
#include "scene/record_entry.h"
#include "scene/scheme_file.h"

namespace v2d {
namespace {

Error BadFormat() { return Error{kMsgBadFormat}; }

bool ReadMesh(ByteReader& in, V2dPolygon* owner, Scene& scene) {
    int32_t rows = 0, cols = 0;
    if (!in.readI32(rows) || !in.readI32(cols) || rows < 0 || cols < 0) return false;
    const uint64_t nodes = uint64_t(rows) * uint64_t(cols);
    if (!in.fits(nodes, 16)) return false;
    if (nodes == 0) return true;
    auto mesh = std::make_unique<V2dPolygonMesh>();
    mesh->owner = owner;
    mesh->rows = rows;
    mesh->cols = cols;
    for (std::vector<V2d_Point>* nodesOf : {&mesh->srcNodes, &mesh->dstNodes}) {
        nodesOf->resize(static_cast<size_t>(nodes));
        for (V2d_Point& p : *nodesOf) {
            in.readI32(p.x), in.readI32(p.y);
            if (!WithinCoordinateLimit(p.x) || !WithinCoordinateLimit(p.y)) return false;
        }
    }
    scene.AddMesh(std::move(mesh));
    return true;
}

// One entry with what follows it in a scheme: frames of a cut-out model and
// the mesh of a warped region.
bool ReadSchemeEntry(ByteReader& in, uint8_t version, Scene& scene, std::vector<int32_t>& groupValues,
                     PictureDecodeQueue& pictures) {
    std::optional<RecordEntry> entry = ReadRecordEntry(in, version);
    if (!entry) return false;
    QueueEntryPictures(*entry, pictures);
    V2dPolygon* r = scene.Append(std::move(entry->record));
    groupValues.push_back(entry->groupValue);
    if (r->kind == RecordKind::CutOutModel) {
        if (r->lighten > 400) r->lighten = 0;
        auto frames = ReadFrameBlock(in, r, pictures);
        if (!frames) return false;
        if (*frames) scene.AddFrameSet(std::move(*frames));
    }
    return !r->hasMesh() || ReadMesh(in, r, scene);
}

// Owners: a kind-1 record may belong to another kind-1 record.
void ResolveOwners(Scene& scene, const std::vector<int32_t>& groupValues) {
    const int32_t count = scene.count();
    for (int32_t i = 0; i < count; ++i) {
        const int32_t g = groupValues[static_cast<size_t>(i)];
        V2dPolygon* r = scene.at(i);
        if (g != 0 && r->kind == RecordKind::PictureModel && g - 1 >= 0 && g - 1 < count && g - 1 != i &&
            scene.at(g - 1)->kind == RecordKind::PictureModel)
            r->group = scene.at(g - 1);
    }
}

bool ReadGroup(ByteReader& in, Scene& scene) {
    std::span<const uint8_t> record;
    if (!in.take(kGroupRecordSize, record)) return false;
    const void* zero = std::memchr(record.data(), 0, kGroupNameBytes);
    if (!zero) return false;
    const int32_t memberCount = ReadI32(record.data() + kGroupNameBytes);
    if (memberCount < 0 || !in.fits(uint64_t(memberCount), 4)) return false;
    V2dGroupPL group;
    const auto nameLength = static_cast<size_t>(static_cast<const uint8_t*>(zero) - record.data());
    group.name = GbkToUtf8(std::string_view(reinterpret_cast<const char*>(record.data()), nameLength));
    for (int32_t m = 0; m < memberCount; ++m) {
        int32_t position = 0;
        in.readI32(position);
        if (position < 0 || position >= scene.count()) continue;
        V2dPolygon* member = scene.at(position);
        if (std::find(group.members.begin(), group.members.end(), member) == group.members.end())
            group.members.push_back(member);
    }
    if (group.members.size() >= 2) scene.AddGroup(std::move(group));
    return true;
}

bool ReadGroups(ByteReader& in, Scene& scene) {
    int32_t groupCount = 0;
    if (!in.readI32(groupCount) || groupCount < 0 || !in.fits(uint64_t(groupCount), kGroupRecordSize)) return false;
    for (int32_t k = 0; k < groupCount; ++k)
        if (!ReadGroup(in, scene)) return false;
    return true;
}

}  // namespace

Result<SchemeFile> ParseScheme(std::span<const uint8_t> bytes) {
    ByteReader in(bytes);
    SchemeFile file;
    std::span<const uint8_t> header;
    if (!in.take(kSchemeHeaderSize, header) || std::memcmp(header.data(), kSchemeSignature, 4) != 0)
        return BadFormat();
    file.signature.assign(reinterpret_cast<const char*>(header.data()), 4);
    file.version = ReadI32(header.data() + 4);
    file.backgroundLength = ReadU32(header.data() + 8);
    file.backgroundType = ReadI32(header.data() + 12);
    const int32_t recordCount = ReadI32(header.data() + 16);
    const uint8_t version = static_cast<uint8_t>(file.version & 0xFF);

    std::span<const uint8_t> backgroundBlock;
    if (!in.take(file.backgroundLength, backgroundBlock)) return BadFormat();
    if (recordCount < 0 || !in.fits(uint64_t(recordCount), RecordSizeForVersion(version))) return BadFormat();

    Scene& scene = file.scene;
    PictureDecodeQueue pictures;
    std::vector<int32_t> groupValues;
    groupValues.reserve(static_cast<size_t>(recordCount));
    for (int32_t i = 0; i < recordCount; ++i)
        if (!ReadSchemeEntry(in, version, scene, groupValues, pictures)) return BadFormat();
    ResolveOwners(scene, groupValues);
    if (version >= 7 && !in.atEnd() && !ReadGroups(in, scene)) return BadFormat();

    const uint8_t backgroundType = static_cast<uint8_t>(file.backgroundType & 0xFF);
    if (backgroundType == 0 || backgroundType == 1)
        pictures.add(backgroundBlock, &scene.background, PictureMode::Bitmap);
    pictures.run();
    for (int i = 0; i < scene.count(); ++i)
        if (V2dPolygonEx* frames = scene.FrameSetOf(scene.at(i))) CompleteFrameSet(*frames);
    return file;
}

bool SchemeReads(std::span<const uint8_t> bytes) {
    const Result<SchemeFile> file = ParseScheme(bytes);
    return file && !file->scene.background.isNull();
}

Result<SchemeFile> ReadSchemeFile(const std::filesystem::path& path, const Progress& progress) {
    std::optional<Bytes> bytes = ReadWholeFile(path);
    if (!bytes) return BadFormat();
    if (progress) progress(50);
    Result<SchemeFile> file = ParseScheme(*bytes);
    if (progress) progress(100);
    return file;
}

}  // namespace v2d
