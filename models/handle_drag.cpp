#include "models/handle_drag.h"

#include <algorithm>
#include <cmath>

#include "base/geometry.h"

namespace v2d {
namespace {

QPoint Middle(QPoint a, QPoint b) { return {TruncToInt((a.x() + b.x()) * 0.5), TruncToInt((a.y() + b.y()) * 0.5)}; }

// The corner pair of each edge handle: node5 (node1, node2), node6
// (node3, node4), node7 (node4, node1), node8 (node2, node3).
constexpr int kEdgeEnds[4][2] = {{0, 1}, {2, 3}, {3, 0}, {1, 2}};

void RecentreEdges(HandlePositions& h) {
    for (int e = 0; e < 4; ++e) h[size_t(4 + e)] = Middle(h[size_t(kEdgeEnds[e][0])], h[size_t(kEdgeEnds[e][1])]);
}

// A cut-out's neighbours follow a moved corner: node1 sets node2's top and
// node4's left, node2 node1's top and node3's left, and so on round.
void KeepRectangle(HandlePositions& h, int k) {
    constexpr int kSameRow[4] = {1, 0, 3, 2}, kSameColumn[4] = {3, 2, 1, 0};
    h[size_t(kSameRow[k])].setY(h[size_t(k)].y());
    h[size_t(kSameColumn[k])].setX(h[size_t(k)].x());
}

void CarryEdge(HandlePositions& h, int e) {
    QPoint& a = h[size_t(kEdgeEnds[e][0])];
    QPoint& b = h[size_t(kEdgeEnds[e][1])];
    const QPoint m = h[size_t(4 + e)];
    const double theta = std::atan2(b.y() - a.y(), b.x() - a.x());
    const double half = std::hypot(b.x() - a.x(), b.y() - a.y()) * 0.5;
    a = {TruncToInt(m.x() - std::cos(theta) * half), TruncToInt(m.y() - std::sin(theta) * half)};
    b = {TruncToInt(m.x() + std::cos(theta) * half), TruncToInt(m.y() + std::sin(theta) * half)};
}

}  // namespace

void DragHandle(HandlePositions& handles, int k, QPoint step, bool shift, bool cutOut) {
    if (k < 0 || k > 7) return;
    if (shift || cutOut) {
        if (k == 4 || k == 5) step.setX(0);
        if (k == 6 || k == 7) step.setY(0);
    }
    handles[size_t(k)] += step;
    if (k < 4) {
        if (cutOut) KeepRectangle(handles, k);
        RecentreEdges(handles);
    } else {
        CarryEdge(handles, k - 4);
    }
}

void CornersFromHandles(V2dPolygon& model, const HandlePositions& handles, QPoint viewOffset, double zoom) {
    if (!(zoom > 0)) return;
    for (int i = 0; i < 4; ++i) {
        const QPoint view = handles[size_t(i)] - viewOffset;
        model.corners[i] = {TruncToInt(view.x() / zoom) - model.originX, TruncToInt(view.y() / zoom) - model.originY};
    }
}

void SettleCutoutCorners(V2dPolygon& model) {
    const PixelBox box = BoxOf(QuadOf(model.corners));
    model.originX += box.minX;
    model.originY += box.minY;
    for (V2d_Point& c : model.corners) c = {c.x - box.minX, c.y - box.minY};
    if (model.picture.isNull()) return;
    model.scaleX = std::max(1, TruncToInt(100.0 * box.width() / model.picture.width()));
    model.scaleY = std::max(1, TruncToInt(100.0 * box.height() / model.picture.height()));
}

}  // namespace v2d
