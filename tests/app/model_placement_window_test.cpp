// Models in the window over the demo workspace: the panel's picture let go
// on the view reaches the document (asking before it replaces a model), the
// handles frame the new model, and dragging them shapes and moves it.
#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>

#include <fstream>

#include "app/scene_view.h"
#include "app_test_support.h"
#include "scene/scheme_file.h"

namespace v2d {
namespace {

constexpr QRgb kMagenta = 0xFFFF00FF;
const char* const kCarpet =
    "PartsName=波斯地毯&PartsNumber=DT-001&SalesName=美家家具&PartsSpecs=2000*1400&PSTypeMemo=地毯";
const char* const kPainting = "PartsName=山水装饰画&PartsNumber=GH-001&SalesName=美家家具&PartsSpecs=900*600";
const char* const kDoor = "PartsName=实木套装门&PartsNumber=MM-001&SalesName=美家家具&PartsSpecs=900*2100";

class ModelWindow : public test::WindowTest {
protected:
    void SetUp() override {
        OpenWindow(true);
        ASSERT_EQ(Record(floor_).name, "地面");
    }
    void UseModel(const char* descriptor) {
        UseProduct(test::Checker(Qt::red, Qt::blue), descriptor);
        Doc().SetDragKind(DragKind::Model);
    }
    void Drop(QPoint picturePoint) { Find<SceneView>("PanelView").Image1DragDrop(picturePoint); }
    // A press at `from`, one move to `to` with the left button held and a release there.
    void Drag(QWidget& widget, QPoint from, QPoint to) {
        auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
            QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)), button, held, {});
            QApplication::sendEvent(&widget, &event);
        };
        send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }
    // The pointer moves by `step` inside the handle.
    void DragHandle(const char* name, QPoint step) { Drag(Viewport(), Handle(name).pos(), Handle(name).pos() + step); }
    QPoint FloorPoint() {
        const PixelBox box = OutlineBox(Record(floor_));
        return QPoint((box.minX + box.maxX) / 2, (box.minY + 3 * box.maxY) / 4);
    }
    // A press at picture point `at` as the view shows it; the menu it opened, if any, closed again.
    QMenu* PressAt(QPointF at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(&Viewport(), button, {}, OnView((at * Zoom()).toPoint()));
        auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (open != nullptr) open->close();
        return open;
    }
    double Zoom() { return Find<SceneView>("PanelView").viewScale(); }
    const int floor_ = 0;
};

TEST_F(ModelWindow, ADropOnTheFloorLandsJustAfterItFramedByItsHandles) {
    UseModel(kCarpet);
    const int count = Doc().scene().count();
    Drop(FloorPoint());
    ASSERT_EQ(Doc().scene().count(), count + 1);
    const V2dPolygon& carpet = Record(floor_ + 1);
    EXPECT_EQ(carpet.name, "波斯地毯");
    EXPECT_EQ(Doc().focusedRecord(), &carpet);
    for (const char* handle : {"node1", "node3", "node8", "NodeMove"}) EXPECT_TRUE(Handle(handle).isVisible());
    const V2d_Point corner = carpet.corners[0];
    EXPECT_EQ(Overlay().pixel(corner.x + carpet.originX, corner.y + carpet.originY), kMagenta);
}

// The panel's sofa pulled onto the floor as a person does: the press and
// move on the panel picture start the drag, and the view receives what the
// drag delivers at the floor. The sofa appears on the floor, and the picture's
// top-left corner (where a cut-out at origin 0 would be drawn) is untouched.
TEST_F(ModelWindow, TheSofaDraggedFromThePanelStandsOnTheFloor) {
    UseModel("PartsName=北欧双人沙发&PartsNumber=SF-003&SalesName=美家家具&PartsSpecs=1600*850&PSTypeMemo=沙发");
    const QImage before = Shown();
    auto& panel = Find<QWidget>("ImageParts");
    QTest::mousePress(&panel, Qt::LeftButton, {}, {10, 10});
    QTest::mouseMove(&panel, {14 + QApplication::startDragDistance(), 10});
    QTest::mouseRelease(&panel, Qt::LeftButton);
    auto& image1 = Viewport();
    const QPoint at = OnView((QPointF(FloorPoint()) * Zoom()).toPoint());
    QMimeData data;
    data.setData(kProductDragFormat, {});
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&image1, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&image1, &drop);
    QApplication::processEvents();
    ASSERT_EQ(Record(floor_ + 1).kind, RecordKind::CutOutModel);
    const QImage after = Shown();
    QRect changed;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x)
            if (after.pixel(x, y) != before.pixel(x, y)) changed |= QRect(x, y, 1, 1);
    const PixelBox floor = OutlineBox(Record(floor_));
    EXPECT_TRUE(changed.contains(FloorPoint().x(), changed.center().y())) << "centred on the drop's column";
    EXPECT_GT(changed.bottom(), floor.minY) << "it stands on the floor";
    EXPECT_EQ(after.copy(0, 0, 300, 150), before.copy(0, 0, 300, 150));
}

