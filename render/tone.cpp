#include "render/tone.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include "scene/outline_geometry.h"
#include "base/picture_codec.h"
#include "render/picture_ops.h"
#include "base/row_bands.h"

namespace v2d {
namespace {

// The columns [first, end) of a picture row whose partner column lies inside
// a map of `mapWidth` columns.
void PartnerColumns(int width, int offsetX, int mapWidth, int& first, int& end) {
    first = static_cast<int>(std::clamp<long long>(-static_cast<long long>(offsetX), 0, width));
    end = static_cast<int>(std::clamp<long long>(static_cast<long long>(mapWidth) - offsetX, first, width));
}

uint32_t Channel(uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

}  // namespace

namespace {

// One pixel lit, made opaque.
inline uint32_t LitPixel(uint32_t p, double level) {
    return 0xFF000000u | LitChannel(Channel(p, 16), level) << 16 | LitChannel(Channel(p, 8), level) << 8 |
           LitChannel(Channel(p, 0), level);
}

void LightRowPlain(const uint32_t* in, const uint32_t* light, uint32_t* out, int count, double factor) {
    for (int x = 0; x < count; ++x) out[x] = LitPixel(in[x], LightLevel(light[x], factor));
}

#if defined(__x86_64__) && defined(__GNUC__)
#define V2D_AVX2 __attribute__((target("avx2")))
// One channel of four pixels as doubles.
V2D_AVX2 inline __m256d ChannelOf4(__m128i pixels, int shift) {
    return _mm256_cvtepi32_pd(_mm_and_si128(_mm_srl_epi32(pixels, _mm_cvtsi32_si128(shift)), _mm_set1_epi32(0xFF)));
}

// trunc(channel * scale * 1/255) of four pixels, at the channel's place.
V2D_AVX2 inline __m128i LitChannelOf4(__m128i pixels, int shift, __m256d scale) {
    const __m256d v = _mm256_mul_pd(_mm256_mul_pd(ChannelOf4(pixels, shift), scale), _mm256_set1_pd(kInverse255));
    return _mm_sll_epi32(_mm256_cvttpd_epi32(v), _mm_cvtsi32_si128(shift));
}

// The same arithmetic four pixels at a time: every step is the same IEEE
// operation as in LightLevel and LitChannel (products and sums in double,
// never fused, one conversion to float, truncation), so the bytes are the same.
V2D_AVX2 void LightRowAvx2(const uint32_t* in, const uint32_t* light, uint32_t* out, int count, double factor) {
    const __m256d red = _mm256_set1_pd(0.299), green = _mm256_set1_pd(0.587), blue = _mm256_set1_pd(0.114);
    const __m256d by = _mm256_set1_pd(factor);
    const __m128 low = _mm_setzero_ps(), high = _mm_set1_ps(255.0f);
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    int x = 0;
    for (; x + 4 <= count; x += 4) {
        const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(light + x));
        const __m256d luminance = _mm256_add_pd(
            _mm256_add_pd(_mm256_mul_pd(red, ChannelOf4(m, 16)), _mm256_mul_pd(green, ChannelOf4(m, 8))),
            _mm256_mul_pd(blue, ChannelOf4(m, 0)));
        const __m128 level = _mm_max_ps(_mm_min_ps(_mm256_cvtpd_ps(_mm256_mul_pd(luminance, by)), high), low);
        const __m256d scale = _mm256_cvtps_pd(level);
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
        const __m128i lit = _mm_or_si128(_mm_or_si128(opaque, LitChannelOf4(p, 16, scale)),
                                         _mm_or_si128(LitChannelOf4(p, 8, scale), LitChannelOf4(p, 0, scale)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), lit);
    }
    LightRowPlain(in + x, light + x, out + x, count - x, factor);
}
#undef V2D_AVX2
#endif

// out[x] = in[x] lit by light[x], for `count` pixels.
void LightRow(const uint32_t* in, const uint32_t* light, uint32_t* out, int count, double factor) {
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) return LightRowAvx2(in, light, out, count, factor);
#endif
    LightRowPlain(in, light, out, count, factor);
}

// A picture of the input's size, each row written once from the input: the
// part that lies over the partner picture (shifted by the offsets) by
// `blend(in, out, partnerRow, firstColumn, endColumn)`, the rest copied.
// With `only` (one span per row), a row's blend keeps within its span too.
template <class Blend>
QImage BlendedOverPartner(const QImage& input, QSize partner, int offsetX, int offsetY, Blend&& blend,
                          std::span<const ColumnSpan> only = {}) {
    QImage result(input.size(), QImage::Format_RGB32);
    if (result.isNull()) return result;
    int partnerFirst = 0, partnerEnd = 0;
    PartnerColumns(result.width(), offsetX, partner.width(), partnerFirst, partnerEnd);
    const bool everyColumn = only.size() != static_cast<size_t>(result.height());
    const size_t rowBytes = 4 * static_cast<size_t>(result.width());
    ForEachRowBand(result.height(), result.width(), [&](int firstRow, int endRow) {
        for (int y = firstRow; y < endRow; ++y) {
            const auto* in = reinterpret_cast<const uint32_t*>(input.constScanLine(y));
            auto* row = reinterpret_cast<uint32_t*>(result.scanLine(y));
            int firstColumn = partnerFirst, endColumn = partnerEnd;
            if (!everyColumn) {
                const ColumnSpan span = only[static_cast<size_t>(y)];
                firstColumn = std::clamp(span.left, partnerFirst, partnerEnd);
                endColumn = std::clamp(span.end, firstColumn, partnerEnd);
            }
            const long long partnerRow = static_cast<long long>(offsetY) + y;
            if (partnerRow < 0 || partnerRow >= partner.height() || firstColumn >= endColumn) {
                std::memcpy(row, in, rowBytes);
                continue;
            }
            std::memcpy(row, in, 4 * static_cast<size_t>(firstColumn));
            std::memcpy(row + endColumn, in + endColumn, 4 * static_cast<size_t>(result.width() - endColumn));
            blend(in, row, static_cast<int>(partnerRow), firstColumn, endColumn);
        }
    });
    return result;
}

}  // namespace

