// The scene document: what its operations announce, how selection follows
// groups, that every edit undoes and redoes exactly, and that failed opens
// leave the scene as it was.
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "scene/outline_geometry.h"
#include "scene/scheme_file.h"
#include "vision/photo_analysis.h"
#include "tests/document/white_model_fixture.h"

namespace v2d {
namespace {

constexpr int kFloor = 0, kBackWall = 1, kLeftWall = 2, kRightWall = 3, kWardrobe = 5;

QImage Checker() {
    QImage tile(32, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) tile.setPixel(x, y, ((x / 8 + y / 8) % 2) ? 0xFFCC2200u : 0xFF0033AAu);
    return tile;
}

// Counts the announcements that changed what the scene shows.
struct PictureChanges {
    explicit PictureChanges(SceneDocument& doc) {
        QObject::connect(&doc, &SceneDocument::changed, [this](const SceneChange& change) {
            if (change.aspects & ~ChangeAspects(ChangeAspect::Selection)) ++count;
        });
    }
    int count = 0;
};

class SceneDocumentTest : public testing::WhiteModelTest {
public:
    void SetUp() override {
        WhiteModelTest::SetUp();
        doc.SetProduct(CurrentProduct{Checker(), Product::Parse("PartsName=格子&PartsNumber=T-1")});
    }
    // The scene as its file holds it, and as the window shows it.
    std::pair<std::string, QImage> Fingerprint() const {
        const std::filesystem::path file = dir.filePath("print.v2d").toStdString();
        EXPECT_TRUE(doc.SaveScheme(file).done());
        std::ifstream in(file, std::ios::binary);
        return {std::string(std::istreambuf_iterator<char>(in), {}), doc.displayed().copy()};
    }
};

TEST_F(SceneDocumentTest, LoadingAnnouncesANewSceneWithNothingSelectedAndNothingToUndo) {
    QSignalSpy replaced(&doc, &SceneDocument::sceneReplaced);
    doc.Select(kFloor);
    EXPECT_TRUE(doc.TileSelection().ok());
    doc.LoadScene(demo::BuildDemoRoomScene(400, 300));
    EXPECT_EQ(replaced.count(), 1);
    EXPECT_EQ(doc.selection().focused, -1);
    EXPECT_TRUE(doc.selection().selected.empty());
    EXPECT_EQ(doc.focusedRecord(), nullptr);
    EXPECT_EQ(doc.history().count(), 0);
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.displayed().size(), QSize(400, 300));
}

TEST_F(SceneDocumentTest, ThePhotoIsAnalysedOnceAndAgainOnlyForANewPhoto) {
    const auto first = doc.photoAnalysis(), again = doc.photoAnalysis();
    ASSERT_TRUE(first && again);
    EXPECT_EQ(first->get(), again->get());
    EXPECT_EQ((*first)->upright().size(), QSize(400, 300));
    doc.Select(kFloor);
    EXPECT_TRUE(doc.TileSelection().ok());  // an edit keeps the photo, and so its analysis
    EXPECT_EQ(doc.photoAnalysis()->get(), first->get());
    doc.LoadScene(demo::BuildDemoRoomScene(200, 150));
    const auto other = doc.photoAnalysis();
    ASSERT_TRUE(other);
    EXPECT_NE(other->get(), first->get());
    EXPECT_EQ((*other)->upright().size(), QSize(200, 150));
    doc.LoadBackground(QImage());
    EXPECT_FALSE(doc.photoAnalysis());
}

TEST_F(SceneDocumentTest, AListClickTakesTheGroupAlongAnExactSelectionDoesNot) {
    QSignalSpy changed(&doc, &SceneDocument::changed);
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
    EXPECT_EQ(doc.history().count(), 0) << "selecting is no step";
}

struct EditCase {
    const char* name;
    std::function<void(SceneDocumentTest&)> prepare;
    std::function<bool(SceneDocumentTest&)> edit;
};

// One edit of every kind, each after what it needs.
std::vector<EditCase> EditCases() {
    using T = SceneDocumentTest;
    auto dropModel = [](T& t) { EXPECT_TRUE(t.doc.DropModel(t.Drop({200, 150})).ok()); };
    auto selectFloor = [](T& t) { t.doc.Select(kFloor); };
    auto selectWall = [](T& t) { t.doc.Select(kBackWall); };
    return {
        {"tiling", [](T& t) { t.doc.Select(kFloor); }, [](T& t) { return t.doc.TileSelection().done(); }},
        {"tiling a group, one step", [](T& t) { t.doc.SelectFromList(kLeftWall, {kLeftWall}); },
         [](T& t) { return *t.doc.TileSelection() == 3; }},
        {"tiling over a tiling",
         [=](T& t) { t.doc.Select(kFloor); EXPECT_TRUE(t.doc.TileSelection().ok()); },
         [=](T& t) { t.doc.SetProduct(CurrentProduct{Checker().mirrored(true, false), Product::Parse("PartsName=b")}); return t.doc.TileSelection().done(); }},
        {"rectangle", [=](T& t) { t.doc.Select(kFloor); EXPECT_TRUE(t.doc.TileSelection().ok()); },
         [=](T& t) { return t.doc.LayProductInRectangle(t.doc.scene().at(kFloor), {150, 220}, {250, 280}).done(); }},
        {"brightness", selectFloor, [](T& t) { return t.doc.SetLighten(40).done(); }},
        {"reflection", selectFloor, [](T& t) { return t.doc.SetReflect(30).done(); }},
        {"room light", [](T& t) { t.doc.Select(kFloor); EXPECT_TRUE(t.doc.TileSelection().ok()); },
         [](T& t) { return t.doc.SetLightMode(LightMode::Room).done(); }},
        {"painting", selectWall, [](T& t) { return t.doc.PaintSelection(0x336699).done(); }},
        {"colour card", selectWall, [](T& t) { return t.doc.PaintFromColourCard(0x3399CC).done(); }},
        {"offsets", [](T& t) { t.doc.Select(kFloor); },
         [=](T& t) {
             t.doc.SetEffectSettings(EffectSettings{true, 30, 10, ReliefChoice::Raised, 150});
             return t.doc.TileFocusedRegion().ok();
         }},
        {"drop", {}, [](T& t) { return *t.doc.DropModel(t.Drop({200, 150})) >= 0; }},
        {"fit into the floor", {},
         [](T& t) { ModelDrop d = t.Drop({200, 250}, kFloor); d.fitIntoRegion = true; return *t.doc.DropModel(d) >= 0; }},
        {"replace", dropModel,
         [](T& t) {
             ModelDrop d = t.Drop({200, 150}, 6);
             d.product = Product::Parse("PartsName=黑板&PartsSpecs=800*400");
             d.replace = true;
             return *t.doc.DropModel(d) >= 0;
         }},
        {"move drag, one step", dropModel,
         [](T& t) {
             EXPECT_TRUE(t.doc.MoveFocusedModel(5, 3, true).ok());
             EXPECT_TRUE(t.doc.MoveFocusedModel(7, 1, false).ok());
             t.doc.FinishModelMove();
             return true;
         }},
        {"nudge", dropModel, [](T& t) { return t.doc.NudgeFocusedModel(0, 4).done(); }},
        {"mirror", dropModel, [](T& t) { return t.doc.MirrorSelected(MirrorAxis::X).done(); }},
        {"reset", [=](T& t) { dropModel(t); EXPECT_TRUE(t.doc.MirrorSelected(MirrorAxis::Y).ok()); }, [](T& t) { return t.doc.ResetSelected().done(); }},
        {"copy", dropModel, [](T& t) { return t.doc.CopyFocusedModel().done(); }},
        {"delete", dropModel, [](T& t) { return t.doc.DeleteSelection({}).ok(); }},
        {"shadow", dropModel,
         [](T& t) { return t.doc.SetFocusedShadow({true, 12, 9, 4, 0x202020}).done(); }},
        {"decoration line", [=](T& t) { t.doc.Select(kBackWall); EXPECT_TRUE(t.doc.TileSelection().ok()); },
         [](T& t) {
             const PixelBox box = OutlineBox(*t.doc.scene().at(kBackWall));
             return *t.doc.DropModel(t.Drop({box.minX + 10, box.minY + 20}, kBackWall, "装饰线")) == kBackWall;
         }},
        {"reorder", {}, [](T& t) { return t.doc.MoveRecord(kFloor, kRightWall).done(); }},
        {"load model", {}, [](T& t) { return *t.doc.LoadModelFile(t.modelFile()) == 1; }},
    };
}

TEST_F(SceneDocumentTest, EveryEditUndoesAndRedoesRecordForRecordAndPictureForPicture) {
    doc.SetPanelControls(ProductPanelState{});
    const std::vector<EditCase> cases = EditCases();
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.name);
        doc.LoadScene(demo::BuildDemoRoomScene(400, 300));
        doc.SetProduct(CurrentProduct{Checker(), Product::Parse("PartsName=格子&PartsNumber=T-1")});
        if (c.prepare) c.prepare(*this);
        const auto before = Fingerprint();
        const int steps = doc.history().index();
        ASSERT_TRUE(c.edit(*this));
        EXPECT_EQ(doc.history().index(), steps + 1);
        const auto after = Fingerprint();
        ASSERT_NE(after, before);
        for (int round = 0; round < 2; ++round) {
            ASSERT_TRUE(doc.Undo().done());
            const auto now = Fingerprint();
        EXPECT_TRUE(now.first == before.first);    // the scheme file
        EXPECT_TRUE(now.second == before.second);  // the picture shown
            ASSERT_TRUE(doc.Redo().done());
            EXPECT_TRUE(Fingerprint() == after);
        }
    }
}

