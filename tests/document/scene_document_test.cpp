// The scene document: what its operations announce, how selection follows
// groups, and that undo and failed opens leave the scene as it was.
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "demo/demo_room.h"
#include "document/scene_document.h"
#include "scene/scheme_file.h"
#include "tests/render/render_fixtures.h"

namespace v2d {
namespace {

constexpr int kFloor = 0, kBackWall = 1, kLeftWall = 2, kRightWall = 3, kWardrobe = 5;

QImage Checker() {
    QImage tile(32, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) tile.setPixel(x, y, ((x / 8 + y / 8) % 2) ? 0xFFCC2200u : 0xFF0033AAu);
    return tile;
}

class SceneDocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        doc.LoadScene(demo::BuildDemoRoomScene(400, 300));
        doc.SetProduct(CurrentProduct{Checker(), "PartsName=格子&PartsNumber=T-1"});
    }
    SceneDocument doc{testing::Library()};
};

TEST_F(SceneDocumentTest, LoadingAnnouncesANewSceneWithNothingSelectedAndNothingToUndo) {
    QSignalSpy replaced(&doc, &SceneDocument::sceneReplaced), shown(&doc, &SceneDocument::displayedChanged);
    doc.Select(kFloor);
    doc.LoadScene(demo::BuildDemoRoomScene(400, 300));
    EXPECT_EQ(replaced.count(), 1);
    EXPECT_EQ(shown.count(), 1);
    EXPECT_EQ(doc.selection().focused, -1);
    EXPECT_TRUE(doc.selection().selected.empty());
    EXPECT_EQ(doc.focusedRecord(), nullptr);
    EXPECT_TRUE(doc.undoList().empty());
    EXPECT_EQ(doc.displayed().size(), QSize(400, 300));
}

TEST_F(SceneDocumentTest, AListClickTakesTheGroupAlongAnExactSelectionDoesNot) {
    QSignalSpy changed(&doc, &SceneDocument::selectionChanged);
    doc.SelectFromList(kLeftWall, {kLeftWall});
    EXPECT_EQ(doc.selection().focused, kLeftWall);
    EXPECT_EQ(doc.selection().selected, (std::vector<int>{kBackWall, kLeftWall, kRightWall}));
    EXPECT_EQ(doc.focusedRecord(), doc.scene().at(kLeftWall));

    doc.Select(kWardrobe, true);
    EXPECT_EQ(doc.selection().selected, (std::vector<int>{kBackWall, kLeftWall, kRightWall, kWardrobe}));

    doc.SetSelection(RegionSelection{kBackWall, {kBackWall}});
    EXPECT_EQ(doc.selection().selected, std::vector<int>{kBackWall});

    doc.Select(-1);
    EXPECT_EQ(doc.selection().focused, -1);
    EXPECT_TRUE(doc.selection().selected.empty());
    EXPECT_EQ(changed.count(), 4);
}

TEST_F(SceneDocumentTest, TilingShowsTheChangeAndUndoBringsThePictureBack) {
    const QImage before = doc.displayed().copy();
    QSignalSpy shown(&doc, &SceneDocument::displayedChanged), progress(&doc, &SceneDocument::progressChanged);
    doc.Select(kFloor);
    const TileCommandResult result = doc.TileSelection(ProductPanelState{});
    ASSERT_FALSE(result.stopped);
    ASSERT_EQ(result.tiled.size(), 1u);
    EXPECT_EQ(shown.count(), 1);
    EXPECT_NE(doc.displayed(), before);
    ASSERT_GE(progress.count(), 2);
    EXPECT_EQ(progress.first().at(0).toInt(), 0);
    EXPECT_EQ(doc.scene().at(kFloor)->partsInfo, "PartsName=格子&PartsNumber=T-1");

    doc.Select(kWardrobe);
    doc.TileSelection(ProductPanelState{});
    ASSERT_EQ(doc.undoList().size(), 2u);
    doc.Undo();
    EXPECT_EQ(doc.undoList().size(), 1u);
    doc.UndoAll();
    EXPECT_TRUE(doc.undoList().empty());
    EXPECT_EQ(doc.displayed(), before);
}

TEST_F(SceneDocumentTest, AModelInThePanelIsNotLaidAndToneNeedsAFocusedRecord) {
    doc.SetDragKind(DragKind::Model);
    doc.Select(kFloor);
    const TileCommandResult result = doc.TileSelection(ProductPanelState{});
    ASSERT_TRUE(result.stopped);
    EXPECT_EQ(result.stopped->message, kMsgModelProduct);
    EXPECT_TRUE(doc.undoList().empty());

    doc.Select(-1);
    QSignalSpy shown(&doc, &SceneDocument::displayedChanged);
    EXPECT_FALSE(doc.SetLighten(50));
    EXPECT_FALSE(doc.SetReflect(30));
    EXPECT_EQ(shown.count(), 0);
    doc.Select(kFloor);
    EXPECT_TRUE(doc.SetLighten(50));
    EXPECT_FALSE(doc.SetLighten(50));  // unchanged: nothing redrawn
    EXPECT_EQ(shown.count(), 1);
}

TEST_F(SceneDocumentTest, AFileThatDoesNotReadKeepsTheOpenSceneAndItsUndoListAGoodOneEmptiesIt) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "scene_document_test";
    std::filesystem::create_directories(folder);
    const auto good = folder / "room.v2d", bad = folder / "cut.v2d";
    ASSERT_TRUE(doc.SaveScheme(good));
    const auto size = std::filesystem::file_size(good);
    std::filesystem::copy_file(good, bad, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::resize_file(bad, size / 2);

    doc.Select(kFloor);
    doc.TileSelection(ProductPanelState{});
    QSignalSpy replaced(&doc, &SceneDocument::sceneReplaced);
    const Status opened = doc.OpenScheme(bad);
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.error(), kMsgBadFormat);
    EXPECT_EQ(replaced.count(), 0);
    EXPECT_EQ(doc.scene().count(), 6);
    EXPECT_EQ(doc.undoList().size(), 1u);

    // A good file is rendered whole and leaves nothing to undo.
    ASSERT_TRUE(doc.OpenScheme(good));
    EXPECT_EQ(replaced.count(), 1);
    EXPECT_EQ(doc.renderer().counters().rendered, 6);
    EXPECT_TRUE(doc.undoList().empty());
    const QImage shown = doc.displayed().copy();
    EXPECT_FALSE(doc.Undo().undone);
    EXPECT_EQ(doc.displayed(), shown);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace v2d
