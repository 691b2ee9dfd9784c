#pragma once
// The turn a camera records beside a photo's pixels (EXIF's Orientation tag,
// in a JPEG's APP1 segment or a PNG's eXIf chunk) and the turn that makes
// the photo stand upright. Readers of a room photo apply it, so every
// coordinate the program shows or stores is one of the upright photo.
#include <QImage>

#include <cstdint>
#include <span>

namespace v2d {

// The turn applied to the stored pixels to make them upright, named after
// what it does; the numbers are EXIF's.
enum class Orientation : uint8_t {
    AsGiven = 1,
    MirroredLeftRight = 2,
    TurnedHalf = 3,
    MirroredTopBottom = 4,
    Transposed = 5,           // mirrored about the top-left to bottom-right diagonal
    TurnedClockwise = 6,      // a quarter turn to the right
    Transversed = 7,          // mirrored about the other diagonal
    TurnedAnticlockwise = 8,  // a quarter turn to the left
};

// Whether the upright photo's width is the stored height.
constexpr bool SwapsSides(Orientation o) { return uint8_t(o) >= 5; }

// The Orientation of a TIFF structure (EXIF's body, from its byte-order
// mark): only the first directory is read, every offset and count checked
// against the data; AsGiven when the tag is missing, malformed or unknown.
Orientation TiffOrientation(std::span<const uint8_t> tiff);
// The Orientation of a JPEG's first EXIF segment, or of a PNG's eXIf chunk
// before its pixel data; AsGiven for anything else.
Orientation RecordedOrientation(std::span<const uint8_t> file);

// Copies `rows` stored rows, starting at stored row `firstRow` of a stored
// picture `stored` pixels large, into their places in `upright` (already
// of the upright size). 32-bit pixels on both sides.
void PlaceTurnedRows(const QImage& rows, int firstRow, int count, QSize stored, Orientation turn, QImage& upright);
// The picture turned as `turn` says (a 32-bit copy); the picture itself
// for AsGiven, a null picture when there is no memory for the copy.
QImage TurnedUpright(const QImage& stored, Orientation turn);

// A reader that turned a photo notes the turn in its text under this key
// (the EXIF number), where PhotoAnalysis and others find it; a photo with
// no such text stands as stored.
inline constexpr const char* kOrientationText = "Orientation";
Orientation NotedOrientation(const QImage& photo);

}  // namespace v2d
