#pragma once
// Builds file bytes by hand, field by field, for format tests.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace v2d::testing {

class ByteBuilder {
public:
    ByteBuilder& i32(int32_t v) {
        const uint32_t u = static_cast<uint32_t>(v);
        for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<uint8_t>(u >> (8 * k)));
        return *this;
    }
    ByteBuilder& u8(uint8_t v) {
        bytes.push_back(v);
        return *this;
    }
    ByteBuilder& raw(const std::string& s) {
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    ByteBuilder& raw(const std::vector<uint8_t>& b) {
        bytes.insert(bytes.end(), b.begin(), b.end());
        return *this;
    }
    // A fixed-width field: the text, then zeros.
    ByteBuilder& field(const std::string& s, size_t width) {
        std::string f = s;
        f.resize(width, '\0');
        return raw(f);
    }
    ByteBuilder& fill(size_t n, uint8_t v = 0) {
        bytes.insert(bytes.end(), n, v);
        return *this;
    }
    size_t size() const { return bytes.size(); }
    std::vector<uint8_t> bytes;
};

inline int32_t I32At(const std::vector<uint8_t>& b, size_t offset) {
    return static_cast<int32_t>(uint32_t(b[offset]) | uint32_t(b[offset + 1]) << 8 |
                                uint32_t(b[offset + 2]) << 16 | uint32_t(b[offset + 3]) << 24);
}

}  // namespace v2d::testing