// Thrown from the progress bar once an operation draws: the edit stops
// half-way, after it changed the scene.
struct Interrupted {};

std::vector<V2dPolygon> RecordsOf(const Scene& scene) {
    std::vector<V2dPolygon> records;
    for (const V2dPolygon* r : scene.records()) records.push_back(*r);
    return records;
}

TEST_F(SceneDocumentTest, AnEditThatFailsHalfWayLeavesSceneSelectionAndHistoryAsTheyWere) {
    doc.SetPanelControls(ProductPanelState{});
    bool armed = false;
    QObject::connect(&doc, &SceneDocument::progressChanged, [&](int percent) {
        if (armed && percent > 0) throw Interrupted{};
    });
    for (const EditCase& c : EditCases()) {
        SCOPED_TRACE(c.name);
        doc.LoadScene(demo::BuildDemoRoomScene(400, 300));
        doc.SetProduct(CurrentProduct{Checker(), Product::Parse("PartsName=格子&PartsNumber=T-1")});
        if (c.prepare) c.prepare(*this);
        const auto before = Fingerprint();
        const std::vector<V2dPolygon> records = RecordsOf(doc.scene());  // whole, identity included
        const RegionSelection selection = doc.selection();
        const int steps = doc.history().count(), index = doc.history().index();
        armed = true;
        EXPECT_THROW(c.edit(*this), Interrupted);
        armed = false;
        EXPECT_TRUE(RecordsOf(doc.scene()) == records);
        const auto now = Fingerprint();
        EXPECT_TRUE(now.first == before.first);    // the scheme file
        EXPECT_TRUE(now.second == before.second);  // the picture shown
        EXPECT_EQ(std::pair(doc.selection().focused, doc.selection().selected),
                  std::pair(selection.focused, selection.selected));
        EXPECT_EQ(std::pair(doc.history().count(), doc.history().index()), std::pair(steps, index));
    }
}

