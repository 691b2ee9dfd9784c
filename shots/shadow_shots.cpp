// A driver for looking at shadows and the model menu in the main window
// under a real display: opens a scheme (the outline tool's), tiles every
// region, drops the sofa and a painting, turns, copies, moves, mirrors and
// deletes them and undoes, saving the window after each step as
// OUT_PREFIX-NN-step.png.
//
//   app_shadow_shots WORKSPACE SCHEME.v2d OUT_PREFIX
#include <QAction>
#include <QApplication>
#include <QTest>

#include <cstdio>

#include "app/application.h"
#include "shots/shot_support.h"
#include "app/model_menu.h"
#include "app/uformshadow.h"

namespace v2d {
namespace {

void Run(QApplication& app, TFormMain& main, const QString& workspace, const QString& scheme, const QString& prefix) {
    int shot = 0;
    auto save = [&](const char* step) {
        app.processEvents();
        QTest::qWait(50);
        const QString name = QString("%1-%2-%3").arg(prefix).arg(++shot, 2, 10, QChar('0')).arg(step);
        main.grab().save(name + ".png");
        main.document().displayed().save(name + "-scene.png");
    };
    SceneDocument& doc = main.document();
    if (!main.OpenScheme(scheme)) return;
    QImage tile(300, 300, QImage::Format_RGB32);
    tile.fill(QColor(200, 170, 130));
    for (int i = 0; i < 300; ++i) tile.setPixel(i, 0, 0xFF604020), tile.setPixel(0, i, 0xFF604020);
    doc.SetProduct(CurrentProduct{tile, Product::Parse("PartsName=木纹地板&PartsNumber=DB-1&PartsSpecs=600*600")});
    RegionSelection all{0, {}};
    for (int i = 0; i < doc.scene().count(); ++i) all.selected.push_back(i);
    doc.SetSelection(all);
    if (!doc.TileSelection().done()) return;
    save("tiled");
    auto drop = [&](const char* number, V2d_Point at) {
        ModelDrop d;
        d.modelFile = (workspace + "/product/c2d/" + number + ".c2d").toStdString();
        d.point = at;
        return doc.DropModel(d).value();
    };
    const int sofa = drop("SF-001", {760, 690});
    save("sofa-with-shadow");
    auto trigger = [&](const char* item) { main.findChild<QAction*>(item)->trigger(); };
    auto& dialog = *main.findChild<TFormShadow*>("TFormShadow");
    dialog.FormShow();
    dialog.show();
    app.processEvents();
    QTest::qWait(50);
    dialog.grab().save(prefix + "-shadow-dialog.png");
    dialog.hide();
    trigger("NFrameNext");
    save("sofa-turned");
    trigger("NCopyModel");
    if (!doc.MoveFocusedModel(-330, 40, true).done()) return;
    doc.FinishModelMove();
    save("sofa-copied-and-moved");
    const int painting = drop("GH-001", {640, 330});
    save("painting");
    doc.Select(painting);
    trigger("NMirrorX");
    save("painting-mirrored");
    doc.Select(sofa);
    trigger("NDeleteModel");
    save("sofa-deleted");
    main.findChild<QAction*>("ActionUndo")->trigger();
    save("undo-delete");
}

}  // namespace
}  // namespace v2d

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: app_shadow_shots WORKSPACE SCHEME.v2d OUT_PREFIX\n");
        return 2;
    }
    v2d::test::PrintedPrompts prompts(v2d::PromptAnswer::Yes);
    const QString workspace = QString::fromLocal8Bit(argv[1]);
    auto windows = v2d::ShowShotWindows(workspace, &prompts);
    if (!windows) return 1;
    v2d::Run(app, *windows->main, workspace, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    return 0;
}
