// The view's widget-free decisions: rings, hit tests, companions, handles,
// scrolling limits and rubber bands.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "models/scene_selection.h"
#include "scene/outline_geometry.h"

namespace v2d {
namespace {

PolygonPtr Rect(int x0, int y0, int x1, int y1, RecordKind kind = RecordKind::Region) {
    PolygonPtr r = NewPolygon();
    r->points = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    r->indexList = {3};
    r->kind = kind;
    SetCornersFromBoundingBox(*r);
    return r;
}

TEST(OutlineRings, SplitsAtRingEndsAndCutsEntriesPastTheOutline) {
    std::vector<V2d_Point> pts(10);
    const std::vector<int32_t> ends = {3, 3, 6, 42};
    const auto rings = OutlineRings(pts, ends);
    ASSERT_EQ(rings.size(), 3u);  // the repeated 3 gives no ring
    EXPECT_EQ(rings[0].size(), 4u);
    EXPECT_EQ(rings[1].size(), 3u);
    EXPECT_EQ(rings[2].size(), 3u);  // 7..9, cut at the last point
    EXPECT_TRUE(OutlineRings(std::span<const V2d_Point>(), ends).empty());
    const std::vector<int32_t> negative = {-5};
    EXPECT_TRUE(OutlineRings(pts, negative).empty());
}

TEST(OutlineRowSpans, HoldEveryPixelTheOutlinesAntialiasedFillPaints) {
    PolygonPtr sliver = NewPolygon();  // long, thin and slanted: its rows are short and move across
    sliver->points = {{3, 0}, {5, 0}, {97, 61}, {94, 61}};
    sliver->indexList = {3};
    PolygonPtr framed = NewPolygon();  // a ring with a hole, and a slanted side
    framed->points = {{0, 0}, {80, 10}, {90, 70}, {0, 60}, {20, 20}, {50, 20}, {50, 40}, {20, 40}};
    framed->indexList = {3, 7};
    for (const V2dPolygon* record : {sliver.get(), framed.get()}) {
        const PixelBox box = OutlineBox(*record);
        QImage filled(box.width(), box.height(), QImage::Format_RGB32);
        filled.fill(Qt::black);
        {
            QPainter painter(&filled);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.fillPath(OutlinePath(*record, QPointF(0.5 - box.minX, 0.5 - box.minY)), Qt::white);
        }
        const std::vector<ColumnSpan> spans = OutlineRowSpans(*record);
        ASSERT_EQ(spans.size(), size_t(filled.height()));
        int painted = 0, spanned = 0;
        for (int y = 0; y < filled.height(); ++y) {
            spanned += spans[size_t(y)].end - spans[size_t(y)].left;
            for (int x = 0; x < filled.width(); ++x) {
                if (filled.pixel(x, y) == qRgb(0, 0, 0)) continue;
                ++painted;
                EXPECT_TRUE(spans[size_t(y)].left <= x && x < spans[size_t(y)].end) << x << "," << y;
            }
        }
        // Little beyond the fill (a pixel or two each side), the hole aside.
        if (record == sliver.get()) EXPECT_LT(spanned, painted + 6 * filled.height());
    }
}

TEST(HitTest, TopmostRegionWinsInnerRingsAreHolesAndShadowsCountAtTheirOffset) {
    Scene scene;
    scene.Append(Rect(0, 0, 100, 100));
    scene.Append(Rect(50, 50, 150, 150));
    PolygonPtr frame = NewPolygon();
    frame->points = {{200, 0}, {300, 0}, {300, 100}, {200, 100}, {230, 30}, {270, 30}, {270, 70}, {230, 70}};
    frame->indexList = {3, 7};
    scene.Append(std::move(frame));
    PolygonPtr shadow = Rect(400, 0, 420, 20, RecordKind::ShadowRegion);
    shadow->originX = 100;
    shadow->originY = 50;
    scene.Append(std::move(shadow));
    const int cases[][3] = {{75, 75, 1},   {25, 25, 0},  {125, 125, 1}, {160, 10, -1},  // the upper of two
                            {210, 10, 2},  {250, 50, -1},                               // the inner ring
                            {410, 10, -1}, {510, 60, 3}};                               // drawn at 500, 50
    for (const auto& c : cases) EXPECT_EQ(HitTest(scene, c[0], c[1], nullptr), c[2]) << c[0] << ", " << c[1];
}

TEST(HitTest, ModelPartsNeverMatchButTheOwnerReportsTheRing) {
    Scene scene;
    scene.Append(Rect(0, 0, 200, 200));  // floor beneath
    PolygonPtr owner = NewPolygon();
    owner->kind = RecordKind::PictureModel;
    owner->points = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {20, 0}, {30, 0}, {30, 10}, {20, 10}};
    owner->indexList = {3, 7};
    SetCornersFromBoundingBox(*owner);
    owner->originX = 100;
    owner->originY = 100;
    V2dPolygon* model = scene.Append(std::move(owner));
    PolygonPtr partA = Rect(0, 0, 10, 10, RecordKind::PictureModel);
    PolygonPtr partB = Rect(20, 0, 30, 10, RecordKind::PictureModel);
    partA->group = model;
    partB->group = model;
    scene.Append(std::move(partA));
    scene.Append(std::move(partB));

