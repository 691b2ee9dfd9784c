#include <gtest/gtest.h>

#include <tuple>

#include "scene/scene.h"
#include "tests/scene/scene_fixtures.h"

namespace v2d {
namespace {

TEST(SceneModel, FreeingACutOutModelReleasesEveryFrameExactlyOnce) {
    Scene scene = testing::RichScene();
    V2dPolygon* cutout = scene.at(5);
    ASSERT_EQ(cutout->kind, RecordKind::CutOutModel);
    // Hold our own handles on the three frames; the frame in the middle is
    // also the record's picture.
    std::vector<QImage> held = scene.FrameSetOf(cutout)->frames;
    for (const QImage& frame : held) EXPECT_FALSE(frame.isDetached());
    scene.FreePolygon(cutout);
    EXPECT_EQ(scene.FindFrameSet(cutout), -1);
    EXPECT_TRUE(scene.frameSets().empty());
    // Nothing else holds the pixels now: each was released, none twice.
    for (const QImage& frame : held) EXPECT_TRUE(frame.isDetached());
}

TEST(SceneModel, FreeingARegionWithAMeshRemovesItsMesh) {
    Scene scene = testing::RichScene();
    V2dPolygon* wall = scene.at(1);
    ASSERT_EQ(scene.FindMesh(wall), 0);
    scene.FreePolygon(wall);
    EXPECT_EQ(scene.FindMesh(wall), -1);
    EXPECT_TRUE(scene.meshes().empty());
    EXPECT_EQ(scene.count(), 5);
    // The group lost a member and with fewer than two it is gone.
    EXPECT_TRUE(scene.groups().empty());
}

TEST(SceneModel, FreeingAModelOwnerClearsItsPartsOwner) {
    Scene scene = testing::RichScene();
    V2dPolygon* owner = scene.at(2);
    V2dPolygon* part = scene.at(3);
    ASSERT_EQ(scene.GroupMembers(owner), std::vector<V2dPolygon*>{part});
    scene.FreePolygon(owner);
    EXPECT_EQ(part->group, nullptr);
    EXPECT_EQ(scene.IndexOfPolygon(part), 2);
    EXPECT_EQ(scene.IndexOfPolygon(owner), -1);
}

TEST(SceneModel, ClearSceneEmptiesEveryList) {
    Scene scene = testing::RichScene();
    scene.ClearScene();
    EXPECT_TRUE(scene.records().empty() && scene.meshes().empty());
    EXPECT_TRUE(scene.frameSets().empty() && scene.groups().empty());
}

TEST(SceneModel, CloneSharesPicturesResetsPlacementAndBoxesTheCorners) {
    Scene scene = testing::RichScene();
    V2dPolygon* model = scene.at(2);
    model->corners[1] = {99, 99};
    PolygonPtr clone = ClonePolygon(*model);
    EXPECT_EQ(std::tuple(clone->originX, clone->originY, clone->scaleX, clone->scaleY), std::tuple(0, 0, 100, 100));
    EXPECT_EQ(clone->picture.cacheKey(), model->picture.cacheKey());  // shallow
    EXPECT_EQ(std::vector<V2d_Point>(clone->corners, clone->corners + 4),
              (std::vector<V2d_Point>{{41, 0}, {63, 0}, {63, 20}, {41, 20}}));
}

TEST(SceneModel, CloneOfACutOutModelSetsItsOutlineToThePictureRectangle) {
    Scene scene = testing::RichScene();
    PolygonPtr clone = ClonePolygon(*scene.at(5));  // picture 12 x 16
    EXPECT_EQ(clone->points, (std::vector<V2d_Point>{{0, 0}, {11, 0}, {11, 15}, {0, 15}}));
    EXPECT_EQ(clone->corners[2], (V2d_Point{11, 15}));
}

TEST(SceneModel, CopyOwnsItsPictures) {
    Scene scene = testing::RichScene();
    V2dPolygon* model = scene.at(2);
    PolygonPtr copy = CopyPolygon(*model);
    EXPECT_EQ(QImage(copy->picture), QImage(model->picture));  // the pixels, not the identity
    // Writing to the copy's picture leaves the original's pixels alone.
    copy->picture.setPixel(0, 0, 0xFF000000);
    EXPECT_EQ(model->picture.pixel(0, 0), 0xFF2040C0u);
    EXPECT_NE(copy->picture.constBits(), model->picture.constBits());
    EXPECT_EQ(QImage(copy->sourcePicture), QImage(model->sourcePicture));
    EXPECT_EQ(copy->originX, 3);
    EXPECT_EQ(copy->scaleY, 120);
    copy->points[0].x = 1000;
    EXPECT_EQ(model->points[0].x, 41);
    PolygonPtr cutout = CopyPolygon(*scene.at(5));
    EXPECT_EQ(cutout->picture.format(), QImage::Format_ARGB32);
}

TEST(SceneModel, ListTextsShowOwnerAndGroupInBrackets) {
    Scene scene = testing::RichScene();
    EXPECT_EQ(scene.ListText(0), "[墙地组]地面");
    EXPECT_EQ(scene.ListText(3), "[沙发]坐垫");
    EXPECT_EQ(scene.ListText(4), "阴影");
}

TEST(SceneModel, InsertClampsThePosition) {
    Scene scene = testing::RichScene();
    V2dPolygon* r = scene.Insert(100, NewPolygon());
    EXPECT_EQ(scene.IndexOfPolygon(r), 6);
    V2dPolygon* first = scene.Insert(-3, NewPolygon());
    EXPECT_EQ(scene.IndexOfPolygon(first), 0);
}

}  // namespace
}  // namespace v2d
