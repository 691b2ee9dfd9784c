#include "models/model_placement.h"

#include <algorithm>
#include <cmath>

#include "base/real_scale.h"
#include "models/model_operations.h"
#include "scene/outline_geometry.h"

namespace v2d {
namespace {

std::optional<V2d_Point> Intersection(V2d_Point a, V2d_Point b, V2d_Point c, V2d_Point d) {
    const double x1 = b.x - a.x, y1 = b.y - a.y, x2 = d.x - c.x, y2 = d.y - c.y;
    const double denominator = x1 * y2 - y1 * x2;
    if (denominator == 0) return std::nullopt;
    const double t = ((c.x - a.x) * y2 - (c.y - a.y) * x2) / denominator;
    return V2d_Point{TruncToInt(std::floor(a.x + t * x1 + 0.5)), TruncToInt(std::floor(a.y + t * y1 + 0.5))};
}

}  // namespace

bool FitModelIntoRegion(const V2dPolygon& region, V2dPolygon& model, V2d_Point point, const ImageOperations& ops) {
    if (region.realWidth <= 0 || region.realHeight <= 0 || model.realWidth <= 0 || model.realHeight <= 0) return false;
    const Quad quad = QuadOf(region.corners);
    const std::optional<std::vector<V2d_Point>> start = ops.ATransPoint(std::span(&point, 1), quad);
    if (!start) return false;
    const PixelBox box = OutlineBox(region);
    const int w = TruncToInt(MmToPixels(model.realWidth, box.width(), region.realWidth));
    const int h = TruncToInt(MmToPixels(model.realHeight, box.height(), region.realHeight));
    const V2d_Point s = start->front();
    const Quad rectangle = ScreenRectangle(s, {TruncToInt(double(s.x) + w - 1), TruncToInt(double(s.y) + h - 1)});
    const std::optional<std::vector<V2d_Point>> corners = ops.TransPoint(rectangle, quad);
    if (!corners || corners->size() != 4) return false;
    for (size_t i = 0; i < 4; ++i)
        model.corners[i] = {(*corners)[i].x - model.originX, (*corners)[i].y - model.originY};
    return true;
}

void AlignToBottomEdge(const V2dPolygon& region, V2dPolygon& model) {
    V2d_Point* c = model.corners;
    const V2d_Point r3 = region.corners[2], r4 = region.corners[3];
    if (auto p = Intersection(c[0], c[3], r3, r4)) c[3] = *p;
    if (auto p = Intersection(c[1], c[2], r3, r4)) c[2] = *p;
}

void CentreModelOn(V2dPolygon& model, V2d_Point point) {
    const PixelBox box = OutlineBox(model);
    if (box.empty()) return;
    model.originX = TruncToInt(point.x - (box.minX + model.scaleX * 0.01 * box.width() * 0.5));
    model.originY = TruncToInt(point.y - (box.minY + model.scaleY * 0.01 * box.height() * 0.5));
}

CutoutStance CutoutStanceFor(ModelKind kind) {
    return DrawnInPerspective(kind) ? CutoutStance::FillsBox : CutoutStance::StandsOnBottom;
}

void SettleCutoutPlacement(V2dPolygon& model, CutoutStance stance) {
    if (model.kind != RecordKind::CutOutModel) return;
    Quad placed = QuadOf(model.corners);
    for (V2d_Point& p : placed) p = {p.x + model.originX, p.y + model.originY};
    const PixelBox box = BoxOf(placed);
    model.originX = box.minX;
    model.originY = box.minY;
    if (model.picture.isNull()) {
        for (size_t i = 0; i < 4; ++i) model.corners[i] = {placed[i].x - box.minX, placed[i].y - box.minY};
        return;
    }
    const int w = model.picture.width(), h = model.picture.height();
    model.scaleX = std::max(1, TruncToInt(100.0 * box.width() / w));
    model.scaleY = stance == CutoutStance::FillsBox ? std::max(1, TruncToInt(100.0 * box.height() / h)) : model.scaleX;
    if (stance == CutoutStance::StandsOnBottom)
        model.originY = box.maxY + 1 - std::max(1, TruncToInt(h * model.scaleY * 0.01));
    ResetCutoutCorners(model);
}

std::optional<Quad> RectInRegion(V2d_Point start, V2d_Point end, const V2dPolygon& region, const ImageOperations& ops) {
    const Quad quad = QuadOf(region.corners);
    const V2d_Point ends[2] = {start, end};
    const std::optional<std::vector<V2d_Point>> rectified = ops.ATransPoint(ends, quad);
    if (!rectified || rectified->size() != 2) return std::nullopt;
    const Quad rectangle = ScreenRectangle((*rectified)[0], (*rectified)[1]);
    const std::optional<std::vector<V2d_Point>> mapped = ops.TransPoint(rectangle, quad);
    if (!mapped || mapped->size() != 4) return std::nullopt;
    return Quad{(*mapped)[0], (*mapped)[1], (*mapped)[2], (*mapped)[3]};
}

Quad ScreenRectangle(V2d_Point start, V2d_Point end) {
    return {start, V2d_Point{end.x, start.y}, end, V2d_Point{start.x, end.y}};
}

}  // namespace v2d
