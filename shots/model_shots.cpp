// A driver for looking at models in the main window under a real display:
// drops the demo's sofa free, the door into the left wall and the wardrobe
// into the back wall, drags each kind of handle, replaces a model and
// undoes; saves the window after each step as OUT_PREFIX-NN-step.png. Then
// it times 100 corner-handle moves on a 4000 x 3000 scene.
//
//   app_model_shots WORKSPACE OUT_PREFIX
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

#include <cstdio>

#include "app/application.h"
#include "shots/shot_support.h"
#include "app/scene_view.h"
#include "demo/demo_room.h"
#include "library/pub_functions.h"
#include "scene/outline_geometry.h"

namespace v2d {
namespace {

struct Driver {
    QApplication& app;
    TFormMain& main;
    QString workspace;
    QString prefix;
    int shot = 0;

    SceneView& view() { return *main.findChild<SceneView*>("PanelView"); }
    void Save(const char* step) {
        app.processEvents();
        QTest::qWait(50);
        const QString name = QString("%1-%2-%3.png").arg(prefix).arg(++shot, 2, 10, QChar('0')).arg(step);
        main.grab().save(name);
        std::printf("%s\n", name.toStdString().c_str());
    }
    void UseModel(const char* name, const char* number, const char* specs, const char* memo) {
        CurrentProduct product = main.document().product();
        product.picture.load(workspace + "/product/xjpg/" + number + ".jpg");
        product.product = Product::Parse(std::string("PartsName=") + name + "&PartsNumber=" + number +
                                         "&SalesName=美家家具&PartsSpecs=" + specs + "&PSTypeMemo=" + memo);
        product.dragKind = DragKind::Model;
        main.document().SetProduct(std::move(product));
        const ProductSize size = ParseProductSpecs(specs);
        main.findChild<QLineEdit*>("EditPartsWidth")->setText(QString::number(size.width));
        main.findChild<QLineEdit*>("EditPartsHeight")->setText(QString::number(size.height));
    }
    QPoint RegionPoint(const char* region, double fx, double fy) {
        const Scene& scene = main.document().scene();
        for (int i = 0; i < scene.count(); ++i) {
            if (scene.at(i)->name != region) continue;
            const PixelBox box = OutlineBox(*scene.at(i));
            return QPoint(box.minX + int(fx * box.width()), box.minY + int(fy * box.height()));
        }
        std::fprintf(stderr, "no region %s\n", region);
        return {};
    }
    void Drop(QPoint picturePoint) {
        view().Image1DragDrop(QPointF(picturePoint * view().viewScale()).toPoint());
    }
    void Mouse(QWidget& handle, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(at), handle.mapToGlobal(QPointF(at)),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, {});
        QApplication::sendEvent(&handle, &event);
    }
    // Moves `steps` times by `step` inside the handle, then lets go.
    void DragHandle(const char* name, QPoint step, int steps) {
        QWidget& handle = *main.findChild<QLabel*>(name);
        Mouse(handle, QEvent::MouseButtonPress, {0, 0}, Qt::LeftButton);
        for (int i = 0; i < steps; ++i) {
            Mouse(handle, QEvent::MouseMove, step, Qt::LeftButton);
            app.processEvents();
        }
        Mouse(handle, QEvent::MouseButtonRelease, step, Qt::NoButton);
    }
    void TimeHandleMoves() {
        main.document().LoadScene(demo::BuildDemoRoomScene(4000, 3000));
        UseModel("实木套装门", "MM-001", "900*2100", "门");
        Drop(RegionPoint("左墙", 0.3, 0.3));
        QWidget& handle = *main.findChild<QLabel*>("node3");
        Mouse(handle, QEvent::MouseButtonPress, {0, 0}, Qt::LeftButton);
        QElapsedTimer clock;
        qint64 handling = 0;
        clock.start();
        for (int i = 0; i < 100; ++i) {
            QElapsedTimer one;
            one.start();
            Mouse(handle, QEvent::MouseMove, i % 2 ? QPoint(-2, -1) : QPoint(3, 2), Qt::LeftButton);
            handling += one.nsecsElapsed();
            app.processEvents();  // the repaint of the changed overlay area
        }
        const double total = clock.nsecsElapsed() / 1e6;
        Mouse(handle, QEvent::MouseButtonRelease, {0, 0}, Qt::NoButton);
        std::printf("4000 x 3000: 100 handle moves %.1f ms with painting (%.2f ms a move), %.2f ms a move without\n",
                    total, total / 100, handling / 1e6 / 100);
    }

    void Run() {
        UseModel("布艺三人沙发", "SF-001", "2100*900*850", "");
        Drop(RegionPoint("地面", 0.4, 0.15));
        Save("sofa-free");
        UseModel("实木套装门", "MM-001", "900*2100", "门");
        const QPoint door = RegionPoint("左墙", 0.45, 0.35);
        Drop(door);
        Save("door-left-wall");
        DragHandle("node2", QPoint(2, -1), 10);
        Save("door-corner-dragged");
        DragHandle("node5", QPoint(0, -2), 8);
        Save("door-top-edge-dragged");
        UseModel("三门衣柜", "GZ-001", "1800*2000", "衣柜");
        const QPoint wardrobe = RegionPoint("背景墙", 0.5, 0.3);
        Drop(wardrobe);
        Save("wardrobe-back-wall");
        DragHandle("NodeMove", QPoint(3, 1), 10);
        Save("wardrobe-moved");
        DragHandle("node7", QPoint(-2, 3), 6);
        Save("wardrobe-left-edge-dragged");
        UseModel("山水装饰画", "GH-001", "900*600", "");
        Drop(door + QPoint(10, 60));
        Save("painting-replaced-door");
        main.findChild<QAction*>("ActionUndo")->trigger();
        Save("undo-replacement");
        main.findChild<QAction*>("ActionUndo")->trigger();
        Save("undo-wardrobe-move");
        // The sofa, a cut-out, with a corner.
        main.document().Select(0);
        const Scene& scene = main.document().scene();
        for (int i = 0; i < scene.count(); ++i)
            if (scene.at(i)->kind == RecordKind::CutOutModel) main.document().Select(i);
        Save("sofa-selected");
        DragHandle("node3", QPoint(3, 2), 10);
        Save("sofa-corner-dragged");
        TimeHandleMoves();
        Save("big-scene");
    }
};

}  // namespace
}  // namespace v2d

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: app_model_shots WORKSPACE OUT_PREFIX\n");
        return 2;
    }
    v2d::test::PrintedPrompts prompts(v2d::PromptAnswer::Yes);
    const QString workspace = QString::fromLocal8Bit(argv[1]);
    auto windows = v2d::ShowShotWindows(workspace, &prompts);
    if (!windows) return 1;
    v2d::Driver driver{app, *windows->main, workspace, QString::fromLocal8Bit(argv[2])};
    driver.Run();
    return 0;
}