    const Hit second = HitTestRecord(scene, 125, 105, nullptr);
    EXPECT_EQ(second.index, 1);
    EXPECT_EQ(second.ring, 1);
    EXPECT_EQ(PartAt(scene, model, second.ring), 3);
    EXPECT_EQ(ClickTarget(scene, second), 3);
    EXPECT_EQ(ClickTarget(scene, HitTestRecord(scene, 105, 105, nullptr)), 2);
    // Between the parts: no ring of the model, so the floor beneath.
    EXPECT_EQ(HitTest(scene, 115, 105, nullptr), 0);
    EXPECT_EQ(PartAt(scene, model, 2), -1);
}

TEST(HitTest, PictureModelWithCornersOffItsBoxUsesTheMappedOutline) {
    Scene scene;
    PolygonPtr model = Rect(0, 0, 10, 10, RecordKind::PictureModel);
    model->corners[1] = {40, 0};  // widened on the right
    model->corners[2] = {40, 10};
    scene.Append(std::move(model));
    int calls = 0;
    const OutlineMapper mapper = [&](std::span<const V2d_Point> points, const Quad& quad) {
        ++calls;
        return std::optional<std::vector<V2d_Point>>(std::vector<V2d_Point>(quad.begin(), quad.end()));
    };
    EXPECT_EQ(HitTest(scene, 30, 5, mapper), 0);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(HitTest(scene, 30, 5, nullptr), -1);  // unmapped it ends at x = 10
    // A refused mapping leaves the outline as it is.
    const OutlineMapper refusing = [](auto, auto) { return std::optional<std::vector<V2d_Point>>(); };
    EXPECT_EQ(HitTest(scene, 5, 5, refusing), 0);
    EXPECT_EQ(HitTest(scene, 30, 5, refusing), -1);
}

TEST(HitTest, ScaledPictureModelFollowsItsDrawnOutline) {
    Scene scene;
    PolygonPtr model = Rect(10, 10, 30, 30, RecordKind::PictureModel);
    model->scaleX = 50;
    model->scaleY = 200;
    model->originX = 5;
    scene.Append(std::move(model));
    const auto shown = DisplayedModelOutline(*scene.at(0), nullptr);
    EXPECT_EQ(shown[2], (V2d_Point{5 + 10 + 10, 10 + 40}));
    EXPECT_EQ(HitTest(scene, 22, 45, nullptr), 0);
    EXPECT_EQ(HitTest(scene, 28, 20, nullptr), -1);
}

TEST(HitTest, CutOutModelNeedsAnOpaquePixelStrictlyInside) {
    Scene scene;
    PolygonPtr model = NewPolygon();
    model->kind = RecordKind::CutOutModel;
    model->corners[0] = {0, 0};
    model->corners[1] = {20, 0};
    model->corners[2] = {20, 20};
    model->corners[3] = {0, 20};
    model->originX = 100;
    model->originY = 100;
    model->scaleX = 200;  // a 10 x 10 picture drawn 20 x 20
    model->scaleY = 200;
    QImage picture(10, 10, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    picture.setPixel(7, 2, qRgba(10, 20, 30, 255));
    model->picture = picture;
    scene.Append(std::move(model));
    EXPECT_EQ(HitTest(scene, 115, 105, nullptr), 0);  // pixel (7, 2)
    EXPECT_EQ(HitTest(scene, 104, 104, nullptr), -1);  // transparent
    EXPECT_EQ(HitTest(scene, 100, 105, nullptr), -1);  // on the edge, not inside
    // Shaped into corners away from its origin, it is hit where the corners frame it.
    for (V2d_Point& corner : scene.at(0)->corners) corner = {corner.x + 40, corner.y + 40};
    EXPECT_EQ(HitTest(scene, 155, 145, nullptr), 0);
    EXPECT_EQ(HitTest(scene, 115, 105, nullptr), -1);
}

TEST(CompanionSelection, GroupMembersAndModelFamilies) {
    Scene scene;
    V2dPolygon* a = scene.Append(Rect(0, 0, 1, 1));
    V2dPolygon* b = scene.Append(Rect(0, 0, 1, 1));
    scene.Append(Rect(0, 0, 1, 1));
    V2dPolygon* owner = scene.Append(Rect(0, 0, 1, 1, RecordKind::PictureModel));
    PolygonPtr part1 = Rect(0, 0, 1, 1, RecordKind::PictureModel), part2 = Rect(0, 0, 1, 1, RecordKind::PictureModel);
    part1->group = owner, part2->group = owner;
    scene.Append(std::move(part1));
    scene.Append(std::move(part2));
    scene.AddGroup(V2dGroupPL{"墙面", {a, b}});

    EXPECT_EQ(CompanionSelection(scene, 1), (std::vector<int>{0, 1}));
    EXPECT_TRUE(CompanionSelection(scene, 2).empty());
    EXPECT_EQ(CompanionSelection(scene, 4), (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(CompanionSelection(scene, 3), (std::vector<int>{4, 5}));
    EXPECT_TRUE(CompanionSelection(scene, 9).empty());
}

TEST(NudgeModel, MovesPictureModelsOnlyAndPartsMoveTheirOwner) {
    Scene scene;
    V2dPolygon* owner = scene.Append(Rect(0, 0, 10, 10, RecordKind::PictureModel));
    PolygonPtr part = Rect(0, 0, 10, 10, RecordKind::PictureModel);
    part->group = owner;
    V2dPolygon* p = scene.Append(std::move(part));
    V2dPolygon* region = scene.Append(Rect(0, 0, 10, 10));
    EXPECT_TRUE(NudgeModel(MoveTarget(scene, p), -1, 0));
    EXPECT_TRUE(NudgeModel(MoveTarget(scene, p), 0, 1));
    EXPECT_EQ(owner->originX, -1);
    EXPECT_EQ(owner->originY, 1);
    EXPECT_EQ(p->originX, 0);
    EXPECT_FALSE(NudgeModel(region, 1, 0));
    EXPECT_EQ(region->originX, 0);
    EXPECT_FALSE(NudgeModel(nullptr, 1, 0));
}

TEST(Scrolling, PanelStopsWhereItsEdgeMeetsTheVisibleEdgeLessTwoAndTheOtherBar) {
    // Panel 1000, visible 400, other bar 16: the farthest top is 400 - 2 - 16 - 1000 = -618.
    EXPECT_EQ(ScrolledPanelOffset(0, 1000, 400, 16), 0);
    EXPECT_EQ(ScrolledPanelOffset(300, 1000, 400, 16), -300);
    EXPECT_EQ(ScrolledPanelOffset(618, 1000, 400, 16), -618);
    EXPECT_EQ(ScrolledPanelOffset(1000, 1000, 400, 16), -618);
    EXPECT_EQ(ScrolledPanelOffset(1000, 1000, 400, 0), -602);
    EXPECT_EQ(CentredOffset(500, 301), 100);  // round(99.5)
    EXPECT_EQ(CentredOffset(500, 300), 100);
}

TEST(ModelHandles, CornersEdgeMidpointsAndCentre) {
    PolygonPtr model = Rect(0, 0, 10, 10, RecordKind::PictureModel);
    model->corners[0] = {0, 0};
    model->corners[1] = {101, 3};
    model->corners[2] = {99, 51};
    model->corners[3] = {-3, 47};
    model->originX = 10;
    model->originY = 20;
    const auto at = ModelHandlePositions(*model, 1.0, QPoint(5, 7));
    // Corners, edge midpoints truncated (65.5, 28.5 and 13.5, 50.5), centre less the offset.
    const std::vector<QPoint> expected = {{15, 27}, {116, 30}, {114, 78}, {12, 74}, {65, 28},
                                          {63, 76}, {13, 50}, {115, 54}, {64 - 5, 52 - 5}};
    EXPECT_EQ(std::vector<QPoint>(at.begin(), at.end()), expected);
}

TEST(Zoom, StepsFitAndScrollingThatKeepsThePointUnderTheAnchor) {
    const QSize picture(1600, 1200);
    EXPECT_DOUBLE_EQ(SteppedZoom(1.0, +1, picture), 1.25);
    EXPECT_DOUBLE_EQ(SteppedZoom(1.1, -1, picture), 1.0);
    EXPECT_DOUBLE_EQ(SteppedZoom(2.0, +1, picture), std::sqrt(16e6 / (1600.0 * 1200)));  // the overlay's limit
    EXPECT_DOUBLE_EQ(ClampZoom(2.0, QSize(8000, 6000)), 1.0);  // never below 1 for the limit
    EXPECT_DOUBLE_EQ(FitZoom(picture, QSize(802, 902)), 0.5);
    EXPECT_EQ(ScrollPositionFor(100.0, 2.0, 50), 151);  // panel at -151, picture at -150, 200 lands at 50
}

TEST(RubberBand, CornersAndMinimumSize) {
    const auto band = RubberBand(QPoint(10, 20), QPoint(4, 30));
    EXPECT_EQ(band[1], QPoint(4, 20));
    EXPECT_EQ(band[3], QPoint(10, 30));
    EXPECT_TRUE(RubberBandLargeEnough(QPoint(10, 10), QPoint(8, 12)));
    EXPECT_FALSE(RubberBandLargeEnough(QPoint(10, 10), QPoint(11, 40)));
    EXPECT_FALSE(RubberBandLargeEnough(QPoint(10, 10), QPoint(40, 9)));
}

}  // namespace
}  // namespace v2d