QImage ApplyLightMap(const QImage& picture, const QImage& lightMap, int offsetX, int offsetY, double factor,
                     std::span<const ColumnSpan> lit) {
    const QImage source = ToRgb32(picture);
    const QImage map = ToRgb32(lightMap);
    if (source.isNull() || map.isNull()) return source.copy();
    return BlendedOverPartner(
        source, map.size(), offsetX, offsetY,
        [&](const uint32_t* in, uint32_t* row, int my, int firstColumn, int endColumn) {
            const auto* light = reinterpret_cast<const uint32_t*>(map.constScanLine(my));
            LightRow(in + firstColumn, light + offsetX + firstColumn, row + firstColumn, endColumn - firstColumn,
                     factor);
        },
        lit);
}

namespace {

QImage Reflect(const QImage& picture, const QImage& scene, int offsetX, int offsetY, float strength, bool floor) {
    const QImage input = ToRgb32(picture);
    const QImage source = ToRgb32(scene);
    if (input.isNull() || source.isNull()) return input.copy();
    const double k = strength, rest = 1.0 - static_cast<double>(strength);
    const int sw = source.width(), sh = source.height();
    return BlendedOverPartner(input, source.size(), offsetX, offsetY,
                              [&](const uint32_t* in, uint32_t* row, int sy, int firstColumn, int endColumn) {
        const auto* mirrored = reinterpret_cast<const uint32_t*>(source.constScanLine(floor ? sh - 1 - sy : sy));
        for (int x = firstColumn; x < endColumn; ++x) {
            const int sx = offsetX + x;
            const uint32_t r = mirrored[floor ? sx : sw - 1 - sx];
            const uint32_t t = in[x];
            const auto blend = [&](int shift) {
                return static_cast<uint32_t>(Channel(r, shift) * k + rest * Channel(t, shift)) << shift;
            };
            row[x] = 0xFF000000u | blend(16) | blend(8) | blend(0);
        }
    });
}

bool NearVertical(double angle) {
    const double a = std::abs(angle);
    return 1.3955555 < a && a < 1.7444445;
}

}  // namespace

