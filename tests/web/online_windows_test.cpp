// The online windows in a real QtWebEngine page against a server of the
// test's own: the product page's descriptor with "&amp;" read as "&", a page
// without "PicUrl", getCxData on the template list pages, and a product
// picture already on disk not fetched again.
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

#include <atomic>
#include <chrono>
#include <thread>

#include "widgets/page_browser.h"
#include "app/product_panel_widget.h"
#include "base/picture_codec.h"
#include "demo/demo_room.h"
#include "document/scene_document.h"
#include "scene/scheme_file.h"
#include "imagelib/image_library.h"
#include "tests/app/app_test_support.h"
#include "tests/online/test_server.h"
#include "web/uformproductie.h"
#include "web/uformwebtemp.h"

namespace v2d {
namespace {

namespace fs = std::filesystem;
using test::App;

std::string Page(const std::string& head, const std::string& body) {
    return "<html><head><meta charset=\"utf-8\">" + head + "</head><body>" + body + "</body></html>";
}

std::string Redirect(const std::string& to) { return Page("<script>location.href='" + to + "';</script>", ""); }

class OnlineWindows : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        auto& s = server_.server;
        s.Get("/files/WS-1.jpg", [this](const httplib::Request&, httplib::Response& res) {
            ++pictureHits_;
            QImage tile(8, 8, QImage::Format_RGB32);
            tile.fill(Qt::red);
            const Bytes jpeg = *EncodeJpeg(tile, 90);
            res.set_content(std::string(jpeg.begin(), jpeg.end()), "image/jpeg");
        });
        auto page = [this](const std::string& path, std::string html) {
            server_.server.Get(path, [html](const httplib::Request&, httplib::Response& res) {
                res.set_content(html, "text/html; charset=utf-8");
            });
            server_.server.Post(path, [this, html](const httplib::Request& req, httplib::Response& res) {
                postType_ = req.get_header_value("Content-Type");
                res.set_content(html, "text/html; charset=utf-8");
            });
        };
        page("/cat1.htm", Redirect("/webbase/productt.asp/1.htm"));
        page("/cat2.htm", Redirect("/webbase/productt.asp/1.htm"));
        page("/cat3.htm", Redirect("/webbase/productt.asp/none.htm"));
        page("/webbase/productt.asp/1.htm", Page("", "PartsName=云白&amp;PartsNumber=WS-1&amp;PartsSpecs=800*400&amp;"
                                                     "FanSheXiShu=45&amp;PicUrl=" + server_.Url("/files/WS-1.jpg")));
        page("/webbase/productt.asp/gone", Page("", "PartsNumber=WS-9&amp;PicUrl=" + server_.Url("/files/WS-9.jpg")));
        page("/webbase/productt.asp/none.htm", Page("", "PartsName=云白&amp;PartsNumber=WS-1"));
        page("/vexel/Skim/GoodsList.aspx/a.htm", Page("<script>function getCxData(){return 'http://h/t/a.v2d';}</script>", ""));
        page("/vexel/Skim/GoodsList.aspx/empty.htm", Page("<script>function getCxData(){return '';}</script>", ""));
        server_.Start();
    }

    // Runs the dialog's own modal loop, with a deadline.
    static int Exec(QDialog& dialog) {
        QTimer::singleShot(20000, &dialog, [&dialog] { dialog.done(-1); });
        return dialog.exec();
    }
    static bool WaitFor(const std::function<bool()>& condition) {
        for (int i = 0; i < 500 && !condition(); ++i) QTest::qWait(20);
        return condition();
    }

    test::TestServer server_;
    test::ScratchFolder folder_{"vexel-online-windows"};
    std::atomic<int> pictureHits_{0};
    std::string postType_;
};

TEST_F(OnlineWindows, ProductPageGivesTheDescriptorOrResultThree) {
    TFormProductIE window(QStringLiteral("测试"), QString());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("选择测试家居产品"));
    window.setStartAddress(QString::fromStdString(server_.Url("/cat1.htm")));
    ASSERT_EQ(Exec(window), QDialog::Accepted);
    EXPECT_EQ(postType_, "application/x-www-form-urlencoded");
    EXPECT_EQ(window.picUrl().toStdString(), server_.Url("/files/WS-1.jpg"));
    EXPECT_TRUE(window.descriptor().startsWith(QStringLiteral("PartsName=云白&PartsNumber=WS-1&PartsSpecs=800*400&")))
        << window.descriptor().toStdString();

    window.setStartAddress(QString::fromStdString(server_.Url("/cat3.htm")));
    EXPECT_EQ(Exec(window), TFormProductIE::kNoProduct);
}

