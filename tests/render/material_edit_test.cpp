#include <gtest/gtest.h>

#include "render/material_edit.h"
#include "render/picture_ops.h"
#include "render/relief.h"
#include "render/tone.h"
#include "tests/render/render_fixtures.h"

namespace v2d {
namespace {

// 8 x 4: two red blocks (left and right) split by a blue column band; one
// near-red pixel (tolerance 10 away) at (1, 1).
QImage Pattern() {
    QImage p(8, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) p.setPixel(x, y, x >= 3 && x <= 4 ? qRgb(0, 0, 200) : qRgb(200, 10, 10));
    p.setPixel(1, 1, qRgb(210, 0, 20));
    return p;
}

int Count(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == colour;
    return n;
}

TEST(MaterialEdit, ToleranceDecidesWhichColoursChange) {
    const QRgb green = qRgb(0, 255, 0);
    struct Case {
        int tolerance;
        int changed;
    } cases[] = {{0, 23}, {9, 23}, {10, 24}, {255, 32}, {300, 32}};
    for (const Case& c : cases) {
        MaterialEditor editor;
        editor.Load(Pattern());
        // Both red blocks change with one click on the left one.
        ASSERT_TRUE(editor.ClickColour({0, 0}, 0x0000FF00, c.tolerance, false));
        EXPECT_EQ(Count(editor.result(), green), c.changed) << c.tolerance;
        EXPECT_EQ(editor.result().pixel(7, 3), green);
        EXPECT_EQ(editor.source().pixel(7, 3), qRgb(200, 10, 10)) << "the source never changes";
    }
    EXPECT_EQ(ClampTolerance(300), 255);
    EXPECT_EQ(ClampTolerance(-4), 0);
    // The window edges of each channel: key 250, tolerance 10 spans 240..255.
    EXPECT_TRUE(ColourMatch(qRgb(255, 240, 250), qRgb(250, 250, 250), 10));
    EXPECT_FALSE(ColourMatch(qRgb(239, 250, 250), qRgb(250, 250, 250), 10));
    EXPECT_TRUE(ColourMatch(qRgb(0, 5, 0), qRgb(3, 3, 3), 3));
    const std::vector<uint8_t> mask = SelectMatching(Pattern(), qRgb(0, 0, 200), 0);
    EXPECT_EQ(std::count(mask.begin(), mask.end(), 1), 8);
    EXPECT_EQ(mask[3], 1);
    EXPECT_EQ(mask[2], 0);
}

TEST(MaterialEdit, ClickMappingIgnoresTheMarginAndStaysInside) {
    // 200 x 100 shown in 100 x 100: s = 2, the picture 50 high from oy = 25.
    EXPECT_FALSE(MapClickToPicture({50, 10}, {100, 100}, {200, 100}));
    EXPECT_FALSE(MapClickToPicture({50, 76}, {100, 100}, {200, 100}));
    EXPECT_EQ(*MapClickToPicture({50, 25}, {100, 100}, {200, 100}), QPoint(100, 0));
    EXPECT_EQ(*MapClickToPicture({100, 75}, {100, 100}, {200, 100}), QPoint(199, 99)) << "clamped, not past the edge";
    EXPECT_EQ(*MapClickToPicture({3, 3}, {10, 10}, {10, 10}), QPoint(3, 3));
    EXPECT_FALSE(MapClickToPicture({3, 3}, {10, 10}, {0, 0}));
}

TEST(MaterialEdit, TexturesRepeatFromTheCornerAndShadeOnce) {
    QImage texture(2, 2, QImage::Format_RGB32);
    texture.setPixel(0, 0, qRgb(255, 255, 255));
    texture.setPixel(1, 0, qRgb(0, 0, 0));
    texture.setPixel(0, 1, qRgb(100, 100, 100));
    texture.setPixel(1, 1, qRgb(51, 51, 51));
    // Shading by hand: L = 100 gives trunc(200 * 100 / 255) = 78 for red 200.
    const QImage shaded = ShadeTexture(0x00000AC8, texture);  // red 200, green 10
    EXPECT_EQ(shaded.pixel(0, 1), qRgb(78, 3, 0));
    EXPECT_EQ(shaded.pixel(1, 0), qRgb(0, 0, 0));

    MaterialEditor editor;
    editor.Load(Pattern());
    ASSERT_TRUE(editor.ClickTexture({4, 0}, texture, 0, false));  // the blue band, x 3..4
    EXPECT_EQ(editor.result().pixel(3, 0), qRgb(0, 0, 0)) << "canvas anchored at the picture's corner";
    EXPECT_EQ(editor.result().pixel(4, 1), qRgb(100, 100, 100));
    EXPECT_EQ(editor.result().pixel(2, 0), qRgb(200, 10, 10));
    // Recolouring with overlay twice shades the chosen texture, not the last result.
    ASSERT_TRUE(editor.ChangeColour(0x00000AC8, 0, true).ok());
    ASSERT_TRUE(editor.ChangeColour(0x00000AC8, 0, true).ok());
    EXPECT_EQ(editor.result().pixel(4, 1), qRgb(78, 3, 0));
    // Scales: 10 % of 2 pixels still leaves one; the same scale does nothing.
    EXPECT_EQ(ScaleTexture(texture, 10).size(), QSize(1, 1));
    EXPECT_FALSE(*editor.ChangeScale(100, 0, true));
    EXPECT_TRUE(*editor.ChangeScale(10, 0, true));
    EXPECT_EQ(editor.current()->scale, 10);
    // Without overlay the colour replaces the texture.
    ASSERT_TRUE(editor.ChangeColour(0x0000FF00, 0, false).ok());
    EXPECT_TRUE(editor.current()->texture.isNull());
    EXPECT_EQ(Count(editor.result(), qRgb(0, 255, 0)), 8);
    // Overlay shades a texture click in the key (200, 10, 10), not in the entry's green.
    ASSERT_TRUE(editor.ClickColour({0, 0}, 0x0000FF00, 0, true) && editor.ClickTexture({0, 0}, texture, 0, true));
    EXPECT_EQ(editor.result().pixel(0, 1), qRgb(78, 3, 3));
}

TEST(MaterialEdit, EntriesAreKeyedBySourceColour) {
    MaterialEditor editor;
    EXPECT_EQ(editor.ChangeColour(1, 0, false).error(), kMsgPickAreaFirst);
    editor.Load(Pattern());
    ASSERT_TRUE(editor.ClickColour({0, 0}, 0x00FF0000, 0, false));
    ASSERT_TRUE(editor.ClickColour({7, 2}, 0x0000FF00, 0, false));  // the same source colour
    ASSERT_TRUE(editor.ClickColour({3, 2}, 0x000000FF, 0, false));
    ASSERT_EQ(editor.entries().size(), 2u);
    EXPECT_EQ(editor.entries()[0].key, 0x000A0AC8u);
    EXPECT_EQ(editor.entries()[0].colour, 0x0000FF00u);
    EXPECT_EQ(editor.currentIndex(), 1);
    // Scale without a texture does nothing.
    EXPECT_FALSE(*editor.ChangeScale(50, 0, false));
    EXPECT_FALSE(editor.ClickColour({8, 0}, 0, 0, false));
    editor.Reset();
    EXPECT_TRUE(editor.entries().empty());
    EXPECT_EQ(editor.result().pixel(0, 0), Pattern().pixel(0, 0));
}

// The relief's table is the light map's arithmetic for grey maps, at every
// strength the effect window offers, for both kinds; a wide canvas is made
// slice by slice, and its slices' edges must not show.
TEST(Relief, IsTheLightMapOfTheLibrarysReliefMap) {
    const ImageOperations& ops = testing::Library();
    for (const QImage& canvas : {testing::Gradient(97, 61), testing::Gradient(3001, 307)})
        for (ReliefKind kind : {ReliefKind::Raised, ReliefKind::Sunken})
            for (int strength : {100, 150, 233, 300}) {
                const QImage expected = ApplyLightMap(canvas, ops.GetBumpMap(canvas, kind), 0, 0, 0.01 * strength);
                EXPECT_TRUE(testing::SamePixels(ApplyRelief(canvas, kind, 0.01 * strength, ops), expected)) << strength;
            }
}

}  // namespace
}  // namespace v2d
