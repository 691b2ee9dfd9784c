// The tiling arithmetic and the "开始铺贴" pipeline.
#include "document/tile_command.h"

#include <gtest/gtest.h>

#include "scene/outline_geometry.h"
#include "base/picture_codec.h"
#include "render/picture_ops.h"
#include "tests/render/render_fixtures.h"

namespace v2d {
namespace {
using namespace v2d::testing;

TEST(TileSide, SixHundredOnTwentyFourHundredOverFourEightyPixels) {
    EXPECT_EQ(PlainTileSide(480, 2400, 600), 120);
    EXPECT_EQ(ShiftedTileSide(480, 2400, 600), 120);
}

TEST(TileSide, FloatScaleRoundsUpInThePlainCanvasOnly) {
    // 0.2 as a 32-bit float is 0.200000003: 500 * that is 100.0000015.
    EXPECT_EQ(PlainTileSide(500, 3000, 600), 101);
    EXPECT_EQ(ShiftedTileSide(500, 3000, 600), 100);
    EXPECT_EQ(ShiftedTileSide(505, 3000, 600), 101);
}

TEST(TileSide, AtLeastTwoPixelsAndNothingWithoutARealSize) {
    EXPECT_EQ(PlainTileSide(100, 100000, 1), 2);
    EXPECT_EQ(ShiftedTileSide(100, 100000, 1), 2);
    EXPECT_EQ(PlainTileSide(480, 0, 600), 0);
    EXPECT_EQ(PlainTileSide(480, -2400, 600), 0);
}

TEST(PatternShift, NegativeOffsetsCountFromTheTileEnd) {
    EXPECT_EQ(PatternShift(120, 50), 60);
    EXPECT_EQ(PatternShift(120, -50), 60);
    EXPECT_EQ(PatternShift(101, 50), 50);   // 50.5 truncated
    EXPECT_EQ(PatternShift(101, -50), 50);  // 101 - 50.5
    EXPECT_EQ(PatternShift(120, 100), 120);
    EXPECT_EQ(PatternShift(120, -100), 0);
    EXPECT_EQ(PatternShift(120, 25), 30);
    EXPECT_EQ(PatternShift(120, -25), 90);
}

// A product whose every pixel differs, so a tile's start shows.
QImage Product() { return Gradient(60, 60); }

TEST(BuildTiledCanvas, FourColumnsOfOneHundredTwentyPixels) {
    PolygonPtr region = RectRegion("floor", 0, 0, 479, 239, 2400, 1200);
    const QImage canvas = BuildTiledCanvas(*region, nullptr, Product(), 600, 600);
    ASSERT_EQ(canvas.size(), QSize(480, 240));
    const QImage tile = ResizePicture(Product(), 120, 120);
    for (int column = 0; column < 4; ++column)
        for (int x : {0, 59, 119}) EXPECT_EQ(At(canvas, column * 120 + x, 7), At(tile, x, 7));
    EXPECT_EQ(At(canvas, 130, 125), At(tile, 10, 5));
}

TEST(BuildTiledCanvas, OneHundredOneWideTilesCutByTheCanvasEdge) {
    PolygonPtr region = RectRegion("wall", 0, 0, 499, 99, 3000, 600);
    const QImage canvas = BuildTiledCanvas(*region, nullptr, Product(), 600, 600);
    ASSERT_EQ(canvas.width(), 500);
    const QImage tile = ResizePicture(Product(), 101, 101);
    EXPECT_EQ(At(canvas, 101, 3), At(tile, 0, 3));
    EXPECT_EQ(At(canvas, 100, 3), At(tile, 100, 3));
    EXPECT_EQ(At(canvas, 404, 3), At(tile, 0, 3));  // the fifth column starts at 404
    EXPECT_EQ(At(canvas, 499, 3), At(tile, 95, 3));
}

TEST(BuildTiledCanvas, FitCoversTheBoxWithOneCopy) {
    PolygonPtr region = RectRegion("door", 0, 0, 199, 299, 800, 2100);
    ProductPanelState panel;
    panel.picture = Product();
    panel.fit = true;
    panel.widthMm = 50;
    int w = 0, h = 0;
    const QImage product = PrepareProduct(panel, *region, w, h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 2100);
    const QImage canvas = BuildTiledCanvas(*region, nullptr, product, w, h);
    EXPECT_TRUE(SamePixels(canvas, ResizePicture(Product(), 200, 300)));
}

TEST(PrepareProduct, TurnSwapsTheSizeAndFitIgnoresTheTurn) {
    PolygonPtr region = RectRegion("r", 0, 0, 99, 99, 1000, 2000);
    ProductPanelState panel;
    panel.picture = Gradient(30, 10);
    panel.widthMm = 300;
    panel.heightMm = 100;
    panel.rotate = true;
    panel.mirror = true;
    int w = 0, h = 0;
    const QImage product = PrepareProduct(panel, *region, w, h);
    EXPECT_EQ(product.size(), QSize(10, 30));
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 300);
    // Mirrored first, then turned: source (x, y) -> mirrored (29 - x, y) -> (y, x).
    EXPECT_EQ(At(product, 3, 5), At(panel.picture, 5, 3));
    panel.fit = true;
    PrepareProduct(panel, *region, w, h);
    EXPECT_EQ(w, 1000);
    EXPECT_EQ(h, 2000);
}

TEST(BuildShiftedTiledCanvas, PlusAndMinusFiftyStartHalfATileIn) {
    PolygonPtr region = RectRegion("floor", 0, 0, 479, 239, 2400, 1200);
    const QImage plus = BuildShiftedTiledCanvas(*region, nullptr, Product(), 600, 600, 50, 0);
    const QImage minus = BuildShiftedTiledCanvas(*region, nullptr, Product(), 600, 600, -50, 0);
    EXPECT_TRUE(SamePixels(plus, minus));
    const QImage tile = ResizePicture(Product(), 120, 120);
    EXPECT_EQ(At(plus, 0, 4), At(tile, 60, 4));
    EXPECT_EQ(At(plus, 60, 4), At(tile, 0, 4));
}

TEST(BuildShiftedTiledCanvas, AHundredEitherWayIsNoShift) {
    for (int width : {480, 505}) {  // tiles of 120 and 101 pixels
        PolygonPtr region = RectRegion("wall", 0, 0, width - 1, 99, width == 480 ? 2400 : 3000, 600);
        const QImage none = BuildShiftedTiledCanvas(*region, nullptr, Product(), 600, 600, 0, 0);
        EXPECT_TRUE(SamePixels(none, BuildShiftedTiledCanvas(*region, nullptr, Product(), 600, 600, 100, 0)));
        EXPECT_TRUE(SamePixels(none, BuildShiftedTiledCanvas(*region, nullptr, Product(), 600, 600, -100, 0)));
        EXPECT_TRUE(SamePixels(none, BuildShiftedTiledCanvas(*region, nullptr, Product(), 600, 600, 0, -100)));
    }
    PolygonPtr wall = RectRegion("wall", 0, 0, 504, 99, 3000, 600);
    const QImage half = BuildShiftedTiledCanvas(*wall, nullptr, Product(), 600, 600, -50, 0);
    EXPECT_EQ(At(half, 0, 1), At(ResizePicture(Product(), 101, 101), 50, 1));
}

TEST(BuildTiledCanvas, NoRealSizeGivesNoCanvas) {
    PolygonPtr region = RectRegion("bad", 0, 0, 99, 99, 0, 1000);
    EXPECT_TRUE(BuildTiledCanvas(*region, nullptr, Product(), 600, 600).isNull());
    EXPECT_TRUE(BuildShiftedTiledCanvas(*region, nullptr, Product(), 600, 600, 10, 0).isNull());
}

// A scene with a photo and a few regions, and the tools to tile it.
struct TilingScene : ::testing::Test {
    Scene scene;
    CountingOperations ops;
    SceneRenderer renderer{scene, ops};
    UndoList undo;
    ProductPanelState panel;
    EffectSettings effect;

