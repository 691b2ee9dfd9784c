#include "render/relief.h"

#include <algorithm>
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

// Pixels of a slice whose relief map and product are still in the cache
// when the next slice starts; the map's own finishing pass stays below the
// size at which it would start threads of its own.
inline constexpr long long kSlicePixels = kPixelsWorthSplitting - 1;

// Rows of the canvas per slice: the slice's map is made over one more row
// either side, so its three-by-three slopes are those of the whole picture.
int SliceRows(int width) { return static_cast<int>(std::max<long long>(1, kSlicePixels / std::max(width, 1) - 2)); }

// out[x] = in[x] times the grey map's level; false at the first pixel of a
// map that is not grey.
bool MultiplyRow(const uint32_t* in, const uint32_t* map, uint32_t* out, int width, const uint8_t* table) {
    for (int x = 0; x < width; ++x) {
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

}  // namespace

QImage ApplyRelief(const QImage& canvas, ReliefKind kind, double strength, const ImageOperations& ops) {
    const QImage copy = ToRgb32(canvas);
    if (copy.isNull()) return copy;
    const std::vector<uint8_t> table = LevelTable(strength);
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
        const QImage map = ToRgb32(ops.GetBumpMap(part, kind));
        bool usable = map.size() == part.size();
        for (int y = top; usable && y < bottom; ++y)
            usable = MultiplyRow(reinterpret_cast<const uint32_t*>(copy.constScanLine(y)),
                                 reinterpret_cast<const uint32_t*>(map.constScanLine(y - from)),
                                 reinterpret_cast<uint32_t*>(bits + y * outStride), width, table.data());
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
