#pragma once
// The flat canvas a laying warps onto its region: how it is built is chosen
// once, from the pattern table and the settings (CanvasKindFor), and every
// kind is built behind one call (BuildLayingCanvas). The tile sizes and the
// shift here are the repeating kinds' own arithmetic.
#include <QImage>

#include "base/geometry.h"
#include "base/result.h"
#include "render/tiling_settings.h"
#include "scene/scene.h"

namespace v2d {

// One tile's size in pixels for a box side, a real size and a product size:
// the scale is the 32-bit float productMm / realMm; plain canvases round the
// tile up, shifted ones truncate; never below 2 pixels. 0 when the real
// size is not positive or the tile would be absurdly large.
int PlainTileSide(int boxSide, int realMm, int productMm);
int ShiftedTileSide(int boxSide, int realMm, int productMm);
// Where the shifted pattern starts, 0..tile: trunc(tile * offset / 100),
// or trunc(tile + tile * offset / 100) for negative offsets.
int PatternShift(int tile, int offsetPercent);

// The box the canvas stands for: the quad's, or the outline's with a mesh.
PixelBox CanvasBox(const V2dPolygon& region, const V2dPolygonMesh* mesh);
bool CanvasBoxUsable(const PixelBox& box);

enum class CanvasKind {
    Repeated,   // a plain laying: the tile repeated edge to edge from the corner
    Shifted,    // the same started part of a tile in (the effect window's offsets)
    Patterned,  // the pattern table's lattice, with joints, turns and origin
};
// The one place a laying's canvas is chosen: a plain laying repeats its
// tile (shifted while the effect window moves it), any other is painted
// from its pattern's lattice.
CanvasKind CanvasKindFor(const PatternSettings& pattern, const EffectSettings& effect);

// What every kind of canvas is built from.
struct CanvasRequest {
    const V2dPolygon& region;
    const V2dPolygonMesh* mesh;  // the canvas is the outline's box with one
    const QImage& product;       // mirrored and turned (PrepareProduct)
    int widthMm, heightMm;       // the tile as laid
    const PatternSettings& pattern;
    const EffectSettings& effect;
};
// The canvas of the request's kind, as large as the canvas box, the
// pattern starting at its top-left. Refused when the pattern cannot be
// laid; null when the box, the product or the region's real size is
// unusable.
Result<QImage> BuildLayingCanvas(const CanvasRequest& request);

// The builders of the kinds, for callers and tests that want one kind.
QImage BuildTiledCanvas(const V2dPolygon& region, const V2dPolygonMesh* mesh, const QImage& product, int widthMm,
                        int heightMm);
QImage BuildShiftedTiledCanvas(const V2dPolygon& region, const V2dPolygonMesh* mesh, const QImage& product,
                               int widthMm, int heightMm, int offsetX, int offsetY);
// The effect window's offsets move the pattern by a per cent of a tile.
Result<QImage> BuildPatternCanvas(const V2dPolygon& region, const V2dPolygonMesh* mesh, const QImage& product,
                                  int widthMm, int heightMm, const PatternSettings& pattern,
                                  const EffectSettings& effect);

// For the rubber band: the prepared product itself with fit, otherwise one
// tile sized for the quad's box.
QImage BuildRectangleCanvas(const V2dPolygon& region, const ProductPanelState& panel);
// The rectangle's flat picture, width × height pixels of the region's
// unwarped plane, from the rubber band's canvas: stretched with fit,
// otherwise of the kind the panel's pattern calls for, laid from the
// rectangle's corner; null when it cannot be laid.
QImage BuildRectangleFill(const V2dPolygon& region, const ProductPanelState& panel, const QImage& canvas, int width,
                          int height);

}  // namespace v2d