// Undo and redo draw as the edit drew: one decision from what changed.
TEST_F(SceneDocumentTest, RedoDrawsWhatTheEditDrew) {
    doc.SetPanelControls(ProductPanelState{});
    for (const EditCase& c : EditCases()) {
        SCOPED_TRACE(c.name);
        doc.LoadScene(demo::BuildDemoRoomScene(400, 300));
        doc.SetProduct(CurrentProduct{Checker(), Product::Parse("PartsName=格子&PartsNumber=T-1")});
        if (c.prepare) c.prepare(*this);
        ASSERT_TRUE(c.edit(*this));
        const RedrawCounters edit = doc.renderer().counters();
        ASSERT_TRUE(doc.Undo().done() && doc.Redo().done());
        const RedrawCounters redo = doc.renderer().counters();
        EXPECT_EQ(std::tuple(redo.rendered, redo.quickDrawn, redo.untouched),
                  std::tuple(edit.rendered, edit.quickDrawn, edit.untouched));
    }
}

// Steps and the selection name records by identity: after the list was
// reordered, and after records left it and came back, they find theirs.
TEST_F(SceneDocumentTest, UndoFindsItsRecordsAndSelectionAfterTheListChanged) {
    const RecordId floor = doc.scene().at(kFloor)->id;
    const int top = doc.scene().count() - 1, lighten = doc.scene().at(kFloor)->lighten;
    doc.Select(kFloor);
    ASSERT_TRUE(doc.SetLighten(40).done());
    ASSERT_TRUE(doc.MoveRecord(kFloor, top).done());
    ASSERT_TRUE(doc.SetLighten(60).done());
    ASSERT_TRUE(doc.DeleteSelection({}).done());
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(doc.Undo().done());  // the floor comes back on top, selected
        EXPECT_EQ(doc.scene().at(top)->id, floor);
        EXPECT_EQ(std::pair(doc.selection().focused, doc.selection().selected), std::pair(top, std::vector{top}));
        ASSERT_TRUE(doc.Undo().done() && doc.Undo().done());
        EXPECT_EQ(std::pair(doc.scene().at(kFloor)->id, doc.scene().at(kFloor)->lighten), std::pair(floor, 40));
        EXPECT_EQ(doc.selection().focused, kFloor);
        ASSERT_TRUE(doc.Undo().done());
        EXPECT_EQ(doc.scene().at(kFloor)->lighten, lighten);
        for (int step = 0; step < 4; ++step) ASSERT_TRUE(doc.Redo().done());
        EXPECT_EQ(doc.scene().count(), top);
        EXPECT_EQ(doc.selection().focused, -1);
    }
}

