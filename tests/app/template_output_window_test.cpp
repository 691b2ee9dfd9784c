// The template browser, "保存为模板", the rendered picture and the report,
// wired into the main window over the demo workspace (13 templates).
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>

#include "app/application.h"
#include "library/super_login.h"
#include "tests/app/app_test_support.h"
#include "widgets/widget_helpers.h"
#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "library/user_queries.h"
#include "templates/uformsample.h"
#include "templates/uformtemple.h"

namespace v2d {
namespace {
namespace fs = std::filesystem;
using test::Child;

class TemplateWindows : public test::WindowTest {
protected:
    void SetUp() override {
        OpenWindow(true);
        dm_ = std::move(*TDataModule_Manager::DataModuleCreate(ws_.path()));
        main_->setDataModule(dm_.get());
        auto rights = [this](QWidget*, const QString& refusal) {
            ++rightsAsked_;
            if (!granted_) prompts_.Show(nullptr, refusal);
            return granted_;
        };
        sample_ = new TFormSample(*dm_, prompts_, ws_.qpath(), rights, main_.get());
        temple_ = new TFormTemple(*dm_, main_.get());
        main_->setTemplateWindows(sample_, temple_, rights);
    }
    template <class T>
    T& In(const char* name) { return Child<T>(*sample_, name); }
    QString Label() { return In<QLabel>("LabelPage").text(); }
    QToolButton& Caption(int i) { return *sample_->findChild<QToolButton*>(QStringLiteral("SpeedButton%1").arg(i)); }
    int64_t Templates() { return *CountTemplates(*dm_, {}); }
    void ShowBrowser() {
        ClickButton("SpeedButtonLocalTemp");
        ASSERT_TRUE(sample_->isVisible());
    }
    // Answers the next modal window with `act` once it is up.
    template <class F>
    void WhenModal(F act) {
        QTimer::singleShot(0, [act] {
            if (QWidget* modal = QApplication::activeModalWidget()) act(*modal);
        });
    }

