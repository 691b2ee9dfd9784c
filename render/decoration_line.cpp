#include "render/decoration_line.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

#include "base/picture_codec.h"
#include "base/real_scale.h"
#include "render/picture_ops.h"
#include "scene/outline_geometry.h"

namespace v2d {
namespace {

struct StepLine {
    double x0, y0, x1, y1;
    double length() const { return std::hypot(x1 - x0, y1 - y0); }
};

// Step line i of n joins the i-th of n equal steps down the left corner edge
// (corner 1 to 4) to the i-th down the right one (corner 2 to 3).
StepLine StepLineAt(const V2d_Point (&c)[4], int i, int n) {
    const double t = double(i) / n;
    return {c[0].x + (c[3].x - c[0].x) * t, c[0].y + (c[3].y - c[0].y) * t, c[1].x + (c[2].x - c[1].x) * t,
            c[1].y + (c[2].y - c[1].y) * t};
}

// The step line passing nearest the point.
int NearestStepLine(const V2d_Point (&c)[4], int n, V2d_Point p) {
    int best = 0;
    double bestDistance = INFINITY;
    for (int i = 0; i <= n; ++i) {
        const StepLine line = StepLineAt(c, i, n);
        const double length = std::max(line.length(), 1e-9);
        const double distance =
            std::abs((line.x1 - line.x0) * (p.y - line.y0) - (line.y1 - line.y0) * (p.x - line.x0)) / length;
        if (distance < bestDistance) best = i, bestDistance = distance;
    }
    return best;
}

// The profile scaled to the strip's height and repeated to cover `length`.
QImage Strip(const QImage& profile, int height, int length) {
    const int width = std::max(1, TruncToInt(double(profile.width()) * height / profile.height()));
    const QImage piece = ResizePicture(profile, width, height);
    if (piece.isNull()) return {};
    const int copies = (length + width - 1) / width;
    QImage strip(copies * width, height, QImage::Format_RGB32);
    QPainter painter(&strip);
    for (int k = 0; k < copies; ++k) painter.drawImage(k * width, 0, piece);
    return strip;
}

int RoundHalfUp(double v) { return TruncToInt(std::floor(v + 0.5)); }

}  // namespace

QImage DrawDecorationLine(const V2dPolygon& region, const QImage& profile, int mouldingHeightMm, V2d_Point point) {
    const PixelBox box = OutlineBox(region);
    if (box.empty() || point.x < box.minX || point.x > box.maxX || point.y < box.minY || point.y > box.maxY)
        return {};
    if (region.picture.isNull() || profile.isNull() || region.realHeight <= 0 || mouldingHeightMm <= 0) return {};
    const int height = TruncToInt(MmToPixels(mouldingHeightMm, box.height(), region.realHeight));
    const int steps = BoxOf(QuadOf(region.corners)).height();  // N + 1 points, N steps
    if (height < 1 || steps < 1 || steps > kMaxPictureSide) return {};
    const int first = NearestStepLine(region.corners, steps, point);
    double longest = 0;
    for (int i = first; i < first + height && i <= steps; ++i)
        longest = std::max(longest, StepLineAt(region.corners, i, steps).length());
    const QImage strip = Strip(ToRgb32(profile), height, int(std::ceil(longest)) + 1);
    if (strip.isNull()) return {};

    QImage target = region.picture.convertToFormat(QImage::Format_RGB32);
    const int w = target.width(), h = target.height();
    for (int row = 0; row < height && first + row <= steps; ++row) {
        const StepLine line = StepLineAt(region.corners, first + row, steps);
        const int length = std::max(1, RoundHalfUp(line.length()));
        const auto* source = reinterpret_cast<const QRgb*>(strip.constScanLine(row));
        for (int k = 0; k <= length; ++k) {
            const double t = double(k) / length;
            const int x = std::clamp(RoundHalfUp(line.x0 + (line.x1 - line.x0) * t) - box.minX, 0, w - 1);
            const int y = std::clamp(RoundHalfUp(line.y0 + (line.y1 - line.y0) * t) - box.minY, 0, h - 1);
            reinterpret_cast<QRgb*>(target.scanLine(y))[x] = source[std::min(k, strip.width() - 1)];
        }
    }
    return target;
}

}  // namespace v2d
