// The tiling arithmetic: tile sides, shifts, canvases and the prepared
// product, against pixels of the resized product.
#include "render/tiling.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "render/picture_ops.h"
#include "tests/render/render_fixtures.h"

namespace v2d {
namespace {
using namespace v2d::testing;

TEST(TileSide, PlainAndShiftedCanvasSides) {
    // Pixels across, real size, tile size: plain side, shifted side. 0.2 as a
    // 32-bit float is 0.200000003, so 500 * that rounds up in the plain
    // canvas only; at least two pixels; nothing without a real size.
    const struct { int pixels, real, tile, plain, shifted; } cases[] = {
        {480, 2400, 600, 120, 120}, {500, 3000, 600, 101, 100}, {505, 3000, 600, 102, 101},
        {100, 100000, 1, 2, 2},     {480, 0, 600, 0, 0},        {480, -2400, 600, 0, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(PlainTileSide(c.pixels, c.real, c.tile), c.plain) << c.pixels << " " << c.real;
        EXPECT_EQ(ShiftedTileSide(c.pixels, c.real, c.tile), c.shifted) << c.pixels << " " << c.real;
    }
}

TEST(PatternShift, NegativeOffsetsCountFromTheTileEnd) {
    // Tile side, per cent: pixels; 101 * 0.5 = 50.5 is truncated, 101 - 50.5 too.
    const int cases[][3] = {{120, 50, 60},  {120, -50, 60}, {101, 50, 50},  {101, -50, 50},
                            {120, 100, 120}, {120, -100, 0}, {120, 25, 30}, {120, -25, 90}};
    for (const auto& c : cases) EXPECT_EQ(PatternShift(c[0], c[1]), c[2]) << c[0] << " " << c[1];
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

// Stripes one pixel wide on a 512-pixel product laid as 41-pixel tiles: the
// tile shows their average grey, not whichever stripes its samples hit; a
// product only a little larger than its tile is resampled as it is.
TEST(BuildTiledCanvas, AProductShrunkFarIsAveragedFirst) {
    QImage stripes(512, 512, QImage::Format_RGB32);
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x) stripes.setPixel(x, y, x % 2 ? 0xFFFFFFFF : 0xFF000000);
    PolygonPtr region = RectRegion("wall", 0, 0, 199, 199, 3000, 3000);
    const QImage canvas = BuildTiledCanvas(*region, nullptr, stripes, 600, 600);
    ASSERT_EQ(canvas.size(), QSize(200, 200));
    int lightest = 0, darkest = 255;
    for (int x = 1; x < 39; ++x) {
        lightest = std::max(lightest, qGray(canvas.pixel(x, 20)));
        darkest = std::min(darkest, qGray(canvas.pixel(x, 20)));
    }
    EXPECT_GT(darkest, 100);
    EXPECT_LT(lightest, 155);
    const int tile = PlainTileSide(200, 3000, 600);
    const QImage near = Gradient(70, 70);
    EXPECT_TRUE(SamePixels(BuildTiledCanvas(*region, nullptr, near, 600, 600).copy(0, 0, tile, tile),
                           ResizePicture(near, tile, tile)));
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

TEST(ComposeRegionPicture, ThePhotoShowsOnlyAroundTheWarpedCanvas) {
    // The outline's box is 100 x 80 at (30, 20); the quad's box 50 x 40 at (50, 30).
    PolygonPtr r = RectRegion("wall", 30, 20, 129, 99, 1000, 800);
    const V2d_Point quad[4] = {{50, 30}, {99, 30}, {99, 69}, {50, 69}};
    std::copy(std::begin(quad), std::end(quad), r->corners);
    const QImage photo = Gradient(200, 150), warped = Solid(50, 40, Rgb(1, 2, 3));
    const QImage picture = ComposeRegionPicture(*r, nullptr, warped, photo);
    ASSERT_EQ(picture.size(), QSize(100, 80));
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x) {
            const bool canvas = x >= 20 && x < 70 && y >= 10 && y < 50;
            ASSERT_EQ(At(picture, x, y), canvas ? Rgb(1, 2, 3) : At(photo, x + 30, y + 20)) << x << "," << y;
        }
}

TEST(WarpToQuad, AnUprightQuadOfTheCanvasSizeGivesTheCanvasBack) {
    // The laying skips the warp of such a quad; the library's own warp of it
    // must be the canvas, byte for byte, at odd sizes and away from the origin.
    for (const QSize size : {QSize(1251, 901), QSize(57, 3), QSize(2, 2), QSize(3000, 2)}) {
        const QImage canvas = Gradient(size.width(), size.height());
        const int x = 300, y = 77, r = x + size.width() - 1, b = y + size.height() - 1;
        const Quad quad{V2d_Point{x, y}, V2d_Point{r, y}, V2d_Point{r, b}, V2d_Point{x, b}};
        EXPECT_TRUE(SamePixels(WarpToQuad(canvas, quad, Library(), {}), canvas)) << size.width() << "x" << size.height();
    }
}

}  // namespace
}  // namespace v2d