    std::unique_ptr<TDataModule_Manager> dm_;
    TFormSample* sample_ = nullptr;
    TFormTemple* temple_ = nullptr;
    bool granted_ = false;
    int rightsAsked_ = 0;
};

TEST_F(TemplateWindows, PagesFiltersJumpAndOpening) {
    ShowBrowser();
    EXPECT_EQ(Label(), QStringLiteral("当前页:1/3"));
    EXPECT_EQ(Caption(1).text(), QStringLiteral("美式乡村卧室"));
    In<QToolButton>("SButtonPageDown").click();
    In<QToolButton>("SButtonPageDown").click();
    In<QToolButton>("SButtonPageDown").click();  // beyond the last page: nothing changes
    EXPECT_EQ(Label(), QStringLiteral("当前页:3/3"));
    EXPECT_TRUE(Caption(1).isEnabled());
    for (int i = 2; i <= 6; ++i) EXPECT_TRUE(!Caption(i).isEnabled() && Caption(i).text().isEmpty()) << i;
    sample_->FinishPictures();
    EXPECT_FALSE(In<QLabel>("Image1").pixmap().isNull());
    EXPECT_TRUE(In<QLabel>("Image2").pixmap().isNull());

    // Kitchens: one; American country kitchens: none, and the label stays.
    auto& rooms = In<QComboBox>("ComboBoxSales");
    auto& styles = In<QComboBox>("ComboBoxStyle");
    EXPECT_EQ(rooms.itemText(0), QStringLiteral("--所有类型--"));
    EXPECT_EQ(styles.itemText(0), QStringLiteral("--所有风格--"));
    rooms.setCurrentIndex(rooms.findText(QStringLiteral("厨房")));
    EXPECT_EQ(Label(), QStringLiteral("当前页:1/1"));
    styles.setCurrentIndex(styles.findText(QStringLiteral("美式乡村")));
    EXPECT_EQ(Label(), QStringLiteral("当前页:1/1"));
    EXPECT_FALSE(Caption(1).isEnabled());
    rooms.setCurrentIndex(0);
    styles.setCurrentIndex(0);
    EXPECT_EQ(Label(), QStringLiteral("当前页:1/3"));

    auto& jump = In<QLineEdit>("EditJump");
    QTest::keyClicks(&jump, "x2y");
    EXPECT_EQ(jump.text(), "2");
    QTest::keyClick(&jump, Qt::Key_Return);
    EXPECT_EQ(Label(), QStringLiteral("当前页:2/3"));
    jump.clear();
    QTest::keyClick(&jump, Qt::Key_Return);
    EXPECT_EQ(prompts_.texts.last(), QStringLiteral("请输入要跳转到的页面"));

    // Page 2 starts at SampleID 7. Its scheme gone: it stays listed and does not open.
    fs::remove(ws_.path() / "temple/local/7.v2d");
    Caption(1).click();
    EXPECT_EQ(prompts_.texts.last(), QStringLiteral("该样板房不存在，可能数据文件丢失！"));
    EXPECT_TRUE(sample_->isVisible());
    // A template without any picture: its tile opens the template web site.
    ASSERT_TRUE(dm_->connection().execute("update TableSample set SamplePic=NULL where SampleID=6").ok());
    fs::remove(ws_.path() / "temple/TempData/6.jpg");
    sample_->ShowPage(2);
    QTest::mouseClick(&In<QLabel>("Image2"), Qt::LeftButton);
    ASSERT_EQ(prompts_.openedUrls.size(), 1);
    EXPECT_EQ(prompts_.openedUrls[0].toString(), kTemplateWebSite);

    QSignalSpy replaced(&Doc(), &SceneDocument::sceneReplaced);
    Doc().Select(0);
    EXPECT_TRUE(Doc().SetLighten(30).ok());  // the scene changed: Cancel keeps it
    prompts_.answers = {PromptAnswer::Cancel};
    Caption(2).click();
    EXPECT_EQ(replaced.count(), 0);
    ShowBrowser();
    prompts_.answers = {PromptAnswer::No};
    Caption(2).click();  // its caption opens it
    EXPECT_FALSE(sample_->isVisible());
    EXPECT_EQ(sample_->chosenTemplateID(), 6);
    EXPECT_TRUE(sample_->chosenSchemeFile().endsWith("/temple/local/6.v2d"));
    EXPECT_EQ(replaced.count(), 1);
}

TEST_F(TemplateWindows, DeletingNeedsRightsAndTakesTheTilesOwnRow) {
    // The newest template's files are named 5, another template's SampleID.
    ASSERT_TRUE(dm_->connection().execute("update TableSample set SampleCode=5 where SampleID=13").ok());
    ShowBrowser();
    auto deleteFirstTile = [&] {
        QTest::mousePress(&In<QLabel>("Image1"), Qt::RightButton);
        In<QMenu>("PopupMenu1").hide();
        QTest::mouseRelease(&In<QLabel>("Image1"), Qt::RightButton);  // else later tests' clicks find it held
        sample_->findChild<QAction*>(QStringLiteral("DeleteTemple"))->trigger();
    };
    deleteFirstTile();
    EXPECT_EQ(rightsAsked_, 1);
    EXPECT_EQ(prompts_.texts.last(), QStringLiteral("您没有维护权限，不能删除模板。"));
    granted_ = true;
    prompts_.answers = {PromptAnswer::No, PromptAnswer::Yes};
    deleteFirstTile();
    EXPECT_EQ(Templates(), 13);
    deleteFirstTile();
    EXPECT_EQ(prompts_.texts.last(), QStringLiteral("删除该模板文件后不能恢复，是否删除该模板文件?"));
    EXPECT_FALSE(ReadTemplate(*dm_, 13)->has_value());
    EXPECT_TRUE(ReadTemplate(*dm_, 5)->has_value());
    EXPECT_FALSE(fs::exists(ws_.path() / "temple/local/5.v2d"));
    EXPECT_TRUE(fs::exists(ws_.path() / "temple/local/13.v2d"));
    EXPECT_EQ(Label(), QStringLiteral("当前页:1/2"));
    EXPECT_EQ(sample_->tileTemplate(0), 12);
}

TEST_F(TemplateWindows, SavingATemplateNeedsRightsAndANameAndComesFirst) {
    QAction& store = *main_->findChild<QAction*>(QStringLiteral("N4"));
    store.trigger();  // refused
    granted_ = true;
    WhenModal([](QWidget& w) { Child<QPushButton>(w, "BitBtnClose").click(); });
    store.trigger();  // the name cancelled
    EXPECT_EQ(rightsAsked_, 2);
    EXPECT_EQ(Templates(), 13);
    EXPECT_FALSE(fs::exists(ws_.path() / "temple/local/14.v2d"));

    WhenModal([](QWidget& w) {
        Child<QLineEdit>(w, "EditTempleName").setText(QStringLiteral("王先生的客厅"));
        auto& style = Child<QComboBox>(w, "ComboBoxStyle");
        style.setCurrentIndex(style.findText(QStringLiteral("田园")));
        Child<QPushButton>(w, "BitBtnOk").click();
    });
    store.trigger();
    const std::optional<TemplateRow> row = *ReadTemplate(*dm_, 14);
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(row->SampleName, "王先生的客厅");
    EXPECT_EQ(row->StyleID, 4);
    EXPECT_EQ(DecodeJpeg(ReadWholeFile(ws_.path() / "temple/TempData/14.jpg").value_or(Bytes{})).size(), QSize(200, 150));
    ShowBrowser();
    EXPECT_EQ(Caption(1).text(), QStringLiteral("王先生的客厅"));
}

TEST_F(TemplateWindows, PictureAskedBeforeOverwritingAndTheReportOpened) {
    const QString chosen = ws_.qpath() + QStringLiteral("/效果");
    const fs::path file = ws_.path() / "效果.jpg";
    prompts_.saveNames = {chosen};
    Key(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(DecodeJpeg(ReadWholeFile(file).value_or(Bytes{})).size(), Doc().displayed().size());
    EXPECT_EQ(Find<QLabel>("LabelStatus").text(), QStringLiteral("效果图已保存到 ") + ws_.qpath() + "/效果.jpg");
    ASSERT_TRUE(WriteFileAtomically(file, Bytes{7}));
    prompts_.saveNames = {chosen, ""};
    prompts_.answers = {PromptAnswer::No};
    const int dialogs = prompts_.saveDialogs;
    EXPECT_EQ(main_->SpeedButtonSavePicClick(), SaveOutcome::Cancelled);
    EXPECT_EQ(prompts_.saveDialogs, dialogs + 2);
    EXPECT_EQ(prompts_.texts.last(), QStringLiteral("文件已存在，是否覆盖原文件？"));
    EXPECT_EQ(ReadWholeFile(file).value_or(Bytes{}), Bytes{7});
    prompts_.saveNames = {chosen};
    prompts_.answers = {PromptAnswer::Yes};
    EXPECT_EQ(main_->SpeedButtonSavePicClick(), SaveOutcome::Saved);
    EXPECT_GT(ReadWholeFile(file).value_or(Bytes{}).size(), 1u);

    ClickButton("SpeedButtonTotal");
    const QString report = ws_.qpath() + "/report/report.htm";
    ASSERT_EQ(prompts_.openedUrls.size(), 1);
    EXPECT_EQ(prompts_.openedUrls[0], QUrl::fromLocalFile(report));
    EXPECT_TRUE(fs::exists(ws_.path() / "report/效果图.jpg"));
    EXPECT_EQ(Find<QLabel>("LabelStatus").text(), QStringLiteral("报表已保存到 ") + report);
    // No browser to take it: the user is told where the report is.
    prompts_.browserFails = true;
    ClickButton("SpeedButtonTotal");
    EXPECT_EQ(prompts_.texts.last(), QStringLiteral("无法启动浏览器打开报表。报表已保存到：\n") + report);
}

// "店铺设置" typed and saved, then "发送给客户": the page with the shop's name and the publishing address
// under share/, opened in the browser; the rendering beside it is the scene shown.
TEST_F(TemplateWindows, ShopSettingsTypedAndTheCustomerPageSent) {
    QTimer::singleShot(0, main_.get(), [this] {
        auto& dialog = *QApplication::activeModalWidget();
        auto type = [&](const char* name, const QString& text) {  // as an input method commits it
            auto& box = test::Child<QLineEdit>(dialog, name);
            QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
            QInputMethodEvent typed;
            typed.setCommitString(text);
            QApplication::sendEvent(&box, &typed);
        };
        type("EditShopName", QStringLiteral("华美家居 A&B")), type("EditSharedPages", "ftp://shop/share");
        QTest::mouseClick(&test::Child<QPushButton>(dialog, "ButtonShopOk"), Qt::LeftButton);  // refused, stays open
        type("EditSharedPages", "http://192.168.1.5:8080/share");
        QTest::mouseClick(&test::Child<QPushButton>(dialog, "ButtonShopOk"), Qt::LeftButton);
    });
    Find<QAction>("ActionShopSettings").trigger();
    ASSERT_EQ(prompts_.texts.size(), 1);  // the ftp address
    ClickButton("SpeedButtonShare");
    ASSERT_EQ(prompts_.openedUrls.size(), 1) << prompts_.texts.join("|").toStdString();
    const fs::path page = ToPath(prompts_.openedUrls[0].toLocalFile());
    EXPECT_EQ(page.parent_path().parent_path(), ws_.path() / "share");
    const Bytes bytes = ReadWholeFile(page).value_or(Bytes{});
    const std::string html(bytes.begin(), bytes.end());
    const std::string address = "http://192.168.1.5:8080/share/" + page.parent_path().filename().string() + "/index.html";
    EXPECT_NE(html.find("华美家居 A&amp;B"), std::string::npos);
    EXPECT_NE(html.find(address), std::string::npos) << address;
    EXPECT_EQ(DecodeJpeg(ReadWholeFile(page.parent_path() / "rendering.jpg").value_or(Bytes{})).size(), Doc().displayed().size());
    EXPECT_TRUE(Find<QLabel>("LabelStatus").toolTip().endsWith(FromPath(page.parent_path())));
}

// The program's own wiring: without rights, storing shows the login, and a
// cancelled login stores nothing.
TEST(TemplateRights, TheProgramAsksForTheLoginBeforeStoring) {
    test::App();
    ProgramUser() = CurrentUser{};
    test::TempFolder ws;
    ASSERT_EQ(test::RunCli("make-workspace '" + ws.path().string() + "'"), 0);
    test::CopyImageLibrary(ws.path());
    const fs::path previous = fs::current_path();
    test::ScriptedPrompts prompts;
    StartupOptions options;
    options.programFolder = ws.qpath();
    options.prompts = &prompts;
    options.splashMs = 0;
    options.templateBrowserDelayMs = 1000000;
    auto windows = CreateApplicationWindows(options);
    windows->main->show();
    test::WaitUntilIdle(*windows->main);
    QString modalName;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modalName = modal->objectName();
            Child<QPushButton>(*modal, "BitBtnClose").click();
        }
    });
    windows->main->findChild<QAction*>(QStringLiteral("N4"))->trigger();
    EXPECT_EQ(modalName, "TFormSuperLogin");
    EXPECT_EQ(prompts.texts.last(), QStringLiteral("您没有维护权限，不能保存模板。"));
    EXPECT_FALSE(fs::exists(ws.path() / "temple/local/14.v2d"));
    windows.reset();
    fs::current_path(previous);
}

}  // namespace
}  // namespace v2d
