// The document's tiling, tone and colour operations on small scenes: the
// checks they make, what they tile or paint, what they redraw, and the
// pictures that come out, against the render helpers' own results.
#include <gtest/gtest.h>

#include <tuple>

#include "document/scene_document.h"
#include "document/tile_command.h"
#include "render/tone.h"
#include "tests/document/white_model_fixture.h"
#include "tests/render/render_fixtures.h"

namespace v2d {
namespace {
using namespace v2d::testing;

// A product whose every pixel differs, so a tile's start shows.
QImage Product() { return Gradient(60, 60); }
const char* const kDescriptor = "PartsName=米黄&PartsNumber=A1&SalesName=x&PartsSpecs=600*600";

struct DocumentTest : ::testing::Test {
    CountingOperations ops;
    SceneDocument doc{ops};
    ProductPanelState controls;

    void Load(Scene scene) {
        doc.LoadScene(std::move(scene));
        doc.SetProduct(CurrentProduct{Product(), v2d::Product::Parse(kDescriptor)});
        ops.transforms = 0;
    }
    void Select(int focused, std::vector<int> selected) { doc.SetSelection(RegionSelection{focused, std::move(selected)}); }
    Outcome Tile(std::vector<int> items) {
        Select(items.empty() ? -1 : items.front(), items);
        doc.SetPanelControls(controls);
        return doc.TileSelection();
    }
    bool Lighten(int index, int lighten) {
        Select(index, {index});
        return doc.SetLighten(lighten).done();
    }
    V2dPolygon& at(int i) { return testing::Arrange(doc, i); }
    const RedrawCounters& counters() const { return doc.renderer().counters(); }
    QImage Canvas(int i) { return BuildTiledCanvas(at(i), nullptr, Product(), 600, 600); }
};

// A grey photo, a flat region, a floor in perspective and a shadow region.
struct TilingCommands : DocumentTest {
    void SetUp() override {
        Scene scene;
        scene.background = Solid(600, 400, Rgb(128, 128, 128));
        scene.Append(RectRegion("flat", 10, 10, 249, 129, 2400, 1200));
        PolygonPtr floor = RectRegion("floor", 10, 200, 409, 389, 4000, 3000);
        floor->corners[0] = {110, 200};
        floor->corners[1] = {309, 200};
        scene.Append(std::move(floor));
        scene.Append(RectRegion("shadow", 300, 20, 400, 120, 1000, 1000))->kind = RecordKind::ShadowRegion;
        Load(std::move(scene));
    }
};

TEST_F(TilingCommands, QuadEqualToTheBoxIsTheCanvasUnwarpedAPerspectiveQuadIsWarpedOnce) {
    Outcome r = Tile({0});
    ASSERT_TRUE(r.done());
    EXPECT_EQ(ops.transforms, 0);
    ASSERT_EQ(at(0).picture.size(), QSize(240, 120));
    EXPECT_TRUE(SamePixels(at(0).picture, Canvas(0)));
    EXPECT_EQ(at(0).partsInfo.text(), kDescriptor);
    EXPECT_EQ(r.hint, kHintTilingDone);

    EXPECT_TRUE(Tile({1}).ok());
    EXPECT_EQ(ops.transforms, 1);
    EXPECT_EQ(at(1).picture.size(), QSize(400, 190));
    EXPECT_EQ(doc.history().count(), 2);
}

TEST_F(TilingCommands, TheRoomsLightIsOneStepKeptThroughLayingsAndUndone) {
    Select(0, {0, 1, 2});
    EXPECT_EQ(*doc.SetLightMode(LightMode::Room), 2) << "ordinary regions only";
    EXPECT_EQ(doc.history().count(), 1);
    EXPECT_EQ(at(0).partsInfo.text(), "LightMode=1");
    EXPECT_EQ(at(2).partsInfo.lightMode(), LightMode::Photo);
    EXPECT_EQ(doc.SetLightMode(LightMode::Room).kind(), Outcome::Kind::NothingToDo);
    controls.pattern = {LayingPattern::HalfOffset, 3};
    ASSERT_TRUE(Tile({0}).done());
    EXPECT_EQ(at(0).partsInfo.text(), std::string(kDescriptor) +
                                          "&LayPattern=1&JointWidth=3&JointColor=8421504&LayOrigin=0&LaySize=600*600"
                                          "&LightMode=1");
    EXPECT_EQ(at(0).partsInfo.pattern().pattern, LayingPattern::HalfOffset);
    Select(0, {0});
    ASSERT_TRUE(doc.SetLightMode(LightMode::Photo).done());
    EXPECT_EQ(at(0).partsInfo.lightMode(), LightMode::Photo);
    EXPECT_EQ(at(0).partsInfo.pattern().pattern, LayingPattern::HalfOffset) << "the laying's items stay";
    ASSERT_TRUE(doc.Undo().done());
    EXPECT_EQ(at(0).partsInfo.lightMode(), LightMode::Room);
}

TEST_F(TilingCommands, ChecksComeInOrder) {
    doc.SetProduct(CurrentProduct{QImage(), v2d::Product::Parse(""), DragKind::Model});
    EXPECT_EQ(Tile({0}).error(), kMsgNoProduct);
    doc.SetProduct(CurrentProduct{Product(), v2d::Product::Parse(kDescriptor), DragKind::Model});
    EXPECT_EQ(Tile({}).error(), kMsgModelProduct);
    doc.SetDragKind(DragKind::Material);
    EXPECT_EQ(Tile({}).error(), kMsgSelectRegion);
    Select(-1, {0});
    EXPECT_EQ(doc.TileSelection().error(), kMsgSelectRegion);
    Scene dark;  // no photo
    dark.Append(RectRegion("flat", 10, 10, 249, 129, 2400, 1200));
    Load(std::move(dark));
    Outcome silent = Tile({0});
    EXPECT_TRUE(silent.ok());
    EXPECT_EQ(*silent, 0);
    EXPECT_TRUE(silent.hint.empty());
    EXPECT_EQ(doc.history().count(), 0);
}

TEST_F(TilingCommands, ShadowRegionsAndRegionsWithoutRealSizeOrPointsAreRefusedTheOthersTiled) {
    Outcome r = Tile({0, 1, 2});
    ASSERT_EQ(r.notes.size(), 1u);
    EXPECT_EQ(r.notes[0].message, kMsgShadowNotTiled);
    EXPECT_EQ(*r, 2);
    EXPECT_TRUE(at(2).picture.isNull());
    // Laid side by side, each region has the picture it gets when laid alone.
    ProductPanelState alone = controls;
    alone.picture = Product();
    alone.product = v2d::Product::Parse(kDescriptor);
    for (int i : {0, 1})
        EXPECT_TRUE(SamePixels(at(i).picture,
                               LayRegion(doc.scene(), Library(), QuickModelDrawer{}, at(i), alone, {}, {}).picture))
            << i;

    at(0).picture = QImage();
    at(0).realWidth = 0;
    at(1).realHeight = -5;
    r = Tile({0, 1});
    ASSERT_EQ(r.notes.size(), 2u);
    for (const Error& m : r.notes)
        EXPECT_EQ(std::tuple(m.message, m.caption, m.icon), std::tuple(kMsgCannotCompute, kCaptionPrompt, MessageIcon::Question));
    EXPECT_TRUE(at(0).picture.isNull());
    EXPECT_EQ(doc.history().count(), 1);  // the first tiling only
    at(0).realWidth = 2400;
    at(0).points.clear();
    r = Tile({0});
    ASSERT_EQ(r.notes.size(), 1u);
    EXPECT_EQ(r.notes[0].message, kMsgCannotCompute);
}

TEST_F(TilingCommands, OffsetsCountOnlyWhileTheEffectWindowIsShownAndAmbientColourMultiplies) {
    EffectSettings effect;
    effect.offsetX = 50;
    doc.SetEffectSettings(effect);
    EXPECT_TRUE(Tile({0}).ok());
    EXPECT_TRUE(SamePixels(at(0).picture, Canvas(0)));
    effect.shown = true;
    doc.SetEffectSettings(effect);
    EXPECT_TRUE(Tile({0}).ok());
    EXPECT_TRUE(SamePixels(at(0).picture, BuildShiftedTiledCanvas(at(0), nullptr, Product(), 600, 600, 50, 0)));

    doc.SetEffectSettings(EffectSettings{});
    controls.ambientColour = true;
    controls.colour = 0x000000FF;  // red only
    EXPECT_TRUE(Tile({0}).ok());
    EXPECT_TRUE(SamePixels(at(0).picture, MultiplyColour(Canvas(0), 0xFF)));
}

TEST_F(TilingCommands, FailedWarpKeepsTheOldPictureAndMakesNoStep) {
    at(1).picture = Solid(400, 190, Rgb(1, 2, 3));
    ops.failWarps = true;
    EXPECT_EQ(*Tile({1}), 0);
    EXPECT_EQ(At(at(1).picture, 0, 0), Rgb(1, 2, 3));
    EXPECT_EQ(doc.history().count(), 0);
}

TEST_F(TilingCommands, CancelledLayingOfSeveralRegionsLeavesTheSceneAsItWas) {
    SceneRenderer renderer{doc.scene(), ops};
    renderer.RenderAll();
    const QImage shown = renderer.displayed().copy();
    const QImage flat = at(0).picture, floor = at(1).picture;
    const CancelToken cancel;
    cancel.Cancel();
    const TileCommandResult r =
        TileSelectedRegions(SceneDocumentAccess::scene(doc), renderer, RegionSelection{0, {0, 1}}, nullptr,
                            doc.laying(), {}, cancel);
    EXPECT_TRUE(r.cancelled);
    EXPECT_TRUE(r.tiled.empty());
    EXPECT_EQ(ops.transforms, 0);
    EXPECT_EQ(at(0).picture.cacheKey(), flat.cacheKey());
    EXPECT_EQ(at(1).picture.cacheKey(), floor.cacheKey());
    EXPECT_TRUE(SamePixels(renderer.displayed(), shown));
}

TEST_F(TilingCommands, AnUndoneLayingIsNotDrawnAgainFromWhatWasKept) {
    const QImage shown = doc.displayed().copy();
    ASSERT_TRUE(Tile({0}).done());
    ASSERT_TRUE(doc.Undo().done());
    doc.Redraw();  // every record from what the renderer kept
    EXPECT_TRUE(SamePixels(doc.displayed(), shown));
}

TEST_F(TilingCommands, RubberBandLaysTheProductIntoTheRectangleOnly) {
    EXPECT_TRUE(Tile({0}).ok());
    const QImage before = at(0).picture.copy();
    doc.SetProduct(CurrentProduct{Solid(8, 8, Rgb(255, 0, 0)), v2d::Product::Parse(kDescriptor)});
    // A 1-pixel-high band does nothing.
    EXPECT_FALSE(doc.LayProductInRectangle(&at(0), {50, 50}, {90, 51}).done());
    EXPECT_EQ(doc.history().count(), 1);
    ASSERT_TRUE(doc.LayProductInRectangle(&at(0), {50, 40}, {110, 90}).done());
    EXPECT_EQ(doc.history().count(), 2);
    // Inside the rectangle (relative to the box at 10, 10): red; outside unchanged.
    EXPECT_EQ(At(at(0).picture, 70, 55), Rgb(255, 0, 0));
    EXPECT_EQ(At(at(0).picture, 5, 5), At(before, 5, 5));
    EXPECT_EQ(At(at(0).picture, 200, 100), At(before, 200, 100));

    // In a pattern: 600 mm tiles are 60 px here, a 20 mm joint 2 px, from the rectangle's corner.
    controls.pattern = PatternSettings{LayingPattern::Straight, 20, 0x0000FF00};
    doc.SetPanelControls(controls);
    ASSERT_TRUE(doc.LayProductInRectangle(&at(0), {50, 40}, {180, 90}).done());
    EXPECT_EQ(At(at(0).picture, 70, 55), Rgb(255, 0, 0));
    EXPECT_EQ(At(at(0).picture, 101, 55), Rgb(0, 255, 0));
    EXPECT_EQ(At(at(0).picture, 130, 55), Rgb(255, 0, 0));
}

// Five pictured regions side by side over a gradient photo.
Scene FiveRegions() {
    Scene scene;
    scene.background = Gradient(400, 300);
    for (int i = 0; i < 5; ++i) {
        PolygonPtr r = RectRegion("r", 10 + 70 * i, 10, 70 + 70 * i, 100, 1000, 1000);
        r->picture = Solid(61, 91, Rgb(200, 150, 100 + i));
        scene.Append(std::move(r));
    }
    return scene;
}

struct ToneCommands : DocumentTest {
    void SetUp() override { Load(FiveRegions()); }
    // The incremental picture is the one a full render gives.
    void ExpectSameAsAFullRender() {
        const QImage incremental = doc.displayed().copy();
        doc.RenderAll();
        EXPECT_TRUE(SamePixels(incremental, doc.displayed()));
    }
    // The product shaded by the photo's brightness at (x, y).
    uint32_t Shaded(uint32_t product, int x, int y) {
        return At(ApplyLightMap(Solid(1, 1, product), Solid(1, 1, At(doc.scene().background, x, y)), 0, 0, 1.0), 0, 0);
    }
};

TEST_F(ToneCommands, BrightnessChangeRendersOnlyTheChangedRecord) {
    ASSERT_TRUE(Lighten(2, 40));
    EXPECT_EQ(counters().rendered, 1);
    // The others are drawn from cache, or kept where they lie apart.
    EXPECT_EQ(counters().quickDrawn + counters().untouched, 4);
    ExpectSameAsAFullRender();
}

TEST_F(ToneCommands, AreaRedrawOfOverlappingRegionsMatchesAFullRender) {
    Scene scene = FiveRegions();
    PolygonPtr across = RectRegion("across", 30, 40, 200, 140, 1000, 1000);
    across->picture = Gradient(171, 101);
    scene.Insert(2, std::move(across));
    PolygonPtr top = RectRegion("top", 60, 60, 120, 200, 1000, 1000);
    top->picture = Solid(61, 141, Rgb(20, 220, 90));
    scene.Append(std::move(top));
    Load(std::move(scene));
    ASSERT_TRUE(Lighten(2, 150));
    EXPECT_EQ(counters().rendered, 1);
    EXPECT_GE(counters().untouched, 1);
    ASSERT_TRUE(Lighten(0, -30));
    ExpectSameAsAFullRender();
    // A record taken out of the list, then a change below it.
    Select(6, {6});
    ASSERT_TRUE(doc.DeleteSelection({}).ok());
    ASSERT_TRUE(Lighten(0, -20));
    ExpectSameAsAFullRender();
}

TEST_F(ToneCommands, ShadowRegionsAboveAChangeAreRenderedToo) {
    Scene scene = FiveRegions();
    scene.Append(RectRegion("s", 0, 0, 50, 50, 1000, 1000))->kind = RecordKind::ShadowRegion;
    scene.Insert(0, RectRegion("s0", 0, 0, 50, 50, 1000, 1000))->kind = RecordKind::ShadowRegion;
    Load(std::move(scene));
    Lighten(3, -20);
    EXPECT_EQ(counters().rendered, 2);  // the record and the shadow above it
    Lighten(6, 10);                     // a shadow region itself: just that one
    EXPECT_EQ(counters().rendered, 1);
}

TEST_F(ToneCommands, APaintingOfSeveralRecordsAndItsUndoAreDrawnInOnePass) {
    Select(1, {1, 3});
    controls.mixWithPhoto = true;
    doc.SetPanelControls(controls);
    ASSERT_EQ(*doc.PaintSelection(0x00FFFFFF), 2);
    EXPECT_EQ(counters().rendered, 2);
    ASSERT_TRUE(doc.Undo().done());
    EXPECT_EQ(counters().rendered, 2);
    ExpectSameAsAFullRender();
}

TEST_F(ToneCommands, LightenMinusHundredTurnsTheRegionBlackAndReflectionUsesTheSceneBeneath) {
    Lighten(1, -100);
    EXPECT_EQ(At(doc.displayed(), 110, 50), Rgb(0, 0, 0));
    Lighten(1, 0);
    EXPECT_EQ(At(doc.displayed(), 110, 50), Shaded(Rgb(200, 150, 101), 110, 50));

    Select(0, {0});
    ASSERT_TRUE(doc.SetReflect(100).done());
    // Upright sides: a wall, mirrored left to right over the whole scene.
    EXPECT_EQ(At(doc.displayed(), 40, 50), At(doc.scene().background, 399 - 40, 50));
    EXPECT_EQ(counters().rendered, 1);
}

TEST_F(ToneCommands, ForegroundColourPaintsFlatOrShadedWithUndoAmbientColourPaintsNothing) {
    Select(1, {1, 3});
    controls.mixWithPhoto = false;
    doc.SetPanelControls(controls);
    EXPECT_EQ(*doc.PaintSelection(0x00FF0000), 2);  // blue
    EXPECT_EQ(At(doc.displayed(), 110, 50), Rgb(0, 0, 255));
    EXPECT_EQ(doc.history().count(), 1);
    // Drawn flat, and still there after another record changes.
    Lighten(0, 30);
    EXPECT_EQ(At(doc.displayed(), 250, 50), Rgb(0, 0, 255));

    // Mixed: white times the photo's brightness, the brightness itself as grey.
    Select(2, {2});
    controls.mixWithPhoto = true;
    doc.SetPanelControls(controls);
    EXPECT_EQ(*doc.PaintSelection(0x00FFFFFF), 1);
    EXPECT_EQ(At(doc.displayed(), 180, 50), Shaded(Rgb(255, 255, 255), 180, 50));

    controls.ambientColour = true;
    doc.SetPanelControls(controls);
    const QImage before = doc.displayed().copy();
    EXPECT_EQ(*doc.PaintSelection(0x00000000), 0);
    EXPECT_TRUE(SamePixels(before, doc.displayed()));
    EXPECT_EQ(doc.history().count(), 3);
}

}  // namespace
}  // namespace v2d
