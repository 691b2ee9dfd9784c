// A driver for looking at the product browser under a real display: opens
// it on a workspace in a mode, waits for the thumbnails, selects the n-th
// product and saves the window as PNG. MODE "login" shows the login window
// in its first-administrator state instead.
//
//   app_browser_shots WORKSPACE OUT.png [MODE|login] [ITEM]
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

#include <cstdio>
#include <string>

#include "app/uformselparts.h"
#include "app/uformsuperlogin.h"
#include "shots/printed_prompts.h"
#include "library/data_module.h"

namespace v2d {
namespace {

using test::PrintedPrompts;

int LoginShot(Db& dm, UserPrompts& prompts, const char* out) {
    if (!dm.ExecSql("delete from TableSuperUser")) return 1;
    TFormSuperLogin login(dm, prompts);
    login.ClearFields();
    login.findChild<QLineEdit*>("EditUserName")->setText("SuperUser");
    login.BitBtnOkClick();
    login.show();
    QApplication::processEvents();
    return login.grab().save(QString::fromLocal8Bit(out)) ? 0 : 1;
}

int Run(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: app_browser_shots WORKSPACE OUT.png [MODE] [ITEM]\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    auto dm = TDataModule_Manager::DataModuleCreate(std::filesystem::path(argv[1]));
    if (!dm) {
        std::fprintf(stderr, "%s\n", dm.error().c_str());
        return 1;
    }
    PrintedPrompts prompts;
    if (argc > 3 && std::string(argv[3]) == "login") return LoginShot(**dm, prompts, argv[2]);
    TFormSelParts browser(**dm, prompts, folder);
    const int mode = argc > 3 ? std::atoi(argv[3]) : TFormSelParts::ChooseMaterial;
    const int item = argc > 4 ? std::atoi(argv[4]) : 0;
    bool saved = false;
    QTimer::singleShot(300, &browser, [&] {
        if (!browser.WaitForThumbnails(20000)) std::fprintf(stderr, "thumbnails still coming\n");
        if (auto* list = browser.findChild<QListWidget*>("ListView1"); list != nullptr && item < list->count())
            list->setCurrentRow(item);
        QApplication::processEvents();
        saved = browser.grab().save(QString::fromLocal8Bit(argv[2]));
        browser.reject();
    });
    browser.ShowInMode(mode);
    return saved ? 0 : 1;
}

}  // namespace
}  // namespace v2d

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return v2d::Run(argc, argv);
}
