#include "document/tone_controls.h"

#include "scene/outline_geometry.h"
#include "base/picture_codec.h"
#include "render/picture_ops.h"

namespace v2d {
namespace {

V2dPolygon* OwnerOf(const Scene& scene, const V2dPolygon& record) {
    return record.group && scene.IndexOfPolygon(record.group) >= 0 ? record.group : nullptr;
}

// A part changes its owner's picture: the owner is redrawn from its parts.
void RedrawFor(SceneRenderer& renderer, V2dPolygon& record, const Progress& progress) {
    if (V2dPolygon* owner = OwnerOf(renderer.scene(), record)) {
        renderer.modelDrawer().RedrawParts(*owner, DrawContext{renderer.scene(), renderer.ops(), progress});
        renderer.RedrawScene(owner, progress);
    } else {
        renderer.RedrawScene(&record, progress);
    }
}

void PaintOne(SceneRenderer& renderer, V2dPolygon& record, uint32_t colour, bool mix, const Progress& progress) {
    const PixelBox box = OutlineBox(record);
    if (box.empty() || !PictureSizeAllowed(box.width(), box.height())) return;
    record.picture = SolidBitmap(box.width(), box.height(), colour);
    if (mix) {
        record.toneEnabled = 1;
        RedrawFor(renderer, record, progress);
        return;
    }
    // Drawn flat; the renderer keeps it, so the next redraw draws it so.
    renderer.DrawFlat(record, record.picture);
}

bool CanPaint(SceneRenderer& renderer, const V2dPolygon* focused, const ProductPanelState& panel) {
    const Scene& scene = renderer.scene();
    return !panel.ambientColour && focused && scene.background.width() > 0 && scene.background.height() > 0;
}

}  // namespace

bool SetRegionLighten(SceneRenderer& renderer, V2dPolygon& record, int lighten, const Progress& progress) {
    if (record.lighten == lighten) return false;
    record.lighten = lighten;
    if (renderer.scene().GroupMembers(&record).empty()) record.toneEnabled = 1;
    RedrawFor(renderer, record, progress);
    return true;
}

bool SetRegionReflect(SceneRenderer& renderer, V2dPolygon& record, int reflect, const Progress& progress) {
    if (record.reflect == reflect) return false;
    record.reflect = reflect;
    if (V2dPolygon* owner = OwnerOf(renderer.scene(), record)) owner->reflect = reflect;
    if (record.kind == RecordKind::PictureModel)
        renderer.QuickRedraw(progress);
    else if (record.kind != RecordKind::ShadowRegion)
        renderer.RedrawScene(&record, progress);
    return true;
}

int PaintRegionsWithColour(SceneRenderer& renderer, const RegionSelection& selection, const V2dPolygon* focused,
                           uint32_t colour, const ProductPanelState& panel, const Progress& progress) {
    if (!CanPaint(renderer, focused, panel)) return 0;
    const Scene& scene = renderer.scene();
    int painted = 0;
    for (int i = 0; i < scene.count(); ++i) {
        if (!selection.isSelected(i)) continue;
        V2dPolygon& record = *scene.at(i);
        if (record.kind == RecordKind::ShadowRegion || !scene.GroupMembers(&record).empty()) continue;
        if (record.group && &record != focused) continue;
        PaintOne(renderer, record, colour, panel.mixWithPhoto, progress);
        ++painted;
    }
    return painted;
}

int PaintFromColourCard(SceneRenderer& renderer, const RegionSelection& selection, const V2dPolygon* focused,
                        uint32_t colour, const ProductPanelState& panel, const Progress& progress) {
    if (!CanPaint(renderer, focused, panel)) return 0;
    const Scene& scene = renderer.scene();
    int painted = 0;
    for (int i = 0; i < scene.count(); ++i) {
        if (!selection.isSelected(i)) continue;
        PaintOne(renderer, *scene.at(i), colour, panel.mixWithPhoto, progress);
        ++painted;
    }
    return painted;
}

}  // namespace v2d
