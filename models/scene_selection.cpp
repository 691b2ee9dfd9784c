#include "models/scene_selection.h"

#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace v2d {

namespace {

// Point-in-ring by crossings, the even-odd rule on one ring; integer input,
// so no tolerance questions beyond the half-open edge rule.
bool InsideRing(std::span<const V2d_Point> ring, double x, double y) {
    bool inside = false;
    const size_t n = ring.size();
    if (n < 3) return false;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const double xi = ring[i].x, yi = ring[i].y, xj = ring[j].x, yj = ring[j].y;
        if ((yi > y) != (yj > y)) {
            const double crossX = xj + (y - yj) * (xi - xj) / (yi - yj);
            if (x < crossX) inside = !inside;
        }
    }
    return inside;
}

bool InsideRingsEvenOdd(const std::vector<std::span<const V2d_Point>>& rings, double x, double y) {
    bool inside = false;
    for (const auto& ring : rings)
        if (InsideRing(ring, x, y)) inside = !inside;
    return inside;
}

// The picture fills the box of its corners, where the handles frame it.
bool HitsCutOutModel(const V2dPolygon& record, int x, int y) {
    const PixelBox box = BoxOf(QuadOf(record.corners));
    const int64_t left = int64_t{record.originX} + box.minX, top = int64_t{record.originY} + box.minY;
    const int64_t right = int64_t{record.originX} + box.maxX, bottom = int64_t{record.originY} + box.maxY;
    if (!(x > left && x < right && y > top && y < bottom) || record.picture.isNull()) return false;
    const int px = TruncToInt(double(x - left) * record.picture.width() / double(right - left));
    const int py = TruncToInt(double(y - top) * record.picture.height() / double(bottom - top));
    return record.picture.valid(px, py) && qAlpha(record.picture.pixel(px, py)) != 0;
}

}  // namespace

std::vector<V2d_Point> DisplayedModelOutline(const V2dPolygon& record, const OutlineMapper& mapper) {
    std::vector<V2d_Point> shown(record.points);
    const PixelBox box = OutlineBox(record);
    if (box.empty()) return shown;
    if (!CornersAreOutlineBox(record) && mapper) {
        // A refused mapping leaves the outline as it is, as the library's
        // pre-filled output does.
        if (auto mapped = mapper(record.points, QuadOf(record.corners));
            mapped && mapped->size() == shown.size())
            shown = std::move(*mapped);
        for (V2d_Point& p : shown) p = {SaturatedSum(p.x, record.originX), SaturatedSum(p.y, record.originY)};
        return shown;
    }
    // In 64 bits: a hostile record's scale times its extent leaves the int range.
    for (V2d_Point& p : shown) {
        p.x = SaturatedSum(int64_t(record.originX) + box.minX, (int64_t(p.x) - box.minX) * record.scaleX / 100);
        p.y = SaturatedSum(int64_t(record.originY) + box.minY, (int64_t(p.y) - box.minY) * record.scaleY / 100);
    }
    return shown;
}

Hit HitTestRecord(const Scene& scene, int x, int y, const OutlineMapper& mapper) {
    for (int i = scene.count() - 1; i >= 0; --i) {
        const V2dPolygon& record = *scene.at(i);
        switch (record.kind) {
            case RecordKind::Region:
            case RecordKind::PictureModel3:
                if (InsideRingsEvenOdd(OutlineRings(record), x, y)) return {i, -1};
                break;
            case RecordKind::ShadowRegion:
                if (InsideRingsEvenOdd(OutlineRings(record), x - record.originX, y - record.originY))
                    return {i, -1};
                break;
            case RecordKind::PictureModel: {
                if (record.group != nullptr) break;
                const std::vector<V2d_Point> shown = DisplayedModelOutline(record, mapper);
                const auto rings = OutlineRings(shown, record.indexList);
                for (size_t r = 0; r < rings.size(); ++r)
                    if (InsideRing(rings[r], x, y)) return {i, static_cast<int>(r)};
                break;
            }
            case RecordKind::CutOutModel:
                if (HitsCutOutModel(record, x, y)) return {i, -1};
                break;
            default:
                break;
        }
    }
    return {};
}

int RegionAt(const Scene& scene, int x, int y) {
    for (int i = scene.count() - 1; i >= 0; --i)
        if (scene.at(i)->kind == RecordKind::Region && InsideRingsEvenOdd(OutlineRings(*scene.at(i)), x, y)) return i;
    return -1;
}

int PartAt(const Scene& scene, const V2dPolygon* owner, int ring) {
    if (owner == nullptr || ring < 0) return -1;
    int64_t first = 0;
    for (const V2dPolygon* part : scene.GroupMembers(owner)) {
        const int64_t end = first + part->indexCount();
        if (ring >= first && ring < end) return scene.IndexOfPolygon(part);
        first = end;
    }
    return -1;
}

