// The model menu's geometry: mirroring, resetting, frame stepping, copying
// a model with its parts and what a deletion takes along.
#include "models/model_operations.h"

#include <gtest/gtest.h>

#include "scene/outline_geometry.h"

namespace v2d {
namespace {

PolygonPtr Model(const char* name, RecordKind kind, std::vector<V2d_Point> points) {
    PolygonPtr r = NewPolygon();
    r->name = name;
    r->kind = kind;
    r->points = std::move(points);
    r->indexList = {r->pointCount() - 1};
    SetCornersFromBoundingBox(*r);
    return r;
}

TEST(ModelOperations, MirroringMapsAcrossTheSpanAndTwiceRestoresOnlyPictureModelsMirror) {
    PolygonPtr m = Model("m", RecordKind::PictureModel, {{100, 10}, {300, 10}, {300, 90}, {100, 90}});
    m->corners[0] = {120, 10};
    const std::vector<V2d_Point> before(std::begin(m->corners), std::end(m->corners));
    ASSERT_TRUE(MirrorModelCorners(*m, MirrorAxis::X));
    EXPECT_EQ(m->corners[0], (V2d_Point{280, 10}));
    EXPECT_EQ(m->corners[1], (V2d_Point{100, 10}));
    EXPECT_TRUE(MirrorModelCorners(*m, MirrorAxis::Y));
    EXPECT_EQ(m->corners[0], (V2d_Point{280, 90}));
    MirrorModelCorners(*m, MirrorAxis::X);
    MirrorModelCorners(*m, MirrorAxis::Y);
    EXPECT_EQ(std::vector<V2d_Point>(std::begin(m->corners), std::end(m->corners)), before);
    PolygonPtr cut = Model("c", RecordKind::CutOutModel, {{0, 0}, {9, 0}, {9, 9}, {0, 9}});
    EXPECT_FALSE(MirrorModelCorners(*cut, MirrorAxis::X));
}

TEST(ModelOperations, ResetGivesTheOutlineBoxAtFullScaleAndACutoutTheScaledPicture) {
    PolygonPtr m = Model("m", RecordKind::PictureModel, {{10, 20}, {110, 25}, {105, 80}, {12, 70}});
    m->corners[1] = {150, -4};
    m->scaleX = 50, m->scaleY = 70, m->originX = 9;
    ResetModelCorners(*m);
    EXPECT_TRUE(CornersAreOutlineBox(*m));
    EXPECT_EQ(m->scaleX, 100);
    EXPECT_EQ(m->scaleY, 100);
    EXPECT_EQ(m->originX, 9);

    PolygonPtr cut = Model("c", RecordKind::CutOutModel, {{0, 0}, {9, 0}, {9, 9}, {0, 9}});
    cut->picture = QImage(201, 99, QImage::Format_ARGB32);
    cut->scaleX = 50, cut->scaleY = 33;
    ResetCutoutCorners(*cut);
    EXPECT_EQ(cut->corners[2], (V2d_Point{100, 32}));  // trunc(100.5), trunc(32.67)
    ResetCutoutCorners(*m);                               // other kinds stay
    EXPECT_TRUE(CornersAreOutlineBox(*m));
}

TEST(ModelOperations, FrameSteppingWrapsBothWaysClampsAStrayCurrentAndNeedsTwoFrames) {
    Scene scene;
    V2dPolygon* cut = scene.Append(Model("c", RecordKind::CutOutModel, {{0, 0}, {9, 0}, {9, 9}, {0, 9}}));
    auto frames = std::make_unique<V2dPolygonEx>();
    frames->owner = cut;
    for (int w : {10, 20, 30}) frames->frames.push_back(QImage(w, 5, QImage::Format_ARGB32));
    frames->current = 2;
    cut->picture = frames->frames[2];
    V2dPolygonEx* set = frames.get();
    scene.AddFrameSet(std::move(frames));

    ASSERT_TRUE(StepRotationFrame(scene, *cut, +1));
    EXPECT_EQ(set->current, 0);
    EXPECT_EQ(cut->corners[2], (V2d_Point{10, 5}));  // the new frame's size
    ASSERT_TRUE(StepRotationFrame(scene, *cut, -1));
    EXPECT_EQ(set->current, 2);
    EXPECT_EQ(cut->picture.width(), 30);
    set->current = 7;  // from a file or an old copy
    ASSERT_TRUE(StepRotationFrame(scene, *cut, +1));
    EXPECT_EQ(set->current, 0);

    set->frames.resize(1);
    EXPECT_FALSE(StepRotationFrame(scene, *cut, +1));
    V2dPolygon* plain = scene.Append(Model("p", RecordKind::PictureModel, {{0, 0}, {9, 0}, {9, 9}}));
    EXPECT_FALSE(StepRotationFrame(scene, *plain, +1));
}

struct ModelWithParts : ::testing::Test {
    Scene scene;
    V2dPolygon* owner = nullptr;
    void SetUp() override {
        scene.Append(Model("floor", RecordKind::Region, {{0, 0}, {99, 0}, {99, 99}}));
        owner = scene.Append(Model("curtain", RecordKind::PictureModel, {{0, 0}, {50, 0}, {50, 50}}));
        for (const char* name : {"帘身", "帘头"})
            scene.Append(Model(name, RecordKind::PictureModel, {{0, 0}, {20, 0}, {20, 20}}))->group = owner;
    }
};

TEST_F(ModelWithParts, CopyingAPartCopiesTheWholeModelWithBracketedCaptions) {
    V2dPolygon* copy = CopyModel(scene, scene.at(3));
    ASSERT_EQ(scene.count(), 7);
    EXPECT_EQ(copy, scene.at(4));
    EXPECT_EQ(scene.GroupMembers(copy).size(), 2u);
    EXPECT_EQ(scene.ListText(5), "[curtain]帘身");
    EXPECT_EQ(scene.ListText(6), "[curtain]帘头");
    EXPECT_EQ(scene.at(5)->group, copy);
    EXPECT_EQ(scene.GroupMembers(owner).size(), 2u);  // the original keeps its parts
    EXPECT_EQ(CopyModel(scene, scene.at(0)), nullptr);  // a region is no model
}

TEST_F(ModelWithParts, DeletingAnOwnerTakesItsPartsAndGroupMembersAreFound) {
    const std::vector<V2dPolygon*> removed = RecordsToDelete(scene, {owner});
    EXPECT_EQ(removed, (std::vector<V2dPolygon*>{scene.at(1), scene.at(2), scene.at(3)}));
    EXPECT_FALSE(AnyInRegionGroup(scene, removed));
    scene.AddGroup(V2dGroupPL{"g", {scene.at(0), scene.at(2)}});
    EXPECT_TRUE(AnyInRegionGroup(scene, removed));
}

}  // namespace
}  // namespace v2d
