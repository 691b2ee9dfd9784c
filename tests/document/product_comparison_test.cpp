// The comparison's core: the scene at a cell's size, worked out by hand;
// the captions from a quote; the refusals before anything is laid.
#include <gtest/gtest.h>

#include "document/product_comparison.h"
#include "document/scaled_scene.h"
#include "imagelib/image_library.h"
#include "library/product_descriptor.h"

namespace v2d {
namespace {

// A 100 × 80 photo at half size: a pixel centre p lands on round((p + 0.5) / 2 - 0.5).
TEST(ScaledScene, RecordsStayOnTheResampledPhotoAtTheirRealSize) {
    Scene scene;
    scene.background = QImage(100, 80, QImage::Format_RGB32);
    V2dPolygon* floor = scene.Append(NewPolygon());
    floor->points = {{9, 9}, {99, 9}, {99, 79}, {9, 79}};
    floor->corners[0] = {9, 9}, floor->corners[1] = {99, 9}, floor->corners[2] = {99, 79}, floor->corners[3] = {9, 79};
    floor->realWidth = 4000, floor->realHeight = 3000;
    floor->picture = QImage(91, 71, QImage::Format_RGB32);  // the outline's box
    floor->shadowRadius = 1;
    V2dPolygon* wall = scene.Append(NewPolygon());
    wall->points = {{0, 0}, {40, 0}, {40, 8}};
    wall->group = floor;
    scene.AddGroup(V2dGroupPL{"墙面", {floor, wall}});
    auto mesh = std::make_unique<V2dPolygonMesh>();
    mesh->owner = floor, mesh->rows = mesh->cols = 1, mesh->srcNodes = {{10, 20}}, mesh->dstNodes = {{90, 70}};
    scene.AddMesh(std::move(mesh));

    const Scene half = ScaledScene(scene, FittingScale(scene.background.size(), QSize(60, 60)));
    EXPECT_DOUBLE_EQ(FittingScale({100, 80}, {60, 60}), 0.6);
    const Scene scaled = ScaledScene(scene, 0.5);
    EXPECT_EQ(half.background.size(), QSize(60, 48));
    EXPECT_EQ(scaled.background.size(), QSize(50, 40));
    const V2dPolygon& f = *scaled.at(0);
    EXPECT_EQ(f.points, (std::vector<V2d_Point>{{4, 4}, {49, 4}, {49, 39}, {4, 39}}));
    EXPECT_EQ(f.corners[2], (V2d_Point{49, 39}));
    EXPECT_EQ(f.picture.size(), QSize(46, 36));
    EXPECT_EQ(f.realWidth, 4000);
    EXPECT_EQ(f.shadowRadius, 1);  // a radius keeps a pixel
    EXPECT_EQ(f.id, floor->id);
    EXPECT_EQ(scaled.at(1)->group, &f);
    ASSERT_EQ(scaled.groups().size(), 1u);
    EXPECT_EQ(scaled.groups()[0].members[1], scaled.at(1));
    const V2dPolygonMesh* nodes = scaled.MeshOf(&f);
    ASSERT_NE(nodes, nullptr);
    EXPECT_EQ(nodes->srcNodes[0], (V2d_Point{5, 10}));  // (19, 29) → (9, 14), less the box's (4, 4)
    EXPECT_EQ(nodes->dstNodes[0], (V2d_Point{45, 35}));
}

Product Priced(double price, PriceUnit unit) {
    return Product::Parse(ProductDescriptor::Product("米黄抛光砖", "PG-8002", "", "800*800").WithPricing(price, 0, unit).ToString());
}

TEST(ComparisonCaption, NameNumberPricePerUnitAndWhatTheRegionsTake) {
    SchemeQuote quote;
    quote.regions.resize(3);
    quote.regions[0].quantity = 3.15, quote.regions[1].quantity = 9.45;  // the third is not counted
    EXPECT_EQ(ComparisonCaption(Priced(85.5, PriceUnit::SquareMetre), quote),
              "米黄抛光砖  PG-8002\n¥85.50/平方米  ·  12.60 m²");
    quote.regions.resize(1);
    quote.regions[0].quantity = 140;
    EXPECT_EQ(ComparisonCaption(Priced(0, PriceUnit::Piece), quote), "米黄抛光砖  PG-8002\n价格未定  ·  140 片");
    EXPECT_EQ(ComparisonCaption(Priced(12, PriceUnit::Box), SchemeQuote{}), "米黄抛光砖  PG-8002\n¥12.00/箱");
}

TEST(LayComparisonCells, RefusesBeforeLaying) {
    ImageLibrary library;
    Scene scene;
    scene.background = QImage(40, 30, QImage::Format_RGB32);
    scene.Append(NewPolygon());
    ComparisonRequest request;
    request.regions = {0};
    request.cell = {20, 20};
    const CurrentProduct tile{QImage(8, 8, QImage::Format_RGB32), Priced(10, PriceUnit::Piece)};
    request.products = {tile};
    EXPECT_EQ(LayComparisonCells(scene, library, request).error(), kMsgCompareCount);
    request.products.assign(5, tile);
    EXPECT_EQ(LayComparisonCells(scene, library, request).error(), kMsgCompareCount);
    request.products.assign(2, tile);
    request.products[1].dragKind = DragKind::Model;
    EXPECT_EQ(LayComparisonCells(scene, library, request).error(), kMsgCompareModel);
    request.products[1].dragKind = DragKind::Material;
    request.regions = {1};
    EXPECT_EQ(LayComparisonCells(scene, library, request).error(), kMsgCompareRegions);
    request.regions = {0};
    const CancelToken cancel;
    cancel.Cancel();
    EXPECT_EQ(LayComparisonCells(scene, library, request, cancel).error(), kMsgCompareCancelled);
}

}  // namespace
}  // namespace v2d
