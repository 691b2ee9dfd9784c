#pragma once
// EXIF written by hand: a TIFF structure of one directory, and a JPEG carrying it.
#include <cstdint>
#include <vector>

namespace v2d::testing {

struct IfdEntry {
    uint16_t tag = 0x0112, type = 3;
    uint32_t count = 1, value = 1;
};

// The directory at `at` (past 4 KB a lie: written at 8), `declared` entries (-1: those written), a next offset.
inline std::vector<uint8_t> Tiff(bool big, std::vector<IfdEntry> entries, uint32_t at = 8, int declared = -1,
                                 uint32_t next = 0) {
    std::vector<uint8_t> out{uint8_t(big ? 'M' : 'I'), uint8_t(big ? 'M' : 'I')};
    const auto put = [&](uint32_t v, int n) {
        for (int i = 0; i < n; ++i) out.push_back(uint8_t(v >> 8 * (big ? n - 1 - i : i)));
    };
    put(42, 2), put(at, 4);
    if (at < 4096) out.resize(std::max<size_t>(out.size(), at), 0);
    put(declared < 0 ? uint32_t(entries.size()) : uint32_t(declared), 2);
    for (const IfdEntry& e : entries) put(e.tag, 2), put(e.type, 2), put(e.count, 4), put(e.value << (e.type == 3 && big ? 16 : 0), 4);
    put(next, 4);
    return out;
}

inline std::vector<uint8_t> WithExif(const std::vector<uint8_t>& jpeg, const std::vector<uint8_t>& tiff) {
    const size_t length = 8 + tiff.size();
    std::vector<uint8_t> out{0xFF, 0xD8, 0xFF, 0xE1, uint8_t(length >> 8), uint8_t(length), 'E', 'x', 'i', 'f', 0, 0};
    out.insert(out.end(), tiff.begin(), tiff.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

}  // namespace v2d::testing
