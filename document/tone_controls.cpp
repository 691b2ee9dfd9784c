#include "document/tone_controls.h"

#include "scene/outline_geometry.h"
#include "base/picture_codec.h"
#include "render/picture_ops.h"

namespace v2d {
namespace {

V2dPolygon* OwnerOf(Scene& scene, const V2dPolygon& record) { return scene.Writable(record.group); }

// A part changes its owner's picture: the owner takes its parts' pictures again.
void StoreOwnerPicture(Scene& scene, SceneRenderer& renderer, V2dPolygon& record, const Progress& progress) {
    if (V2dPolygon* owner = OwnerOf(scene, record)) StorePartsPicture(renderer, *owner, progress);
}

void PaintOne(Scene& scene, SceneRenderer& renderer, V2dPolygon& record, uint32_t colour, bool mix,
              const Progress& progress) {
    const PixelBox box = OutlineBox(record);
    if (box.empty() || !PictureSizeAllowed(box.width(), box.height())) return;
    record.picture = SolidBitmap(box.width(), box.height(), colour);
    if (mix) {
        record.toneEnabled = 1;
        StoreOwnerPicture(scene, renderer, record, progress);
        return;
    }
    // Drawn flat: the renderer keeps the picture as what the record draws from.
    renderer.KeepFlat(record);
}

bool CanPaint(SceneRenderer& renderer, const V2dPolygon* focused, const ProductPanelState& panel) {
    const Scene& scene = renderer.scene();
    return !panel.ambientColour && focused && scene.background.width() > 0 && scene.background.height() > 0;
}

}  // namespace

void StorePartsPicture(SceneRenderer& renderer, V2dPolygon& owner, const Progress& progress) {
    QImage picture = renderer.modelDrawer().PartsPicture(owner, DrawContext{renderer.scene(), renderer.ops(), progress});
    if (!picture.isNull()) owner.picture = std::move(picture);
}

bool SetRegionLighten(Scene& scene, SceneRenderer& renderer, V2dPolygon& record, int lighten,
                      const Progress& progress) {
    if (record.lighten == lighten) return false;
    record.lighten = lighten;
    if (scene.GroupMembers(&record).empty()) record.toneEnabled = 1;
    StoreOwnerPicture(scene, renderer, record, progress);
    return true;
}

bool SetRegionReflect(Scene& scene, V2dPolygon& record, int reflect) {
    if (record.reflect == reflect) return false;
    record.reflect = reflect;
    if (V2dPolygon* owner = OwnerOf(scene, record)) owner->reflect = reflect;
    return true;
}

int PaintRegionsWithColour(Scene& scene, SceneRenderer& renderer, const RegionSelection& selection,
                           const V2dPolygon* focused, uint32_t colour, const ProductPanelState& panel,
                           const Progress& progress) {
    if (!CanPaint(renderer, focused, panel)) return 0;
    int painted = 0;
    for (int i = 0; i < scene.count(); ++i) {
        if (!selection.isSelected(i)) continue;
        V2dPolygon& record = *scene.at(i);
        if (record.kind == RecordKind::ShadowRegion || !scene.GroupMembers(&record).empty()) continue;
        if (record.group && &record != focused) continue;
        PaintOne(scene, renderer, record, colour, panel.mixWithPhoto, progress);
        ++painted;
    }
    return painted;
}

int PaintFromColourCard(Scene& scene, SceneRenderer& renderer, const RegionSelection& selection,
                        const V2dPolygon* focused, uint32_t colour, const ProductPanelState& panel,
                        const Progress& progress) {
    if (!CanPaint(renderer, focused, panel)) return 0;
    int painted = 0;
    for (int i = 0; i < scene.count(); ++i) {
        if (!selection.isSelected(i)) continue;
        PaintOne(scene, renderer, *scene.at(i), colour, panel.mixWithPhoto, progress);
        ++painted;
    }
    return painted;
}

}  // namespace v2d