QImage ReflectFloor(const QImage& picture, const QImage& scene, int offsetX, int offsetY, float strength) {
    return Reflect(picture, scene, offsetX, offsetY, strength, true);
}

QImage ReflectWall(const QImage& picture, const QImage& scene, int offsetX, int offsetY, float strength) {
    return Reflect(picture, scene, offsetX, offsetY, strength, false);
}

bool ReflectsAsWall(const V2d_Point (&corners)[4]) {
    const V2d_Point &tl = corners[0], &tr = corners[1], &br = corners[2], &bl = corners[3];
    const double a1 = std::atan2(double(tl.y) - bl.y, double(tl.x) - bl.x);
    const double a2 = std::atan2(double(tr.y) - br.y, double(tr.x) - br.x);
    return NearVertical(a1) && NearVertical(a2);
}

namespace {

// The stamping's pixel work (circles times their area) of any real outline
// stays far below this; a hostile outline beyond it gets no light map.
constexpr double kStampBudget = 5e8;

// The circles stamped along the outline's edges, each covering at most the box.
double StampWork(const V2dPolygon& record, const PixelBox& box, int radius) {
    const double circle = std::min(std::pow(4.0 * radius + 1, 2), double(box.width()) * box.height());
    double steps = 0;
    for (std::span<const V2d_Point> ring : OutlineRings(record))
        for (size_t n = 0; n < ring.size(); ++n) {
            const V2d_Point a = ring[n], b = ring[(n + 1) % ring.size()];
            steps += 1 + std::max(std::abs(double(b.x) - a.x), std::abs(double(b.y) - a.y));
        }
    return steps * circle;
}

}  // namespace

namespace {

// Where a record's light map lies: its outline box, stretched by 2r each way.
struct LightMapPlan {
    PixelBox box;
    int radius = 0;
    int stretchedWidth = 0, stretchedHeight = 0;
};

std::optional<LightMapPlan> PlanLightMap(const V2dPolygon& record, const QImage& photo, int radius) {
    const PixelBox box = OutlineBox(record);
    if (box.empty() || photo.isNull() || radius < 1 || !PictureSizeAllowed(box.width(), box.height()))
        return std::nullopt;
    radius = std::min(radius, kLargestLightMapBlur);
    const long long stretchedW = box.width() + 2LL * radius, stretchedH = box.height() + 2LL * radius;
    // The map covers the region's box; one far larger than the photo is no region of it.
    if (stretchedW > kMaxPictureSide || stretchedH > kMaxPictureSide ||
        stretchedW * stretchedH > 4LL * photo.width() * photo.height() + (1 << 20) ||
        StampWork(record, box, radius) > kStampBudget)
        return std::nullopt;
    return LightMapPlan{box, radius, static_cast<int>(stretchedW), static_cast<int>(stretchedH)};
}

// The outline box's rows from `top` on, as many as `work` holds: the photo
// with the colours at the outline points stamped along the outline. Only
// circles reaching rows from `firstNeeded` on are stamped; each is drawn in
// the whole box's coordinates, moved up by `top` after its path is made, so
// a band shows exactly the pixels of the whole box.
void StampOutline(QImage& work, const V2dPolygon& record, const QImage& source, const LightMapPlan& plan, int top,
                  int firstNeeded) {
    const PixelBox& box = plan.box;
    work.fill(0xFF000000u);
    QPainter painter(&work);
    painter.drawImage(QPoint(-box.minX, -box.minY - top), source);
    painter.setPen(Qt::NoPen);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(0, -top);
    const double r2 = 2.0 * plan.radius;
    const double firstY = firstNeeded - r2 - 1, endY = top + work.height() + r2 + 1;
    for (std::span<const V2d_Point> ring : OutlineRings(record)) {
        for (size_t n = 0; n < ring.size(); ++n) {
            const V2d_Point a = ring[n], b = ring[(n + 1) % ring.size()];
            if (a.x < 0 || a.y < 0 || a.x >= source.width() || a.y >= source.height()) continue;
            // The edge's circles all lie between its ends' rows.
            if (std::max(a.y, b.y) - box.minY < firstY || std::min(a.y, b.y) - box.minY > endY) continue;
            painter.setBrush(QColor::fromRgb(source.pixel(a.x, a.y)));  // once per outline point
            const long long steps = std::max(std::llabs(static_cast<long long>(b.x) - a.x),
                                             std::llabs(static_cast<long long>(b.y) - a.y));
            for (long long s = 0; s <= steps; ++s) {
                const double t = steps == 0 ? 0.0 : double(s) / double(steps);
                const QPointF centre(a.x + (b.x - a.x) * t - box.minX, a.y + (b.y - a.y) * t - box.minY);
                if (centre.y() < firstY || centre.y() > endY) continue;
                painter.drawEllipse(centre, r2, r2);
            }
        }
    }
}

}  // namespace

