#pragma once
// Points and boxes in picture coordinates, as every layer and the image
// library's binding use them.
#include <array>
#include <cstdint>
#include <climits>
#include <span>

namespace v2d {

// Two signed 32-bit integers, as the files store a point.
struct V2d_Point {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const V2d_Point&, const V2d_Point&) = default;
};

// Truncates toward zero like a C cast, saturating where a hostile file's
// coordinates would leave the int range.
inline int32_t TruncToInt(double v) {
    if (!(v > -2147483648.0)) return v != v ? 0 : INT32_MIN;
    if (v >= 2147483647.0) return INT32_MAX;
    return static_cast<int32_t>(v);
}

// Coordinates, offsets and radii of any real scene stay within this many
// pixels of the origin: four times the largest picture side a reader accepts.
// Readers refuse values beyond it; drawers skip records that hold them.
inline constexpr int32_t kCoordinateLimit = 120000;
inline bool WithinCoordinateLimit(int64_t v) { return v >= -kCoordinateLimit && v <= kCoordinateLimit; }

// A sum of coordinates held inside the int range.
inline int32_t SaturatedSum(int64_t a, int64_t b) {
    const int64_t sum = a + b;
    return sum < INT32_MIN ? INT32_MIN : sum > INT32_MAX ? INT32_MAX : static_cast<int32_t>(sum);
}

// Top-left, top-right, bottom-right, bottom-left.
using Quad = std::array<V2d_Point, 4>;
inline Quad QuadOf(const V2d_Point (&corners)[4]) { return {corners[0], corners[1], corners[2], corners[3]}; }

// The smallest box holding some points, both ends included; empty for none.
struct PixelBox {
    int minX = 0, minY = 0, maxX = -1, maxY = -1;
    // Saturate at INT_MAX for hostile coordinates; callers check the size.
    int width() const { return Span(minX, maxX); }
    int height() const { return Span(minY, maxY); }
    bool empty() const { return maxX < minX || maxY < minY; }
    // The box's own corners, top-left first.
    Quad corners() const { return {V2d_Point{minX, minY}, {maxX, minY}, {maxX, maxY}, {minX, maxY}}; }
    friend bool operator==(const PixelBox&, const PixelBox&) = default;

private:
    static int Span(int low, int high) {
        const long long span = static_cast<long long>(high) - low + 1;
        return span > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(span);
    }
};

inline PixelBox BoxOf(std::span<const V2d_Point> points) {
    if (points.empty()) return {};
    PixelBox box{points.front().x, points.front().y, points.front().x, points.front().y};
    for (const V2d_Point& p : points) {
        if (p.x < box.minX) box.minX = p.x;
        if (p.y < box.minY) box.minY = p.y;
        if (p.x > box.maxX) box.maxX = p.x;
        if (p.y > box.maxY) box.maxY = p.y;
    }
    return box;
}

}  // namespace v2d
