// A driver for looking at the material tools under a real display:
//   editor.png    the material editor with one colour of a pattern
//                 recoloured and another retextured;
//   relief.png    the main window with a raised relief on the floor, and
//   effect.png    the effect window that set it;
//   browser.png   the product browser in maintenance on a sub-category.
//
//   app_catalogue_shots WORKSPACE OUTDIR PATTERN TEXTURE CATEGORY
// The workspace needs VexellDll.so beside it (the main window loads it).
#include <QApplication>
#include <QTimer>
#include <QRadioButton>
#include <QSlider>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <cstdio>

#include "app/uformmain.h"
#include "app/uformselparts.h"
#include "shots/printed_prompts.h"
#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "library/data_module.h"
#include "tools/uformmatedit.h"

namespace v2d {
namespace {

using test::PrintedPrompts;

bool Save(QWidget& window, const QString& file) {
    window.show();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    return window.grab().save(file);
}

// The control point that shows picture point p.
QPoint ControlPoint(QSize control, QSize picture, QPoint p) {
    const float s = std::max(float(picture.width()) / control.width(), float(picture.height()) / control.height());
    const int ox = int((control.width() - picture.width() / s) * 0.5f);
    const int oy = int((control.height() - picture.height() / s) * 0.5f);
    return {ox + int(p.x() / s + 0.5f), oy + int(p.y() / s + 0.5f)};
}

bool EditorShot(const QString& folder, const QString& out, const char* pattern, const char* texture) {
    TFormMatedit editor(folder);
    const QImage picture = DecodePicture(ReadWholeFile(pattern).value_or(Bytes{}));
    if (picture.isNull()) return false;
    editor.setDialogs({[&](QWidget*, const QString&, const QString&) { return QString::fromLocal8Bit(texture); },
                       [](QWidget*, const QColor&) { return std::optional<QColor>(QColor(200, 30, 40)); }, {}});
    editor.LoadPattern(picture, 40);
    editor.show();
    // The colour at the top-left stripe, then the ground between the stripes.
    editor.ImageMatMouseDown(ControlPoint(editor.editedPictureSize(), picture.size(), {5, 5}));
    editor.findChild<QRadioButton*>("RadioButtonBmp")->setChecked(true);
    editor.ImageMatMouseDown(ControlPoint(editor.editedPictureSize(), picture.size(), {picture.width() / 4, picture.height() / 4}));
    return Save(editor, out + "/editor.png");
}

bool ReliefShot(Db& dm, const QString& folder, const QString& out, PrintedPrompts& prompts) {
    MainWindowSetup setup;
    setup.programFolder = folder;
    setup.prompts = &prompts;
    setup.advertisementUrl = "http://127.0.0.1:9/ad";
    setup.templateBrowserDelayMs = 100000;
    TFormMain main(setup);
    if (main.terminateRequested()) return false;
    main.setDataModule(&dm);
    main.resize(1100, 760);
    main.show();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    main.document().Select(0);  // the floor
    QDialog* effect = main.findChild<QDialog*>("FormEffect");
    if (effect == nullptr) return false;
    effect->show();
    QApplication::processEvents();
    // The scene before and after a strong raised relief on the floor.
    effect->findChild<QRadioButton*>("RadioGroupBumpItem0")->click();
    main.document().displayed().save(out + "/floor-flat.png");
    effect->findChild<QSlider*>("TrackBarLight")->setValue(260);
    effect->findChild<QRadioButton*>("RadioGroupBumpItem1")->click();
    main.document().displayed().save(out + "/floor-raised.png");
    return Save(*effect, out + "/effect.png") && Save(main, out + "/relief.png");
}

bool BrowserShot(Db& dm, PrintedPrompts& prompts, const QString& folder, const QString& out, const QString& category) {
    TFormSelParts browser(dm, prompts, folder);
    bool saved = false;
    QTimer::singleShot(0, &browser, [&] {
        auto* tree = browser.findChild<QTreeWidget*>("TreeViewParts");
        for (QTreeWidgetItemIterator it(tree); *it != nullptr; ++it)
            if ((*it)->text(0) == category) tree->setCurrentItem(*it);
        browser.WaitForThumbnails(10000);
        for (int i = 0; i < 10; ++i) QApplication::processEvents();
        saved = browser.grab().save(out + "/browser.png");
        browser.reject();
    });
    browser.ShowInMode(TFormSelParts::Maintenance);
    return saved;
}

int Run(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: app_catalogue_shots WORKSPACE OUTDIR PATTERN TEXTURE CATEGORY\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    auto dm = TDataModule_Manager::DataModuleCreate(std::filesystem::path(argv[1]));
    if (!dm) return std::fprintf(stderr, "%s\n", dm.error().c_str()), 1;
    PrintedPrompts prompts;
    const bool ok = EditorShot(folder, out, argv[3], argv[4]) && ReliefShot(**dm, folder, out, prompts) &&
                    BrowserShot(**dm, prompts, folder, out, QString::fromLocal8Bit(argv[5]));
    return ok ? 0 : 1;
}

}  // namespace
}  // namespace v2d

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return v2d::Run(argc, argv);
}
