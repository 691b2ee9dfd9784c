#pragma once
// The brightness, reflection and colour controls of the main window, one
// call per change. The window applies its own focus and mouse-button rules
// first and passes the focused list item. They change the records; the
// document draws the change.
#include <cstdint>

#include "models/scene_selection.h"
#include "render/tiling_settings.h"
#include "render/scene_renderer.h"

namespace v2d {

// A model's parts drawn into its picture again (after a part changed).
void StorePartsPicture(SceneRenderer& renderer, V2dPolygon& owner, const Progress& progress);

// TrackBarLightChange: the focused record's brightness (a part's owner takes
// its parts' pictures again). False when nothing changed.
bool SetRegionLighten(Scene& scene, SceneRenderer& renderer, V2dPolygon& record, int lighten, const Progress& progress = {});

// TrackBarReflectChange: the focused record's (and its owner's) reflection.
// False when nothing changed.
bool SetRegionReflect(Scene& scene, V2dPolygon& record, int reflect);

// ShapeColorMouseDown after a colour was chosen. With "前景色" every selected
// record that is not a shadow region, has no parts and is free or focused
// gets a flat picture of the colour, toned by the photo with the mix flag
// or drawn flat without it (the renderer keeps the picture as it is). With "环境色" nothing is painted: the colour
// only waits for the next tiling. Returns the count. Nothing is painted
// without a focused record.
int PaintRegionsWithColour(Scene& scene, SceneRenderer& renderer, const RegionSelection& selection, const V2dPolygon* focused,
                           uint32_t colour, const ProductPanelState& panel, const Progress& progress = {});

// SButtonColorClick after the colour cards' OK: the same painting for every
// selected record, without the kind, part and group checks.
int PaintFromColourCard(Scene& scene, SceneRenderer& renderer, const RegionSelection& selection, const V2dPolygon* focused,
                        uint32_t colour, const ProductPanelState& panel, const Progress& progress = {});

}  // namespace v2d