TEST_F(OnlineWindows, TemplateListPagesEnableOkOnlyWhenGetCxDataNamesATemplate) {
    TFormWebTemp window(QStringLiteral("测试"), QString::fromStdString(server_.Url("/vexel/Skim/GoodsList.aspx/a.htm")),
                        QString());
    QString help;
    QObject::connect(&window, &TFormWebTemp::helpTextReady, [&](const QString& text) { help = text; });
    auto& back = test::Child<QToolButton>(window, "SpeedButtonBack");
    auto& next = test::Child<QToolButton>(window, "SpeedButtonNext");
    window.show();
    ASSERT_TRUE(WaitFor([&] { return next.isEnabled(); }));
    EXPECT_TRUE(back.isEnabled());
    EXPECT_EQ(window.chosenAddress(), QStringLiteral("http://h/t/a.v2d"));
    next.click();
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(help.toStdString(), kTemplateHelpText);

    TFormWebTemp empty(QString(), QString::fromStdString(server_.Url("/vexel/Skim/GoodsList.aspx/empty.htm")),
                       QString());
    empty.show();
    ASSERT_TRUE(WaitFor([&] { return test::Child<QToolButton>(empty, "SpeedButtonBack").isEnabled(); }));
    QTest::qWait(500);  // time for the script's answer
    EXPECT_FALSE(test::Child<QToolButton>(empty, "SpeedButtonNext").isEnabled());
    EXPECT_TRUE(empty.chosenAddress().isEmpty());
}

TEST_F(OnlineWindows, MaterialAlreadyInXjpgIsNotFetchedAgain) {
    ImageLibrary library;
    SceneDocument document(library);
    test::ScriptedPrompts prompts;
    const QString programFolder = QString::fromStdU16String(folder_.path().u16string());
    ProductPanelWidget panel(document, prompts, programFolder);
    TFormProductIE window(QStringLiteral("测试"), QString());
    panel.setOnlineWindow(&window, true, QString::fromStdString(server_.Url("/cat1.htm")), QString());
    QTimer::singleShot(20000, &window, [&window] { window.done(-1); });
    panel.BitBtnPartsClick();
    ASSERT_TRUE(WaitFor([&] { return !panel.downloading(); }));
    EXPECT_EQ(pictureHits_, 1);
    ASSERT_TRUE(fs::exists(folder_ / "product/xjpg/WS-1.jpg"));
    EXPECT_EQ(test::Child<QLabel>(panel, "LabelName").text(), QStringLiteral("名称：云白"));
    EXPECT_EQ(test::Child<QLineEdit>(panel, "EditReflect").text(), QStringLiteral("45"));
    EXPECT_NE(document.product().descriptor().find("&PicUrl="), std::string::npos);
    EXPECT_EQ(document.product().picture.size(), QSize(8, 8));

    panel.setOnlineWindow(&window, true, QString::fromStdString(server_.Url("/cat2.htm")), QString());
    panel.BitBtnPartsClick();
    EXPECT_EQ(pictureHits_, 1);
    EXPECT_TRUE(prompts.texts.isEmpty()) << prompts.texts.join("|").toStdString();
    panel.setOnlineWindow(&window, true, QString::fromStdString(server_.Url("/webbase/productt.asp/gone")), QString());
    panel.BitBtnPartsClick();  // a picture the service cannot deliver
    ASSERT_TRUE(WaitFor([&] { return !panel.downloading(); }));
    EXPECT_EQ(prompts.texts, QStringList{QStringLiteral("产品图片下载失败，请咨询在线客服。")});
}

class OnlineTemplates : public test::WindowTest {};
using OnlineProducts = OnlineTemplates;