// 真皮沙发 let go on a template's rug stands on the floor in front of the rug and
// the walls (moving it to the end of "装饰部位" changes nothing); its copy lands 20 px off.
TEST_F(ModelWindow, TheLeatherSofaDroppedOnTheRugStandsInFrontAndItsCopyOffIt) {
    ASSERT_TRUE(main_->OpenScheme(ws_.qpath() + "/temple/local/13.v2d", SchemeOrigin::Template));
    UseModel("PartsName=真皮沙发&PartsNumber=SF-002&PartsSpecs=2200*950*900&PSTypeMemo=沙发");
    const QImage before = Shown();
    Drop((QPointF(560, 600) * Zoom()).toPoint());
    const V2dPolygon* sofa = Doc().focusedRecord();
    ASSERT_TRUE(sofa != nullptr && sofa->name == "真皮沙发" && prompts_.texts.isEmpty());
    const QImage dropped = Shown();
    const QPoint seat(sofa->originX + sofa->corners[2].x / 2, sofa->originY + sofa->corners[2].y * 3 / 4);
    EXPECT_NE(dropped.pixel(seat), before.pixel(seat));
    EXPECT_EQ(Find<QListWidget>("ListBoxPoly").item(Doc().scene().IndexOfPolygon(sofa))->text(), "真皮沙发");
    EXPECT_TRUE(Doc().MoveRecord(Doc().scene().IndexOfPolygon(sofa), Doc().scene().count() - 1).ok());
    EXPECT_EQ(Shown(), dropped);
    PressAt(QPointF(seat), Qt::RightButton);
    Find<QAction>("NCopyModel").trigger();
    const V2dPolygon* copy = Doc().focusedRecord();
    EXPECT_EQ(std::pair(copy->originX, copy->originY), std::pair(sofa->originX + 20, sofa->originY + 20));
}

TEST_F(ModelWindow, ACarpetDrawnOnTheFloorLiesOnItsPlaneJustAfterIt) {
    UseModel(kCarpet);
    const QPoint from = FloorPoint() - QPoint(300, 0), to = from + QPoint(60, 30);  // off the centre line
    const int count = Doc().scene().count();
    Drag(Viewport(), OnView(from), OnView(to));
    ASSERT_EQ(Doc().scene().count(), count + 1);
    const V2dPolygon& carpet = Record(floor_ + 1);
    EXPECT_EQ(Doc().focusedRecord(), &carpet);
    EXPECT_NEAR(carpet.corners[0].x + carpet.originX, from.x(), 1);
    EXPECT_NEAR(carpet.corners[0].y + carpet.originY, from.y(), 1);
    EXPECT_NE(carpet.corners[3].x, carpet.corners[0].x);  // the floor's plane, not the screen's
}

TEST_F(ModelWindow, ADropOnAPictureModelAsksAndReplacesItOnlyOnYes) {
    UseModel(kPainting);
    const QPoint at(100, 100);
    Drop(at);
    const int count = Doc().scene().count();
    const V2dPolygon* first = Doc().focusedRecord();
    ASSERT_NE(first, nullptr);
    prompts_.answers = {PromptAnswer::No, PromptAnswer::Yes};
    Drop(at);
    EXPECT_EQ(Doc().scene().count(), count + 1);
    EXPECT_GE(Doc().scene().IndexOfPolygon(first), 0);
    UseModel(kDoor);
    Drop(at);  // lands on the second painting, the topmost
    EXPECT_EQ(Doc().scene().count(), count + 1);
    EXPECT_EQ(Doc().focusedRecord()->name, "实木套装门");
    EXPECT_EQ(prompts_.texts, QStringList({"是要替换模型吗 ?", "是要替换模型吗 ?"}));
}

TEST_F(ModelWindow, ACornerDragShapesTheModelAndTheReleaseRedraws) {
    UseModel(kPainting);
    Drop(QPoint(120, 120));
    const V2dPolygon& model = *Doc().focusedRecord();
    const V2d_Point before = model.corners[2], fixed = model.corners[0];
    int redraws = 0;
    QObject::connect(&Doc(), &SceneDocument::changed, [&](const SceneChange& c) { redraws += c.touches(ChangeAspect::Geometry); });
    DragHandle("node3", QPoint(15, 12));
    EXPECT_EQ(model.corners[2], (V2d_Point{before.x + 15, before.y + 12}));
    EXPECT_EQ(model.corners[0], fixed);
    EXPECT_EQ(redraws, 1);  // the release only
    EXPECT_EQ(Overlay().pixel(model.corners[2].x + model.originX, model.corners[2].y + model.originY), kMagenta);
}

