// Handle drags on a model's quad: constrained edges, the cut-out's
// rectangle and its settling into origin and scale, parallel edge moves.
#include <gtest/gtest.h>

#include <cmath>

#include "models/handle_drag.h"

namespace v2d {
namespace {

HandlePositions HandlesOf(QPoint a, QPoint b, QPoint c, QPoint d) {
    HandlePositions h{a, b, c, d};
    DragHandle(h, 0, {0, 0}, false, false);  // lays the edge handles
    return h;
}

TEST(HandleDrag, ACutOutCornerKeepsTheRectangleAndSettlesIntoOriginAndScale) {
    HandlePositions h = HandlesOf({0, 0}, {200, 0}, {200, 100}, {0, 100});
    DragHandle(h, 0, {20, 5}, false, true);
    EXPECT_EQ(h[1], QPoint(200, 5));  // node2 on node1's row
    EXPECT_EQ(h[3], QPoint(20, 100));  // node4 in node1's column
    EXPECT_EQ(h[4], QPoint(110, 5));

    V2dPolygon cutout;
    cutout.kind = RecordKind::CutOutModel;
    cutout.picture = QImage(200, 100, QImage::Format_ARGB32);
    cutout.originX = 30;
    CornersFromHandles(cutout, h, {0, 0}, 1.0);
    SettleCutoutCorners(cutout);
    EXPECT_EQ(cutout.originX, 30 + 20 - 30);  // the handles were laid without the origin
    EXPECT_EQ(cutout.scaleX, 90);             // trunc(100 * 181 / 200)
    EXPECT_EQ(cutout.scaleY, 96);             // trunc(100 * 96 / 100)
    EXPECT_EQ(cutout.corners[0], (V2d_Point{0, 0}));

    // Squeezed to one pixel it keeps a scale of 1 %.
    for (V2d_Point& c : cutout.corners) c = {5, 5};
    SettleCutoutCorners(cutout);
    EXPECT_EQ(cutout.scaleX, 1);
    EXPECT_EQ(cutout.scaleY, 1);
}

TEST(HandleDrag, ConstrainedEdgesMoveAlongOneAxis) {
    struct Case {
        int handle;
        bool shift, cutOut;
        QPoint corner0;  // where node1 ends up after a (7, 9) step
    };
    const Case cases[] = {
        {4, true, false, {0, 9}},   // node5 with Shift: vertical only
        {6, false, true, {7, 0}},   // node7 of a cut-out: horizontal only
        {6, true, true, {7, 0}},
        {4, false, false, {7, 9}},  // node5 free: the edge follows both ways
    };
    for (const Case& c : cases) {
        HandlePositions h = HandlesOf({0, 0}, {100, 0}, {100, 50}, {0, 50});
        DragHandle(h, c.handle, {7, 9}, c.shift, c.cutOut);
        EXPECT_EQ(h[0], c.corner0) << c.handle << c.shift << c.cutOut;
    }
}

TEST(HandleDrag, AnEdgeHandleCarriesARotatedEdgeParallel) {
    HandlePositions h = HandlesOf({10, 40}, {110, 0}, {130, 80}, {20, 120});
    const double length = std::hypot(100, -40);
    for (int step = 0; step < 5; ++step) {
        DragHandle(h, 4, {3, 4}, false, false);
        const QPoint edge = h[1] - h[0];
        EXPECT_NEAR(std::hypot(edge.x(), edge.y()), length, 1.5 + step);
        EXPECT_NEAR(std::atan2(edge.y(), edge.x()), std::atan2(-40, 100), 0.03);
    }
    EXPECT_EQ(h[2], QPoint(130, 80));  // the other corners stay
}

}  // namespace
}  // namespace v2d
