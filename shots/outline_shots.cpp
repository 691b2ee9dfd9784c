// A driver for looking at the outline tool under a real display: outlines a
// floor and a wall on a photo by clicks, drags a corner and saves the
// window after each step as OUT_PREFIX-NN-step.png, then the scheme.
//
//   v2dtool_shots PHOTO OUT_PREFIX OUT.v2d
#include <QApplication>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

#include <cstdio>

#include "v2dtool/outline_canvas.h"
#include "v2dtool/outline_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: v2dtool_shots PHOTO OUT_PREFIX OUT.v2d\n");
        return 2;
    }
    v2d::tool::TFormV2dTool window([](const QString& m) { std::printf("message: %s\n", m.toStdString().c_str()); });
    window.resize(1400, 900);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window) || !window.OpenFile(QString::fromLocal8Bit(argv[1]))) return 1;
    v2d::tool::OutlineCanvas& canvas = *window.canvas();
    int shot = 0;
    auto save = [&](const char* step) {
        app.processEvents();
        QTest::qWait(50);
        window.grab().save(QString("%1-%2-%3.png").arg(argv[2]).arg(++shot, 2, 10, QChar('0')).arg(step));
    };
    auto outline = [&](const char* name, std::initializer_list<v2d::V2d_Point> points, int w, int h) {
        window.ActionNewRegionClick(true);
        for (v2d::V2d_Point p : points) QTest::mouseClick(&canvas, Qt::LeftButton, {}, canvas.WidgetPoint(p));
        window.findChild<QLineEdit*>("EditName")->setText(QString::fromUtf8(name));
        window.findChild<QSpinBox*>("SpinWidth")->setValue(w);
        window.findChild<QSpinBox*>("SpinHeight")->setValue(h);
        save(name);
        window.ActionFinishRegionClick();
    };
    save("photo");
    // The demo room's floor and back wall, as a user would click them.
    outline("地面", {{550, 760}, {1050, 760}, {1599, 1199}, {0, 1199}}, 4000, 6600);
    save("floor-done");
    outline("背景墙", {{550, 130}, {1050, 130}, {1050, 760}, {550, 760}}, 4000, 2800);
    save("wall-done");
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, canvas.WidgetPoint({800, 1000}));  // the floor again
    if (!window.editor().MoveCorner(canvas.current(), 0, {550, 760})) return 1;
    if (!window.editor().MoveCorner(canvas.current(), 1, {1050, 760})) return 1;
    canvas.update();
    save("floor-corners");
    return window.SaveTo(QString::fromLocal8Bit(argv[3])) ? 0 : 1;
}
