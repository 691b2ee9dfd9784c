#include "scene/model_file.h"

#include <cstring>

#include "base/atomic_file.h"
#include "base/byte_reader.h"
#include "scene/record_codec.h"
#include "scene/record_entry.h"
#include "scene/scheme_file.h"

namespace v2d {
namespace {

Error BadFormat() { return Error{kMsgBadFormat}; }

struct ModelHeader {
    int32_t version = 0;
    uint32_t pictureLength = 0;
    int32_t pictureType = 0;
    int32_t recordCount = 0;
};

std::optional<ModelHeader> ReadModelHeader(ByteReader& in) {
    std::span<const uint8_t> header;
    if (!in.take(kSchemeHeaderSize, header) || std::memcmp(header.data(), kModelSignature, 4) != 0)
        return std::nullopt;
    return ModelHeader{ReadI32(header.data() + 4), ReadU32(header.data() + 8), ReadI32(header.data() + 12),
                       ReadI32(header.data() + 16)};
}

void AsLoaded(V2dPolygon& r) {
    if (r.kind != RecordKind::CutOutModel) r.kind = RecordKind::PictureModel;
    r.group = nullptr;  // owners are made on loading, not read
    if (r.kind == RecordKind::CutOutModel && r.pictureSize > 0 && r.lighten > 400) r.lighten = 0;
}

}  // namespace

Result<ModelFile> ParseModelFile(std::span<const uint8_t> bytes, PictureCheck check, const std::string& shownName) {
    ByteReader in(bytes);
    const std::optional<ModelHeader> header = ReadModelHeader(in);
    if (!header) return BadFormat();
    const uint8_t version = static_cast<uint8_t>(header->version & 0xFF);
    std::span<const uint8_t> skipped;  // a preview block some files carry; loading has no use for it
    if (!in.take(header->pictureLength, skipped)) return BadFormat();
    if (header->recordCount < 0 || !in.fits(uint64_t(header->recordCount), RecordSizeForVersion(version)))
        return BadFormat();

    ModelFile file;
    file.version = header->version;
    PictureDecodeQueue pictures(check);
    file.records.reserve(static_cast<size_t>(header->recordCount));
    for (int32_t i = 0; i < header->recordCount; ++i) {
        std::optional<RecordEntry> entry = ReadRecordEntry(in, version);
        if (!entry) return BadFormat();
        AsLoaded(*entry->record);
        QueueEntryPictures(*entry, pictures);
        file.records.push_back(std::move(entry->record));
    }
    // Only a single cut-out record has a frame block; an older file that
    // ends after the record holds one frame.
    if (file.records.size() == 1 && file.records[0]->kind == RecordKind::CutOutModel && !in.atEnd()) {
        auto frames = ReadFrameBlock(in, file.records[0].get(), pictures);
        if (!frames) return BadFormat();
        file.frames = std::move(*frames);
    }
    pictures.run();
    if (check == PictureCheck::Strict && pictures.damaged()) return Error{kMsgPictureDamaged + shownName};
    for (PolygonPtr& r : file.records)
        if (r->kind != RecordKind::CutOutModel && r->sourcePicture.isNull() && !r->picture.isNull())
            r->sourcePicture = r->picture.copy();
    if (file.frames) CompleteFrameSet(*file.frames);
    return file;
}

Result<ModelFile> ReadModelFile(const std::filesystem::path& path) {
    std::optional<Bytes> bytes = ReadWholeFile(path);
    if (!bytes) return BadFormat();
    return ParseModelFile(*bytes, PictureCheck::Strict, path.filename().string());
}

QImage ReadModelPreview(const std::filesystem::path& path) {
    const std::optional<Bytes> bytes = ReadWholeFile(path);
    return bytes ? ModelPreviewOf(*bytes) : QImage{};
}

QImage ModelPreviewOf(std::span<const uint8_t> bytes) {
    ByteReader in(bytes);
    const std::optional<ModelHeader> header = ReadModelHeader(in);
    if (!header) return {};
    std::span<const uint8_t> block;
    if (header->pictureLength > 0)
        return in.take(header->pictureLength, block) ? DecodePictureBlock(block, PictureMode::Bitmap) : QImage{};
    const uint8_t version = static_cast<uint8_t>(header->version & 0xFF);
    for (int32_t i = 0; i < header->recordCount; ++i) {
        const std::optional<RecordEntry> entry = ReadRecordEntry(in, version);
        if (!entry) return {};
        if (!entry->sourceBlock.empty()) return DecodePictureBlock(entry->sourceBlock, PictureMode::Bitmap);
    }
    return {};
}

Result<Bytes> SerializeModelFile(const std::vector<const V2dPolygon*>& records, const V2dPolygonEx* frames) {
    const bool withFrames = records.size() == 1 && records[0]->kind == RecordKind::CutOutModel;
    PictureEncodeQueue queue;
    std::vector<EntryPictures> entries;
    for (const V2dPolygon* r : records) entries.push_back(QueueEntryPictures(*r, withFrames ? frames : nullptr, queue));
    if (!queue.run()) return Error{kMsgWriteFailed};

    Bytes out(kModelSignature, kModelSignature + 4);
    AppendI32(out, kSchemeVersion);
    AppendI32(out, 0);
    AppendI32(out, 1);
    AppendI32(out, static_cast<int32_t>(records.size()));
    for (size_t i = 0; i < records.size(); ++i) AppendRecordEntry(out, *records[i], 0, entries[i], queue);
    if (withFrames) AppendFrameBlock(out, frames, entries[0], queue);
    return out;
}

Status WriteModelFile(const std::vector<const V2dPolygon*>& records, const V2dPolygonEx* frames,
                      const std::filesystem::path& path) {
    Result<Bytes> bytes = SerializeModelFile(records, frames);
    if (!bytes) return Error{bytes.error()};
    if (!WriteFileAtomically(path, *bytes)) return Error{kMsgWriteFailed};
    return Status::Ok();
}

}  // namespace v2d