TEST_F(ModelWindow, ACentreHandleDragIsUndoneInTheWindow) {
    UseModel(kPainting);
    Drop(QPoint(120, 120));
    const QImage placed = Shown();
    const V2dPolygon& model = *Doc().focusedRecord();
    const int x = model.originX, y = model.originY;
    DragHandle("NodeMove", QPoint(7, 5));
    EXPECT_EQ(model.originX, x + 7);
    EXPECT_EQ(model.originY, y + 5);
    ClickButton("SpeedButtonUndo");
    EXPECT_EQ(model.originX, x);
    EXPECT_EQ(model.originY, y);
    EXPECT_EQ(Shown(), placed);
    EXPECT_EQ(Find<PictureLayer>("Image2").picture(), Doc().displayed());
}

TEST_F(ModelWindow, EitherButtonPicksTheModelUnderThePointerAtEveryZoom) {
    UseModel(kPainting);
    Drop(QPoint(400, 300));  // on the left wall, which reaches (200, 300) too
    const V2dPolygon* painting = Doc().focusedRecord();
    PressAt({200, 300});
    EXPECT_EQ(PressAt({400, 300}, Qt::RightButton), &Find<QMenu>("PopupMenuModel"));
    EXPECT_EQ(Doc().focusedRecord(), painting);
    EXPECT_EQ(PressAt({200, 300}, Qt::RightButton), &Find<QMenu>("PopupMenu2"));
    EXPECT_EQ(Doc().focusedRecord()->name, "左墙");

    Key(Qt::Key_Equal, Qt::ControlModifier);
    auto& image1 = Viewport();
    const QPoint pointer = OnView({500, 375}), global = image1.mapToGlobal(pointer);  // (400, 300) at 125 %
    QWheelEvent wheel(pointer, global, {}, {0, 120}, Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&image1, &wheel);
    ASSERT_DOUBLE_EQ(Zoom(), 1.5);
    EXPECT_EQ(image1.mapFromGlobal(global) - View().ViewOffset(), QPoint(600, 450));  // the same picture point under the pointer
    PressAt({400, 300});
    ASSERT_EQ(Doc().focusedRecord(), painting);
    const QPoint view = View().ViewOffset();
    const V2d_Point c = painting->corners[2];
    EXPECT_EQ(Handle("node3").pos() - view,
              QPoint(int((c.x + painting->originX) * 1.5), int((c.y + painting->originY) * 1.5)));
    PressAt({200, 300});
    EXPECT_EQ(Doc().focusedRecord()->name, "左墙");
}

TEST_F(ModelWindow, BarsStayWhileAHandleIsDraggedABrokenFileNeverAsksNorDoesALine) {
    UseModel(kPainting);
    Drop(QPoint(400, 300));
    const int count = Doc().scene().count();
    { std::ofstream(ws_.path() / "product/c2d/BAD-001.c2d") << "not a model"; }
    UseModel("PartsName=坏画&PartsNumber=BAD-001&PartsSpecs=900*600");
    Drop(QPoint(400, 300));
    UseModel("PartsName=石膏线&PartsNumber=GH-001&PartsSpecs=3000*80&PSTypeMemo=装饰线");
    Drop(QPoint(400, 300));  // a line is drawn across regions only
    EXPECT_EQ(prompts_.texts, QStringList({kMsgBadFormat}));
    EXPECT_EQ(Doc().scene().count(), count);
    Key(Qt::Key_0, Qt::ControlModifier);  // the whole picture fits: no bars
    auto& x = Find<QScrollBar>("ScrollBarX");
    auto& y = Find<QScrollBar>("ScrollBarY");
    auto& node3 = Viewport();
    const QPoint panel = View().PictureFrame().topLeft(), in = Handle("node3").pos();
    QTest::mousePress(&node3, Qt::LeftButton, {}, in);
    QMouseEvent move(QEvent::MouseMove, QPointF(in + QPoint(6, 4)), node3.mapToGlobal(QPointF(in + QPoint(6, 4))),
                     Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(&node3, &move);
    QApplication::processEvents();
    EXPECT_TRUE(x.isVisible() && y.isVisible());
    EXPECT_EQ(View().PictureFrame().topLeft(), panel);
    QTest::mouseRelease(&node3, Qt::LeftButton, {}, in + QPoint(6, 4));
    EXPECT_FALSE(x.isVisible() || y.isVisible());
}

TEST_F(ModelWindow, AMaterialDropTilesTheRegionUnderIt) {
    UseProduct(test::Checker(Qt::red, Qt::blue), "PartsName=测试砖&PartsNumber=T-A&PartsSpecs=600*600");
    Doc().SetDragKind(DragKind::Material);
    const QImage before = Record(floor_).picture;
    Drop(FloorPoint());
    EXPECT_NE(Record(floor_).picture, before);
    EXPECT_EQ(Record(floor_).partsInfo.text().rfind("PartsName=测试砖", 0), 0u);
}

}  // namespace
}  // namespace v2d
