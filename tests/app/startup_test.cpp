// Start-up against a generated workspace, and the missing-library path.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QTimer>

#include "app/application.h"
#include "widgets/page_browser.h"
#include "app_test_support.h"
#include "library/data_module.h"
#include "library/sql_query.h"
#include "scene/scheme_file.h"

namespace v2d {
namespace {

namespace fs = std::filesystem;
using test::App;
using test::Child;
using test::ScriptedPrompts;
using test::TempFolder;
using test::WaitUntilIdle;

const char* const kExport = "VexellDll.dll函数加载失败";
const QStringList kMissingLibraryMessages = {"VexellDll.dll加载失败", kExport, kExport, "GetBumpMap函数加载失败",
                                             kExport, kExport, kExport, kExport, kExport, "GaussBlurCV2函数加载失败"};

StartupOptions QuietStartup(const TempFolder& folder, ScriptedPrompts& prompts) {
    StartupOptions options;
    options.programFolder = folder.qpath();
    options.prompts = &prompts;
    options.splashMs = 0;
    options.templateBrowserDelayMs = 10;
    return options;
}

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        std::error_code ec;
        previousDir_ = fs::current_path(ec);
        if (ec) previousDir_ = fs::temp_directory_path();
        ASSERT_EQ(test::RunCli("make-workspace '" + ws_.path().string() + "'"), 0);
        fs::remove_all(ws_.path() / "temp");
        test::CopyImageLibrary(ws_.path());
        ASSERT_EQ(test::RunCli("make-update-db '" + (ws_.path() / "updatedb" / "a.cdb").string() + "'"), 0);
        ASSERT_EQ(test::RunCli("make-update-db '" + (ws_.path() / "updatedb" / "b.cdb").string() + "'"), 0);
        // Started from elsewhere, as from a shortcut.
        fs::current_path(other_.path());
    }
    void TearDown() override {
        std::error_code ec;
        fs::current_path(previousDir_, ec);
    }

    TempFolder ws_;
    TempFolder other_;
    fs::path previousDir_;
};

int TemplateRows(TDataModule_Manager& dm) {
    SqlQuery count(dm.connection(), "select count(*) as n from TableSample");
    if (!count.Open() || count.Eof()) return -1;
    return static_cast<int>(count.FieldByName("n").AsInteger());
}

TEST_F(Startup, OpensTheWorkspaceInTheProgramFolderAndDoesTheFirstShowingsWork) {
    ASSERT_FALSE(fs::exists(ws_.path() / "temp"));
    ScriptedPrompts prompts;
    auto windows = CreateApplicationWindows(QuietStartup(ws_, prompts));
    TFormMain& main = *windows->main;
    EXPECT_TRUE(prompts.texts.isEmpty()) << prompts.texts.join("|").toStdString();
    EXPECT_FALSE(main.terminateRequested());
    EXPECT_EQ(fs::canonical(fs::current_path()), fs::canonical(ws_.path()));
    EXPECT_TRUE(fs::is_directory(ws_.path() / "temp"));
    EXPECT_EQ(windows->creationOrder, (QStringList{"TFormMain", "TFormWebTemp", "TFormProductIE", "TDataModule_Manager", "TFormSelParts", "TFormHxImage", "TFormSample", "TFormTemple", "TFormColor",
                                                "TFormLoadType", "TFormAbout"}));
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Vexel2D V2012专业版"));
    ASSERT_NE(windows->dataModule, nullptr);
    // Creation does no database work.
    EXPECT_TRUE(fs::exists(ws_.path() / "updatedb" / "a.cdb"));
    EXPECT_EQ(Child<QListWidget>(main, "ListBoxPoly").count(), 0);
    const int templatesBefore = TemplateRows(*windows->dataModule);

    bool timerFired = false;
    QObject::connect(&main, &TFormMain::templateBrowserDue, [&] { timerFired = true; });
    main.show();
    QCoreApplication::processEvents();
    WaitUntilIdle(main);

    // The start scheme, item for item in the list.
    auto start = ReadSchemeFile(ws_.path() / "start" / "start.v2d");
    ASSERT_TRUE(start.ok());
    ASSERT_GT(start->scene.count(), 0);
    auto& list = Child<QListWidget>(main, "ListBoxPoly");
    ASSERT_EQ(list.count(), start->scene.count());
    EXPECT_EQ(list.item(1)->text().toStdString(), start->scene.ListText(1));
    EXPECT_EQ(main.document().scene().background.size(), start->scene.background.size());

    // Both update databases merged and gone.
    EXPECT_FALSE(fs::exists(ws_.path() / "updatedb" / "a.cdb"));
    EXPECT_FALSE(fs::exists(ws_.path() / "updatedb" / "b.cdb"));
    EXPECT_GT(TemplateRows(*windows->dataModule), templatesBefore);

    // The newest material in the product panel.
    const QString name = Child<QLabel>(main, "LabelName").text();
    EXPECT_TRUE(name.startsWith(QStringLiteral("名称："))) << name.toStdString();
    EXPECT_GT(name.size(), 3);
    EXPECT_TRUE(Child<QLabel>(main, "LabelFact").text().startsWith(QStringLiteral("品牌：")));
    const std::string& descriptor = main.document().product().descriptor();
    EXPECT_EQ(descriptor.rfind("PartsName=", 0), 0u);
    EXPECT_FALSE(main.document().product().picture.isNull());
    EXPECT_TRUE(Child<HintText>(main, "LabelHelp").isHidden());
    // Its size goes into the size edits (the demo's newest material is not 600 x 600).
    const QString size = Child<QLineEdit>(main, "EditPartsWidth").text() + "*" + Child<QLineEdit>(main, "EditPartsHeight").text();
    EXPECT_NE(descriptor.find("&PartsSpecs=" + size.toStdString()), std::string::npos) << descriptor;

    // The banner could not reach its page and shows the local one, once.
    auto& banner = Child<TCppWebBrowser>(main, "CppWebBrowserAd");
    // Pages load in the background.
    for (int i = 0; i < 500 && !banner.currentUrl().endsWith("say/ssno.htm"); ++i) QTest::qWait(20);
    EXPECT_EQ(banner.Tag, 0);
    EXPECT_TRUE(banner.currentUrl().endsWith("say/ssno.htm"));
    EXPECT_TRUE(banner.currentUrl().startsWith("file:///"));

    for (int i = 0; i < 100 && !timerFired; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        usleep(5000);
    }
    EXPECT_TRUE(timerFired);
    EXPECT_TRUE(prompts.texts.isEmpty()) << prompts.texts.join("|").toStdString();
}

