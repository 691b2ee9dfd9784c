#include "models/model_loading.h"

#include <algorithm>

#include "library/product.h"
#include "render/perspective_model_drawer.h"
#include "scene/outline_geometry.h"

namespace v2d {
namespace {

QImage Canvas(const PixelBox& box, QImage::Format format) {
    QImage canvas(box.width(), box.height(), format);
    canvas.fill(QColor::fromRgb(kModelCanvasColor));
    return canvas;
}

}  // namespace

void BakePlacement(V2dPolygon& part) {
    if (part.kind != RecordKind::PictureModel || part.points.empty()) return;
    const PixelBox before = OutlineBox(part);
    const bool scaled = part.scaleX != 100 || part.scaleY != 100;
    if (part.originX != 0 || part.originY != 0 || scaled) {
        for (V2d_Point& p : part.points) {
            p.x = TruncToInt((double(p.x) - before.minX) * part.scaleX * 0.01 + part.originX + before.minX);
            p.y = TruncToInt((double(p.y) - before.minY) * part.scaleY * 0.01 + part.originY + before.minY);
        }
    }
    SetCornersFromBoundingBox(part);
    const PixelBox box = OutlineBox(part);
    if (scaled && PictureSizeAllowed(box.width(), box.height())) {
        const QSize size(box.width(), box.height());
        for (QImage* image : {&part.picture, &part.sourcePicture})
            if (!image->isNull()) *image = image->scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    part.scaleX = part.scaleY = 100;
    part.originX = part.originY = 0;
}

PolygonPtr BuildModelOwner(const std::vector<V2dPolygon*>& parts, const std::string& ownerName) {
    PolygonPtr owner = NewPolygon();
    owner->kind = RecordKind::PictureModel;
    if (!parts.empty()) owner->lighten = parts.front()->lighten;
    for (V2dPolygon* part : parts) {
        BakePlacement(*part);
        const auto before = static_cast<int32_t>(owner->points.size());
        owner->points.insert(owner->points.end(), part->points.begin(), part->points.end());
        for (int32_t v : part->indexList) owner->indexList.push_back(v + before);
        if (part->partsInfo.product().partKind() == ModelPartKind::CurtainBody) owner->reflect = part->reflect;
        owner->realWidth = std::max(owner->realWidth, part->realWidth);
        owner->realHeight = std::max(owner->realHeight, part->realHeight);
        part->group = owner.get();
    }
    const PixelBox box = OutlineBox(*owner);
    if (PictureSizeAllowed(box.width(), box.height())) {
        owner->picture = Canvas(box, QImage::Format_RGB32);
        owner->sourcePicture = Canvas(box, QImage::Format_RGB32);
        const std::vector<const V2dPolygon*> drawn(parts.begin(), parts.end());
        DrawPartPictures(owner->picture, QPoint(box.minX, box.minY), drawn, &V2dPolygon::picture);
        DrawPartPictures(owner->sourcePicture, QPoint(box.minX, box.minY), drawn, &V2dPolygon::sourcePicture);
    }
    SetCornersFromBoundingBox(*owner);
    owner->name = ownerName;
    owner->toneEnabled = 0;
    return owner;
}

int AddModelToScene(Scene& scene, ModelFile&& model, const std::string& ownerName) {
    if (model.records.empty()) return 0;
    if (model.records.size() == 1) {
        scene.Append(std::move(model.records.front()));
        if (model.frames) scene.AddFrameSet(std::move(model.frames));
        return 1;
    }
    std::vector<V2dPolygon*> parts;
    for (const PolygonPtr& r : model.records) parts.push_back(r.get());
    scene.Append(BuildModelOwner(parts, ownerName));
    for (PolygonPtr& r : model.records) scene.Append(std::move(r));
    return static_cast<int>(parts.size()) + 1;
}

}  // namespace v2d