// The window takes clicks while a product picture is on its way: the cancel
// button beside the bar stops one download, the next arrives and is shown.
TEST_F(OnlineProducts, AProductPictureDownloadsWhileTheWindowTakesClicks) {
    OpenWindow(false);
    test::TestServer server;
    std::atomic<bool> release{false};
    std::atomic<int> hits{0};
    server.server.Get("/files/WS-2.jpg", [&](const httplib::Request&, httplib::Response& res) {
        ++hits;
        for (int i = 0; i < 1000 && !release; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        QImage tile(8, 8, QImage::Format_RGB32);
        tile.fill(Qt::blue);
        const Bytes jpeg = *EncodeJpeg(tile, 90);
        res.set_content(std::string(jpeg.begin(), jpeg.end()), "image/jpeg");
    });
    const std::string product = Page("", "PartsName=云白&amp;PartsNumber=WS-2&amp;PicUrl=" + server.Url("/files/WS-2.jpg"));
    for (const char* path : {"/webbase/productt.asp/2.htm", "/cat.htm"}) {
        const std::string html = path[1] == 'c' ? Redirect("/webbase/productt.asp/2.htm") : product;
        auto answer = [html](const httplib::Request&, httplib::Response& res) { res.set_content(html, "text/html"); };
        server.server.Get(path, answer);
        server.server.Post(path, answer);
    }
    server.Start();
    TFormProductIE products(QStringLiteral("测试"), QString());
    main_->setOnlineWindows(nullptr, &products, true, QString::fromStdString(server.Url("/cat.htm")), QString());
    auto& cancel = Find<QToolButton>("SpeedButtonCancel");
    auto& name = Find<QLabel>("LabelName");
    const fs::path picture = ws_.path() / "product" / "xjpg" / "WS-2.jpg";
    auto choose = [&] {
        QTimer::singleShot(20000, &products, [&products] { products.done(-1); });
        QTest::mouseClick(&Find<QToolButton>("SpeedButtonSelParts"), Qt::LeftButton);
        for (int i = 0; i < 500 && hits == 0; ++i) QTest::qWait(20);
    };
    choose();
    ASSERT_TRUE(cancel.isVisible());  // back while the server still holds the picture
    QTest::mouseClick(&cancel, Qt::LeftButton);
    for (int i = 0; i < 500 && cancel.isVisible(); ++i) QTest::qWait(20);
    EXPECT_FALSE(cancel.isVisible());
    EXPECT_FALSE(fs::exists(picture));
    EXPECT_NE(name.text(), QStringLiteral("名称：云白"));

    release = true;
    choose();
    for (int i = 0; i < 500 && name.text() != QStringLiteral("名称：云白"); ++i) QTest::qWait(20);
    EXPECT_EQ(name.text(), QStringLiteral("名称：云白"));
    EXPECT_TRUE(fs::exists(picture));
    EXPECT_FALSE(cancel.isVisible());
    EXPECT_TRUE(prompts_.texts.isEmpty()) << prompts_.texts.join("|").toStdString();
}

TEST_F(OnlineTemplates, APresentTemplateOpensAtOnceAMissingOneDownloadsAndThenOpens) {
    OpenWindow(false);
    const Scene room = demo::BuildDemoRoomScene(320, 240);
    const Bytes scheme = *SerializeScheme(room);
    test::TestServer server;
    std::atomic<int> hits{0};
    server.server.Get("/files/t.v2d", [&](const httplib::Request&, httplib::Response& res) {
        ++hits;
        res.set_content(std::string(scheme.begin(), scheme.end()), "application/octet-stream");
    });
    const std::string list = Page("<script>function getCxData(){return '" + server.Url("/files/t.v2d") + "';}</script>", "");
    server.server.Get("/vexel/Skim/GoodsList.aspx/t.htm", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(list, "text/html");
    });
    server.server.Post("/vexel/Skim/GoodsList.aspx/t.htm", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(list, "text/html");
    });
    server.Start();
    TFormWebTemp window(QString(), QString::fromStdString(server.Url("/vexel/Skim/GoodsList.aspx/t.htm")), QString());
    main_->setOnlineWindows(&window, nullptr, false, QString(), QString());
    auto choose = [&] {
        QTimer::singleShot(0, [&] {
            auto& next = test::Child<QToolButton>(window, "SpeedButtonNext");
            for (int i = 0; i < 500 && !next.isEnabled(); ++i) QTest::qWait(20);
            next.click();
        });
        main_->SpeedButtonWebTempClick();
    };
    const fs::path local = ws_.path() / "temple" / "web" / "t.v2d";
    fs::create_directories(local.parent_path());
    ASSERT_TRUE(WriteSchemeFile(room, local));
    choose();
    EXPECT_EQ(hits, 0);
    EXPECT_EQ(Doc().scene().count(), room.count());
    EXPECT_EQ(Find<HintText>("LabelHelp").text().toStdString(), kTemplateHelpText);

    fs::remove(local);
    choose();
    EXPECT_EQ(Find<HintText>("LabelHelp").text(), QStringLiteral("开始下载网上装修模板......"));
    for (int i = 0; i < 500 && main_->downloading(); ++i) QTest::qWait(20);
    EXPECT_EQ(hits, 1);
    EXPECT_TRUE(fs::exists(local));
    EXPECT_FALSE(main_->downloadFailed());
    EXPECT_EQ(Find<HintText>("LabelHelp").text().toStdString(), kTemplateHelpText);  // opened on arrival
    EXPECT_TRUE(prompts_.texts.isEmpty()) << prompts_.texts.join("|").toStdString();
}

}  // namespace
}  // namespace v2d
