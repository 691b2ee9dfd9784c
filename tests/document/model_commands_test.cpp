// Models through the scene document: a drop placed free, fitted into a
// region, standing on a wall's bottom edge, replacing a model; and the
// files that give nothing.
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "scene/outline_geometry.h"
#include "scene/scheme_file.h"
#include "tests/document/white_model_fixture.h"

namespace v2d {
namespace {

constexpr int kFloor = 0, kBackWall = 1, kLeftWall = 2;

using ModelCommandsTest = testing::WhiteModelTest;

TEST_F(ModelCommandsTest, AFreeDropIsCentredDrawnAndSelected) {
    QSignalSpy listed(&doc, &SceneDocument::changed);
    const int before = doc.scene().count();
    Outcome placed = doc.DropModel(Drop({200, 150}));
    ASSERT_TRUE(placed.ok());
    EXPECT_EQ(*placed, before);
    const V2dPolygon& model = *doc.scene().at(*placed);
    EXPECT_EQ(model.originX, 200 - 20);
    EXPECT_EQ(model.originY, 150 - 10);
    EXPECT_EQ(model.partsInfo.text().rfind("PartsName=白板", 0), 0u);
    EXPECT_EQ(doc.displayed().pixel(181, 141), 0xFFFFFFFFu);
    EXPECT_EQ(doc.selection().focused, *placed);
    EXPECT_GE(listed.count(), 1);
}

TEST_F(ModelCommandsTest, ARegionTakesTheModelAtItsRealSizeJustAboveIt) {
    const V2dPolygon& wall = *doc.scene().at(kBackWall);
    const PixelBox box = OutlineBox(wall);
    const V2d_Point at{box.minX + 10, box.minY + 5};
    Outcome placed = doc.DropModel(Drop(at, kBackWall, "装饰画"));
    ASSERT_TRUE(placed.ok());
    EXPECT_EQ(*placed, kBackWall + 1);
    // The back wall is a rectangle, so its rectified plane is the picture's.
    const int w = box.width() * 1000 / wall.realWidth, h = box.height() * 500 / wall.realHeight;
    const V2dPolygon& model = *doc.scene().at(*placed);
    EXPECT_EQ(model.corners[0], at);
    EXPECT_EQ(model.corners[2], (V2d_Point{at.x + w - 1, at.y + h - 1}));
}

TEST_F(ModelCommandsTest, ADoorStandsOnTheWallsBottomEdge) {
    const V2dPolygon& wall = *doc.scene().at(kLeftWall);
    const PixelBox box = OutlineBox(wall);
    Outcome placed = doc.DropModel(Drop({box.minX + box.width() / 3, box.minY + box.height() / 3}, kLeftWall, "门"));
    ASSERT_TRUE(placed.ok());
    const V2dPolygon& door = *doc.scene().at(*placed);
    const V2d_Point a = wall.corners[2], b = wall.corners[3];
    for (int corner : {2, 3}) {
        const V2d_Point p = door.corners[corner];
        // Distance of the corner from the line through the wall's bottom corners.
        const double cross = double(b.x - a.x) * (p.y - a.y) - double(b.y - a.y) * (p.x - a.x);
        EXPECT_LE(std::abs(cross) / std::hypot(b.x - a.x, b.y - a.y), 1.0) << corner;
    }
}

TEST_F(ModelCommandsTest, AReplacedModelComesBackOnUndoWithItsOlderEntries) {
    const int first = *doc.DropModel(Drop({100, 100}));
    V2dPolygon* old = &testing::Arrange(doc, first);
    old->originX = 7;
    doc.Select(first);
    ASSERT_TRUE(doc.MoveFocusedModel(1, 0, true).done());  // an entry about the old model
    doc.FinishModelMove();
    ModelDrop replace = Drop({100, 100}, first);
    replace.replace = true;
    const int count = doc.scene().count();
    Outcome placed = doc.DropModel(replace);
    ASSERT_TRUE(placed.ok());
    EXPECT_EQ(doc.scene().count(), count);
    EXPECT_EQ(doc.scene().at(*placed)->originX, 8);
    ASSERT_EQ(doc.history().count(), 3);
    EXPECT_EQ(doc.history().text(2), QStringLiteral("替换模型"));
    EXPECT_TRUE(doc.Undo().ok());  // the old model is back and the new one gone: the drop is one step
    EXPECT_EQ(doc.scene().count(), count);
    EXPECT_EQ(doc.scene().at(first)->originX, 8);
    EXPECT_TRUE(doc.Undo().ok());  // the move's step changes the model that came back
    EXPECT_EQ(doc.scene().at(first)->originX, 7);
}

TEST_F(ModelCommandsTest, ADecorationLineIsDrawnIntoTheRegionAtItsRealHeightWithUndo) {
    V2dPolygon& wall = testing::Arrange(doc, kBackWall);
    const PixelBox box = OutlineBox(wall);
    wall.picture = QImage(box.width(), box.height(), QImage::Format_RGB32);
    wall.picture.fill(0xFFFFFFFF);
    const int count = doc.scene().count();
    ModelDrop drop = Drop({box.minX + 10, box.minY + 20}, kBackWall, "装饰线");
    drop.realHeight = 5 * wall.realHeight / box.height() + 1;  // five rows of the wall's picture
    ASSERT_EQ(*doc.DropModel(drop), kBackWall);
    EXPECT_EQ(doc.scene().count(), count);
    for (int y = 18; y <= 26; ++y)  // the profile went through JPEG: red within a level or two
        EXPECT_EQ(qGreen(wall.picture.pixel(box.width() / 2, y)) < 10, y >= 20 && y <= 24) << y;
    EXPECT_TRUE(doc.Undo().ok());
    EXPECT_EQ(doc.scene().at(kBackWall)->picture.pixel(box.width() / 2, 22), 0xFFFFFFFFu);
}

TEST_F(ModelCommandsTest, ARectangleGivesTheCorners) {
    const Quad quad{V2d_Point{50, 200}, {120, 205}, {125, 260}, {45, 255}};
    Outcome placed = doc.PlaceModelInRectangle(modelFile(), Product::Parse("PartsName=白板"), quad);
    ASSERT_TRUE(placed.ok());
    const V2dPolygon& model = *doc.scene().at(*placed);
    EXPECT_EQ(QuadOf(model.corners), quad);
    EXPECT_EQ(model.partsInfo.text(), "PartsName=白板");
    EXPECT_EQ(doc.selection().focused, *placed);
}

// A 40 x 20 cut-out drawn as a rectangle whose box is 85 x 60 from (45, 200).
TEST_F(ModelCommandsTest, ACutoutTakesItsRectangleAsOriginAndScale) {
    PolygonPtr cut = NewPolygon();
    cut->kind = RecordKind::CutOutModel, cut->points = {{0, 0}, {39, 0}, {39, 19}, {0, 19}}, cut->indexList = {3};
    cut->picture = QImage(40, 20, QImage::Format_ARGB32), cut->picture.fill(0xFFFF0000);
    ASSERT_TRUE(WriteModelFile({cut.get()}, nullptr, modelFile()).ok());
    const Quad quad{V2d_Point{50, 200}, {129, 205}, {125, 259}, {45, 255}};
    const V2dPolygon& m = *doc.scene().at(*doc.PlaceModelInRectangle(modelFile(), Product::Parse(""), quad));
    EXPECT_EQ(std::tuple(m.originX, m.originY, m.scaleX, m.scaleY, m.corners[2]),
              std::tuple(45, 200, 212, 300, V2d_Point{84, 60}));
    EXPECT_EQ(doc.displayed().pixel(45 + 42, 200 + 30), 0xFFFF0000u);
}

TEST_F(ModelCommandsTest, AMissingFileAddsNothingAndABrokenOneSaysSo) {
    const int count = doc.scene().count();
    ModelDrop missing = Drop({10, 10});
    missing.modelFile = dir.filePath("none.c2d").toStdString();
    EXPECT_EQ(*doc.DropModel(missing), -1);
    ASSERT_TRUE(doc.SaveScheme(dir.filePath("scheme.c2d").toStdString()).ok());  // a scheme, not a model
    ModelDrop broken = Drop({10, 10});
    broken.modelFile = dir.filePath("scheme.c2d").toStdString();
    Outcome placed = doc.DropModel(broken);
    ASSERT_FALSE(placed.ok());
    EXPECT_EQ(placed.error(), kMsgBadFormat);
    EXPECT_EQ(doc.scene().count(), count);

    // A region without a real size cannot take a model at its size.
    testing::Arrange(doc, kFloor).realWidth = 0;
    placed = doc.DropModel(Drop({200, 250}, kFloor, "地毯"));
    ASSERT_FALSE(placed.ok());
    EXPECT_EQ(placed.error(), kMsgNoRealSize);
    EXPECT_EQ(doc.scene().count(), count);
}

// The panel's reading of a model file stands for it while the file is
// unchanged; a file written since is read again.
TEST_F(ModelCommandsTest, AModelReadForThePreviewStandsWhileTheFileIsUnchanged) {
    std::optional<CarriedModel> carried = CarriedModel::Read(modelFile());
    ASSERT_TRUE(carried);
    EXPECT_TRUE(carried->Stands(modelFile()));
    EXPECT_FALSE(carried->Stands(dir.filePath("other.c2d").toStdString()));
    EXPECT_EQ(carried->preview().size(), QSize(30, 6));
    CurrentProduct product = doc.product();
    product.model = carried;
    doc.SetProduct(product);
    std::filesystem::last_write_time(modelFile(), std::filesystem::last_write_time(modelFile()) + std::chrono::seconds(5));
    EXPECT_FALSE(carried->Stands(modelFile()));
    std::filesystem::resize_file(modelFile(), 10);  // no model file any more: read again, refused
    EXPECT_TRUE(doc.DropModel(Drop({200, 150})).refused());
}

}  // namespace
}  // namespace v2d