QImage BuildSmoothedLightMap(const V2dPolygon& record, const QImage& photo, int radius, const ImageOperations& ops) {
    const std::optional<LightMapPlan> plan = PlanLightMap(record, photo, radius);
    if (!plan) return {};
    const PixelBox& box = plan->box;
    // Only the outline box survives the cut, so the stamping works on it alone.
    QImage work(box.width(), box.height(), QImage::Format_RGB32);
    StampOutline(work, record, ToRgb32(photo), *plan, 0, 0);
    const QImage stretched = ResizePicture(work, plan->stretchedWidth, plan->stretchedHeight);
    const QImage blurred = ops.GaussBlurCV2(stretched, plan->radius, plan->radius);
    if (blurred.isNull()) return {};
    return blurred.copy(plan->radius, plan->radius, box.width(), box.height());
}

QImage BuildSmoothedLightMapRows(const V2dPolygon& record, const QImage& photo, int radius,
                                 const ImageOperations& ops, int firstRow, int endRow) {
    const std::optional<LightMapPlan> plan = PlanLightMap(record, photo, radius);
    if (!plan) return {};
    const PixelBox& box = plan->box;
    const int r = plan->radius;
    firstRow = std::max(firstRow, 0);
    endRow = std::min(endRow, box.height());
    if (endRow <= firstRow) return {};
    // Blurred row y + r takes the stretched rows within r of it; those take
    // the box rows they sample, which take the circles reaching them.
    const int stretchedFirst = firstRow, stretchedEnd = std::min(plan->stretchedHeight, endRow + 2 * r);
    const SourceRows needed = ResizeSourceRows(box.height(), plan->stretchedHeight, stretchedFirst, stretchedEnd);
    // Every circle reaching the needed rows lies wholly below the band's top.
    const int top = std::max(0, needed.first - 4 * r - 4);
    QImage work(box.width(), needed.end - top, QImage::Format_RGB32);
    if (work.isNull()) return {};
    StampOutline(work, record, ToRgb32(photo), *plan, top, needed.first);
    QImage stretched = ResizePictureRows(work, top, box.height(), plan->stretchedWidth, plan->stretchedHeight,
                                         stretchedFirst, stretchedEnd);
    work = QImage();
    const QImage blurred = ops.GaussBlurCV2(stretched, r, r);
    stretched = QImage();
    if (blurred.isNull()) return {};
    return blurred.copy(r, firstRow + r - stretchedFirst, box.width(), endRow - firstRow);
}

}  // namespace v2d
