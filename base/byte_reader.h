#pragma once
// A cursor over bytes held in memory that never reads past the end: every
// read reports whether the bytes were there, so counts and lengths from a
// file are checked against what is left before anything is allocated.
#include <cstdint>
#include <cstring>
#include <span>

namespace v2d {

// Little-endian integers, as every file format here stores them.
inline int32_t ReadI32(const uint8_t* p) {
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                                uint32_t(p[3]) << 24);
}
inline uint32_t ReadU32(const uint8_t* p) { return static_cast<uint32_t>(ReadI32(p)); }
inline uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    size_t remaining() const { return bytes_.size() - position_; }
    size_t position() const { return position_; }
    bool atEnd() const { return position_ == bytes_.size(); }

    bool readI32(int32_t& value) {
        if (remaining() < 4) return false;
        value = ReadI32(bytes_.data() + position_);
        position_ += 4;
        return true;
    }
    bool readU32(uint32_t& value) {
        int32_t v;
        if (!readI32(v)) return false;
        value = static_cast<uint32_t>(v);
        return true;
    }
    // A view of the next `count` bytes, or an empty optional-like failure.
    bool take(uint64_t count, std::span<const uint8_t>& out) {
        if (count > remaining()) return false;
        out = bytes_.subspan(position_, static_cast<size_t>(count));
        position_ += static_cast<size_t>(count);
        return true;
    }
    // True when `count` items of `itemSize` bytes fit in what is left.
    bool fits(uint64_t count, uint64_t itemSize) const {
        return itemSize == 0 || count <= remaining() / itemSize;
    }

private:
    std::span<const uint8_t> bytes_;
    size_t position_ = 0;
};

}  // namespace v2d
