#include "models/drawing_order.h"

#include <algorithm>

#include "library/product.h"
#include "models/model_placement.h"

namespace v2d {
namespace {

// How far down the picture a record reaches: a standing model's foot.
double FootOf(const QPainterPath& area) { return area.boundingRect().bottom(); }

// Whether the new model has to be drawn over the record it overlaps.
bool MustCover(bool modelLiesFlat, const QPainterPath& modelArea, const V2dPolygon& record,
               const QPainterPath& recordArea) {
    if (!IsPlacedModel(&record) || LiesFlat(record)) return true;
    return !modelLiesFlat && FootOf(recordArea) <= FootOf(modelArea);
}

}  // namespace

QPainterPath CoveredArea(const V2dPolygon& record, const OutlineMapper& mapper) {
    switch (record.kind) {
        case RecordKind::Region:
        case RecordKind::PictureModel3:
            return OutlinePath(record);
        case RecordKind::ShadowRegion:
            return OutlinePath(record, QPointF(record.originX, record.originY));
        case RecordKind::PictureModel:
            if (record.group != nullptr) return {};
            return OutlinePath(DisplayedModelOutline(record, mapper), record.indexList);
        case RecordKind::CutOutModel: {
            const PixelBox box = BoxOf(QuadOf(record.corners));
            QPainterPath path;
            path.addRect(QRectF(double(record.originX) + box.minX, double(record.originY) + box.minY,
                                double(box.maxX) - box.minX, double(box.maxY) - box.minY));
            return path;
        }
        default:
            return {};
    }
}

bool LiesFlat(const V2dPolygon& model) {
    return DrawnInPerspective(model.partsInfo.product().kind());
}

void BringToFront(Scene& scene, V2dPolygon* model, const OutlineMapper& mapper) {
    if (model == nullptr || scene.IndexOfPolygon(model) < 0) return;
    std::vector<V2dPolygon*> block = scene.GroupMembers(model);
    block.insert(block.begin(), model);
    std::vector<PolygonPtr> taken;
    for (V2dPolygon* record : block) taken.push_back(scene.Take(record));

    const QPainterPath area = CoveredArea(*model, mapper);
    const bool flat = LiesFlat(*model);
    int lastCovered = -1, firstInFront = scene.count();
    for (int i = 0; i < scene.count(); ++i) {
        const V2dPolygon& record = *scene.at(i);
        const QPainterPath recordArea = CoveredArea(record, mapper);
        if (recordArea.isEmpty() || !area.intersects(recordArea)) continue;
        if (MustCover(flat, area, record, recordArea))
            lastCovered = i;
        else
            firstInFront = std::min(firstInFront, i);
    }
    int position = lastCovered >= 0 ? lastCovered + 1 : firstInFront;
    for (PolygonPtr& record : taken) scene.Insert(position++, std::move(record));
}

int CopyOffset(int low, int high, int size, int step) {
    if (high + step < size) return step;
    if (low - step >= 0) return -step;
    return step;
}

}  // namespace v2d
