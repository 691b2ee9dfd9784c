#pragma once
// One record entry as scheme and model files store it: the record block,
// its outline points, its index list, then its picture and source picture
// blocks; and the rotation frame block of a cut-out model.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "base/byte_reader.h"
#include "scene/picture_blocks.h"
#include "scene/v2d_polygon.h"

namespace v2d {

struct RecordEntry {
    PolygonPtr record;
    int32_t groupValue = 0;                 // owner position + 1, 0 = none
    std::span<const uint8_t> pictureBlock;  // empty when the record has none
    std::span<const uint8_t> sourceBlock;
};

// Reads one entry of the given record version; nullopt when it does not fit
// in what is left or breaks a rule of the layout.
std::optional<RecordEntry> ReadRecordEntry(ByteReader& in, uint8_t version);

// Queues the entry's blocks for decoding into its record.
void QueueEntryPictures(RecordEntry& entry, PictureDecodeQueue& pictures);

// Reads a frame block for `owner`. A block of one frame gives a null set;
// nullopt when the block is broken. The frame at `current` is filled with the
// owner's picture by CompleteFrameSet once the pictures are decoded.
std::optional<std::unique_ptr<V2dPolygonEx>> ReadFrameBlock(ByteReader& in, V2dPolygon* owner,
                                                            PictureDecodeQueue& pictures);
void CompleteFrameSet(V2dPolygonEx& frames);

// The encoded pictures of one record, as handles into an encode queue.
struct EntryPictures {
    int picture = -1, source = -1;
    std::vector<int> frames;  // frame j -> handle, -1 for the current frame
};

// Queues the record's picture, a picture model's source picture, and the
// frames other than the current one (`frames` may be null).
EntryPictures QueueEntryPictures(const V2dPolygon& record, const V2dPolygonEx* frames, PictureEncodeQueue& queue);

// Appends the entry (record with its block sizes, outline, index list, blocks).
void AppendRecordEntry(Bytes& out, const V2dPolygon& record, int32_t groupValue, const EntryPictures& pictures,
                       const PictureEncodeQueue& queue);

// Appends the frame block: a count of 1, or the count, the current index and
// the other frames as length and block.
void AppendFrameBlock(Bytes& out, const V2dPolygonEx* frames, const EntryPictures& pictures,
                      const PictureEncodeQueue& queue);

}  // namespace v2d