    void SetUp() override {
        scene.background = Solid(600, 400, Rgb(128, 128, 128));
        scene.Append(RectRegion("flat", 10, 10, 249, 129, 2400, 1200));
        PolygonPtr floor = RectRegion("floor", 10, 200, 409, 389, 4000, 3000);
        floor->corners[0] = {110, 200};
        floor->corners[1] = {309, 200};
        scene.Append(std::move(floor));
        PolygonPtr shadow = RectRegion("shadow", 300, 20, 400, 120, 1000, 1000);
        shadow->kind = kShadowRegion;
        scene.Append(std::move(shadow));
        panel.picture = Product();
        panel.descriptor = "PartsName=米黄&PartsNumber=A1&SalesName=x&PartsSpecs=600*600";
    }
    RegionSelection Select(std::vector<int> items) {
        RegionSelection s;
        s.focused = items.empty() ? -1 : items.front();
        s.selected = std::move(items);
        return s;
    }
};

TEST_F(TilingScene, QuadEqualToTheBoxIsNotWarped) {
    TileCommandResult r = TileSelectedRegions(renderer, Select({0}), panel, effect, undo);
    ASSERT_FALSE(r.stopped);
    EXPECT_EQ(ops.transforms, 0);
    const V2dPolygon& flat = *scene.at(0);
    ASSERT_EQ(flat.picture.size(), QSize(240, 120));
    // The canvas itself, copied over the photo's box.
    const QImage canvas = BuildTiledCanvas(flat, nullptr, Product(), 600, 600);
    EXPECT_TRUE(SamePixels(flat.picture, canvas));
    EXPECT_EQ(flat.partsInfo, panel.descriptor);
    EXPECT_EQ(r.hint, kHintTilingDone);
}

TEST_F(TilingScene, PerspectiveQuadIsWarpedOnce) {
    TileSelectedRegions(renderer, Select({1}), panel, effect, undo);
    EXPECT_EQ(ops.transforms, 1);
    EXPECT_EQ(scene.at(1)->picture.size(), QSize(400, 190));
    EXPECT_EQ(undo.size(), 1u);
}

TEST_F(TilingScene, ChecksComeInOrder) {
    ProductPanelState none;
    none.isModelProduct = true;
    EXPECT_EQ(TileSelectedRegions(renderer, Select({0}), none, effect, undo).stopped->message, kMsgNoProduct);
    ProductPanelState model = panel;
    model.isModelProduct = true;
    EXPECT_EQ(TileSelectedRegions(renderer, Select({}), model, effect, undo).stopped->message, kMsgModelProduct);
    EXPECT_EQ(TileSelectedRegions(renderer, Select({}), panel, effect, undo).stopped->message, kMsgSelectRegion);
    RegionSelection unfocused = Select({0});
    unfocused.focused = -1;
    EXPECT_EQ(TileSelectedRegions(renderer, unfocused, panel, effect, undo).stopped->message, kMsgSelectRegion);
    scene.background = QImage();
    TileCommandResult silent = TileSelectedRegions(renderer, Select({0}), panel, effect, undo);
    EXPECT_FALSE(silent.stopped);
    EXPECT_TRUE(silent.tiled.empty());
    EXPECT_TRUE(silent.hint.empty());
    EXPECT_TRUE(undo.empty());
}

TEST_F(TilingScene, ShadowRegionIsRefusedAndTheOthersAreTiled) {
    TileCommandResult r = TileSelectedRegions(renderer, Select({0, 1, 2}), panel, effect, undo);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].message, kMsgShadowNotTiled);
    EXPECT_EQ(r.tiled.size(), 2u);
    EXPECT_TRUE(scene.at(2)->picture.isNull());
}