TEST_F(Startup, BannerWithoutLocalPageStaysOnItsError) {
    fs::remove(ws_.path() / "say" / "ssno.htm");
    ScriptedPrompts prompts;
    auto windows = CreateApplicationWindows(QuietStartup(ws_, prompts));
    windows->main->show();
    QCoreApplication::processEvents();
    auto& banner = Child<TCppWebBrowser>(*windows->main, "CppWebBrowserAd");
    for (int i = 0; i < 500 && banner.Tag != -1; ++i) QTest::qWait(20);
    EXPECT_EQ(banner.Tag, -1);
    EXPECT_EQ(banner.currentUrl(), QString::fromUtf8(kAdvertisementUrl));
}

TEST_F(Startup, TheWindowFillsTheScreenFirstThenComesBackAsLeftAndMaintenanceOpensTheBrowser) {
    ScriptedPrompts prompts;
    StartupOptions options = QuietStartup(ws_, prompts);
    options.templateBrowserDelayMs = 100000;
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect left = room.adjusted(40, 30, -40, -30);
    {
        auto windows = CreateApplicationWindows(options);
        TFormMain& main = *windows->main;
        main.RestorePlacement();
        main.show();
        EXPECT_EQ(main.size(), room.size());
        WaitUntilIdle(main);
        bool maintenance = false;
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            maintenance = modal && modal->inherits("v2d::TFormSelParts") && Child<QWidget>(*modal, "ButtonUpdate").isVisible();
            if (modal) modal->close();
        });
        auto& menu = Child<QMenu>(main, "PopupMenu2");
        menu.popup(room.center());
        QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(&Child<QAction>(main, "ActionProductMaintenance")).center());
        EXPECT_TRUE(maintenance);
        main.showNormal();
        main.setGeometry(left);
        EXPECT_TRUE(main.close());
    }
    auto again = CreateApplicationWindows(options);
    again->main->RestorePlacement();
    EXPECT_EQ(again->main->geometry(), left);
}

TEST(StartupWithoutLibrary, ShowsTheLoadMessageThenOnePerExportAndEnds) {
    App();
    TempFolder ws;
    ScriptedPrompts prompts;
    StartupOptions options = QuietStartup(ws, prompts);
    auto windows = CreateApplicationWindows(options);
    EXPECT_TRUE(windows->main->terminateRequested());
    // No database in this folder: its message follows the library's.
    ASSERT_GE(prompts.texts.size(), kMissingLibraryMessages.size());
    EXPECT_EQ(prompts.texts.mid(0, kMissingLibraryMessages.size()), kMissingLibraryMessages);
    // The remaining creation steps still ran.
    EXPECT_TRUE(fs::is_directory(ws.path() / "temp"));
    windows.reset();
    fs::current_path(fs::temp_directory_path());

    ScriptedPrompts again;
    options.prompts = &again;
    EXPECT_EQ(RunVexel2D(App(), options), 1);  // ends without a message loop
    EXPECT_EQ(again.texts.mid(0, kMissingLibraryMessages.size()), kMissingLibraryMessages);
    fs::current_path(fs::temp_directory_path());
}

}  // namespace
}  // namespace v2d
