// The effect window's re-tiling of the focused region: offsets and relief
// reach the region's picture, and only while the window is shown.
#include <gtest/gtest.h>

#include "document/scene_document.h"
#include "render/relief.h"
#include "tests/render/render_fixtures.h"

namespace v2d {
namespace {
using namespace v2d::testing;

struct ReliefTiling : ::testing::Test {
    CountingOperations ops;
    SceneDocument doc{ops};
    void SetUp() override {
        Scene scene;
        scene.background = Solid(400, 200, Rgb(255, 255, 255));
        // 240 x 120 pixels for 2400 x 1200 mm: a 600 mm tile is 60 pixels.
        scene.Append(RectRegion("flat", 10, 10, 249, 129, 2400, 1200));
        scene.Append(RectRegion("shadow", 300, 20, 380, 100, 1000, 1000))->kind = RecordKind::ShadowRegion;
        doc.LoadScene(std::move(scene));
        doc.SetProduct(CurrentProduct{Gradient(60, 60), Product::Parse("PartsName=a&PartsNumber=A")});
        doc.Select(0);
    }
    QImage TiledWith(EffectSettings effect) {
        doc.SetEffectSettings(effect);
        EXPECT_TRUE(doc.TileFocusedRegion().done());
        return doc.scene().at(0)->picture;
    }
};

TEST_F(ReliefTiling, OffsetsShiftThePatternByPerCentOfATile) {
    const QImage plain = TiledWith({});
    const QImage shifted = TiledWith({true, 50, 25});
    for (QPoint p : {QPoint(0, 0), QPoint(7, 3), QPoint(59, 44)})
        EXPECT_EQ(shifted.pixel(p), plain.pixel(p + QPoint(30, 15))) << p.x() << "," << p.y();
    // A whole tile either way is no shift; closed, the window shifts nothing.
    EXPECT_TRUE(SamePixels(TiledWith({true, 100, -100}), plain));
    EXPECT_TRUE(SamePixels(TiledWith({false, 50, 25}), plain));
    EXPECT_EQ(doc.history().count(), 4);
}

TEST_F(ReliefTiling, ReliefIsBakedOnlyForARaisedOrSunkenChoice) {
    const QImage plain = TiledWith({});
    EXPECT_TRUE(SamePixels(TiledWith({true, 0, 0, ReliefChoice::Flat, 300}), plain));
    const QImage raised = TiledWith({true, 0, 0, ReliefChoice::Raised, 100});
    EXPECT_TRUE(SamePixels(raised, ApplyRelief(plain, ReliefKind::Raised, 1.0, ops)));
    EXPECT_FALSE(SamePixels(raised, plain));
    EXPECT_FALSE(SamePixels(raised, TiledWith({true, 0, 0, ReliefChoice::Sunken, 100})));

    doc.Select(1);
    EXPECT_FALSE(doc.TileFocusedRegion().done());
    doc.SetProduct(CurrentProduct{});
    doc.Select(0);
    EXPECT_EQ(doc.TileFocusedRegion().error(), kMsgNoProduct);
}

}  // namespace
}  // namespace v2d
