// The undo stack: pictures after tiling, removed records, moved models and
// parts. Opening a scheme empties it: see the scene document's tests.
#include "scene/undo.h"

#include <gtest/gtest.h>

#include "document/scheme_session.h"
#include "document/tile_command.h"
#include "tests/render/render_fixtures.h"

namespace v2d {
namespace {
using namespace v2d::testing;

struct UndoScene : ::testing::Test {
    Scene scene;
    CountingOperations ops;
    SceneRenderer renderer{scene, ops};
    UndoList undo;
    ProductPanelState panel;
    EffectSettings effect;
    RegionSelection floorSelected{0, {0}};

    void SetUp() override {
        scene.background = Gradient(300, 200);
        PolygonPtr floor = RectRegion("floor", 10, 100, 289, 189, 4000, 2000);
        floor->corners[0] = {60, 100};
        floor->corners[1] = {239, 100};
        floor->picture = Solid(280, 90, Rgb(10, 20, 30));
        floor->partsInfo = "PartsName=old";
        scene.Append(std::move(floor));
        scene.Append(RectRegion("wall", 10, 10, 289, 99, 4000, 2000));
        renderer.RenderAll();
        panel.picture = Gradient(40, 40);
    }
    void TileWith(QImage product, const char* descriptor) {
        panel.picture = std::move(product);
        panel.descriptor = descriptor;
        ASSERT_EQ(TileSelectedRegions(renderer, floorSelected, panel, effect, undo).tiled.size(), 1u);
    }
};

TEST_F(UndoScene, TilingTwiceAndUndoingTwiceRestoresTheFirstPicture) {
    const QImage shownBefore = renderer.displayed().copy();
    TileWith(Gradient(40, 40), "PartsName=A");
    const QImage afterFirst = scene.at(0)->picture.copy();
    TileWith(Solid(20, 20, Rgb(200, 0, 0)), "PartsName=B");
    ASSERT_EQ(undo.size(), 2u);

    UndoOutcome first = UndoAndRedraw(renderer, undo);
    EXPECT_TRUE(first.undone);
    EXPECT_EQ(first.target, scene.at(0));
    EXPECT_TRUE(SamePixels(scene.at(0)->picture, afterFirst));
    EXPECT_EQ(scene.at(0)->partsInfo, "PartsName=A");

    UndoAndRedraw(renderer, undo);
    EXPECT_EQ(At(scene.at(0)->picture, 5, 5), Rgb(10, 20, 30));
    EXPECT_EQ(scene.at(0)->partsInfo, "PartsName=old");
    EXPECT_TRUE(SamePixels(renderer.displayed(), shownBefore));
    // The redraw after undo draws every record from its cache.
    EXPECT_EQ(renderer.counters().rendered, 0);
    EXPECT_EQ(renderer.counters().quickDrawn, 2);
    EXPECT_TRUE(undo.empty());
    EXPECT_FALSE(UndoAndRedraw(renderer, undo).undone);
}

TEST(Undo, EntryForARecordNoLongerThereChangesNothing) {
    Scene scene;
    scene.Append(RectRegion("a", 0, 0, 9, 9, 100, 100));
    UndoList undo;
    PushUndo(undo, PictureUndo(scene, *scene.at(0)));
    scene.FreePolygon(scene.at(0));
    UndoOutcome outcome = Undo(scene, undo);
    EXPECT_TRUE(outcome.undone);
    EXPECT_EQ(outcome.target, nullptr);
    EXPECT_EQ(scene.count(), 0);
}

TEST(Undo, RemovedRecordGoesBackToItsPositionOrTheEnd) {
    Scene scene;
    for (const char* name : {"a", "b", "c", "d"}) scene.Append(RectRegion(name, 0, 0, 9, 9, 100, 100));
    UndoList undo;
    PushUndo(undo, RemovalUndo(scene, {scene.at(2)}));
    EXPECT_EQ(undo.back().type, UndoKind::RecordRemoved);
    scene.FreePolygon(scene.at(2));
    scene.FreePolygon(scene.at(2));  // "d" too, without an entry
    scene.FreePolygon(scene.at(0));
    UndoOutcome outcome = Undo(scene, undo);
    EXPECT_TRUE(outcome.listChanged);
    EXPECT_EQ(outcome.insertedAt, 1);  // min(2, count 1)
    ASSERT_EQ(scene.count(), 2);
    EXPECT_EQ(scene.at(1)->name, "c");
}

TEST(Undo, ModelWithThreePartsComesBackWhole) {
    Scene scene;
    scene.Append(RectRegion("floor", 0, 0, 9, 9, 100, 100));
    V2dPolygon* sofa = scene.Append(RectRegion("sofa", 0, 0, 9, 9, 100, 100));
    sofa->kind = RecordKind::PictureModel;
    for (const char* name : {"seat", "back", "arm"}) {
        V2dPolygon* part = scene.Append(RectRegion(name, 0, 0, 9, 9, 100, 100));
        part->kind = RecordKind::PictureModel;
        part->group = sofa;
    }
    scene.Append(RectRegion("lamp", 0, 0, 9, 9, 100, 100));
    UndoList undo;
    std::vector<V2dPolygon*> removed = scene.GroupMembers(sofa);
    removed.insert(removed.begin(), sofa);
    PushUndo(undo, RemovalUndo(scene, removed));
    EXPECT_EQ(undo.back().type, UndoKind::ModelRemoved);
    for (V2dPolygon* r : removed) scene.FreePolygon(r);
    ASSERT_EQ(scene.count(), 2);

    UndoOutcome outcome = Undo(scene, undo);
    EXPECT_EQ(outcome.insertedAt, 1);
    EXPECT_EQ(outcome.insertedCount, 4);
    ASSERT_EQ(scene.count(), 6);
    EXPECT_EQ(scene.at(1)->name, "sofa");
    EXPECT_EQ(scene.at(5)->name, "lamp");
    for (int i = 2; i <= 4; ++i) EXPECT_EQ(scene.at(i)->group, scene.at(1));
    EXPECT_EQ(scene.ListText(2), "[sofa]seat");
    EXPECT_EQ(scene.ListText(4), "[sofa]arm");
}

TEST(Undo, MovedModelGetsItsOriginBack) {
    Scene scene;
    V2dPolygon* model = scene.Append(RectRegion("picture", 0, 0, 9, 9, 100, 100));
    model->kind = RecordKind::PictureModel;
    model->originX = 15;
    model->originY = -4;
    scene.CurPoly = model;
    UndoList undo;
    PushUndo(undo, ModelMoveUndo(*model));
    model->originX = 80;
    model->originY = 90;
    UndoOutcome outcome = Undo(scene, undo);
    EXPECT_EQ(model->originX, 15);
    EXPECT_EQ(model->originY, -4);
    EXPECT_TRUE(outcome.redrawSelection);
}

TEST(Undo, PartPictureComesBackWithItsOwner) {
    Scene scene;
    V2dPolygon* owner = scene.Append(RectRegion("sofa", 0, 0, 9, 9, 100, 100));
    owner->kind = RecordKind::PictureModel;
    owner->picture = Solid(10, 10, Rgb(1, 1, 1));
    V2dPolygon* part = scene.Append(RectRegion("seat", 0, 0, 9, 9, 100, 100));
    part->kind = RecordKind::PictureModel;
    part->group = owner;
    part->picture = Solid(10, 10, Rgb(2, 2, 2));
    UndoList undo;
    PushUndo(undo, PictureUndo(scene, *part));
    EXPECT_EQ(undo.back().target, owner);
    part->picture = Solid(10, 10, Rgb(9, 9, 9));
    owner->picture = Solid(10, 10, Rgb(8, 8, 8));
    Undo(scene, undo);
    EXPECT_EQ(At(owner->picture, 0, 0), Rgb(1, 1, 1));
    EXPECT_EQ(At(part->picture, 0, 0), Rgb(2, 2, 2));
}

}  // namespace
}  // namespace v2d
