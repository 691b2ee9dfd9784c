// Shadows: the shadow region's grey mask, the cut-out's capped blur and the
// models' drop shadows under them in the scene.
#include <gtest/gtest.h>

#include "render/banded_blur.h"
#include "render/perspective_model_drawer.h"
#include "render/scene_renderer.h"
#include "render/shadow_mask.h"
#include "render/tone.h"
#include "tests/render/render_fixtures.h"

namespace v2d {
namespace {
using namespace v2d::testing;

int Red(const QImage& image, int x, int y) { return qRed(At(image, x, y)); }

struct ShadowScene : ::testing::Test {
    Scene scene;
    CountingOperations ops;
    SceneRenderer renderer{scene, ops};
    PerspectiveModelDrawer models;
    void SetUp() override {
        scene.background = Solid(200, 150, Rgb(255, 255, 255));
        renderer.SetModelDrawer(&models);
    }
    V2dPolygon& AddShadowRegion(int lighten = 0) {
        V2dPolygon* shadow = scene.Append(RectRegion("shadow", 40, 40, 119, 99, 0, 0));
        shadow->kind = RecordKind::ShadowRegion;
        shadow->picture = Solid(1, 1, Rgb(0, 0, 0));
        shadow->lighten = lighten;
        return *shadow;
    }
    V2dPolygon& AddCutout(int width, int height, int scale) {
        V2dPolygon* model = scene.Append(RectRegion("cut", 0, 0, width - 1, height - 1, 0, 0));
        model->kind = RecordKind::CutOutModel;
        model->picture = Solid(width, height, Rgb(0, 0, 0)).convertToFormat(QImage::Format_ARGB32);
        model->scaleX = model->scaleY = scale;
        model->originX = 50, model->originY = 30;
        return *model;
    }
};

TEST_F(ShadowScene, AShadowRegionDarkensByItsMasksGreyFadingAtTheEdgeAndMovedByItsOffset) {
    V2dPolygon& shadow = AddShadowRegion();
    renderer.RenderAll();
    const QImage& shown = renderer.displayed();
    EXPECT_EQ(Red(shown, 80, 70), 192);  // deep inside: 192 of 255
    EXPECT_EQ(Red(shown, 54, 70), 192);  // past the fade
    EXPECT_GT(Red(shown, 40, 70), 200);  // the edge is lighter
    EXPECT_EQ(Red(shown, 39, 70), 255);  // outside the outline nothing changes
    EXPECT_EQ(renderer.ShadowMaskOf(shadow).size(), QSize(80, 60));
    EXPECT_EQ(ops.lastBlurRadius, kShadowRegionMaskSize / 2);

    shadow.originX = 30;
    shadow.lighten = -50;  // the brightness setting scales the grey
    renderer.RenderAll();
    EXPECT_EQ(Red(renderer.displayed(), 60, 70), 255);
    EXPECT_EQ(Red(renderer.displayed(), 110, 70), 96);
}

TEST_F(ShadowScene, AShadowRegionWithoutPictureDrawsNothing) {
    AddShadowRegion().picture = QImage();
    renderer.RenderAll();
    EXPECT_TRUE(SamePixels(renderer.displayed(), scene.background));
}

TEST_F(ShadowScene, ACutoutShadowIsCappedAtRadiusFiveAndTooSmallAModelCastsNone) {
    V2dPolygon& model = AddCutout(40, 20, 100);
    model.shadowRadius = 10;
    const QImage mask = CutoutShadowMask(model, ops);
    EXPECT_EQ(ops.lastBlurRadius, 5);
    EXPECT_EQ(mask.size(), QSize(40 - 5 + 10, 20 - 5 + 10));
    renderer.RenderAll();
    // Beyond the model's own pixels the offset shadow darkens the floor.
    EXPECT_LT(Red(renderer.displayed(), 85, 50), 128);

    for (int scale : {10, 1}) {  // trunc(4 - 5) and trunc(0.4 - 5): no silhouette left
        model.scaleX = model.scaleY = scale;
        EXPECT_TRUE(CutoutShadowMask(model, ops).isNull());
        renderer.RenderAll();  // and no failure
    }
}

TEST_F(ShadowScene, BandedBlursAndCutoutShadowsMatchTheWholePictureOnes) {
    V2dPolygon& model = AddCutout(90, 70, 73);
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 90; ++x) model.picture.setPixel(x, y, qRgba(x * 3, y * 2, 255 - x - y, (x * y) % 256));
    model.shadowRadius = 4;
    QImage whole = Solid(200, 150, Rgb(250, 240, 230)), banded = whole;
    MultiplyByMask(whole, CutoutShadowOrigin(model), CutoutShadowMask(model, ops));
    CastCutoutShadowInBands(model, banded, ops, {}, 5 * 80);  // five rows a band
    EXPECT_EQ(banded, whole);

    QImage picture = model.picture.convertToFormat(QImage::Format_RGB32);
    const QImage blurred = ops.GaussBlurCV2(picture, 3, 3);
    ASSERT_TRUE(BlurInBands(picture, 3, 3, ops, 2 * 90));
    EXPECT_EQ(picture, blurred);
}

// A mask multiplies as the light map does, in place, where it overlaps the
// target and the clip; the target's alpha stays. Long runs of one colour
// (a shadow's inside) and short ones (its fading edge) alike.
TEST(MultiplyByMask, IsTheLightMapOverTheOverlapKeepingAlpha) {
    QImage mask = Gradient(150, 50);
    for (int y = 10; y < 30; ++y)
        for (int x = y; x < 150; ++x) mask.setPixel(x, y, x < 100 ? qRgb(150, 140, 130) : qRgb(255, 255, 255));
    for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32})
        for (double factor : {1.0, 1.37, -0.5}) {
            QImage target = Gradient(190, 60).convertToFormat(format);
            for (int x = 0; x < 190; ++x) target.setPixel(x, 37, qRgba(200, 100, x, x * 2));
            const QImage before = target;
            MultiplyByMask(target, QPoint(-10, 20), mask, factor, QRect(0, 0, 120, 60));
            const QImage lit = ApplyLightMap(before, mask, 10, -20, factor);
            for (int y = 0; y < 60; ++y)
                for (int x = 0; x < 190; ++x) {
                    const QRgb old = before.pixel(x, y);
                    const QRgb want = x < 120 && y >= 20 ? (old & 0xFF000000u) | (lit.pixel(x, y) & 0xFFFFFFu) : old;
                    ASSERT_EQ(target.pixel(x, y), want) << x << "," << y << " " << factor;
                }
        }
}

TEST_F(ShadowScene, APictureModelsShadowIsBlurredWithHalfItsSizeAndClearedWhenSwitchedOff) {
    V2dPolygon* model = scene.Append(RectRegion("picture", 20, 20, 59, 49, 0, 0));
    model->kind = RecordKind::PictureModel;
    model->toneEnabled = 0;
    model->picture = Solid(40, 30, Rgb(250, 250, 250));
    model->shadowRadius = 10;
    model->shadowX = model->shadowY = 8;
    renderer.RenderAll();
    EXPECT_EQ(ops.lastBlurRadius, 5);
    const int shaded = Red(renderer.displayed(), 60, 50);
    EXPECT_LT(shaded, 200);
    model->castShadow = 0;
    renderer.RedrawScene(model);
    EXPECT_EQ(Red(renderer.displayed(), 60, 50), 255);
}

}  // namespace
}  // namespace v2d
