// Laying patterns against positions, counts and areas worked out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "layout/pattern_canvas.h"
#include "layout/laying_plan.h"
#include "layout/light_mode.h"
#include "layout/pattern_descriptor.h"
#include "layout/pattern_table.h"
#include "layout/region_quote.h"
#include "document/tile_command.h"
#include "render/tiling.h"
#include "tests/render/render_fixtures.h"

namespace v2d {
namespace {

using testing::At;
using testing::Rgb;

constexpr double kR2 = 1.4142135623730951;

TileLayout Lay(LayingPattern pattern, double w, double h, double rw, double rh, int joint = 0,
               LayingOrigin origin = LayingOrigin::Corner) {
    PatternSettings settings;
    settings.pattern = pattern;
    settings.jointMm = joint;
    settings.origin = origin;
    Result<TileLayout> layout = LayPattern(settings, w, h, rw, rh);
    EXPECT_TRUE(layout.ok());
    return layout.ok() ? *layout : TileLayout{};
}

bool Has(const TileLayout& layout, double x, double y, int turn) {
    for (const PlacedTile& t : layout.tiles)
        if (std::abs(t.x - x) < 1e-6 && std::abs(t.y - y) < 1e-6 && t.turn == turn) return true;
    return false;
}

// How many tiles hold the point, each by its own axes.
int Covering(const TileLayout& layout, double x, double y) {
    int n = 0;
    for (const PlacedTile& t : layout.tiles) {
        const double a = t.turn * M_PI / 180, dx = x - t.x, dy = y - t.y;
        const double u = dx * std::cos(a) + dy * std::sin(a), v = -dx * std::sin(a) + dy * std::cos(a);
        n += std::abs(u) < layout.tileWidth / 2 && std::abs(v) < layout.tileHeight / 2;
    }
    return n;
}

TEST(LayPattern, PositionsWorkedOutByHand) {
    const TileLayout straight = Lay(LayingPattern::Straight, 300, 300, 1200, 900, 10);
    EXPECT_EQ(straight.tiles.size(), 12u);  // pitch 310: 4 columns, 3 rows
    EXPECT_TRUE(Has(straight, 150, 150, 0) && Has(straight, 460, 150, 0) && Has(straight, 1080, 770, 0));
    const TileLayout half = Lay(LayingPattern::HalfOffset, 300, 300, 1200, 900, 10);
    EXPECT_EQ(half.tiles.size(), 13u);  // 4 + 5 + 4
    EXPECT_TRUE(Has(half, -5, 460, 0) && Has(half, 1235, 460, 0) && Has(half, 150, 770, 0));
    const TileLayout third = Lay(LayingPattern::ThirdOffset, 300, 300, 1200, 1300, 10);
    EXPECT_TRUE(Has(third, 150 + 310.0 / 3 - 310, 460, 0) && Has(third, 150 + 620.0 / 3 - 310, 770, 0) &&
                Has(third, 150, 1080, 0));
    const TileLayout diagonal = Lay(LayingPattern::Diagonal, 100, 100, 1000, 1000);
    EXPECT_TRUE(Has(diagonal, 0, 100 / kR2, 45) && Has(diagonal, 100 / kR2, 200 / kR2, 45));
    // Herringbone 300 × 100: one plank along, one across, repeating a plank's
    // width up the region and a plank's length times √2 across it.
    const TileLayout herringbone = Lay(LayingPattern::Herringbone, 300, 100, 2000, 2000);
    EXPECT_TRUE(Has(herringbone, 100 / kR2, 200 / kR2, 45) && Has(herringbone, 400 / kR2, 300 / kR2, 135) &&
                Has(herringbone, 100 / kR2, 400 / kR2, 45) && Has(herringbone, 700 / kR2, 200 / kR2, 45));
    // Basket weave 200 × 100: cells of two planks, along x then along y.
    const TileLayout basket = Lay(LayingPattern::BasketWeave, 200, 100, 1000, 1000);
    EXPECT_TRUE(Has(basket, 100, 50, 0) && Has(basket, 100, 150, 0) && Has(basket, 250, 100, 90) &&
                Has(basket, 350, 100, 90) && Has(basket, 300, 250, 0) && Has(basket, 450, 300, 90));
    const TileLayout centred = Lay(LayingPattern::Straight, 300, 300, 1200, 900, 0, LayingOrigin::Centre);
    EXPECT_TRUE(Has(centred, 750, 600, 0) && Has(centred, 150, 0, 0));
    EXPECT_EQ(centred.tiles.size(), 4u * 4u);
    // Without joints every pattern covers each point of the region once.
    for (const PatternRow& row : kPatternTable) {
        const TileLayout layout = Lay(row.pattern, 300, 100, 1000, 800, 0, LayingOrigin::Centre);
        for (double x = 3.7; x < 1000; x += 41.3)
            for (double y = 2.9; y < 800; y += 37.1) ASSERT_EQ(Covering(layout, x, y), 1) << row.word;
    }
}

TEST(LayPattern, SeedsTurnsAndFaults) {
    PatternSettings settings;
    settings.randomTurn = true;
    settings.seed = 7;
    const auto turns = [&](double w, double h) {
        std::vector<int> all;
        const Result<TileLayout> layout = LayPattern(settings, w, h, 3000, 3000);
        for (const PlacedTile& t : layout->tiles) all.push_back(t.turn);
        return all;
    };
    const std::vector<int> square = turns(300, 300), plank = turns(300, 100);
    EXPECT_EQ(square, turns(300, 300));
    for (int turn : {0, 90, 180, 270}) EXPECT_NE(std::count(square.begin(), square.end(), turn), 0);
    for (int turn : plank) EXPECT_TRUE(turn == 0 || turn == 180);
    settings.seed = 8;
    EXPECT_NE(square, turns(300, 300));

    EXPECT_EQ(LayPattern({}, 300, 300, 0, 900).error(), kMsgCannotCompute);
    EXPECT_EQ(LayPattern({}, 0, 300, 900, 900).error(), kMsgNoTileSize);
    EXPECT_EQ(LayPattern({}, 1, 1, 100000, 100000).error(), kMsgTooManyTiles);
    EXPECT_EQ(LayPattern({LayingPattern::BasketWeave}, 2e9, 1, 1000, 1000).error(), kMsgTooManyTiles);
    settings = {LayingPattern::Herringbone, 20};
    EXPECT_EQ(LayPattern(settings, 5000, 100, 1000, 1000)->tiles.empty(), false);  // planks longer than the region
    EXPECT_EQ(LayPattern({LayingPattern::Straight, 20}, 5, 5, 100, 100)->tiles.size(), 16u);  // joints wider than tiles
}

TEST(PatternDescriptor, KeptAfterTheProductAndReadBack) {
    const std::string product = "PartsName=砖&PartsNumber=A1&PartsSpecs=300*600";
    EXPECT_EQ(WithPatternSettings(product, {}, {300, 600}), product);
    const PatternSettings settings{LayingPattern::Herringbone, 3, 0x112233, true, 4000000000u, LayingOrigin::Centre};
    const std::string stored = WithPatternSettings(product, settings, {600, 300});
    EXPECT_EQ(stored, product + "&LayPattern=4&JointWidth=3&JointColor=1122867&TurnSeed=4000000000&LayOrigin=1"
                                "&LaySize=600*300");
    EXPECT_EQ(ReadPatternSettings(stored), settings);
    EXPECT_EQ(ReadLaidSize(stored)->width, 600);
    EXPECT_EQ(ReadPatternSettings(product), PatternSettings{});
    EXPECT_EQ(WithPatternSettings(stored, {}, {}), product);  // laid plain again
    EXPECT_EQ(WithPatternSettings(stored, settings, {600, 300}, 105).size(), 103u);  // "砖" not cut in two
}

TEST(LightModeItem, SetReplacedAndTakenOutLeavingTheOtherItemsAsTheyWere) {
    const std::string product = "PartsName=砖&LayPattern=1";
    EXPECT_EQ(ReadLightMode(product), LightMode::Photo);
    const std::string room = WithLightMode(product, LightMode::Room);
    EXPECT_EQ(room, product + "&LightMode=1");
    EXPECT_EQ(ReadLightMode(room), LightMode::Room);
    EXPECT_EQ(WithLightMode(room, LightMode::Room), room);
    EXPECT_EQ(WithLightMode(room, LightMode::Photo), product);
    EXPECT_EQ(WithLightMode("", LightMode::Room), "LightMode=1");
    EXPECT_EQ(ReadLightMode("LightMode=2"), LightMode::Photo) << "a value no build knows is the photo's light";
    EXPECT_EQ(WithLightMode(product, LightMode::Room, 25), "PartsName=砖&LightMode=1");
    EXPECT_EQ(WithLightMode(product, LightMode::Room, 24), "PartsName=&LightMode=1") << "not cut within a character";
}

// A region whose outline is its quad's box, `mm` millimetres to the pixel.
PolygonPtr FlatRegion(int w, int h, int mm) { return testing::RectRegion("地面", 0, 0, w - 1, h - 1, w * mm, h * mm); }

TEST(RegionQuote, CountsAreasThroughThePerspectiveAndQuotes) {
    PolygonPtr flat = FlatRegion(120, 90, 10);
    PatternSettings half{LayingPattern::HalfOffset, 10};
    EXPECT_EQ(MeasureRegion(Scene{}, *flat, {LayingPattern::Straight, 10}, {300, 300})->laid, 12);
    ProductPanelState panel;
    panel.widthMm = 600, panel.heightMm = 300, panel.rotate = true, panel.pattern = half;  // turned: 300 × 600
    EXPECT_EQ(MeasurePanelLaying(Scene{}, *flat, panel)->laid, 4 + 5);  // two rows 610 apart
    panel.rotate = false, panel.widthMm = 300;
    EXPECT_EQ(MeasurePanelLaying(Scene{}, *flat, panel)->laid, 13);
    // Pixels (x, y) stand for (1000x, 1000y) / (200 - y) mm: the quad
    // (0,0) (200,0) (100,100) (0,100) spans 1000 × 1000 mm; the triangle over
    // its top and left sides is half of it, the hole's corners map to
    // (111.1,111.1) (333.3,111.1) (428.6,428.6) (142.9,428.6).
    PolygonPtr skewed = testing::RectRegion("墙", 0, 0, 200, 100, 1000, 1000);
    skewed->points = {{0, 0}, {200, 0}, {0, 100}, {20, 20}, {60, 20}, {60, 60}, {20, 60}};
    skewed->indexList = {2, 6};
    skewed->corners[2] = {100, 100};
    EXPECT_NEAR(MeasureRegion(Scene{}, *skewed, {}, {100, 100})->areaM2, 0.5 - 0.0806248, 1e-6);
    skewed->corners[2] = skewed->corners[1];
    EXPECT_EQ(MeasureRegion(Scene{}, *skewed, {}, {100, 100}).error(), kMsgCannotCompute);

    Scene scene;
    flat->picture = testing::Solid(120, 90, Rgb(1, 2, 3));
    flat->partsInfo = WithPatternSettings("PartsName=砖&PartsNumber=A1&PartsPrice=10.5&PartsPerBox=5", half, {300, 300});
    PolygonPtr boxed = FlatRegion(100, 100, 10);
    boxed->picture = flat->picture;
    boxed->partsInfo = "PartsName=\"板\"&PartsNumber=B2&PartsSpecs=500*500&PartsPrice=80&PartsUnit=box";
    scene.Append(std::move(flat));
    scene.Append(std::move(boxed));
    scene.Append(FlatRegion(10, 10, 10));  // nothing laid
    EXPECT_EQ(QuoteJson(QuoteScheme(scene)),
              "{\"regions\":[{\"index\":0,\"name\":\"砖\",\"number\":\"A1\",\"pattern\":\"half\",\"area_m2\":1.08,"
              "\"laid\":13,\"whole\":6,\"cut\":7,\"waste\":8,\"order\":15,\"strips\":null,\"boxes\":3,\"unit\":\"piece\",\"quantity\":15,"
              "\"unit_price\":10.5,\"amount\":157.5,\"excluded\":null},"
              "{\"index\":1,\"name\":\"\\\"板\\\"\",\"number\":\"B2\",\"pattern\":\"straight\",\"area_m2\":1,\"laid\":4,"
              "\"whole\":4,\"cut\":0,\"waste\":5,\"order\":5,\"strips\":null,\"boxes\":null,\"unit\":\"box\",\"quantity\":null,"
              "\"unit_price\":80,\"amount\":null,\"excluded\":\"每箱片数未定\"}],\"models\":[],"
              "\"total\":157.5,\"excluded\":1}");
    const SchemeQuote perBox = QuoteScheme(scene, {10, 2});
    EXPECT_EQ(perBox.regions[1].boxes, 3);  // 4 × 1.1 → 5 pieces, 3 boxes of 2
    EXPECT_DOUBLE_EQ(perBox.total, 10.5 * 15 + 80 * 3);
    // A pattern the table has no row for keeps its line, with the reason and no figures.
    scene.at(1)->partsInfo = scene.at(1)->partsInfo.text() + "&LayPattern=" + std::to_string(kPatternCount);
    const std::string newer = QuoteJson(QuoteScheme(scene));
    EXPECT_NE(newer.find("\"pattern\":null,\"area_m2\":0,\"laid\":null"), std::string::npos) << newer;
    EXPECT_NE(newer.find(std::string("\"excluded\":\"") + kMsgUnknownPattern), std::string::npos);
}

PolygonPtr Laid(PolygonPtr region, std::string descriptor) {
    region->picture = testing::Solid(8, 8, Rgb(1, 2, 3));
    region->partsInfo = std::move(descriptor);
    return region;
}

// Figures worked out by hand: oak at 420 per m² on a 4 × 3.26 m floor
// (13.04 m², 5 % on top: 13.692, ordered 13.70 m²); a 3.2 × 2.6 m wall with a
// 0.9 × 2.05 m door in rolls of 0.53 × 10 m with a 530 mm repeat: 7 strips of
// 3130 mm, 3 to a roll, 3 rolls laid, 3.15 → 4 ordered; a sofa at 9800.
TEST(SchemeQuote, ChargesEachProductInItsOwnUnitAndEachModelOnce) {
    Scene scene;
    scene.Append(Laid(testing::RectRegion("地面", 0, 0, 400, 326, 4000, 3260),
                                  "PartsName=橡木实木地板&PartsNumber=MB-1202&PartsSpecs=1200*200&PartsPrice=420.00"
                                  "&PartsUnit=m2"));
    const std::string roll = "PartsName=墙纸&PartsNumber=BZ-5301&PartsSpecs=530*10000&PartsPrice=260.00&PartsUnit=roll";
    PolygonPtr wall = Laid(testing::RectRegion("背景墙", 0, 0, 320, 260, 3200, 2600), roll + "&PatternRepeat=530");
    wall->points = {{0, 0}, {320, 0}, {320, 260}, {130, 260}, {130, 55}, {40, 55}, {40, 260}, {0, 260}};  // the door
    wall->indexList = {7};
    PolygonPtr sofa = NewPolygon(), part = NewPolygon();
    sofa->kind = part->kind = RecordKind::CutOutModel;
    sofa->name = "真皮沙发";
    sofa->partsInfo = part->partsInfo = "PartsName=真皮沙发&PartsNumber=SF-002&PartsPrice=9800.00";
    part->group = sofa.get();  // its owner's
    scene.Append(std::move(wall));
    scene.Append(std::move(sofa));
    scene.Append(std::move(part));
    const SchemeQuote quote = QuoteScheme(scene);
    ASSERT_EQ(quote.regions.size(), 2u);
    const RegionQuote& floor = quote.regions[0];
    EXPECT_NEAR(floor.areaM2, 13.04, 1e-9);
    EXPECT_EQ(floor.laid, 4 * 17);  // planks whole or cut
    EXPECT_NEAR(*floor.quantity, 13.70, 1e-9);
    EXPECT_NEAR(*floor.amount, 13.70 * 420, 1e-6);
    const RegionQuote& rolls = quote.regions[1];
    EXPECT_NEAR(rolls.areaM2, 8.32 - 0.9 * 2.05, 1e-9);
    EXPECT_EQ(rolls.strips, 7);
    EXPECT_EQ(rolls.laid, 3);
    EXPECT_FALSE(rolls.whole || rolls.cut);
    EXPECT_EQ(rolls.order, 4);
    EXPECT_DOUBLE_EQ(*rolls.amount, 4 * 260.0);
    // The panel's line counts the rolls as the quote does.
    const Result<RegionMeasure> panel =
        MeasureRegionInRolls(scene, *scene.at(1), Product::Parse(roll + "&PatternRepeat=530"));
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->laid, 3);
    ASSERT_EQ(quote.models.size(), 1u);
    EXPECT_EQ(quote.models[0].index, 2);
    EXPECT_DOUBLE_EQ(*quote.models[0].amount, 9800);
    EXPECT_NEAR(quote.total, 13.70 * 420 + 1040 + 9800, 1e-6);
    EXPECT_EQ(quote.excluded, 0);

