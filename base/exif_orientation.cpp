#include "base/exif_orientation.h"

#include <cstring>

namespace v2d {
namespace {

constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kTiffShort = 3;
constexpr size_t kIfdEntry = 12;

// Reads integers in the structure's own byte order; every read is checked by its caller.
struct TiffBytes {
    std::span<const uint8_t> data;
    bool bigEndian = false;

    bool has(uint64_t at, uint64_t length) const { return at <= data.size() && length <= data.size() - at; }
    uint16_t u16(size_t at) const {
        const uint8_t* p = data.data() + at;
        return bigEndian ? uint16_t(p[0] << 8 | p[1]) : uint16_t(p[1] << 8 | p[0]);
    }
    uint32_t u32(size_t at) const {
        const uint8_t* p = data.data() + at;
        return bigEndian ? uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]
                         : uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }
};

uint32_t BigEndian32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

// EXIF's segment begins with this, then the TIFF structure.
constexpr uint8_t kExifHeader[6] = {'E', 'x', 'i', 'f', 0, 0};

Orientation JpegOrientation(std::span<const uint8_t> data) {
    size_t at = 2;
    while (at + 4 <= data.size()) {
        if (data[at] != 0xFF) return Orientation::AsGiven;
        const uint8_t marker = data[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // no length
            at += 2;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) return Orientation::AsGiven;  // the scan: no metadata after it
        const size_t length = size_t(data[at + 2]) << 8 | data[at + 3];
        if (length < 2 || length > data.size() - at - 2) return Orientation::AsGiven;
        const std::span<const uint8_t> body = data.subspan(at + 4, length - 2);
        if (marker == 0xE1 && body.size() >= sizeof kExifHeader &&
            std::memcmp(body.data(), kExifHeader, sizeof kExifHeader) == 0)
            return TiffOrientation(body.subspan(sizeof kExifHeader));
        at += 2 + length;
    }
    return Orientation::AsGiven;
}

Orientation PngOrientation(std::span<const uint8_t> data) {
    size_t at = 8;
    while (data.size() - at >= 12) {
        const uint32_t length = BigEndian32(data.data() + at);
        const uint8_t* type = data.data() + at + 4;
        if (length > data.size() - at - 12) return Orientation::AsGiven;
        if (std::memcmp(type, "eXIf", 4) == 0) return TiffOrientation(data.subspan(at + 8, length));
        if (std::memcmp(type, "IDAT", 4) == 0 || std::memcmp(type, "IEND", 4) == 0) return Orientation::AsGiven;
        at += 12 + size_t(length);
    }
    return Orientation::AsGiven;
}

}  // namespace

Orientation TiffOrientation(std::span<const uint8_t> tiff) {
    if (tiff.size() < 8) return Orientation::AsGiven;
    TiffBytes t{tiff, false};
    if (tiff[0] == 'M' && tiff[1] == 'M')
        t.bigEndian = true;
    else if (tiff[0] != 'I' || tiff[1] != 'I')
        return Orientation::AsGiven;
    if (t.u16(2) != 42) return Orientation::AsGiven;
    const uint32_t directory = t.u32(4);
    if (!t.has(directory, 2)) return Orientation::AsGiven;
    // A count beyond the data is read as far as whole entries go.
    const uint64_t count = t.u16(directory);
    for (uint64_t i = 0; i < count && t.has(directory + 2 + i * kIfdEntry, kIfdEntry); ++i) {
        const size_t entry = size_t(directory + 2 + i * kIfdEntry);
        if (t.u16(entry) != kOrientationTag) continue;
        const uint16_t value = t.u16(entry + 8);  // a short stands first in the value field
        if (t.u16(entry + 2) != kTiffShort || t.u32(entry + 4) != 1 || value < 1 || value > 8)
            return Orientation::AsGiven;
        return Orientation(value);
    }
    return Orientation::AsGiven;
}

Orientation RecordedOrientation(std::span<const uint8_t> file) {
    if (file.size() >= 4 && file[0] == 0xFF && file[1] == 0xD8) return JpegOrientation(file);
    if (file.size() >= 8 && std::memcmp(file.data(), "\x89PNG\r\n\x1A\n", 8) == 0) return PngOrientation(file);
    return Orientation::AsGiven;
}

void PlaceTurnedRows(const QImage& rows, int firstRow, int count, QSize stored, Orientation turn, QImage& upright) {
    const int w = stored.width(), h = stored.height();
    if (!SwapsSides(turn)) {
        const bool mirrorX = turn == Orientation::MirroredLeftRight || turn == Orientation::TurnedHalf;
        const bool mirrorY = turn == Orientation::MirroredTopBottom || turn == Orientation::TurnedHalf;
        for (int i = 0; i < count; ++i) {
            const int sy = firstRow + i;
            const auto* from = reinterpret_cast<const uint32_t*>(rows.constScanLine(i));
            auto* to = reinterpret_cast<uint32_t*>(upright.scanLine(mirrorY ? h - 1 - sy : sy));
            if (!mirrorX)
                std::memcpy(to, from, size_t(w) * 4);
            else
                for (int x = 0; x < w; ++x) to[w - 1 - x] = from[x];
        }
        return;
    }
    // Stored row sy becomes upright column sy (or h-1-sy); stored column sx
    // upright row sx (or w-1-sx). A band of stored rows fills a run of each upright row.
    const bool rowsReversed = turn == Orientation::Transversed || turn == Orientation::TurnedAnticlockwise;
    const bool columnsReversed = turn == Orientation::TurnedClockwise || turn == Orientation::Transversed;
    for (int sx = 0; sx < w; ++sx) {
        auto* to = reinterpret_cast<uint32_t*>(upright.scanLine(rowsReversed ? w - 1 - sx : sx));
        for (int i = 0; i < count; ++i) {
            const int sy = firstRow + i;
            to[columnsReversed ? h - 1 - sy : sy] = reinterpret_cast<const uint32_t*>(rows.constScanLine(i))[sx];
        }
    }
}

QImage TurnedUpright(const QImage& stored, Orientation turn) {
    if (turn == Orientation::AsGiven || stored.isNull()) return stored;
    const QImage rows = stored.depth() == 32 ? stored : stored.convertToFormat(QImage::Format_ARGB32);
    const QSize size = SwapsSides(turn) ? rows.size().transposed() : rows.size();
    QImage upright(size, rows.format());
    if (upright.isNull()) return {};
    PlaceTurnedRows(rows, 0, rows.height(), rows.size(), turn, upright);
    upright.setText(kOrientationText, QString::number(int(turn)));
    return upright;
}

Orientation NotedOrientation(const QImage& photo) {
    bool ok = false;
    const int value = photo.text(kOrientationText).toInt(&ok);
    return ok && value >= 1 && value <= 8 ? Orientation(value) : Orientation::AsGiven;
}

}  // namespace v2d