// What the history records is the whole record: a field no edit names
// (here one only files set) is kept and put back like any other, and the
// comparison that finds it covers every field the record ever gets.
TEST(EditStates, AFieldNoEditNamesIsRecordedUndoneAndRedone) {
    Scene scene;
    V2dPolygon* record = scene.Append(NewPolygon());
    const V2dPolygon original = *record;
    const RecordId touched[] = {record->id};
    SceneState before = CaptureState(scene, touched, false, {}, {});
    record->pictureSize = 77;
    SceneState after = CaptureState(scene, touched, false, {}, {});
    KeepOnlyChanges(before, after);
    ASSERT_EQ(after.records.size(), 1u);
    ParkedRecords parked;
    RestoreState(scene, before, parked, {});
    EXPECT_TRUE(*record == original);
    RestoreState(scene, after, parked, {});
    EXPECT_EQ(record->pictureSize, 77u);
    EXPECT_EQ(record->id, original.id);
}

TEST_F(SceneDocumentTest, AGestureIsOneStepANewEditClearsRedoAndTheCleanStateFollowsTheHistory) {
    doc.Select(kFloor);
    const int lighten = doc.scene().at(kFloor)->lighten;
    doc.BeginGesture();
    for (int value : {10, 20, 30, 40}) EXPECT_TRUE(doc.SetLighten(value).ok());
    doc.EndGesture();
    EXPECT_TRUE(doc.SetLighten(50).ok());
    EXPECT_EQ(doc.history().count(), 2);
    EXPECT_EQ(doc.history().text(0), QStringLiteral("亮度"));
    EXPECT_TRUE(doc.isModified());
    EXPECT_TRUE(doc.Undo().ok());
    EXPECT_TRUE(doc.Undo().ok());
    EXPECT_EQ(doc.scene().at(kFloor)->lighten, lighten);
    EXPECT_FALSE(doc.isModified()) << "back where it was opened";
    EXPECT_TRUE(doc.Redo().ok());
    EXPECT_EQ(doc.scene().at(kFloor)->lighten, 40);
    EXPECT_TRUE(doc.SetReflect(20).ok());
    EXPECT_FALSE(doc.history().canRedo());
    doc.SetSaved();
    EXPECT_FALSE(doc.isModified());
    EXPECT_TRUE(doc.Undo().ok());
    EXPECT_TRUE(doc.isModified());
}