    // 8000 mm of repeat makes a strip of 10.6 m, longer than the roll.
    scene.at(1)->partsInfo = roll + "&PatternRepeat=8000";
    EXPECT_NE(QuoteScheme(scene).regions[1].excluded.find("比一卷（10000 毫米）还长"), std::string::npos);
}

// Descriptors found by fuzzing keep their lines, with a reason and no figure.
TEST(SchemeQuote, HostileDescriptorsKeepTheirLinesWithoutAFigure) {
    const struct {
        const char* items;
        const char* excluded;
        std::optional<double> amount;
    } cases[] = {
        {"&PartsPrice=1e308", kQuotePriceTooLarge, {}},
        {"&PartsPrice=1e999", kQuotePriceTooLarge, {}},
        {"&PartsPrice=abc", kQuotePriceUnknown, {}},
        {"", kQuotePriceUnknown, {}},
        {"&PartsPrice=2&LaySize=1*1", kMsgTooManyTiles, {}},
        {"&PartsPrice=2&PartsUnit=m2&LaySize=1*1", "", 2 * 1.05},  // the area alone prices it
        {"&PartsPrice=30&PartsUnit=箱&PartsPerBox=4", "", 30 * 2},  // 4 laid, 5 ordered: two boxes
        {"&PartsPrice=30&PartsUnit=箱", kQuoteBoxUnknown, {}},
    };
    for (const auto& c : cases) {
        Scene scene;
        scene.Append(Laid(FlatRegion(100, 100, 10), std::string("PartsNumber=X&PartsSpecs=500*500") + c.items));
        const SchemeQuote quote = QuoteScheme(scene);
        ASSERT_EQ(quote.regions.size(), 1u) << c.items;
        EXPECT_EQ(quote.regions[0].excluded, c.excluded) << c.items;
        EXPECT_EQ(quote.regions[0].amount, c.amount) << c.items;
        EXPECT_EQ(QuoteJson(quote).find("inf"), std::string::npos) << c.items;
    }
}

// A 1000 × 900 mm floor in 300 × 300 tiles from its corner: three rows of
// three whole tiles and a 100 mm strip cut from a fourth. Its top right
// 400 × 300 taken out along the joints (an L) leaves 8 whole and 2 cut, the
// notch's tiles not laid; a 100 mm pipe hole inside the tile at (300, 300)
// makes it a cut one.
TEST(LayingPlan, WholeAndCutTilesWorkedOutByHand) {
    Scene scene;
    scene.Append(Laid(FlatRegion(100, 90, 10), "PartsName=砖&PartsNumber=T1&PartsSpecs=300*300&PartsPrice=2"));
    PolygonPtr l = Laid(testing::RectRegion("L", 0, 0, 100, 90, 1000, 900), "PartsNumber=T1&PartsSpecs=300*300");
    l->points = {{0, 0}, {60, 0}, {60, 30}, {100, 30}, {100, 90}, {0, 90}, {40, 40}, {50, 40}, {50, 50}, {40, 50}};
    l->indexList = {5, 9};
    scene.Append(std::move(l));
    scene.Append(Laid(FlatRegion(100, 90, 10), "PartsNumber=W1&PartsSpecs=530*10000&PartsUnit=roll"));
    scene.Append(FlatRegion(100, 90, 10));  // nothing laid
    const SchemeQuote quote = QuoteScheme(scene);
    ASSERT_EQ(quote.regions.size(), 3u);
    EXPECT_TRUE(quote.regions[0].whole == 9 && quote.regions[0].cut == 3 && quote.regions[0].laid == 12);
    EXPECT_TRUE(quote.regions[1].whole == 7 && quote.regions[1].cut == 3 && quote.regions[1].laid == 10);

    const Result<LayingPlan> plan = MakeLayingPlan(scene, 0);
    ASSERT_TRUE(plan) << plan.error();
    EXPECT_TRUE(plan->whole == 9 && plan->cut == 3 && plan->tiles.size() == 12u);
    EXPECT_EQ(plan->extent, QRectF(0, 0, 1000, 900));
    EXPECT_EQ(plan->start, QPointF(0, 0));
    for (const PlanTile& tile : plan->tiles) {
        EXPECT_EQ(tile.whole, tile.corners[1].x() <= 900) << tile.corners[0].x();
        if (!tile.whole) EXPECT_NEAR(OutlineArea(tile.inside), 100 * 300, 1e-6);  // the strip up to x = 1000
    }
    const Result<LayingPlan> holed = MakeLayingPlan(scene, 1);
    ASSERT_TRUE(holed);
    EXPECT_TRUE(holed->whole == 7 && holed->cut == 3);
    for (const PlanTile& tile : holed->tiles)
        if (tile.corners[0] == QPointF(300, 300)) EXPECT_NEAR(OutlineArea(tile.inside), 300 * 300 - 100 * 100, 1e-6);
    // The SVG counts what the plan holds.
    const std::string svg = LayingPlanSvgElement(*holed);
    const auto count = [&](const std::string& what) {
        size_t n = 0;
        for (size_t at = svg.find(what); at != std::string::npos; at = svg.find(what, at + 1)) ++n;
        return n;
    };
    EXPECT_TRUE(count("class=\"whole\"") == 7 && count("class=\"cut\"") == 3 && count("class=\"hole\"") == 1);
    EXPECT_NE(svg.find("整砖 7 块，切割砖 3 块"), std::string::npos);

    EXPECT_NE(MakeLayingPlan(scene, 2).error().find("墙纸"), std::string::npos);
    EXPECT_NE(MakeLayingPlan(scene, 3).error().find("没有铺贴产品"), std::string::npos);
    EXPECT_FALSE(MakeLayingPlan(scene, 4) || MakeLayingPlan(scene, -1));
    scene.at(0)->partsInfo = scene.at(0)->partsInfo.text() + "&LaySize=1*1";
    EXPECT_EQ(MakeLayingPlan(scene, 0).error(), kMsgTooManyTiles);
}

TEST(TileRegion, PlainAsBeforePatternedWithJointsAndRefusals) {
    Scene scene;
    scene.background = testing::Solid(200, 200, Rgb(9, 9, 9));
    scene.Append(FlatRegion(100, 100, 10));
    V2dPolygon& region = *scene.at(0);
    SceneRenderer renderer{scene, testing::Library()};
    ProductPanelState panel;
    panel.picture = testing::Gradient(64, 48);
    panel.product = Product::Parse("PartsName=砖&PartsNumber=A1");
    panel.widthMm = 230, panel.heightMm = 170;
    ASSERT_EQ(TileRegion(scene, renderer, region, panel, {}, {}).status, TileStatus::Tiled);
    int w = 0, h = 0;
    const QImage product = PrepareProduct(panel, region, w, h);
    EXPECT_TRUE(testing::SamePixels(region.picture, BuildTiledCanvas(region, nullptr, product, w, h)));
    EXPECT_EQ(region.partsInfo.text(), panel.product.descriptor());

    panel.picture = testing::Solid(8, 8, Rgb(0, 200, 0));
    panel.widthMm = panel.heightMm = 100;
    panel.pattern.jointMm = 10;
    panel.pattern.jointColour = 0x0000FF;  // red
    ASSERT_EQ(TileRegion(scene, renderer, region, panel, {}, {}).status, TileStatus::Tiled);
    // A pixel is 10 mm: tiles of 10 pixels, joints of 1.
    for (int x : {0, 5, 9, 11, 20, 22}) EXPECT_EQ(At(region.picture, x, 3), Rgb(0, 200, 0)) << x;
    for (int x : {10, 21, 32}) EXPECT_EQ(At(region.picture, x, 3), Rgb(255, 0, 0)) << x;
    EXPECT_EQ(ReadPatternSettings(region.partsInfo.text()), panel.pattern);

    panel.widthMm = 0;
    EXPECT_EQ(TileRegion(scene, renderer, region, panel, {}, {}).message->message, kMsgNoTileSize);
    region.corners[1] = region.corners[0];
    EXPECT_EQ(TileRegion(scene, renderer, region, panel, {}, {}).message->message, kMsgCannotCompute);
}

// A floor box squeezed as perspective squeezes it: 0.35 px per mm across,
// 0.14 down; white planks of 1200 × 200, black joints of 2 mm (0.7 px
// across, 0.28 down). Every pattern darkens the canvas by its joints' share
// of the floor, and without joints not at all: no seam, no joint dropped.
TEST(PaintPatternCanvas, JointsUnderAPixelDarkenByTheirCoverage) {
    const QImage white = testing::Solid(8, 8, testing::Rgb(255, 255, 255));
    const auto paint = [&](LayingPattern pattern, int joint) {
        return PaintPatternCanvas(Lay(pattern, 1200, 200, 4000, 3000, joint), white, 1400, 420, 0);
    };
    for (const PatternRow& row : kPatternTable)
        for (int joint : {0, 2}) {
            const LayingPattern pattern = row.pattern;
            const QImage canvas = paint(pattern, joint);
            double dark = 0;
            for (int y = 0; y < canvas.height(); ++y)
                for (int x = 0; x < canvas.width(); ++x) dark += 1 - qGray(canvas.pixel(x, y)) / 255.0;
            const double cell = std::max(1200.0 + joint, 6 * (200.0 + joint));  // a basket of six
            const double expected = pattern == LayingPattern::BasketWeave
                                        ? 1 - 6 * 1200.0 * 200 / (cell * cell)
                                        : 1 - 1200.0 * 200 / ((1200.0 + joint) * (200 + joint));
            EXPECT_NEAR(dark / (1400 * 420), expected, 0.15 * expected + 0.001) << row.word << joint;
        }
    // Straight, each joint between rows at its 0.28 of a pixel (before: 0 or 1).
    const QImage rows = paint(LayingPattern::Straight, 2);
    for (int k = 1; k * 202 < 3000; ++k) {
        double dark = 0;
        for (int y = int(k * 202 * 0.14) - 2; y <= int(k * 202 * 0.14) + 2; ++y) dark += 1 - qGray(rows.pixel(700, y)) / 255.0;
        EXPECT_NEAR(dark, 0.28, 0.03) << k;
    }
}
}  // namespace
}  // namespace v2d
