#include "render/region_tone.h"

#include <algorithm>
#include <vector>

#include "render/picture_ops.h"
#include "render/region_drawing.h"
#include "render/tone.h"
#include "scene/outline_geometry.h"

namespace v2d {
namespace {

double Brightness(const V2dPolygon& record) { return 1.0 + 0.01 * record.lighten; }

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
        const QImage light = BuildSmoothedLightMapRows(record, photo, record.blurRadius, ops, first, end);
        if (record.picture.isNull())
            toned = light;
        else if (!record.toneEnabled)
            toned = picture;
        else
            toned = ApplyLightMap(picture, light, 0, 0, Brightness(record));
    }
    return Reflected(record, toned, scene, first);
}

int64_t Pixels(int width, int height) { return int64_t(std::max(width, 0)) * std::max(height, 0); }

int TonedHeight(const V2dPolygon& record) {
    return record.picture.isNull() ? OutlineBox(record).height() : record.picture.height();
}

// Row ranges of the toned picture drawn together.
using Step = std::vector<std::pair<int, int>>;

// The visible rows of the region in bands; for a floor reflection each band
// goes with its mirror band, so neither is covered before the other is read.
std::vector<Step> BandSteps(const V2dPolygon& record, const QRect& visible, int sceneHeight, int bandRows) {
    const int top = OutlineBox(record).minY;
    std::vector<Step> steps;
    auto add = [&](Step& step, int first, int end) {  // scene rows, kept within the visible ones
        first = std::max(first, visible.top());
        end = std::min(end, visible.bottom() + 1);
        if (first < end) step.emplace_back(first - top, end - top);
    };
    if (record.reflect >= 1 && !ReflectsAsWall(record.corners)) {
        const int half = (sceneHeight + 1) / 2;
        for (int a = 0; a < half; a += bandRows) {
            const int b = std::min(a + bandRows, half);
            Step step;
            add(step, a, b);
            add(step, std::max(sceneHeight - b, half), sceneHeight - a);
            if (!step.empty()) steps.push_back(std::move(step));
        }
        return steps;
    }
    for (int a = visible.top(); a <= visible.bottom(); a += bandRows) {
        Step step;
        add(step, a, a + bandRows);
        steps.push_back(std::move(step));
    }
    return steps;
}

}  // namespace

QImage TonedRegionPicture(const V2dPolygon& record, const QImage& photo, const QImage& scene,
                          const ImageOperations& ops) {
    const PixelBox box = OutlineBox(record);
    const QImage& picture = record.picture;
    QImage toned;
    if (record.blurRadius <= 0) {
        if (picture.isNull()) return {};
        toned = record.toneEnabled ? ApplyLightMap(picture, photo, box.minX, box.minY, Brightness(record))
                                   : ToRgb32(picture).copy();
    } else {
        const QImage light = BuildSmoothedLightMap(record, photo, record.blurRadius, ops);
        if (picture.isNull())
            toned = light;
        else if (!record.toneEnabled)
            toned = ToRgb32(picture).copy();
        else
            toned = ApplyLightMap(picture, light, 0, 0, Brightness(record));
    }
    return Reflected(record, toned, scene, 0);
}

int64_t WholeToningBytes(const V2dPolygon& record) {
    const PixelBox box = OutlineBox(record);
    const int64_t toned = 4 * (record.picture.isNull() ? Pixels(box.width(), box.height())
                                                       : Pixels(record.picture.width(), record.picture.height()));
    int64_t bytes = record.reflect >= 1 ? 2 * toned : toned;
    if (record.blurRadius > 0) {
        const int r = std::min(record.blurRadius, 30);
        bytes += 4 * Pixels(box.width(), box.height()) + 3 * 4 * Pixels(box.width() + 2 * r, box.height() + 2 * r);
    }
    return bytes;
}

int64_t BandRowBytes(const V2dPolygon& record) {
    const int width = std::max(OutlineBox(record).width() + 60, record.picture.width());
    return 4 * int64_t(std::max(width, 1));
}

bool CanToneInBands(const V2dPolygon& record) {
    const PixelBox box = OutlineBox(record);
    return !box.empty() && TonedHeight(record) >= box.height();
}

bool DrawRegionInBands(const V2dPolygon& record, const QImage& photo, QImage& scene, const ImageOperations& ops,
                       const QRect& clip, int bandRows) {
    QRect visible = DrawnBounds(record) & scene.rect();
    if (!clip.isNull()) visible &= clip;
    if (visible.isEmpty()) return true;
    bool drawn = false;
    for (const Step& step : BandSteps(record, visible, scene.height(), std::max(bandRows, 1))) {
        std::vector<QImage> bands;
        for (const auto& [first, end] : step) bands.push_back(TonedRows(record, photo, scene, ops, first, end));
        for (size_t k = 0; k < step.size(); ++k) {
            if (bands[k].isNull()) continue;
            DrawRegionRows(record, bands[k], step[k].first, scene, clip);
            drawn = true;
        }
    }
    return drawn;
}

}  // namespace v2d