TEST_F(SceneDocumentTest, TheBudgetDropsTheOldestStepsAndKeepsTheNewest) {
    doc.Select(kFloor);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(doc.PaintSelection(0x101010 * (i + 1)).ok());
    ASSERT_EQ(doc.history().count(), 3);
    const size_t all = doc.historyBytes();
    doc.SetHistoryBudget(all / 2);
    EXPECT_LT(doc.history().count(), 3);
    EXPECT_GE(doc.history().count(), 1);
    EXPECT_LE(doc.historyBytes(), std::max(all / 2, all / 3 + 1));
    EXPECT_TRUE(doc.isModified()) << "the opened scene is out of reach";
    while (doc.Undo().done()) {}
    EXPECT_NE(doc.scene().at(kFloor)->picture.pixel(50, 10), 0u);

    // Layings give up their pixels for their settings before any step goes,
    // and are laid again on the way back.
    doc.SetHistoryBudget(kDefaultHistoryBudget);
    doc.LoadScene(demo::BuildDemoRoomScene(400, 300));
    doc.Select(kFloor);
    const QImage opened = doc.displayed().copy();
    EXPECT_TRUE(doc.TileSelection().ok());
    const QImage first = doc.displayed().copy();
    const size_t one = doc.historyBytes();
    doc.SetHistoryBudget(2 * one);
    for (int i = 1; i < 10; ++i) {
        doc.SetProduct(CurrentProduct{Checker().mirrored(i % 2, false), Product::Parse("PartsName=格子")});
        EXPECT_TRUE(doc.TileSelection().ok());
    }
    EXPECT_EQ(doc.history().count(), 10);
    EXPECT_LE(doc.historyBytes(), 2 * one);
    doc.UndoAll();
    EXPECT_EQ(doc.displayed(), opened);
    EXPECT_TRUE(doc.Redo().ok());
    EXPECT_EQ(doc.displayed(), first);
}

TEST_F(SceneDocumentTest, AModelInThePanelIsNotLaidAndToneNeedsAFocusedRecord) {
    doc.SetDragKind(DragKind::Model);
    doc.Select(kFloor);
    const Outcome result = doc.TileSelection();
    ASSERT_TRUE(result.refused());
    EXPECT_EQ(result.error(), kMsgModelProduct);
    EXPECT_EQ(doc.history().count(), 0);

    doc.Select(-1);
    PictureChanges shown(doc);
    EXPECT_FALSE(doc.SetLighten(50).done());
    EXPECT_FALSE(doc.SetReflect(30).done());
    EXPECT_EQ(shown.count, 0);
    doc.Select(kFloor);
    EXPECT_TRUE(doc.SetLighten(50).done());
    EXPECT_FALSE(doc.SetLighten(50).done());  // unchanged: nothing redrawn
    EXPECT_EQ(shown.count, 1);
}

TEST_F(SceneDocumentTest, AFileThatDoesNotReadKeepsTheOpenSceneAndItsHistoryAGoodOneEmptiesIt) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "scene_document_test";
    std::filesystem::create_directories(folder);
    const auto good = folder / "room.v2d", bad = folder / "cut.v2d";
    ASSERT_TRUE(doc.SaveScheme(good).done());
    const auto size = std::filesystem::file_size(good);
    std::filesystem::copy_file(good, bad, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::resize_file(bad, size / 2);

    doc.Select(kFloor);
    EXPECT_TRUE(doc.TileSelection().ok());
    QSignalSpy replaced(&doc, &SceneDocument::sceneReplaced);
    Outcome opened = doc.OpenScheme(bad);
    ASSERT_FALSE(opened.done());
    EXPECT_EQ(opened.error(), kMsgBadFormat);
    EXPECT_EQ(replaced.count(), 0);
    EXPECT_EQ(doc.scene().count(), 6);
    EXPECT_EQ(doc.history().count(), 1);

    // A good file is rendered whole and leaves nothing to undo.
    ASSERT_TRUE(doc.OpenScheme(good).done());
    EXPECT_EQ(replaced.count(), 1);
    EXPECT_EQ(doc.renderer().counters().rendered, 6);
    EXPECT_EQ(doc.history().count(), 0);
    const QImage shown = doc.displayed().copy();
    EXPECT_FALSE(doc.Undo().done());
    EXPECT_EQ(doc.displayed(), shown);
    CancelToken cancel;  // a save cancelled before the rename leaves the old bytes
    cancel.Cancel();
    EXPECT_EQ(doc.SaveScheme(bad, cancel).kind(), Outcome::Kind::NothingToDo);
    EXPECT_EQ(std::filesystem::file_size(bad), size / 2);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace v2d
