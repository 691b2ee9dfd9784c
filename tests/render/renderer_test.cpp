// Incremental redraws, the outline fill and the brightness, reflection and
// colour controls.
#include "render/scene_renderer.h"

#include <gtest/gtest.h>

#include "render/region_drawing.h"
#include "document/tile_command.h"
#include "render/tone.h"
#include "document/tone_controls.h"
#include "tests/render/render_fixtures.h"

namespace v2d {
namespace {
using namespace v2d::testing;

struct RenderedScene : ::testing::Test {
    Scene scene;
    CountingOperations ops;
    SceneRenderer renderer{scene, ops};
    UndoList undo;

    void SetUp() override {
        scene.background = Gradient(400, 300);
        for (int i = 0; i < 5; ++i) {
            PolygonPtr r = RectRegion("r", 10 + 70 * i, 10, 70 + 70 * i, 100, 1000, 1000);
            r->picture = Solid(61, 91, Rgb(200, 150, 100 + i));
            scene.Append(std::move(r));
        }
        renderer.RenderAll();
    }
};

TEST_F(RenderedScene, OpeningRendersEveryRecord) {
    EXPECT_EQ(renderer.counters().rendered, 5);
    EXPECT_EQ(renderer.counters().quickDrawn, 0);
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(scene.at(i)->renderCache.isNull());
}

TEST_F(RenderedScene, BrightnessChangeRendersOnlyTheChangedRecord) {
    ASSERT_TRUE(SetRegionLighten(renderer, 2, 40));
    EXPECT_EQ(renderer.counters().rendered, 1);
    // The others are drawn from cache, or kept where they lie apart.
    EXPECT_EQ(renderer.counters().quickDrawn + renderer.counters().untouched, 4);
    // Setting the same value again does nothing.
    EXPECT_FALSE(SetRegionLighten(renderer, 2, 40));
    EXPECT_FALSE(SetRegionLighten(renderer, 7, 10));
    // The incremental picture is the one a full render gives.
    const QImage incremental = renderer.displayed().copy();
    renderer.RenderAll();
    EXPECT_TRUE(SamePixels(incremental, renderer.displayed()));
}

TEST_F(RenderedScene, AreaRedrawOfOverlappingRegionsMatchesAFullRender) {
    PolygonPtr across = RectRegion("across", 30, 40, 200, 140, 1000, 1000);
    across->picture = Gradient(171, 101);
    scene.Insert(2, std::move(across));
    PolygonPtr top = RectRegion("top", 60, 60, 120, 200, 1000, 1000);
    top->picture = Solid(61, 141, Rgb(20, 220, 90));
    scene.Append(std::move(top));
    renderer.RenderAll();
    ASSERT_TRUE(SetRegionLighten(renderer, 2, 150));
    EXPECT_EQ(renderer.counters().rendered, 1);
    EXPECT_GE(renderer.counters().untouched, 1);
    ASSERT_TRUE(SetRegionLighten(renderer, 0, -30));
    const QImage incremental = renderer.displayed().copy();
    renderer.RenderAll();
    EXPECT_TRUE(SamePixels(incremental, renderer.displayed()));
    // A record taken out of the list: the next redraw starts from scratch.
    scene.FreePolygon(scene.at(6));
    renderer.RedrawScene(scene.at(0));
    EXPECT_EQ(renderer.counters().quickDrawn + renderer.counters().rendered, 6);
}

TEST_F(RenderedScene, ShadowRegionsAboveAChangeAreRenderedToo) {
    PolygonPtr shadow = RectRegion("s", 0, 0, 50, 50, 1000, 1000);
    shadow->kind = kShadowRegion;
    scene.Append(std::move(shadow));
    PolygonPtr low = RectRegion("s0", 0, 0, 50, 50, 1000, 1000);
    low->kind = kShadowRegion;
    scene.Insert(0, std::move(low));
    SetRegionLighten(renderer, 3, -20);
    EXPECT_EQ(renderer.counters().rendered, 2);  // the record and the shadow above it
    SetRegionLighten(renderer, 6, 10);          // a shadow region itself: just that one
    EXPECT_EQ(renderer.counters().rendered, 1);
}

TEST_F(RenderedScene, LightenMinusHundredTurnsTheRegionBlack) {
    SetRegionLighten(renderer, 1, -100);
    EXPECT_EQ(At(renderer.displayed(), 110, 50), Rgb(0, 0, 0));
    SetRegionLighten(renderer, 1, 0);
    // 0: the product shaded by the photo's brightness at that pixel.
    const uint32_t photo = At(scene.background, 110, 50);
    const QImage expected = ApplyLightMap(Solid(1, 1, Rgb(200, 150, 101)), Solid(1, 1, photo), 0, 0, 1.0);
    EXPECT_EQ(At(renderer.displayed(), 110, 50), At(expected, 0, 0));
}

TEST_F(RenderedScene, ReflectionUsesTheSceneBeneath) {
    ASSERT_TRUE(SetRegionReflect(renderer, 0, 100));
    // Upright sides: a wall, mirrored left to right over the whole scene.
    const int x = 40, y = 50;
    EXPECT_EQ(At(renderer.displayed(), x, y), At(scene.background, 399 - x, y));
    EXPECT_EQ(renderer.counters().rendered, 1);
}

TEST_F(RenderedScene, UntonedRecordIsDrawnAsItIs) {
    scene.at(4)->toneEnabled = 0;
    renderer.RedrawScene(scene.at(4));
    EXPECT_EQ(At(renderer.displayed(), 320, 50), Rgb(200, 150, 104));
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

TEST_F(RenderedScene, ForegroundColourPaintsAndCanBeUndone) {
    RegionSelection selection{1, {1, 3}};
    ProductPanelState panel;
    panel.mixWithPhoto = false;
    EXPECT_EQ(PaintRegionsWithColour(renderer, selection, 0x00FF0000, panel, undo), 2);  // blue
    EXPECT_EQ(At(renderer.displayed(), 110, 50), Rgb(0, 0, 255));
    EXPECT_EQ(undo.size(), 2u);
    // Drawn flat, and still there after another record changes.
    SetRegionLighten(renderer, 0, 30);
    EXPECT_EQ(At(renderer.displayed(), 250, 50), Rgb(0, 0, 255));
}

TEST_F(RenderedScene, MixedColourIsShadedByThePhoto) {
    RegionSelection selection{2, {2}};
    ProductPanelState panel;
    EXPECT_EQ(PaintRegionsWithColour(renderer, selection, 0x00FFFFFF, panel, undo), 1);
    // White times the photo's brightness: the brightness itself, as grey.
    const QImage grey = ApplyLightMap(Solid(1, 1, Rgb(255, 255, 255)), Solid(1, 1, At(scene.background, 180, 50)), 0, 0, 1.0);
    EXPECT_EQ(At(renderer.displayed(), 180, 50), At(grey, 0, 0));
}

TEST_F(RenderedScene, AmbientColourPaintsNothing) {
    RegionSelection selection{2, {2}};
    ProductPanelState panel;
    panel.ambientColour = true;
    const QImage before = renderer.displayed().copy();
    EXPECT_EQ(PaintRegionsWithColour(renderer, selection, 0x00FFFFFF, panel, undo), 0);
    EXPECT_TRUE(SamePixels(before, renderer.displayed()));
    EXPECT_TRUE(undo.empty());
}

}  // namespace
}  // namespace v2d
