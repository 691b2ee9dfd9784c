#pragma once
// EXIF written by hand for the readers' tests: a TIFF structure with one
// directory, and a JPEG with it as its APP1 segment.
#include <cstdint>
#include <vector>

namespace v2d::testing {

using ByteList = std::vector<uint8_t>;

struct IfdEntry {
    uint16_t tag = 0x0112, type = 3;
    uint32_t count = 1, value = 1;
};

// "II" or "MM", 42, the directory at `at` (8 right after the header; an
// offset beyond 4 KB is a lie, the directory written after the header) with
// `declared` entries of which `entries` are written, then a next-directory offset.
inline ByteList Tiff(bool bigEndian, std::vector<IfdEntry> entries, uint32_t at = 8, int declared = -1,
                     uint32_t next = 0) {
    ByteList out;
    const auto put = [&](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(v >> 8 * (bigEndian ? bytes - 1 - i : i)));
    };
    out = {uint8_t(bigEndian ? 'M' : 'I'), uint8_t(bigEndian ? 'M' : 'I')};
    put(42, 2), put(at, 4);
    if (at < 4096) out.resize(std::max<size_t>(out.size(), at), 0);
    put(declared < 0 ? uint32_t(entries.size()) : uint32_t(declared), 2);
    for (const IfdEntry& e : entries) {
        put(e.tag, 2), put(e.type, 2), put(e.count, 4);
        if (e.type == 3) put(e.value, 2), put(0, 2);
        else put(e.value, 4);
    }
    put(next, 4);
    return out;
}

// The JPEG with `tiff` as its EXIF segment, right after its start marker.
inline ByteList WithExif(const ByteList& jpeg, const ByteList& tiff) {
    const size_t length = 2 + 6 + tiff.size();
    ByteList out{0xFF, 0xD8, 0xFF, 0xE1, uint8_t(length >> 8), uint8_t(length), 'E', 'x', 'i', 'f', 0, 0};
    out.insert(out.end(), tiff.begin(), tiff.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

}  // namespace v2d::testing
