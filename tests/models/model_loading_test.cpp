// A model file's records entering the scene: single records, the owner of a
// model with parts, and placement baked into parts.
#include <gtest/gtest.h>

#include "models/model_loading.h"
#include "tests/scene/scene_fixtures.h"

namespace v2d {
namespace {
using testing::Region;
using testing::SolidPicture;

PolygonPtr Part(const char* name, int x0, int y0, int x1, int y1, QRgb colour) {
    PolygonPtr part = Region(name, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, {3});
    part->kind = RecordKind::PictureModel;
    part->picture = SolidPicture(x1 - x0 + 1, y1 - y0 + 1, colour);
    part->sourcePicture = part->picture;
    part->realWidth = part->realHeight = 100;
    return part;
}

TEST(ModelLoading, PlacementIsBakedIntoAPart) {
    PolygonPtr part = Part("门", 10, 20, 29, 59, 0xFF0000FF);  // 20 x 40
    part->originX = 5;
    part->originY = -3;
    part->scaleX = 50;
    part->scaleY = 75;
    BakePlacement(*part);
    // (x − 10) × 0.5 + 5 + 10 and (y − 20) × 0.75 − 3 + 20, truncated.
    EXPECT_EQ(part->points[1], (V2d_Point{24, 17}));
    EXPECT_EQ(part->points[2], (V2d_Point{24, 46}));
    EXPECT_EQ(part->corners[0], (V2d_Point{15, 17}));
    EXPECT_EQ(part->picture.size(), QSize(10, 30));
    EXPECT_EQ(part->sourcePicture.size(), QSize(10, 30));
    EXPECT_EQ(part->originX, 0);
    EXPECT_EQ(part->scaleX, 100);
}

TEST(ModelLoading, ThreePartsGetAnOwnerThatJoinsThem) {
    ModelFile file;
    file.records.push_back(Part("柜体", 0, 0, 19, 39, 0xFFFF0000));
    file.records.push_back(Part("帘", 20, 0, 39, 39, 0xFF00FF00));
    file.records.push_back(Part("顶", 50, 0, 59, 9, 0xFF0000FF));
    file.records[0]->realWidth = 800;
    file.records[1]->realHeight = 2100;
    file.records[1]->partsInfo = "PartsName=布帘&PSTypeName=帘身";
    file.records[1]->reflect = 30;
    file.records[0]->lighten = 12;

    Scene scene;
    scene.Append(Region("地面", {{0, 0}, {99, 0}, {99, 99}, {0, 99}}, {3}));
    ASSERT_EQ(AddModelToScene(scene, std::move(file), "三门柜"), 4);
    ASSERT_EQ(scene.count(), 5);
    const V2dPolygon& owner = *scene.at(1);
    EXPECT_EQ(owner.kind, RecordKind::PictureModel);
    EXPECT_EQ(owner.name, "三门柜");
    EXPECT_EQ(owner.pointCount(), 12);
    EXPECT_EQ(owner.indexList, (std::vector<int32_t>{3, 7, 11}));
    EXPECT_EQ(owner.realWidth, 800);
    EXPECT_EQ(owner.realHeight, 2100);
    EXPECT_EQ(owner.reflect, 30);
    EXPECT_EQ(owner.lighten, 12);
    EXPECT_EQ(owner.toneEnabled, 0);
    EXPECT_EQ(owner.corners[2], (V2d_Point{59, 39}));
    // Parts drawn at their places on grey.
    ASSERT_EQ(owner.picture.size(), QSize(60, 40));
    EXPECT_EQ(owner.picture.pixel(5, 5), 0xFFFF0000u);
    EXPECT_EQ(owner.picture.pixel(25, 30), 0xFF00FF00u);
    EXPECT_EQ(owner.picture.pixel(55, 5), 0xFF0000FFu);
    EXPECT_EQ(owner.picture.pixel(45, 20), 0xFF808080u);
    EXPECT_EQ(owner.sourcePicture.pixel(55, 5), 0xFF0000FFu);
    for (int i = 2; i <= 4; ++i) EXPECT_EQ(scene.at(i)->group, &owner);
    EXPECT_EQ(scene.ListText(3), "[三门柜]帘");
}

TEST(ModelLoading, SingleRecordKeepsItsFrames) {
    ModelFile file;
    file.records.push_back(Part("花", 0, 0, 9, 9, 0xFF123456));
    file.records[0]->kind = RecordKind::CutOutModel;
    file.frames = std::make_unique<V2dPolygonEx>();
    file.frames->owner = file.records[0].get();
    file.frames->frames = {SolidPicture(10, 10, 0), file.records[0]->picture};
    file.frames->current = 1;
    Scene scene;
    EXPECT_EQ(AddModelToScene(scene, std::move(file), "花"), 1);
    ASSERT_EQ(scene.frameSets().size(), 1u);
    EXPECT_EQ(scene.FrameSetOf(scene.at(0)), scene.frameSets()[0]);
    EXPECT_EQ(AddModelToScene(scene, ModelFile{}, "空"), 0);
}

}  // namespace
}  // namespace v2d
