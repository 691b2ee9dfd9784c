#pragma once
// Where a dropped or drawn model goes: fitted into a region at its real
// size, centred on a point, brought down to a region's bottom edge, or laid
// as a perspective rectangle drawn in a region.
#include <optional>
#include "imagelib/image_operations.h"
#include "library/product.h"
#include "scene/v2d_polygon.h"

namespace v2d {

// The kinds of model drawn as a perspective rectangle in a region (rugs,
// paintings, curtains, doors, feature walls, decoration lines); furniture
// and a model without a category are screen-parallel.
constexpr bool DrawnInPerspective(ModelKind kind) {
    return kind != ModelKind::Uncategorised && kind != ModelKind::Furniture;
}
// Doors and feature walls stand on the region's bottom edge.
constexpr bool StandsOnBottomEdge(ModelKind kind) { return kind == ModelKind::Door || kind == ModelKind::FeatureWall; }

// The model's corners (relative to its origin) become the rectangle of its
// real size in the region's rectified plane, starting at `point`; false
// (nothing changed) when a real size is not positive or the library refuses
// the corners.
bool FitModelIntoRegion(const V2dPolygon& region, V2dPolygon& model, V2d_Point point, const ImageOperations& ops);

// Corners 4 and 3 moved along the model's side edges onto the line through
// the region's corners 3 and 4; a side parallel to that line stays.
void AlignToBottomEdge(const V2dPolygon& region, V2dPolygon& model);

// The model's origin set so that its scaled outline box is centred on the point.
void CentreModelOn(V2dPolygon& model, V2d_Point point);

// How a cut-out, always drawn screen-parallel at its origin and scale, takes
// over the quadrilateral it was placed on: filling its box (a rectangle drawn
// for it, a model it replaces, or a product lying in the region's plane such
// as a carpet or a painting), or standing on the box's bottom edge at the
// box's width and its picture's proportions (a sofa fitted into a floor,
// whose quadrilateral is its footprint).
enum class CutoutStance { FillsBox, StandsOnBottom };
CutoutStance CutoutStanceFor(ModelKind kind);

// A cut-out model placed by its corners (plus origin): the origin and scale
// become the rectangle the stance gives and the corners that rectangle,
// relative to the origin, so that it is drawn where its handles are. Any
// other kind is left alone.
void SettleCutoutPlacement(V2dPolygon& model, CutoutStance stance);

// The rectangle from `start` to `end` in the region's rectified plane, in
// picture coordinates; nothing when the library refuses.
std::optional<Quad> RectInRegion(V2d_Point start, V2d_Point end, const V2dPolygon& region, const ImageOperations& ops);

// The four corners (top-left first) of the screen-parallel rectangle.
Quad ScreenRectangle(V2d_Point start, V2d_Point end);

}  // namespace v2d
