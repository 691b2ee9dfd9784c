#pragma once
// The demo room in a document, with a white 40 x 20 picture model written
// to a model file and drops of it with a product descriptor: what the
// document's model tests place.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

#include "demo/demo_room.h"
#include "document/scene_document.h"
#include "scene/model_file.h"
#include "tests/render/render_fixtures.h"

namespace v2d {

// The document's own scene, for arranging records before an operation.
struct SceneDocumentAccess {
    static Scene& scene(SceneDocument& document) { return document.scene_; }
};

}  // namespace v2d

namespace v2d::testing {

inline V2dPolygon& Arrange(SceneDocument& document, int i) { return *SceneDocumentAccess::scene(document).at(i); }

class WhiteModelTest : public ::testing::Test {
public:
    void SetUp() override {
        doc.LoadScene(demo::BuildDemoRoomScene(400, 300));
        PolygonPtr model = NewPolygon();
        model->kind = RecordKind::PictureModel;
        model->points = {{0, 0}, {39, 0}, {39, 19}, {0, 19}};
        model->indexList = {3};
        SetCornersFromBoundingBox(*model);
        model->picture = QImage(40, 20, QImage::Format_RGB32);
        model->picture.fill(0xFFFFFFFF);
        model->toneEnabled = 0;
        model->sourcePicture = QImage(30, 6, QImage::Format_RGB32);  // the preview: a moulding's profile
        model->sourcePicture.fill(0xFFFF0000);
        ASSERT_TRUE(WriteModelFile({model.get()}, nullptr, modelFile()).ok());
    }
    std::filesystem::path modelFile() const { return dir.filePath("white.c2d").toStdString(); }
    ModelDrop Drop(V2d_Point at, int target = -1, const char* memo = "") const {
        ModelDrop drop;
        drop.modelFile = modelFile();
        drop.product = Product::Parse(std::string("PartsName=白板&PartsNumber=white&PartsSpecs=1000*500&PSTypeMemo=") + memo);
        drop.point = at;
        drop.target = target;
        return drop;
    }
    QTemporaryDir dir;
    SceneDocument doc{Library()};
};

}  // namespace v2d::testing
