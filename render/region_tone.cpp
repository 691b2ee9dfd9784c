#include "render/region_tone.h"

#include <algorithm>
#include <vector>

#include "render/picture_ops.h"
#include "render/region_drawing.h"
#include "render/tone.h"
#include "scene/outline_geometry.h"
#include "vision/room_light.h"

namespace v2d {
namespace {

double Brightness(const V2dPolygon& record) { return 1.0 + 0.01 * record.lighten; }

// A laid picture toned with the room's light instead of the photo beneath it.
bool TakesRoomLight(const V2dPolygon& record) {
    return record.partsInfo.lightMode() == LightMode::Room && !record.picture.isNull() && record.toneEnabled;
}

// The room's light of the region's box, from the caches when it was made from the same region and photo.
QImage RoomLightOf(const V2dPolygon& record, const QImage& photo, RenderCaches* kept) {
    RenderCaches::LightMapSource source;
    if (kept) {
        source.points = record.points, source.indexList = record.indexList, source.light = LightMode::Room;
        source.realWidth = record.realWidth, source.realHeight = record.realHeight, source.photo = photo.cacheKey();
        std::copy(std::begin(record.corners), std::end(record.corners), source.corners.begin());
        if (const QImage& light = kept->lightMapOf(record, source); !light.isNull()) return light;
    }
    QImage light = vision::RoomLightMap(photo, record);
    if (kept) kept->setLightMap(record, std::move(source), light);
    return light;
}

float ReflectionStrength(const V2dPolygon& record) {
    return static_cast<float>(0.01 * std::min(record.reflect, 100));
}

QImage Reflected(const V2dPolygon& record, const QImage& toned, const QImage& scene, int firstRow) {
    if (toned.isNull() || record.reflect < 1) return toned;
    const PixelBox box = OutlineBox(record);
    const float strength = ReflectionStrength(record);
    return ReflectsAsWall(record.corners) ? ReflectWall(toned, scene, box.minX, box.minY + firstRow, strength)
                                          : ReflectFloor(toned, scene, box.minX, box.minY + firstRow, strength);
}

// Rows [first, end) of the region's picture at 32 bits, converted alone.
QImage PictureRows(const QImage& picture, int first, int end) {
    if (picture.isNull() || first >= std::min(end, picture.height())) return {};
    return ToRgb32(picture.copy(0, first, picture.width(), std::min(end, picture.height()) - first));
}

// Rows [first, end) of TonedRegionPicture.
QImage TonedRows(const V2dPolygon& record, const QImage& photo, const QImage& scene, const ImageOperations& ops,
                 int first, int end) {
    const PixelBox box = OutlineBox(record);
    const QImage picture = PictureRows(record.picture, first, end);
    QImage toned;
    if (record.blurRadius <= 0) {
        if (picture.isNull()) return {};
        toned = record.toneEnabled ? ApplyLightMap(picture, photo, box.minX, box.minY + first, Brightness(record))
                                   : picture;
    } else {
        if (!record.picture.isNull() && !record.toneEnabled) {
            toned = picture;
        } else {
            const QImage light = BuildSmoothedLightMapRows(record, photo, record.blurRadius, ops, first, end);
            toned = record.picture.isNull() ? light : ApplyLightMap(picture, light, 0, 0, Brightness(record));
        }
    }
    return Reflected(record, toned, scene, first);
}

int64_t Pixels(int width, int height) { return int64_t(std::max(width, 0)) * std::max(height, 0); }

int TonedHeight(const V2dPolygon& record) {
    return record.picture.isNull() ? OutlineBox(record).height() : record.picture.height();
}

bool ReflectsAsFloor(const V2dPolygon& record) { return record.reflect >= 1 && !ReflectsAsWall(record.corners); }

// Row ranges of the toned picture drawn together.
using Step = std::vector<std::pair<int, int>>;

// The toned picture's rows in bands. Where it covers the box once, only the
// visible rows, and for a floor reflection each band goes with its mirror
// band, so neither is covered before the other is read. A lower picture
// repeats down the box: all its rows, each band drawn wherever it repeats.
std::vector<Step> BandSteps(const V2dPolygon& record, const QRect& visible, int sceneHeight, int bandRows) {
    const int top = OutlineBox(record).minY;
    std::vector<Step> steps;
    auto add = [&](Step& step, int first, int end) {  // scene rows, kept within the visible ones
        first = std::max(first, visible.top());
        end = std::min(end, visible.bottom() + 1);
        if (first < end) step.emplace_back(first - top, end - top);
    };
    if (TonedHeight(record) < OutlineBox(record).height()) {
        for (int a = 0; a < TonedHeight(record); a += bandRows)
            steps.push_back({{a, std::min(a + bandRows, TonedHeight(record))}});
    } else if (ReflectsAsFloor(record)) {
        const int half = (sceneHeight + 1) / 2;
        for (int a = 0; a < half; a += bandRows) {
            const int b = std::min(a + bandRows, half);
            Step step;
            add(step, a, b);
            add(step, std::max(sceneHeight - b, half), sceneHeight - a);
            if (!step.empty()) steps.push_back(std::move(step));
        }
    } else {
        for (int a = visible.top(); a <= visible.bottom(); a += bandRows) {
            Step step;
            add(step, a, a + bandRows);
            steps.push_back(std::move(step));
        }
    }
    return steps;
}

// Where the toned rows [first, end) repeat within the box and the visible rows.
std::vector<int> RepeatsOf(const V2dPolygon& record, int first, int end, const QRect& visible) {
    const PixelBox box = OutlineBox(record);
    const int period = TonedHeight(record);
    std::vector<int> at;
    for (int row = first; row < box.height(); row += period)
        if (box.minY + row <= visible.bottom() && box.minY + row + (end - first) > visible.top()) at.push_back(row);
    return at;
}

}  // namespace

QImage TonedRegionPicture(const V2dPolygon& record, const QImage& photo, const QImage& scene,
                          const ImageOperations& ops, RenderCaches* kept) {
    const PixelBox box = OutlineBox(record);
    const QImage& picture = record.picture;
    // A picture drawn once over its box is lit only where the outline's fill reaches.
    const std::vector<ColumnSpan> lit = picture.size() == QSize(box.width(), box.height()) ? OutlineRowSpans(record)
                                                                                           : std::vector<ColumnSpan>{};
    QImage toned;
    if (const QImage light = TakesRoomLight(record) ? RoomLightOf(record, photo, kept) : QImage(); !light.isNull()) {
        toned = ApplyLightMap(picture, light, 0, 0, Brightness(record), lit);
    } else if (record.blurRadius <= 0 || TakesRoomLight(record)) {
        // A room light that cannot be made (no box within the photo) tones as the photo does.
        if (picture.isNull()) return {};
        toned = record.toneEnabled ? ApplyLightMap(picture, photo, box.minX, box.minY, Brightness(record), lit)
                                   : ToRgb32(picture).copy();
    } else if (!picture.isNull() && !record.toneEnabled) {
        toned = ToRgb32(picture).copy();
    } else {
        // A picture lower than the box takes only the light map's top rows.
        const int rows = picture.isNull() ? box.height() : std::min(picture.height(), box.height());
        RenderCaches::LightMapSource source;
        QImage light;
        if (kept) {
            source.points = record.points, source.indexList = record.indexList;
            source.radius = record.blurRadius, source.rows = rows, source.photo = photo.cacheKey();
            light = kept->lightMapOf(record, source);
        }
        if (light.isNull()) {
            light = rows < box.height() ? BuildSmoothedLightMapRows(record, photo, record.blurRadius, ops, 0, rows)
                                        : BuildSmoothedLightMap(record, photo, record.blurRadius, ops);
            if (kept) kept->setLightMap(record, std::move(source), light);
        }
        toned = picture.isNull() ? light : ApplyLightMap(picture, light, 0, 0, Brightness(record), lit);
    }
    return Reflected(record, toned, scene, 0);
}

int64_t WholeToningBytes(const V2dPolygon& record) {
    const PixelBox box = OutlineBox(record);
    const int64_t toned = 4 * (record.picture.isNull() ? Pixels(box.width(), box.height())
                                                       : Pixels(record.picture.width(), record.picture.height()));
    int64_t bytes = record.reflect >= 1 ? 2 * toned : toned;
    // The room's light: its map and the working pictures of the photo's box beside it.
    constexpr int kRoomLightBytesAPixel = 4 + 10;
    if (TakesRoomLight(record)) bytes += kRoomLightBytesAPixel * Pixels(box.width(), box.height());
    if (record.blurRadius > 0 && (record.picture.isNull() || record.toneEnabled)) {
        const int r = std::min(record.blurRadius, kLargestLightMapBlur);
        const int rows = std::min(TonedHeight(record), box.height());
        bytes += 4 * Pixels(box.width(), rows) + 3 * 4 * Pixels(box.width() + 2 * r, rows + 6 * r);
    }
    return bytes;
}

int64_t BandRowBytes(const V2dPolygon& record) {
    const int width = std::max(OutlineBox(record).width() + 2 * kLargestLightMapBlur, record.picture.width());
    return 4 * int64_t(std::max(width, 1));
}

bool CanToneInBands(const V2dPolygon& record) {
    const PixelBox box = OutlineBox(record);
    // The room's light is made from the whole region at once.
    return !box.empty() && TonedHeight(record) >= 1 && !TakesRoomLight(record) &&
           (TonedHeight(record) >= box.height() || !ReflectsAsFloor(record));
}

bool DrawRegionInBands(const V2dPolygon& record, const QImage& photo, QImage& scene, const ImageOperations& ops,
                       const QRect& clip, int bandRows) {
    QRect visible = DrawnBounds(record) & scene.rect();
    if (!clip.isNull()) visible &= clip;
    if (visible.isEmpty()) return true;
    bool drawn = false;
    for (const Step& step : BandSteps(record, visible, scene.height(), std::max(bandRows, 1))) {
        std::vector<QImage> bands;
        for (const auto& [first, end] : step)
            bands.push_back(RepeatsOf(record, first, end, visible).empty()
                                ? QImage()
                                : TonedRows(record, photo, scene, ops, first, end));
        for (size_t k = 0; k < step.size(); ++k) {
            if (bands[k].isNull()) continue;
            for (int row : RepeatsOf(record, step[k].first, step[k].second, visible))
                DrawRegionRows(record, bands[k], row, scene, clip);
            drawn = true;
        }
    }
    return drawn;
}

}  // namespace v2d