TEST_F(TilingScene, RegionWithoutRealSizeIsRefusedLikeOneWithoutPoints) {
    scene.at(0)->realWidth = 0;
    scene.at(1)->realHeight = -5;
    TileCommandResult r = TileSelectedRegions(renderer, Select({0, 1}), panel, effect, undo);
    ASSERT_EQ(r.messages.size(), 2u);
    for (const Error& m : r.messages) {
        EXPECT_EQ(m.message, kMsgCannotCompute);
        EXPECT_EQ(m.caption, kCaptionPrompt);
        EXPECT_EQ(m.icon, MessageIcon::Question);
    }
    EXPECT_TRUE(scene.at(0)->picture.isNull());
    EXPECT_TRUE(undo.empty());
    scene.at(0)->realWidth = 2400;
    scene.at(0)->points.clear();
    r = TileSelectedRegions(renderer, Select({0}), panel, effect, undo);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].message, kMsgCannotCompute);
}

TEST_F(TilingScene, OffsetsCountOnlyWhileTheEffectWindowIsShown) {
    effect.offsetX = 50;
    TileSelectedRegions(renderer, Select({0}), panel, effect, undo);
    const QImage hidden = scene.at(0)->picture;
    EXPECT_TRUE(SamePixels(hidden, BuildTiledCanvas(*scene.at(0), nullptr, Product(), 600, 600)));
    effect.shown = true;
    TileSelectedRegions(renderer, Select({0}), panel, effect, undo);
    EXPECT_TRUE(SamePixels(scene.at(0)->picture,
                           BuildShiftedTiledCanvas(*scene.at(0), nullptr, Product(), 600, 600, 50, 0)));
}

