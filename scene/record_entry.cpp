#include "scene/record_entry.h"

#include <algorithm>

#include "scene/record_codec.h"

namespace v2d {
namespace {

// Reads `count` points of 8 bytes (fixed-point in versions 1 and 2).
bool ReadPoints(ByteReader& in, int32_t count, bool fixedPoint, std::vector<V2d_Point>& out) {
    if (count < 0 || !in.fits(uint64_t(count), 8)) return false;
    out.resize(static_cast<size_t>(count));
    for (V2d_Point& p : out) {
        in.readI32(p.x);
        in.readI32(p.y);
        if (fixedPoint) p = {FromFixedPoint8(p.x), FromFixedPoint8(p.y)};
        if (!WithinCoordinateLimit(p.x) || !WithinCoordinateLimit(p.y)) return false;
    }
    return true;
}

bool ReadIndexList(ByteReader& in, int32_t count, int32_t pointCount, bool fixedPoint, std::vector<int32_t>& out) {
    if (count < 0 || !in.fits(uint64_t(count), 4)) return false;
    out.resize(static_cast<size_t>(count));
    int32_t previous = -1;
    for (int32_t& v : out) {
        in.readI32(v);
        if (fixedPoint) v = FromFixedPoint8(v);
        // Ring ends rise and stay inside the outline.
        if (v <= previous || v >= pointCount) return false;
        previous = v;
    }
    return true;
}

}  // namespace

std::optional<RecordEntry> ReadRecordEntry(ByteReader& in, uint8_t version) {
    std::span<const uint8_t> block;
    if (!in.take(RecordSizeForVersion(version), block)) return std::nullopt;
    std::optional<DecodedRecord> decoded = DecodeRecord(block, version);
    if (!decoded) return std::nullopt;
    RecordEntry entry{std::move(decoded->record), decoded->groupValue, {}, {}};
    V2dPolygon& r = *entry.record;
    const bool fixedPoint = version == 1 || version == 2;
    if (!ReadPoints(in, decoded->pointCount, fixedPoint, r.points) ||
        !ReadIndexList(in, decoded->indexCount, decoded->pointCount, fixedPoint, r.indexList))
        return std::nullopt;
    if (r.pictureSize > 0 && !in.take(r.pictureSize, entry.pictureBlock)) return std::nullopt;
    if (r.sourcePictureSize > 0 && !in.take(r.sourcePictureSize, entry.sourceBlock)) return std::nullopt;
    return entry;
}

void QueueEntryPictures(RecordEntry& entry, PictureDecodeQueue& pictures) {
    V2dPolygon& r = *entry.record;
    if (!entry.pictureBlock.empty()) pictures.add(entry.pictureBlock, &r.picture, PictureModeOf(r));
    if (!entry.sourceBlock.empty()) pictures.add(entry.sourceBlock, &r.sourcePicture, PictureMode::Bitmap);
}

std::optional<std::unique_ptr<V2dPolygonEx>> ReadFrameBlock(ByteReader& in, V2dPolygon* owner,
                                                            PictureDecodeQueue& pictures) {
    int32_t frameCount = 0;
    if (!in.readI32(frameCount) || frameCount < 0) return std::nullopt;
    if (frameCount <= 1) return std::unique_ptr<V2dPolygonEx>{};
    int32_t current = 0;
    if (!in.readI32(current)) return std::nullopt;
    // Each stored frame needs at least its length word.
    if (!in.fits(uint64_t(frameCount) - 1, 4)) return std::nullopt;
    auto frames = std::make_unique<V2dPolygonEx>();
    frames->owner = owner;
    // A current index outside the frames is brought back to the nearest one.
    frames->current = std::clamp(current, 0, frameCount - 1);
    frames->frames.resize(static_cast<size_t>(frameCount));
    for (int32_t j = 0; j < frameCount; ++j) {
        if (j == frames->current) continue;
        uint32_t length = 0;
        std::span<const uint8_t> frame;
        if (!in.readU32(length) || !in.take(length, frame)) return std::nullopt;
        pictures.add(frame, &frames->frames[static_cast<size_t>(j)], PictureMode::Alpha);
    }
    return frames;
}

void CompleteFrameSet(V2dPolygonEx& frames) {
    frames.frames[static_cast<size_t>(frames.current)] = frames.owner->picture;
}

EntryPictures QueueEntryPictures(const V2dPolygon& record, const V2dPolygonEx* frames, PictureEncodeQueue& queue) {
    EntryPictures handles;
    if (!record.picture.isNull())
        handles.picture =
            queue.add(&record.picture, record.kind == RecordKind::CutOutModel ? Encoding::Png : Encoding::Jpeg);
    if (record.kind == RecordKind::PictureModel && !record.sourcePicture.isNull())
        handles.source = queue.add(&record.sourcePicture, Encoding::Jpeg);
    if (record.kind == RecordKind::CutOutModel && frames && frames->frames.size() >= 2) {
        for (size_t j = 0; j < frames->frames.size(); ++j)
            handles.frames.push_back(int32_t(j) == frames->clampedCurrent() ? -1
                                                                   : queue.add(&frames->frames[j], Encoding::Png));
    }
    return handles;
}

void AppendRecordEntry(Bytes& out, const V2dPolygon& source, int32_t groupValue, const EntryPictures& pictures,
                       const PictureEncodeQueue& queue) {
    V2dPolygon record = source;  // sizes are set on a copy; the scene stays as it is
    record.pictureSize = pictures.picture >= 0 ? BlockLength(queue.result(pictures.picture)) : 0;
    record.sourcePictureSize = pictures.source >= 0 ? BlockLength(queue.result(pictures.source)) : 0;
    const auto block = EncodeRecord(record, groupValue);
    out.insert(out.end(), block.begin(), block.end());
    AppendPoints(out, record.points);
    for (int32_t v : record.indexList) AppendI32(out, v);
    if (pictures.picture >= 0) AppendBlock(out, queue.result(pictures.picture));
    if (pictures.source >= 0) AppendBlock(out, queue.result(pictures.source));
}

void AppendFrameBlock(Bytes& out, const V2dPolygonEx* frames, const EntryPictures& pictures,
                      const PictureEncodeQueue& queue) {
    if (pictures.frames.empty()) {
        AppendI32(out, 1);
        return;
    }
    AppendI32(out, static_cast<int32_t>(pictures.frames.size()));
    AppendI32(out, frames->clampedCurrent());
    for (int handle : pictures.frames) {
        if (handle < 0) continue;
        const Bytes& frame = queue.result(handle);
        AppendI32(out, static_cast<int32_t>(BlockLength(frame)));
        AppendBlock(out, frame);
    }
}

}  // namespace v2d
