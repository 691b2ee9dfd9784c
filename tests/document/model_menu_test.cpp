// The model menu, shadow settings and list reordering through the scene
// document: deletions and their undo, a shadow switched off, a record
// dragged to the top and saved.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "demo/demo_room.h"
#include "document/scene_document.h"
#include "scene/scheme_file.h"
#include "tests/render/render_fixtures.h"

namespace v2d {
namespace {

constexpr int kFloor = 0, kLeftWall = 2;

class ModelMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        Scene scene = demo::BuildDemoRoomScene(400, 300);
        PolygonPtr owner = NewPolygon();
        owner->name = "curtain";
        owner->kind = RecordKind::PictureModel;
        owner->points = {{100, 100}, {199, 100}, {199, 179}, {100, 179}};
        owner->indexList = {3};
        SetCornersFromBoundingBox(*owner);
        owner->picture = testing::Solid(100, 80, testing::Rgb(240, 240, 240));
        owner->toneEnabled = 0;
        PolygonPtr part = CopyPolygon(*owner);
        part->name = "帘身";
        part->group = owner.get();
        this->owner = scene.Append(std::move(owner));
        this->part = scene.Append(std::move(part));
        doc.LoadScene(std::move(scene));
    }
    static bool Yes() { return true; }
    SceneDocument doc{testing::Library()};
    V2dPolygon* owner = nullptr;
    V2dPolygon* part = nullptr;
};

TEST_F(ModelMenuTest, DeletingAnOwnerTakesItsPartAndUndoBringsBothBackTogether) {
    const int count = doc.scene().count();
    doc.SetSelection(RegionSelection{count - 2, {count - 2}});  // the owner only, its part left unselected
    ASSERT_TRUE(doc.DeleteSelection(Yes).ok());
    EXPECT_EQ(doc.scene().count(), count - 2);

    EXPECT_TRUE(doc.Undo().ok());
    ASSERT_EQ(doc.scene().count(), count);
    EXPECT_EQ(doc.scene().at(count - 1)->group, doc.scene().at(count - 2));
    EXPECT_EQ(doc.scene().ListText(count - 1), "[curtain]帘身");
}

TEST_F(ModelMenuTest, DeletionRefusalsAndAnOlderTilingThatFollowsTheRestoredRegion) {
    doc.ClearSelection();
    EXPECT_EQ(doc.DeleteSelection(Yes).error(), "请先选择区域。");
    doc.Select(kFloor);
    EXPECT_TRUE(doc.DeleteSelection([] { return false; }).ok());  // "No": nothing happens
    EXPECT_EQ(doc.scene().count(), 8);

    ProductPanelState panel;
    doc.SetProduct(CurrentProduct{testing::Solid(16, 16, testing::Rgb(200, 10, 10)), Product::Parse("PartsName=红")});
    doc.Select(kFloor);
    doc.SetPanelControls(panel);
    ASSERT_EQ(*doc.TileSelection(), 1);
    ASSERT_TRUE(doc.DeleteSelection(Yes).ok());
    EXPECT_TRUE(doc.Undo().ok());  // the floor is back, tiled
    EXPECT_FALSE(doc.scene().at(kFloor)->picture.isNull());
    EXPECT_TRUE(doc.Undo().ok());  // the tiling's step changes the floor that came back
    EXPECT_TRUE(doc.scene().at(kFloor)->picture.isNull());

    Scene grouped = demo::BuildDemoRoomScene(400, 300);
    grouped.AddGroup(V2dGroupPL{"g", {grouped.at(kFloor), grouped.at(1)}});
    doc.LoadScene(std::move(grouped));
    doc.Select(kFloor);
    EXPECT_EQ(doc.DeleteSelection(Yes).error(), "选择集中有区域是组成员,请解组后再操作。");
}

