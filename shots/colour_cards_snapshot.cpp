// Draws each page of the colour-card window into PNG files, for a person to
// look at: colour_cards_snapshot OUTDIR [PROGRAMFOLDER]. Without a program
// folder a scratch one is filled with the demo workspace's colours.
#include <QApplication>
#include <QTabWidget>
#include <QTest>

#include <cstdio>
#include <optional>

#include "demo/database.h"
#include "tests/library/temp_workspace.h"
#include "tools/Uformcolor.h"

int main(int argc, char** argv) {
    using namespace v2d;
    if (argc < 2) {
        std::fprintf(stderr, "usage: colour_cards_snapshot OUTDIR [PROGRAMFOLDER]\n");
        return 2;
    }
    QApplication app(argc, argv);
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    std::optional<test::TempWorkspace> scratch;
    std::filesystem::path folder;
    if (argc > 2) {
        folder = argv[2];
    } else {
        scratch.emplace();
        folder = scratch->path();
    }
    auto dm = TDataModule_Manager::DataModuleCreate(
        folder, scratch ? OpenMode::CreateIfMissing : OpenMode::ReadWrite);
    if (!dm) {
        std::fprintf(stderr, "%s\n", dm.error().c_str());
        return 1;
    }
    if (scratch) {
        SqlTransaction transaction((*dm)->connection());
        Status s = demo::WriteDemoColourCards((*dm)->connection());
        if (s) s = transaction.commit();
        if (!s) {
            std::fprintf(stderr, "%s\n", s.error().c_str());
            return 1;
        }
    }
    TFormColor form;
    if (Status s = form.FormCreate(**dm); !s) {
        std::fprintf(stderr, "%s\n", s.error().c_str());
        return 1;
    }
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) return 1;
    auto* pages = form.findChild<QTabWidget*>("PageControl1");
    // A pick on each page, so the bottom panel shows a chosen colour.
    const std::array<std::function<void()>, 3> picks = {
        [&] { form.ShapeColor1MouseDown(7); },
        [&] { form.Image1MouseDown({25 * 5 + 3, 11 * 3 + 3}); },
        [&] { form.Image2MouseDown({31 * 20 + 3, 31 * 11 + 3}); }};
    for (int page = 0; page < 3; ++page) {
        pages->setCurrentIndex(page);
        picks[size_t(page)]();
        QTest::qWait(100);
        const QString file = outDir + QString("/colour-%1.png").arg(page + 1);
        if (!form.grab().save(file)) {
            std::fprintf(stderr, "cannot write %s\n", file.toLocal8Bit().constData());
            return 1;
        }
        std::printf("%s\n", file.toLocal8Bit().constData());
    }
    return 0;
}
