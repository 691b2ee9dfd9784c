#include "render/relief.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <vector>

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

}  // namespace

QImage ApplyRelief(const QImage& canvas, ReliefKind kind, double strength, const ImageOperations& ops) {
    const QImage copy = ToRgb32(canvas);
    QImage relief = ToRgb32(ops.GetBumpMap(copy, kind));
    if (relief.isNull()) return copy;
    if (relief.size() != copy.size()) return ApplyLightMap(copy, relief, 0, 0, strength);
    const std::vector<uint8_t> table = LevelTable(strength);
    // The map is ours alone: each pixel is read once and the result written
    // in its place, so no second picture is allocated and touched.
    QImage result = std::move(relief);
    const int width = copy.width();
    uchar* bits = result.bits();
    const qsizetype stride = result.bytesPerLine();
    // One pass in row bands: each pixel of the map is read once and the
    // result written in its place.
    std::atomic<bool> notGrey{false};
    ForEachRowBand(copy.height(), width, [&](int first, int end) {
        for (int y = first; y < end && !notGrey.load(std::memory_order_relaxed); ++y) {
            const auto* in = reinterpret_cast<const uint32_t*>(copy.constScanLine(y));
            auto* out = reinterpret_cast<uint32_t*>(bits + y * stride);
            for (int x = 0; x < width; ++x) {
                const uint32_t m = out[x];
                const uint32_t level = m & 0xFF;
                if (((m >> 8) & 0xFF) != level || ((m >> 16) & 0xFF) != level) {
                    notGrey = true;
                    return;
                }
                const uint8_t* row = table.data() + level * 256;
                const uint32_t p = in[x];
                out[x] = 0xFF000000u | uint32_t(row[(p >> 16) & 0xFF]) << 16 | uint32_t(row[(p >> 8) & 0xFF]) << 8 |
                         row[p & 0xFF];
            }
        }
    });
    // A map that is not grey after all (never the library's) takes the light
    // map's own formula over a fresh map.
    return notGrey ? ApplyLightMap(copy, ops.GetBumpMap(copy, kind), 0, 0, strength) : result;
}

}  // namespace v2d
