#pragma once
// Picture blocks of scheme and model files. A block is the picture file
// followed by one 0xFF byte. Files are laid out (or checked) first and the
// pictures coded afterwards on both cores, largest first.
#include <QImage>

#include <cstdint>
#include <span>
#include <vector>

#include "base/picture_codec.h"
#include "scene/v2d_polygon.h"

namespace v2d {

enum class PictureMode { Bitmap, Alpha };

// The picture mode of a record's own picture block.
inline PictureMode PictureModeOf(const V2dPolygon& record) {
    return record.kind == RecordKind::CutOutModel ? PictureMode::Alpha : PictureMode::Bitmap;
}

// The picture file inside a block.
std::span<const uint8_t> PictureFileOfBlock(std::span<const uint8_t> block);

// Blocks waiting to be decoded into their targets. A block that does not
// decode leaves its target null, and so does one beyond the queue's budget
// of decoded pixels for all its blocks together. A strict queue (a model
// being added) also counts the blocks that did not decode whole.
class PictureDecodeQueue {
public:
    explicit PictureDecodeQueue(PictureCheck check = PictureCheck::Lenient) : check_(check) {}
    void add(std::span<const uint8_t> block, QImage* target, PictureMode mode);
    void run();
    // After run: a picture block that is there but did not decode.
    bool damaged() const { return damaged_; }

private:
    PictureCheck check_;
    bool damaged_ = false;
    struct Job {
        std::span<const uint8_t> block;
        QImage* target;
        PictureMode mode;
    };
    std::vector<Job> jobs_;
};

// Decodes one block now.
QImage DecodePictureBlock(std::span<const uint8_t> block, PictureMode mode,
                          PictureCheck check = PictureCheck::Lenient);

enum class Encoding { Jpeg, Png };

// Pictures waiting to be encoded; `add` returns the handle of the result.
class PictureEncodeQueue {
public:
    int add(const QImage* image, Encoding encoding);
    // False when any picture failed to encode; `failed(handle)` tells which.
    bool run();
    bool failed(int handle) const { return !jobs_[size_t(handle)].result; }
    const Bytes& result(int handle) const { return *jobs_[size_t(handle)].result; }
    size_t totalSize() const;

private:
    struct Job {
        const QImage* image;
        Encoding encoding;
        std::optional<Bytes> result;
    };
    std::vector<Job> jobs_;
};

// Little-endian output helpers of the writers.
void AppendI32(Bytes& out, int32_t v);
void AppendPoints(Bytes& out, const std::vector<V2d_Point>& points);
void AppendBlock(Bytes& out, const Bytes& picture);
inline uint32_t BlockLength(const Bytes& picture) { return static_cast<uint32_t>(picture.size() + 1); }

}  // namespace v2d