int ClickTarget(const Scene& scene, const Hit& hit) {
    if (hit.index < 0) return -1;
    const V2dPolygon* record = scene.at(hit.index);
    if (record->kind == RecordKind::PictureModel && !scene.GroupMembers(record).empty()) {
        const int part = PartAt(scene, record, hit.ring);
        if (part >= 0) return part;
    }
    return hit.index;
}

std::vector<int> CompanionSelection(const Scene& scene, int index) {
    std::vector<int> result;
    if (index < 0 || index >= scene.count()) return result;
    const V2dPolygon* record = scene.at(index);
    auto add = [&](const V2dPolygon* r) {
        const int at = scene.IndexOfPolygon(r);
        if (at >= 0 && std::find(result.begin(), result.end(), at) == result.end()) result.push_back(at);
    };
    for (const V2dGroupPL& group : scene.groups())
        if (std::find(group.members.begin(), group.members.end(), record) != group.members.end())
            for (const V2dPolygon* member : group.members) add(member);
    if (record->group != nullptr) {
        add(record->group);
        for (const V2dPolygon* part : scene.GroupMembers(record->group)) add(part);
    } else {
        for (const V2dPolygon* part : scene.GroupMembers(record)) add(part);
    }
    return result;
}

V2dPolygon* MoveTarget(Scene& scene, V2dPolygon* record) {
    if (record == nullptr) return nullptr;
    return record->group != nullptr ? scene.Writable(record->group) : record;
}

const V2dPolygon* MoveTarget(const V2dPolygon* record) {
    return record != nullptr && record->group != nullptr ? record->group : record;
}

bool NudgeModel(V2dPolygon* target, int dx, int dy) {
    if (target == nullptr || target->kind != RecordKind::PictureModel) return false;
    target->originX += dx;
    target->originY += dy;
    return true;
}

int ScrolledPanelOffset(int position, int panelSize, int visibleSize, int otherBarThickness) {
    const int farthest = visibleSize - 2 - otherBarThickness - panelSize;
    return std::min(0, std::max(-position, farthest));
}

int CentredOffset(int visibleSize, int panelSize) {
    return static_cast<int>(std::lround(0.5 * (visibleSize - panelSize)));
}

std::array<QPoint, 9> ModelHandlePositions(const V2dPolygon& model, double zoom, QPoint viewOffset,
                                           int moveHandleSize) {
    std::array<QPoint, 9> at{};
    for (int i = 0; i < 4; ++i) {
        const auto x = static_cast<int>(std::trunc((int64_t{model.corners[i].x} + model.originX) * zoom));
        const auto y = static_cast<int>(std::trunc((int64_t{model.corners[i].y} + model.originY) * zoom));
        at[static_cast<size_t>(i)] = QPoint(x, y) + viewOffset;
    }
    auto mid = [](QPoint a, QPoint b) {
        return QPoint(static_cast<int>(std::trunc((a.x() + b.x()) * 0.5)),
                      static_cast<int>(std::trunc((a.y() + b.y()) * 0.5)));
    };
    at[4] = mid(at[0], at[1]);
    at[5] = mid(at[2], at[3]);
    at[6] = mid(at[0], at[3]);
    at[7] = mid(at[1], at[2]);
    at[8] = QPoint((at[4].x() + at[5].x()) / 2 - moveHandleSize / 2, (at[4].y() + at[5].y()) / 2 - moveHandleSize / 2);
    return at;
}

std::array<QPoint, 4> RubberBand(QPoint start, QPoint current) {
    return {start, QPoint(current.x(), start.y()), current, QPoint(start.x(), current.y())};
}

bool RubberBandLargeEnough(QPoint start, QPoint current) {
    return std::abs(current.x() - start.x()) >= 2 && std::abs(current.y() - start.y()) >= 2;
}

double ClampZoom(double zoom, QSize picture) {
    const double pixels = double(picture.width()) * picture.height();
    const double most = pixels > 0 ? std::max(1.0, std::sqrt(kMostViewPixels / pixels)) : 1.0;
    if (!(zoom > 0)) return 1.0;
    return std::clamp(zoom, kZoomSteps.front(), std::min(kZoomSteps.back(), most));
}

double SteppedZoom(double zoom, int direction, QSize picture) {
    constexpr double kSame = 1e-6;
    double next = zoom;
    if (direction > 0) {
        const auto* above = std::find_if(kZoomSteps.begin(), kZoomSteps.end(), [&](double s) { return s > zoom + kSame; });
        if (above != kZoomSteps.end()) next = *above;
    } else if (direction < 0) {
        for (double s : kZoomSteps)
            if (s < zoom - kSame) next = s;
    }
    return ClampZoom(next, picture);
}

double FitZoom(QSize picture, QSize visible) {
    if (picture.isEmpty()) return 1.0;
    const double zoom = std::min(double(visible.width() - 2) / picture.width(), double(visible.height() - 2) / picture.height());
    return ClampZoom(zoom, picture);
}

int ScrollPositionFor(double pictureCoordinate, double zoom, int anchor) {
    return std::max(0, static_cast<int>(std::lround(pictureCoordinate * zoom + 1 - anchor)));
}

}  // namespace v2d
