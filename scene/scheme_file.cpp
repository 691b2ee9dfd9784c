#include "scene/scheme_file.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "base/atomic_file.h"
#include "base/byte_reader.h"
#include "base/gbk_text.h"
#include "base/parallel_for.h"
#include "scene/record_codec.h"

namespace v2d {
namespace {

Error BadFormat() { return Error{kMsgBadFormat}; }

// A picture block is the picture file followed by one 0xFF byte.
std::span<const uint8_t> PictureFileOfBlock(std::span<const uint8_t> block) {
    return block.empty() ? block : block.first(block.size() - 1);
}

enum class PictureMode { Bitmap, Alpha };

struct DecodeJob {
    std::span<const uint8_t> block;
    QImage* target;
    PictureMode mode;
};

void RunDecodeJob(const DecodeJob& job) {
    QImage image = DecodePicture(PictureFileOfBlock(job.block));
    if (image.isNull()) return;  // a corrupt block leaves no picture
    const QImage::Format format =
        job.mode == PictureMode::Alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    *job.target = image.format() == format ? std::move(image) : image.convertToFormat(format);
}

// Reads `count` points of 8 bytes (fixed-point in versions 1 and 2).
bool ReadPoints(ByteReader& in, int32_t count, bool fixedPoint, std::vector<V2d_Point>& out) {
    if (count < 0 || !in.fits(uint64_t(count), 8)) return false;
    out.resize(static_cast<size_t>(count));
    for (V2d_Point& p : out) {
        in.readI32(p.x);
        in.readI32(p.y);
        if (fixedPoint) p = {FromFixedPoint8(p.x), FromFixedPoint8(p.y)};
    }
    return true;
}

bool ReadIndexList(ByteReader& in, int32_t count, int32_t pointCount, bool fixedPoint,
                   std::vector<int32_t>& out) {
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

bool ReadBlock(ByteReader& in, uint32_t length, std::span<const uint8_t>& block) {
    return in.take(length, block);
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
    const bool fixedPoint = version == 1 || version == 2;
    const size_t recordSize = RecordSizeForVersion(version);

    std::span<const uint8_t> backgroundBlock;
    if (!ReadBlock(in, file.backgroundLength, backgroundBlock)) return BadFormat();
    if (recordCount < 0 || !in.fits(uint64_t(recordCount), recordSize)) return BadFormat();

    Scene& scene = file.scene;
    std::vector<DecodeJob> jobs;
    std::vector<int32_t> groupValues;
    scene.PolyList.reserve(static_cast<size_t>(recordCount));
    groupValues.reserve(static_cast<size_t>(recordCount));

    for (int32_t i = 0; i < recordCount; ++i) {
        std::span<const uint8_t> block;
        if (!in.take(recordSize, block)) return BadFormat();
        std::optional<DecodedRecord> decoded = DecodeRecord(block, version);
        if (!decoded) return BadFormat();
        V2dPolygon* r = scene.Append(std::move(decoded->record));
        groupValues.push_back(decoded->groupValue);
        if (!ReadPoints(in, decoded->pointCount, fixedPoint, r->points)) return BadFormat();
        if (!ReadIndexList(in, decoded->indexCount, decoded->pointCount, fixedPoint, r->indexList))
            return BadFormat();

        const PictureMode pictureMode = r->kind == kCutOutModel ? PictureMode::Alpha : PictureMode::Bitmap;
        if (r->pictureSize > 0) {
            std::span<const uint8_t> picture;
            if (!ReadBlock(in, r->pictureSize, picture)) return BadFormat();
            jobs.push_back({picture, &r->picture, pictureMode});
        }
        if (r->sourcePictureSize > 0) {
            std::span<const uint8_t> source;
            if (!ReadBlock(in, r->sourcePictureSize, source)) return BadFormat();
            jobs.push_back({source, &r->sourcePicture, PictureMode::Bitmap});
        }
        if (r->kind == kCutOutModel) {
            if (r->lighten > 400) r->lighten = 0;
            int32_t frameCount = 0;
            if (!in.readI32(frameCount) || frameCount < 0) return BadFormat();
            if (frameCount > 1) {
                int32_t current = 0;
                if (!in.readI32(current) || current < 0 || current >= frameCount) return BadFormat();
                // Each stored frame needs at least its length word.
                if (!in.fits(uint64_t(frameCount) - 1, 4)) return BadFormat();
                auto frames = std::make_unique<V2dPolygonEx>();
                frames->owner = r;
                frames->current = current;
                frames->frames.resize(static_cast<size_t>(frameCount));
                for (int32_t j = 0; j < frameCount; ++j) {
                    if (j == current) continue;
                    uint32_t length = 0;
                    std::span<const uint8_t> frame;
                    if (!in.readU32(length) || !ReadBlock(in, length, frame)) return BadFormat();
                    jobs.push_back({frame, &frames->frames[static_cast<size_t>(j)], PictureMode::Alpha});
                }
                scene.FrameSetList.push_back(std::move(frames));
            }
        }
        if (r->hasMesh()) {
            int32_t rows = 0, cols = 0;
            if (!in.readI32(rows) || !in.readI32(cols) || rows < 0 || cols < 0) return BadFormat();
            const uint64_t nodes = uint64_t(rows) * uint64_t(cols);
            if (!in.fits(nodes, 16)) return BadFormat();
            if (nodes > 0) {
                auto mesh = std::make_unique<V2dPolygonMesh>();
                mesh->owner = r;
                mesh->rows = rows;
                mesh->cols = cols;
                ReadPoints(in, static_cast<int32_t>(nodes), false, mesh->srcNodes);
                ReadPoints(in, static_cast<int32_t>(nodes), false, mesh->dstNodes);
                scene.MeshList.push_back(std::move(mesh));
            }
        }
    }

    // Owners: a kind-1 record may belong to another kind-1 record.
    for (int32_t i = 0; i < recordCount; ++i) {
        const int32_t g = groupValues[static_cast<size_t>(i)];
        V2dPolygon* r = scene.at(i);
        if (g != 0 && r->kind == kPictureModel && g - 1 >= 0 && g - 1 < recordCount && g - 1 != i &&
            scene.at(g - 1)->kind == kPictureModel)
            r->group = scene.at(g - 1);
    }

    if (version >= 7 && !in.atEnd()) {
        int32_t groupCount = 0;
        if (!in.readI32(groupCount) || groupCount < 0 || !in.fits(uint64_t(groupCount), kGroupRecordSize))
            return BadFormat();
        for (int32_t k = 0; k < groupCount; ++k) {
            std::span<const uint8_t> record;
            if (!in.take(kGroupRecordSize, record)) return BadFormat();
            const void* zero = std::memchr(record.data(), 0, kGroupNameBytes);
            if (!zero) return BadFormat();
            const int32_t memberCount = ReadI32(record.data() + kGroupNameBytes);
            if (memberCount < 0 || !in.fits(uint64_t(memberCount), 4)) return BadFormat();
            V2dGroupPL group;
            group.name = GbkToUtf8(std::string_view(reinterpret_cast<const char*>(record.data()),
                                                    static_cast<size_t>(static_cast<const uint8_t*>(zero) -
                                                                        record.data())));
            for (int32_t m = 0; m < memberCount; ++m) {
                int32_t position = 0;
                in.readI32(position);
                if (position < 0 || position >= recordCount) continue;
                V2dPolygon* member = scene.at(position);
                if (std::find(group.members.begin(), group.members.end(), member) == group.members.end())
                    group.members.push_back(member);
            }
            if (group.members.size() >= 2) scene.GroupList.push_back(std::move(group));
        }
    }

    const uint8_t backgroundType = static_cast<uint8_t>(file.backgroundType & 0xFF);
    if (backgroundType == 0 || backgroundType == 1)
        jobs.push_back({backgroundBlock, &scene.background, PictureMode::Bitmap});
    // Largest blocks first, so the two workers finish together.
    std::sort(jobs.begin(), jobs.end(),
              [](const DecodeJob& a, const DecodeJob& b) { return a.block.size() > b.block.size(); });
    ParallelFor(jobs.size(), [&](size_t i) { RunDecodeJob(jobs[i]); });

    // The frame at `current` is the record's own picture.
    for (auto& frames : scene.FrameSetList)
        frames->frames[static_cast<size_t>(frames->current)] = frames->owner->picture;
    return file;
}

Result<SchemeFile> ReadSchemeFile(const std::filesystem::path& path) {
    std::optional<Bytes> bytes = ReadWholeFile(path);
    if (!bytes) return BadFormat();
    return ParseScheme(*bytes);
}

namespace {

enum class Encoding { Jpeg, Png };

struct EncodeJob {
    const QImage* image;
    Encoding encoding;
    std::optional<Bytes> result;
};

void AppendI32(Bytes& out, int32_t v) {
    uint8_t b[4];
    WriteI32(b, v);
    out.insert(out.end(), b, b + 4);
}

void AppendPoints(Bytes& out, const std::vector<V2d_Point>& points) {
    for (const V2d_Point& p : points) {
        AppendI32(out, p.x);
        AppendI32(out, p.y);
    }
}

void AppendBlock(Bytes& out, const Bytes& picture) {
    out.insert(out.end(), picture.begin(), picture.end());
    out.push_back(0xFF);
}

uint32_t BlockLength(const Bytes& picture) { return static_cast<uint32_t>(picture.size() + 1); }

}  // namespace

Result<Bytes> SerializeScheme(const Scene& scene) {
    // Every picture is encoded first, in parallel; then the file is laid out.
    std::vector<EncodeJob> jobs;
    jobs.push_back({&scene.background, Encoding::Jpeg, {}});
    struct RecordJobs {
        int picture = -1, source = -1;
        std::vector<int> frames;  // frame j -> job, -1 for current
    };
    std::vector<RecordJobs> recordJobs(scene.PolyList.size());
    for (size_t i = 0; i < scene.PolyList.size(); ++i) {
        const V2dPolygon& r = *scene.PolyList[i];
        RecordJobs& rj = recordJobs[i];
        if (!r.picture.isNull()) {
            rj.picture = static_cast<int>(jobs.size());
            jobs.push_back({&r.picture, r.kind == kCutOutModel ? Encoding::Png : Encoding::Jpeg, {}});
        }
        if (r.kind == kPictureModel && !r.sourcePicture.isNull()) {
            rj.source = static_cast<int>(jobs.size());
            jobs.push_back({&r.sourcePicture, Encoding::Jpeg, {}});
        }
        if (r.kind == kCutOutModel) {
            if (const V2dPolygonEx* frames = scene.FrameSetOf(&r); frames && frames->frames.size() >= 2) {
                for (size_t j = 0; j < frames->frames.size(); ++j) {
                    if (int32_t(j) == frames->current) {
                        rj.frames.push_back(-1);
                        continue;
                    }
                    rj.frames.push_back(static_cast<int>(jobs.size()));
                    jobs.push_back({&frames->frames[j], Encoding::Png, {}});
                }
            }
        }
    }
    // Largest pictures first, so the two workers finish together.
    std::vector<size_t> order(jobs.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return int64_t(jobs[a].image->width()) * jobs[a].image->height() >
               int64_t(jobs[b].image->width()) * jobs[b].image->height();
    });
    ParallelFor(jobs.size(), [&](size_t k) {
        EncodeJob& job = jobs[order[k]];
        job.result = job.encoding == Encoding::Png ? EncodePng(*job.image) : EncodeJpeg(*job.image, 100);
    });
    if (!jobs[0].result) return Error{kMsgBackgroundFailed};
    for (size_t i = 1; i < jobs.size(); ++i)
        if (!jobs[i].result) return Error{kMsgWriteFailed};

    size_t estimate = kSchemeHeaderSize + 64;
    for (const EncodeJob& job : jobs) estimate += job.result->size() + 8;
    estimate += scene.PolyList.size() * (kRecordSize + 64);
    Bytes out;
    out.reserve(estimate);

    const Bytes& background = *jobs[0].result;
    out.insert(out.end(), kSchemeSignature, kSchemeSignature + 4);
    AppendI32(out, kSchemeVersion);
    AppendI32(out, static_cast<int32_t>(BlockLength(background)));
    AppendI32(out, 1);
    AppendI32(out, scene.count());
    AppendBlock(out, background);

    for (size_t i = 0; i < scene.PolyList.size(); ++i) {
        V2dPolygon record = *scene.PolyList[i];  // sizes are set on a copy; the scene stays as it is
        const RecordJobs& rj = recordJobs[i];
        record.pictureSize = rj.picture >= 0 ? BlockLength(*jobs[size_t(rj.picture)].result) : 0;
        record.sourcePictureSize = rj.source >= 0 ? BlockLength(*jobs[size_t(rj.source)].result) : 0;
        const int owner = record.group ? scene.IndexOfPolygon(record.group) : -1;
        const auto block = EncodeRecord(record, owner >= 0 ? owner + 1 : 0);
        out.insert(out.end(), block.begin(), block.end());
        AppendPoints(out, record.points);
        for (int32_t v : record.indexList) AppendI32(out, v);
        if (rj.picture >= 0) AppendBlock(out, *jobs[size_t(rj.picture)].result);
        if (rj.source >= 0) AppendBlock(out, *jobs[size_t(rj.source)].result);
        if (record.kind == kCutOutModel) {
            if (rj.frames.empty()) {
                AppendI32(out, 1);
            } else {
                AppendI32(out, static_cast<int32_t>(rj.frames.size()));
                AppendI32(out, scene.FrameSetOf(scene.PolyList[i].get())->current);
                for (int job : rj.frames) {
                    if (job < 0) continue;
                    const Bytes& frame = *jobs[size_t(job)].result;
                    AppendI32(out, static_cast<int32_t>(BlockLength(frame)));
                    AppendBlock(out, frame);
                }
            }
        }
        if (record.hasMesh()) {
            // The reader expects a mesh section for every such record, so
            // one without a mesh writes an empty one.
            const V2dPolygonMesh* mesh = scene.MeshOf(scene.PolyList[i].get());
            AppendI32(out, mesh ? mesh->rows : 0);
            AppendI32(out, mesh ? mesh->cols : 0);
            if (mesh) {
                AppendPoints(out, mesh->srcNodes);
                AppendPoints(out, mesh->dstNodes);
            }
        }
    }

    AppendI32(out, static_cast<int32_t>(scene.GroupList.size()));
    for (const V2dGroupPL& group : scene.GroupList) {
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
    return out;
}

Status WriteSchemeFile(const Scene& scene, const std::filesystem::path& path) {
    Result<Bytes> bytes = SerializeScheme(scene);
    if (!bytes) return Error{bytes.error()};
    AtomicFileWriter writer(path);
    if (!writer.write(*bytes) || !writer.commit()) return Error{kMsgWriteFailed};
    return Status::Ok();
}

}  // namespace v2d
