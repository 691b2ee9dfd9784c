#include "render/picture_ops.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/row_bands.h"

namespace v2d {

QImage ToRgb32(const QImage& picture) {
    if (picture.isNull() || picture.format() == QImage::Format_RGB32) return picture;
    return picture.convertToFormat(QImage::Format_RGB32);
}

QImage MirrorPicture(const QImage& picture) {
    const QImage source = ToRgb32(picture);
    if (source.isNull()) return {};
    const int w = source.width(), h = source.height();
    QImage result(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        const auto* in = reinterpret_cast<const uint32_t*>(source.constScanLine(y));
        auto* out = reinterpret_cast<uint32_t*>(result.scanLine(y));
        for (int x = 0; x < w; ++x) out[x] = in[w - 1 - x];
    }
    return result;
}

QImage RotatePicture90(const QImage& picture) {
    const QImage source = ToRgb32(picture);
    if (source.isNull()) return {};
    const int w = source.width(), h = source.height();
    QImage result(h, w, QImage::Format_RGB32);
    const auto* bits = reinterpret_cast<const uint32_t*>(source.constBits());
    const qsizetype stride = source.bytesPerLine() / 4;
    // Result row Y holds source column W - 1 - Y, read top to bottom.
    for (int Y = 0; Y < w; ++Y) {
        auto* out = reinterpret_cast<uint32_t*>(result.scanLine(Y));
        const uint32_t* column = bits + (w - 1 - Y);
        for (int X = 0; X < h; ++X) out[X] = column[X * stride];
    }
    return result;
}

namespace {

// Integer sampling of one axis: the source index pair and the weight of
// the second one, out of `denominator`.
struct AxisSample {
    int first = 0;
    int second = 0;
    uint32_t weight = 0;  // of `second`
};

std::vector<AxisSample> SampleAxis(int sourceSize, int targetSize, int count, uint32_t& denominator) {
    std::vector<AxisSample> samples(static_cast<size_t>(count));
    if (targetSize == 1) {
        denominator = 1;
        return samples;  // the shared corner: index 0, full weight
    }
    denominator = static_cast<uint32_t>(targetSize - 1);
    for (int t = 0; t < count; ++t) {
        const uint64_t numerator = static_cast<uint64_t>(t) * static_cast<uint64_t>(sourceSize - 1);
        AxisSample& s = samples[static_cast<size_t>(t)];
        s.first = static_cast<int>(numerator / denominator);
        s.weight = static_cast<uint32_t>(numerator % denominator);
        s.second = s.first + 1 < sourceSize ? s.first + 1 : s.first;
    }
    return samples;
}

}  // namespace

QImage ResizePicture(const QImage& picture, int width, int height) {
    return ResizePictureWindow(picture, width, height, width, height);
}

namespace {

constexpr int kLargestTarget = 1 << 24;  // keeps the weight sums within 64 bits

// Target rows [firstRow, endRow) and columns [0, width) of the source
// resized to targetWidth x targetHeight. `source` holds the source rows from
// `sourceFirstRow` on, of a picture `sourceHeight` rows high.
QImage ResizeWindow(const QImage& source, int sourceFirstRow, int sourceHeight, int targetWidth, int targetHeight,
                    int width, int firstRow, int endRow) {
    const int height = endRow - firstRow;
    uint32_t dx = 1, dy = 1;
    const std::vector<AxisSample> columns = SampleAxis(source.width(), targetWidth, width, dx);
    std::vector<AxisSample> rows = SampleAxis(sourceHeight, targetHeight, endRow, dy);
    rows.erase(rows.begin(), rows.begin() + firstRow);
    for (AxisSample& r : rows) {
        r.first -= sourceFirstRow;
        r.second -= sourceFirstRow;
        if (r.first < 0 || r.second >= source.height()) return {};  // rows the caller did not hand over
    }
    const uint64_t total = static_cast<uint64_t>(dx) * dy;
    const uint64_t half = total / 2;  // half up: floor(sum / total + 0.5)
    QImage result(width, height, QImage::Format_RGB32);
    if (result.isNull()) return {};
    ForEachRowBand(height, width, [&](int firstBandRow, int endBandRow) {
        for (int y = firstBandRow; y < endBandRow; ++y) {
            const AxisSample& r = rows[static_cast<size_t>(y)];
            const auto* top = reinterpret_cast<const uint32_t*>(source.constScanLine(r.first));
            const auto* bottom = reinterpret_cast<const uint32_t*>(source.constScanLine(r.second));
            const uint64_t wy1 = r.weight, wy0 = dy - r.weight;
            auto* out = reinterpret_cast<uint32_t*>(result.scanLine(y));
            for (int x = 0; x < width; ++x) {
                const AxisSample& c = columns[static_cast<size_t>(x)];
                const uint64_t wx1 = c.weight, wx0 = dx - c.weight;
                const uint64_t w00 = wx0 * wy0, w10 = wx1 * wy0, w01 = wx0 * wy1, w11 = wx1 * wy1;
                const uint32_t p00 = top[c.first], p10 = top[c.second];
                const uint32_t p01 = bottom[c.first], p11 = bottom[c.second];
                uint32_t pixel = 0xFF000000u;
                for (int shift = 0; shift <= 16; shift += 8) {
                    const uint64_t sum = w00 * ((p00 >> shift) & 0xFF) + w10 * ((p10 >> shift) & 0xFF) +
                                         w01 * ((p01 >> shift) & 0xFF) + w11 * ((p11 >> shift) & 0xFF);
                    pixel |= static_cast<uint32_t>((sum + half) / total) << shift;
                }
                out[x] = pixel;
            }
        }
    });
    return result;
}

}  // namespace

QImage ResizePictureWindow(const QImage& picture, int targetWidth, int targetHeight, int width, int height) {
    const QImage source = ToRgb32(picture);
    if (source.isNull() || targetWidth < 1 || targetHeight < 1 || targetWidth > kLargestTarget ||
        targetHeight > kLargestTarget)
        return {};
    width = std::min(width, targetWidth);
    height = std::min(height, targetHeight);
    if (width < 1 || height < 1) return {};
    if (source.width() == targetWidth && source.height() == targetHeight)
        return source.copy(0, 0, width, height);
    return ResizeWindow(source, 0, source.height(), targetWidth, targetHeight, width, 0, height);
}

SourceRows ResizeSourceRows(int sourceHeight, int targetHeight, int firstRow, int endRow) {
    if (sourceHeight < 1 || targetHeight < 1 || targetHeight > kLargestTarget || firstRow < 0 || endRow <= firstRow ||
        endRow > targetHeight)
        return {};
    uint32_t denominator = 1;
    const std::vector<AxisSample> rows = SampleAxis(sourceHeight, targetHeight, endRow, denominator);
    return {rows[static_cast<size_t>(firstRow)].first, rows[static_cast<size_t>(endRow - 1)].second + 1};
}

QImage ResizePictureRows(const QImage& sourceRows, int sourceFirstRow, int sourceHeight, int width, int height,
                         int firstRow, int endRow) {
    const QImage source = ToRgb32(sourceRows);
    const SourceRows needed = ResizeSourceRows(sourceHeight, height, firstRow, endRow);
    if (source.isNull() || width < 1 || width > kLargestTarget || needed.end <= needed.first) return {};
    if (source.width() == width && sourceHeight == height) {
        if (firstRow < sourceFirstRow || endRow > sourceFirstRow + source.height()) return {};
        return source.copy(0, firstRow - sourceFirstRow, width, endRow - firstRow);
    }
    return ResizeWindow(source, sourceFirstRow, sourceHeight, width, height, width, firstRow, endRow);
}

QImage MultiplyColour(const QImage& picture, uint32_t colour) {
    const QImage source = ToRgb32(picture);
    if (source.isNull()) return {};
    const uint32_t r = RedOf(colour), g = GreenOf(colour), b = BlueOf(colour);
    QImage result(source.width(), source.height(), QImage::Format_RGB32);
    ForEachRowBand(source.height(), source.width(), [&](int firstRow, int endRow) {
        for (int y = firstRow; y < endRow; ++y) {
            const auto* in = reinterpret_cast<const uint32_t*>(source.constScanLine(y));
            auto* out = reinterpret_cast<uint32_t*>(result.scanLine(y));
            for (int x = 0; x < source.width(); ++x) {
                const uint32_t p = in[x];
                out[x] = 0xFF000000u | (r * ((p >> 16) & 0xFF) / 255) << 16 | (g * ((p >> 8) & 0xFF) / 255) << 8 |
                         (b * (p & 0xFF) / 255);
            }
        }
    });
    return result;
}

QImage SolidBitmap(int width, int height, uint32_t colour) {
    if (width < 1 || height < 1) return {};
    QImage result(width, height, QImage::Format_RGB32);
    result.fill(PixelOfColour(colour));
    return result;
}

QRect ClippedRect(int64_t x, int64_t y, int64_t w, int64_t h, const QRect& bounds) {
    if (w < 1 || h < 1 || bounds.isEmpty()) return {};
    const int64_t left = std::max<int64_t>(x, bounds.left()), top = std::max<int64_t>(y, bounds.top());
    const int64_t right = std::min<int64_t>(x + w - 1, bounds.right());
    const int64_t bottom = std::min<int64_t>(y + h - 1, bounds.bottom());
    if (left > right || top > bottom) return {};
    return QRect(QPoint(int(left), int(top)), QPoint(int(right), int(bottom)));
}

void CopyPictureInto(QImage& target, const QImage& source, int x, int y, const QRect& within) {
    const QImage bits = ToRgb32(source);
    const QRect part = ClippedRect(x, y, bits.width(), bits.height(), within & target.rect());
    if (part.isEmpty()) return;
    uchar* const targetBits = target.bits();  // detached once, before the bands share it
    const qsizetype targetStride = target.bytesPerLine();
    const size_t rowBytes = static_cast<size_t>(part.width()) * 4;
    ForEachRowBand(part.height(), part.width(), [&](int first, int end) {
        for (int ty = part.top() + first; ty < part.top() + end; ++ty)
            std::memcpy(targetBits + ty * targetStride + 4 * qsizetype(part.left()),
                        bits.constScanLine(ty - y) + 4 * qsizetype(part.left() - x), rowBytes);
    });
}

}  // namespace v2d
