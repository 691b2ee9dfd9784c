#pragma once
// What the scene view decides without any widget: which record lies under a
// picture point, which list entries a selection takes along, where a model's
// handles go, how far the picture panel may scroll and what the arrow keys
// move. The main window only wires these to its controls.
#include <QPainterPath>
#include <QPoint>
#include <QPointF>
#include <QSize>

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "imagelib/image_operations.h"
#include "scene/outline_geometry.h"
#include "scene/scene.h"

namespace v2d {

// Maps a model outline onto its quad (the library's PsTransPoint); nothing
// when the library refuses the arguments.
using OutlineMapper = std::function<std::optional<std::vector<V2d_Point>>(
    std::span<const V2d_Point> points, const Quad& quad)>;
// The library's PsTransPoint as a mapper; the library outlives it.
inline OutlineMapper MapperOf(const ImageOperations& ops) {
    return [&ops](std::span<const V2d_Point> points, const Quad& quad) { return ops.PsTransPoint(points, quad); };
}

// A picture model's outline as the view shows it: mapped onto its corners
// when they differ from the outline's box, otherwise scaled about the box's
// top-left corner; in both cases moved by the origin.
std::vector<V2d_Point> DisplayedModelOutline(const V2dPolygon& record, const OutlineMapper& mapper);

// The region list's selection (ListBoxPoly): the focused item and the selected items.
struct RegionSelection {
    int focused = -1;
    std::vector<int> selected;
    bool isSelected(int i) const { return std::find(selected.begin(), selected.end(), i) != selected.end(); }
};

struct Hit {
    int index = -1;  // position in PolyList, -1 for none
    int ring = -1;   // the hit ring of a picture model
};

// The record under the point, topmost first. Regions and kind 3 test their
// rings even-odd; shadow regions are shifted by their origin; picture models
// test their displayed rings one by one and report the ring; model parts
// never match themselves; cut-out models need an opaque pixel.
Hit HitTestRecord(const Scene& scene, int x, int y, const OutlineMapper& mapper);
inline int HitTest(const Scene& scene, int x, int y, const OutlineMapper& mapper) {
    return HitTestRecord(scene, x, y, mapper).index;
}

// The topmost plain region under the point, whatever lies over it; -1 for none.
int RegionAt(const Scene& scene, int x, int y);

// The part of a model with parts that owns ring `ring` of the owner's
// outline; -1 when no part does.
int PartAt(const Scene& scene, const V2dPolygon* owner, int ring);

// The record a click on the picture selects: the hit record, or for a model
// with parts the part under the point (the owner when no part claims it).
int ClickTarget(const Scene& scene, const Hit& hit);

// The list entries that selecting record i takes along: its group's members,
// a part's owner and all the owner's parts, a model's parts.
std::vector<int> CompanionSelection(const Scene& scene, int index);

// The record that model moves act on: the record itself, or its owner for a
// model part. The writable one is the scene's own record (none for a part
// whose owner is not in the scene).
V2dPolygon* MoveTarget(Scene& scene, V2dPolygon* record);
const V2dPolygon* MoveTarget(const V2dPolygon* record);

// Moves a picture model by one step of the arrow keys; false (and nothing
// moved) for no record or a record that is not a picture model.
bool NudgeModel(V2dPolygon* target, int dx, int dy);

// The panel offset (its top or left, <= 0) for scroll position p: the panel
// never moves past the point where its far edge meets the visible area's
// edge less 2 pixels and less the other scroll bar's thickness.
int ScrolledPanelOffset(int position, int panelSize, int visibleSize, int otherBarThickness);

// A panel that fits the visible area is centred in it.
int CentredOffset(int visibleSize, int panelSize);

// Handle positions for a model's quad at zoom z in view coordinates, in the
// order node1..node8 and NodeMove (each the handle's top-left pixel).
std::array<QPoint, 9> ModelHandlePositions(const V2dPolygon& model, double zoom, QPoint viewOffset,
                                           int moveHandleSize = 10);

// The rubber band's corners: start, (current x, start y), current, (start x, current y).
std::array<QPoint, 4> RubberBand(QPoint start, QPoint current);
// A rubber band acts only when at least 2 pixels wide and high.
bool RubberBandLargeEnough(QPoint start, QPoint current);

// The view's zoom factor Z: the steps that Ctrl++ and Ctrl+- go through.
// The overlay holds the zoomed picture whole, so beyond kMostViewPixels
// the zoom stops growing (never below 1).
inline constexpr std::array<double, 12> kZoomSteps = {0.1, 0.25, 0.33, 0.5, 0.67, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0, 4.0};
inline constexpr double kMostViewPixels = 16e6;
double ClampZoom(double zoom, QSize picture);
// The next step above (direction > 0) or below the zoom, clamped.
double SteppedZoom(double zoom, int direction, QSize picture);
// The zoom at which the picture panel (picture + 2 pixels) fits the visible area.
double FitZoom(QSize picture, QSize visible);
// The scroll position that puts a picture coordinate, at zoom Z, at
// `anchor` of the visible area (the panel has a 1-pixel border).
int ScrollPositionFor(double pictureCoordinate, double zoom, int anchor);

}  // namespace v2d