TEST_F(TilingScene, AmbientColourMultipliesTheCanvas) {
    panel.ambientColour = true;
    panel.colour = 0x000000FF;  // red only
    TileSelectedRegions(renderer, Select({0}), panel, effect, undo);
    const QImage expected = MultiplyColour(BuildTiledCanvas(*scene.at(0), nullptr, Product(), 600, 600), 0xFF);
    EXPECT_TRUE(SamePixels(scene.at(0)->picture, expected));
}

TEST_F(TilingScene, FailedWarpKeepsTheOldPictureAfterTheUndoEntry) {
    scene.at(1)->picture = Solid(400, 190, Rgb(1, 2, 3));
    ops.failWarps = true;
    TileCommandResult r = TileSelectedRegions(renderer, Select({1}), panel, effect, undo);
    EXPECT_TRUE(r.tiled.empty());
    EXPECT_EQ(At(scene.at(1)->picture, 0, 0), Rgb(1, 2, 3));
    EXPECT_EQ(undo.size(), 1u);
}

TEST_F(TilingScene, RubberBandLaysTheProductIntoTheRectangleOnly) {
    TileSelectedRegions(renderer, Select({0}), panel, effect, undo);
    const QImage before = scene.at(0)->picture.copy();
    ProductPanelState red = panel;
    red.picture = Solid(8, 8, Rgb(255, 0, 0));
    // A 1-pixel-high band does nothing.
    EXPECT_FALSE(LayProductIntoRectangle(renderer, *scene.at(0), {50, 50}, {90, 51}, red, undo));
    EXPECT_EQ(undo.size(), 1u);
    ASSERT_TRUE(LayProductIntoRectangle(renderer, *scene.at(0), {50, 40}, {110, 90}, red, undo));
    EXPECT_EQ(undo.size(), 2u);
    const QImage& after = scene.at(0)->picture;
    // Inside the rectangle (relative to the box at 10, 10): red.
    EXPECT_EQ(At(after, 70, 55), Rgb(255, 0, 0));
    // Outside: unchanged.
    EXPECT_EQ(At(after, 5, 5), At(before, 5, 5));
    EXPECT_EQ(At(after, 200, 100), At(before, 200, 100));
}

TEST_F(TilingScene, TileIntoPartGivesThePartTheFlatCanvas) {
    PolygonPtr part = RectRegion("seat", 0, 0, 119, 59, 1200, 600);
    part->kind = kPictureModel;
    ASSERT_TRUE(TileIntoPart(*part, panel));
    EXPECT_TRUE(SamePixels(part->picture, BuildTiledCanvas(*part, nullptr, Product(), 600, 600)));
}

}  // namespace
}  // namespace v2d
