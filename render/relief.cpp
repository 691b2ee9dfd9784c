#include "render/relief.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "base/parallel_for.h"
#include "base/row_bands.h"
#include "render/picture_ops.h"
#include "render/tone.h"

namespace v2d {

namespace {

// table[level * 256 + channel]: the channel multiplied by the level's
// brightness, with the light map's own arithmetic.
std::vector<uint8_t> LevelTable(double strength) {
    std::vector<uint8_t> table(256 * 256);
    for (int v = 0; v < 256; ++v) {
        const double luminance = 0.299 * v + 0.587 * v + 0.114 * v;
        const double scale = static_cast<double>(std::clamp(static_cast<float>(luminance * strength), 0.0f, 255.0f));
        for (int c = 0; c < 256; ++c) table[v * 256 + c] = static_cast<uint8_t>(c * scale * kInverse255);
    }
    return table;
}

// The table again as one 16-bit factor per level, so that four channels are
// multiplied at once: table[level][c] = (c * factor) >> 16 with the factor
// in 0..65536. Each lane of `fraction` holds the factor below 65536 (the
// fourth lane 0), each lane of `whole` 0xFFFF where the factor is 65536.
// `exact` is false when some level has no such factor; the table serves then.
struct LevelFactors {
    std::array<uint64_t, 256> fraction{};
    std::array<uint64_t, 256> whole{};
    bool exact = true;
};

LevelFactors FactorsOf(const std::vector<uint8_t>& table) {
    constexpr uint64_t kColourLanes = 0x0000'0001'0001'0001u;
    LevelFactors factors;
    for (int v = 0; v < 256 && factors.exact; ++v) {
        const uint8_t* row = table.data() + v * 256;
        uint32_t factor = 0;  // the least that reaches every entry
        for (uint32_t c = 1; c < 256; ++c) factor = std::max(factor, (row[c] * 65536u + c - 1) / c);
        for (uint32_t c = 0; c < 256 && factors.exact; ++c) factors.exact = ((c * factor) >> 16) == row[c];
        factors.exact = factors.exact && factor <= 65536;
        if (factor == 65536)
            factors.whole[v] = 0xFFFF * kColourLanes;
        else
            factors.fraction[v] = factor * kColourLanes;
    }
    return factors;
}

// Pixels of a slice, whose relief map and product are still in the cache
// when the slice is multiplied; below the size at which a row pass over the
// map would start threads of its own inside this one's.
inline constexpr long long kSlicePixels = kPixelsWorthSplitting - 1;

// Rows of the canvas per slice: the slice's map is made over one more row
// either side, so its three-by-three slopes are those of the whole picture.
int SliceRows(int width) { return static_cast<int>(std::max<long long>(1, kSlicePixels / std::max(width, 1) - 2)); }

// out[x] = in[x] times the grey map's level; false at the first pixel of a
// map that is not grey.
bool MultiplyRow(const uint32_t* in, const uint32_t* map, uint32_t* out, int from, int width, const uint8_t* table) {
    for (int x = from; x < width; ++x) {
        const uint32_t m = map[x];
        const uint32_t level = m & 0xFF;
        if ((m & 0xFFFFFFu) != level * 0x010101u) return false;
        const uint8_t* row = table + level * 256;
        const uint32_t p = in[x];
        out[x] = 0xFF000000u | uint32_t(row[(p >> 16) & 0xFF]) << 16 | uint32_t(row[(p >> 8) & 0xFF]) << 8 |
                 row[p & 0xFF];
    }
    return true;
}

// The same, four pixels at a time through the levels' factors where they
// are exact.
bool MultiplyRow(const uint32_t* in, const uint32_t* map, uint32_t* out, int width, const uint8_t* table,
                 const LevelFactors& factors) {
    int x = 0;
#if defined(__SSE2__)
    if (factors.exact) {
        const __m128i zero = _mm_setzero_si128(), opaque = _mm_set1_epi32(int(0xFF000000u));
        const __m128i lowTwoBytes = _mm_set1_epi32(0xFFFF);
        __m128i notGrey = zero;
        const auto multiply = [&](__m128i channels, uint32_t level0, uint32_t level1) {
            const __m128i fraction =
                _mm_set_epi64x(int64_t(factors.fraction[level1]), int64_t(factors.fraction[level0]));
            const __m128i whole = _mm_set_epi64x(int64_t(factors.whole[level1]), int64_t(factors.whole[level0]));
            return _mm_add_epi16(_mm_mulhi_epu16(channels, fraction), _mm_and_si128(channels, whole));
        };
        for (; x + 4 <= width; x += 4) {
            const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(map + x));
            notGrey = _mm_or_si128(notGrey, _mm_and_si128(_mm_xor_si128(m, _mm_srli_epi32(m, 8)), lowTwoBytes));
            const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
            const __m128i first = multiply(_mm_unpacklo_epi8(p, zero), map[x] & 0xFF, map[x + 1] & 0xFF);
            const __m128i second = multiply(_mm_unpackhi_epi8(p, zero), map[x + 2] & 0xFF, map[x + 3] & 0xFF);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                             _mm_or_si128(_mm_packus_epi16(first, second), opaque));
        }
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(notGrey, zero)) != 0xFFFF) return false;
    }
#endif
    return MultiplyRow(in, map, out, x, width, table);
}

}  // namespace

QImage ApplyRelief(const QImage& canvas, ReliefKind kind, double strength, const ImageOperations& ops) {
    const QImage copy = ToRgb32(canvas);
    if (copy.isNull()) return copy;
    const std::vector<uint8_t> table = LevelTable(strength);
    const LevelFactors factors = FactorsOf(table);
    const int width = copy.width(), height = copy.height();
    const qsizetype inStride = copy.bytesPerLine();
    QImage result(copy.size(), QImage::Format_RGB32);
    if (result.isNull()) return {};
    uchar* bits = result.bits();
    const qsizetype outStride = result.bytesPerLine();
    const int sliceRows = SliceRows(width);
    const int slices = (height + sliceRows - 1) / sliceRows;
    // The map is asked for slice by slice, the cores taking the next slice as
    // they come free, and each slice is multiplied while it is still in the
    // cache: no full-size map is made.
    std::atomic<bool> unusual{false};
    ParallelFor(static_cast<size_t>(slices), [&](size_t slice) {
        if (unusual.load(std::memory_order_relaxed)) return;
        const int top = static_cast<int>(slice) * sliceRows, bottom = std::min(top + sliceRows, height);
        const int from = std::max(top - 1, 0), to = std::min(bottom + 1, height);
        const QImage part(copy.constScanLine(from), width, to - from, inStride, QImage::Format_RGB32);
        QImage map = ops.GetBumpMapLevels(part, kind);  // only the low three bytes are read
        if (map.format() != QImage::Format_ARGB32) map = ToRgb32(map);
        bool usable = map.size() == part.size();
        for (int y = top; usable && y < bottom; ++y)
            usable = MultiplyRow(reinterpret_cast<const uint32_t*>(copy.constScanLine(y)),
                                 reinterpret_cast<const uint32_t*>(map.constScanLine(y - from)),
                                 reinterpret_cast<uint32_t*>(bits + y * outStride), width, table.data(), factors);
        if (!usable) unusual = true;
    });
    if (!unusual) return result;
    // A library that refuses the canvas leaves it as it was; a map of another
    // size or not grey (never the library's) takes the light map's own
    // formula over the whole picture's map.
    const QImage relief = ops.GetBumpMap(copy, kind);
    return relief.isNull() ? copy : ApplyLightMap(copy, relief, 0, 0, strength);
}

}  // namespace v2d
