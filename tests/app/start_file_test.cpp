// A file named on the command line: the scheme opens instead of the start
// scheme; a model joins the start scheme; a missing file leaves the start
// scheme after its message. The first start makes the named workspace.
#include <gtest/gtest.h>

#include <QTest>

#include "app/application.h"
#include "app_test_support.h"
#include "scene/scheme_file.h"

namespace v2d {
namespace {

namespace fs = std::filesystem;

// The start as main() makes it, quiet and without the template browser's wait.
std::unique_ptr<ApplicationWindows> StartWith(const fs::path& ws, const QString& file, test::ScriptedPrompts& prompts) {
    auto options = StartupFromArguments({"vexel2d", "--workspace", QString::fromStdString(ws.string()), file});
    EXPECT_TRUE(options) << (options ? "" : options.error());
    options->prompts = &prompts;
    options->splashMs = 0;
    options->templateBrowserDelayMs = 10;
    auto windows = CreateApplicationWindows(*options);
    windows->main->show();
    windows->main->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(windows->main.get()));
    test::WaitUntilIdle(*windows->main);
    return windows;
}

TEST(StartFile, ASchemeOpensInsteadOfTheStartSchemeAndAModelJoinsIt) {
    test::App();
    test::TempFolder folder;
    const fs::path ws = folder.path() / "new workspace";
    test::ScriptedPrompts prompts;
    const QString gone = QString::fromStdString((folder.path() / "gone.c2d").string());
    auto windows = StartWith(ws, gone, prompts);
    const int start = ReadSchemeFile(ws / "start/start.v2d")->scene.count();  // made on this first start
    EXPECT_EQ(windows->main->document().scene().count(), start);
    EXPECT_EQ(prompts.texts.value(0).toStdString(), "文件不存在：" + gone.toStdString());
    windows.reset();
    prompts.texts.clear();
    const fs::path model = *fs::directory_iterator(ws / "product/c2d");
    windows = StartWith(ws, QString::fromStdString(model.string()), prompts);
    EXPECT_GT(windows->main->document().scene().count(), start);
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus != nullptr ? focus : windows->main.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(windows->main->document().scene().count(), start);
    windows.reset();
    const fs::path scheme = folder.path() / "客厅.v2d";
    fs::copy_file(fs::directory_iterator(ws / "temple/local")->path(), scheme);
    const int rooms = ReadSchemeFile(scheme)->scene.count();
    fs::current_path(folder.path());  // a name relative to where the program starts
    bool browserDue = false;
    windows = StartWith(ws, QStringLiteral("客厅.v2d"), prompts);
    QObject::connect(windows->main.get(), &TFormMain::templateBrowserDue, [&] { browserDue = true; });
    EXPECT_EQ(windows->main->document().scene().count(), rooms);
    EXPECT_TRUE(windows->main->windowTitle().startsWith(QStringLiteral("客厅")));
    EXPECT_EQ(windows->main->recentSchemes().value(0), QString::fromStdString(scheme.string()));
    QTest::qWait(100);
    EXPECT_FALSE(browserDue);  // the template browser does not cover it
    EXPECT_TRUE(prompts.texts.isEmpty()) << prompts.texts.join("|").toStdString();
    fs::current_path(fs::temp_directory_path());
}

}  // namespace
}  // namespace v2d
