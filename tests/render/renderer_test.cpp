// The renderer's own work: every record rendered on opening, untoned
// records drawn as they are, and the outline fill with its holes.
#include "render/scene_renderer.h"

#include <gtest/gtest.h>

#include <QPainter>

#include "layout/light_mode.h"
#include "render/region_drawing.h"
#include "scene/outline_geometry.h"
#include "tests/render/render_fixtures.h"

namespace v2d {
namespace {
using namespace v2d::testing;

TEST(SceneRenderer, OpeningRendersEveryRecordAndAnUntonedOneIsDrawnAsItIs) {
    Scene scene;
    CountingOperations ops;
    SceneRenderer renderer{scene, ops};
    scene.background = Gradient(400, 300);
    for (int i = 0; i < 5; ++i) {
        PolygonPtr r = RectRegion("r", 10 + 70 * i, 10, 70 + 70 * i, 100, 1000, 1000);
        r->picture = Solid(61, 91, Rgb(200, 150, 100 + i));
        scene.Append(std::move(r));
    }
    renderer.RenderAll();
    EXPECT_EQ(renderer.counters().rendered, 5);
    EXPECT_EQ(renderer.counters().quickDrawn, 0);
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(renderer.CacheOf(*scene.at(i)).isNull());
    scene.at(4)->toneEnabled = 0;
    renderer.RedrawScene(scene.at(4));
    EXPECT_EQ(At(renderer.displayed(), 320, 50), Rgb(200, 150, 104));
}

// Blurred edges, a toned picture and both reflections, over a scene whose
// budget keeps no cache and tones every region in bands of a few rows.
void AddBudgetScene(Scene& scene) {
    scene.background = Gradient(300, 240);
    PolygonPtr blurred = RectRegion("blurred", 5, 3, 290, 230, 1000, 1000);
    blurred->points = {{5, 3}, {290, 40}, {250, 230}, {20, 200}};
    blurred->blurRadius = 6;
    blurred->reflect = 40;
    blurred->corners[0] = {80, 3};  // leaning sides: a floor
    scene.Append(std::move(blurred));
    PolygonPtr wall = RectRegion("wall", 30, 20, 200, 220, 1000, 1000);
    wall->picture = Gradient(171, 201).mirrored(true, false);
    wall->blurRadius = 3;
    wall->reflect = 30;
    wall->lighten = 25;
    scene.Append(std::move(wall));
    PolygonPtr floor = RectRegion("floor", 60, 150, 280, 239, 1000, 1000);
    floor->picture = Gradient(221, 120);
    floor->reflect = 70;
    floor->corners[3] = {0, 239};
    scene.Append(std::move(floor));
    PolygonPtr tiled = RectRegion("tiled", 60, 20, 259, 209, 1000, 1000);  // its picture repeats downwards
    tiled->points[2] = {220, 209};
    tiled->picture = Gradient(200, 70);
    tiled->reflect = 50;
    scene.Append(std::move(tiled));
}

TEST(SceneRenderer, ASceneOverTheMemoryBudgetIsDrawnInBandsWithTheSamePixels) {
    Scene whole, banded;
    AddBudgetScene(whole);
    AddBudgetScene(banded);
    SceneRenderer unlimited{whole, Library()}, limited{banded, Library()};
    limited.SetMemoryBudget(2 * 300 * 240 * 4 + 100'000);
    unlimited.RenderAll();
    limited.RenderAll();
    EXPECT_TRUE(SamePixels(unlimited.displayed(), limited.displayed()));
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(limited.CacheOf(*banded.at(i)).isNull());
    // A change redraws the others afresh, as their caches would have drawn them.
    whole.at(2)->lighten = banded.at(2)->lighten = -30;
    unlimited.RedrawScene(whole.at(2));
    limited.RedrawScene(banded.at(2));
    EXPECT_TRUE(SamePixels(unlimited.displayed(), limited.displayed()));
}

TEST(SceneRenderer, ASceneDrawnOnceLetsGoOfItsPictureAndKeepsOnlyReflectionsWithTheSamePixels) {
    Scene kept, once;
    for (Scene* scene : {&kept, &once}) {
        AddBudgetScene(*scene);
        for (int i = 0; i < scene->count(); ++i) scene->at(i)->reflect = i == 1 ? 30 : 0;  // the wall reflects
    }
    SceneRenderer ordinary{kept, Library()}, drawnOnce{once, Library()};
    drawnOnce.DrawOnce(4 * 300 * 20);  // about twenty rows of a band
    ordinary.RenderAll();
    drawnOnce.RenderAll();
    EXPECT_TRUE(SamePixels(ordinary.displayed(), drawnOnce.displayed()));
    for (int i = 0; i < once.count(); ++i) EXPECT_EQ(drawnOnce.CacheOf(*once.at(i)).isNull(), i != 1) << i;
    drawnOnce.DrawOnce(4 * 300 * 20);
    EXPECT_TRUE(drawnOnce.displayed().isNull());
    kept.at(2)->lighten = once.at(2)->lighten = -30;
    ordinary.RedrawScene(kept.at(2));
    drawnOnce.RedrawScene(once.at(2));
    EXPECT_TRUE(SamePixels(ordinary.displayed(), drawnOnce.displayed()));
}

TEST(SceneRenderer, ABlurredRegionTonesFromItsKeptLightMapUntilItsOutlineChanges) {
    Scene scene;
    AddBudgetScene(scene);
    for (int i = 0; i < scene.count(); ++i) scene.at(i)->reflect = 0;  // a reflection keeps the scene it mirrored
    CountingOperations ops;
    SceneRenderer renderer{scene, ops};
    renderer.RenderAll();
    const int blurs = ops.blurs;
    const auto sameAsOpened = [&] {
        SceneRenderer fresh{scene, Library()};
        fresh.RenderAll();
        return SamePixels(renderer.displayed(), fresh.displayed());
    };
    scene.at(1)->lighten = -40;
    renderer.RedrawScene(scene.at(1));
    EXPECT_EQ(ops.blurs, blurs);
    EXPECT_TRUE(sameAsOpened());
    scene.at(1)->points[1].y += 7;
    renderer.RedrawScene(scene.at(1));
    EXPECT_GT(ops.blurs, blurs);
    EXPECT_TRUE(sameAsOpened());
}

TEST(SceneRenderer, ARegionInTheRoomsLightShowsNoOldChequerAndTonesFromItsKeptMap) {
    Scene scene;
    scene.background = QImage(160, 120, QImage::Format_RGB32);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x) Set(scene.background, x, y, (x / 20 + y / 20) % 2 ? Rgb(60, 60, 60) : Rgb(200, 200, 200));
    scene.Append(RectRegion("地面", 0, 0, 159, 119, 1600, 1200));
    V2dPolygon& floor = *scene.at(0);
    floor.picture = Solid(160, 120, Rgb(255, 255, 255));
    // The spread of what the region shows, away from its edges.
    const auto spread = [](const QImage& shown) {
        int low = 255, high = 0;
        for (int y = 10; y < 110; ++y)
            for (int x = 10; x < 150; ++x) low = std::min(low, qRed(At(shown, x, y))), high = std::max(high, qRed(At(shown, x, y)));
        return high - low;
    };
    SceneRenderer photoLit{scene, Library()};
    photoLit.RenderAll();
    EXPECT_GE(spread(photoLit.displayed()), 130) << "the photo's own light shows the old squares";
    floor.partsInfo = WithLightMode("PartsName=砖", LightMode::Room);
    SceneRenderer renderer{scene, Library()};
    renderer.RenderAll();
    EXPECT_LE(spread(renderer.displayed()), 6);
    EXPECT_NEAR(qRed(At(renderer.displayed(), 80, 60)), 200, 3) << "lit as the light squares show the room's light";
    const int64_t made = renderer.lightMapsMade();
    floor.lighten = 20;
    renderer.RedrawScene(&floor);
    floor.picture = Solid(160, 120, Rgb(128, 128, 128));
    renderer.RedrawScene(&floor);
    EXPECT_EQ(renderer.lightMapsMade(), made) << "brightness and a new laying tone from the kept map";
    floor.points[2].y -= 9;
    renderer.RedrawScene(&floor);
    EXPECT_EQ(renderer.lightMapsMade(), made + 1);
}

TEST(DrawRegionPicture, InnerRingIsAHoleAndTheTextureStartsAtTheBox) {
    PolygonPtr r = NewPolygon();
    r->points = {{10, 10}, {89, 10}, {89, 89}, {10, 89}, {40, 40}, {59, 40}, {59, 59}, {40, 59}};
    r->indexList = {3, 7};
    QImage texture = Solid(4, 4, Rgb(0, 0, 255));
    Set(texture, 0, 0, Rgb(255, 0, 0));
    QImage target = Solid(100, 100, Rgb(0, 255, 0));
    DrawRegionPicture(*r, texture, target);
    EXPECT_EQ(At(target, 50, 50), Rgb(0, 255, 0));   // the hole
    EXPECT_EQ(At(target, 5, 5), Rgb(0, 255, 0));     // outside
    EXPECT_EQ(At(target, 14, 14), Rgb(255, 0, 0));   // texture (0, 0) repeats from (10, 10)
    EXPECT_EQ(At(target, 15, 14), Rgb(0, 0, 255));
    EXPECT_EQ(At(target, 31, 70), Rgb(0, 0, 255));
    EXPECT_EQ(At(target, 30, 70), Rgb(255, 0, 0));  // 20 and 60 past the box: texture (0, 0)
}

TEST(DrawRegionPicture, BandsOverTheCoresPaintWhatOnePainterPaints) {
    // A tall slanted outline with a hole, reaching past the target's left
    // and top edges: drawn whole and within clips, as one clipped painter.
    PolygonPtr r = NewPolygon();
    r->points = {{-40, -30}, {700, 60}, {560, 790}, {20, 700}, {200, 200}, {450, 260}, {300, 520}};
    r->indexList = {3, 6};
    const QImage texture = Gradient(97, 61);
    const QImage scene = Gradient(800, 800);
    for (const QRect& clip : {QRect(), QRect(0, 300, 800, 1), QRect(13, 17, 611, 700)}) {
        QImage banded = scene.copy(), whole = scene.copy();
        DrawRegionPicture(*r, texture, banded, clip);
        QPainter painter(&whole);
        if (!clip.isNull()) painter.setClipRect(clip);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        QBrush brush(texture);
        brush.setTransform(QTransform::fromTranslate(-40, -30));
        painter.setBrush(brush);
        painter.drawPath(OutlinePath(*r, QPointF(0.5, 0.5)));
        painter.end();
        EXPECT_TRUE(SamePixels(banded, whole)) << clip.y();
    }
}

}  // namespace
}  // namespace v2d
