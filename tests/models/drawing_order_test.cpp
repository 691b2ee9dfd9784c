// Where a new model goes in the drawing order, in a room of a floor, a wall,
// a rug on the floor, a sofa at the back and a table at the front.
#include "models/drawing_order.h"

#include <gtest/gtest.h>

namespace v2d {
namespace {

PolygonPtr Box(const char* name, RecordKind kind, int x0, int y0, int x1, int y1, const char* memo = "") {
    PolygonPtr r = NewPolygon();
    r->name = name, r->kind = kind, r->partsInfo = std::string("PartsName=x&PSTypeMemo=") + memo;
    r->points = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, r->indexList = {3};
    SetCornersFromBoundingBox(*r);
    return r;
}

TEST(DrawingOrder, AModelCoversWhatItStandsOnAndStaysBehindWhatIsNearer) {
    struct Case { const char* memo; int x0, y0, x1, y1; const char* after; };
    const Case cases[] = {
        {"沙发", 100, 120, 300, 200, "back sofa"},  // over the back sofa, under the nearer table
        {"地毯", 100, 120, 300, 200, "rug"},        // a carpet lies under every piece of furniture
        {"", 500, 500, 520, 520, "table"},          // over nothing: at the end
    };
    for (const Case& c : cases) {
        Scene scene;
        scene.Append(Box("floor", RecordKind::Region, 0, 150, 399, 299));
        scene.Append(Box("wall", RecordKind::Region, 0, 0, 399, 149));
        scene.Append(Box("rug", RecordKind::PictureModel, 50, 160, 350, 280, "地毯"));
        scene.Append(Box("back sofa", RecordKind::CutOutModel, 150, 100, 250, 150, "沙发"));
        scene.Append(Box("table", RecordKind::PictureModel, 120, 180, 280, 290, "茶几"));
        V2dPolygon* model = scene.Append(Box("new", RecordKind::CutOutModel, c.x0, c.y0, c.x1, c.y1, c.memo));
        BringToFront(scene, model, nullptr);
        EXPECT_EQ(scene.at(scene.IndexOfPolygon(model) - 1)->name, c.after) << c.memo;
    }
}

TEST(DrawingOrder, ACopyIsSetOffInsideThePicture) {
    EXPECT_EQ(CopyOffset(10, 50, 100, 20), 20);
    EXPECT_EQ(CopyOffset(30, 90, 100, 20), -20);
    EXPECT_EQ(CopyOffset(0, 99, 100, 20), 20);  // no room either way
}

}  // namespace
}  // namespace v2d