TEST_F(ModelMenuTest, UndoingADeletedMeshRegionBringsItsMeshBackAndTheSchemeReadsAgain) {
    Scene ungrouped = demo::BuildDemoRoomScene(400, 300);
    ungrouped.SetGroups({});
    doc.LoadScene(std::move(ungrouped));
    ASSERT_NE(doc.scene().MeshOf(doc.scene().at(kLeftWall)), nullptr);
    doc.Select(kLeftWall);
    ASSERT_TRUE(doc.DeleteSelection(Yes).ok());
    EXPECT_TRUE(doc.scene().meshes().empty());
    EXPECT_TRUE(doc.Undo().ok());
    ASSERT_NE(doc.scene().MeshOf(doc.scene().at(kLeftWall)), nullptr);
    QTemporaryDir dir;
    const std::filesystem::path file = dir.filePath("mesh.v2d").toStdString();
    ASSERT_TRUE(doc.SaveScheme(file).ok());
    Result<SchemeFile> read = ReadSchemeFile(file);
    ASSERT_TRUE(read.ok()) << read.error();
    EXPECT_EQ(read->scene.meshes().size(), 1u);
}

TEST_F(ModelMenuTest, UncheckingTheShadowRemovesItAtOnceAndAnUnchangedValueDoesNotRedraw) {
    doc.Select(doc.scene().IndexOfPolygon(owner));
    SceneDocument::ShadowSettings shadow = *doc.FocusedShadow();
    shadow.shadowX = shadow.shadowY = 12;
    ASSERT_TRUE(doc.SetFocusedShadow(shadow).done());
    const QRgb shaded = doc.displayed().pixel(205, 185);
    EXPECT_FALSE(doc.SetFocusedShadow(shadow).done());
    shadow.castShadow = false;
    ASSERT_TRUE(doc.SetFocusedShadow(shadow).done());
    EXPECT_GT(qRed(doc.displayed().pixel(205, 185)), qRed(shaded));
}

// The laying comes back as values: the part's picture and its owner's picture
// with the part drawn in, both stored by the document and both undone.
TEST_F(ModelMenuTest, LayingAPartDrawsItIntoItsOwnersPictureAndUndoPutsBothBack) {
    const qint64 partBefore = part->picture.cacheKey();
    part->realWidth = 1000, part->realHeight = 800;
    doc.SetProduct(CurrentProduct{testing::Solid(8, 8, testing::Rgb(200, 0, 0)), Product::Parse("PartsName=布")});
    const int at = doc.scene().IndexOfPolygon(part);
    doc.SetSelection(RegionSelection{at, {at}});
    ASSERT_TRUE(doc.TileSelection().done());
    EXPECT_EQ(part->picture.pixel(50, 40), testing::Rgb(200, 0, 0));
    EXPECT_EQ(owner->picture.pixel(50, 40), testing::Rgb(200, 0, 0));
    ASSERT_TRUE(doc.Undo().ok());
    EXPECT_EQ(part->picture.cacheKey(), partBefore);
    EXPECT_EQ(owner->picture.pixel(50, 40), testing::Rgb(240, 240, 240));  // drawn again from the part as it was
}

TEST_F(ModelMenuTest, DraggingTheBottomRecordToTheTopDrawsItLastAndSavingKeepsTheOrder) {
    const int last = doc.scene().count() - 1;
    EXPECT_FALSE(doc.MoveRecord(last, 0).done());  // a part stays put
    const std::string name = doc.scene().at(0)->name;
    ASSERT_TRUE(doc.MoveRecord(0, last).done());
    EXPECT_EQ(doc.scene().at(last)->name, name);
    EXPECT_EQ(doc.selection().focused, last);
    QTemporaryDir dir;
    const std::filesystem::path file = dir.filePath("order.v2d").toStdString();
    ASSERT_TRUE(doc.SaveScheme(file).ok());
    EXPECT_EQ(ReadSchemeFile(file)->scene.at(last)->name, name);
}

}  // namespace
}  // namespace v2d
