// A driver for looking at the online windows under a real display: starts
// the catalogue service in-process over a generated catalogue, points the
// workspace's settings at it, starts the program's windows and walks
// through browsing the catalogue, choosing a material and a model online
// and choosing an online template, saving the screen at each step.
//
//   web_online_shots WORKSPACE OUTDIR
#include <QApplication>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <thread>

#include "app/application.h"
#include "widgets/page_browser.h"
#include "app/uformloadtype.h"
#include "widgets/user_prompts.h"
#include "demo/web_catalogue.h"
#include "online/service_settings.h"
#include "shots/shot_support.h"
#include "web/uformproductie.h"
#include "web/uformwebtemp.h"
#include "webservice/web_service.h"

namespace v2d {
namespace {

QString g_out;

void Shot(const char* name, int settleMs = 600) {
    if (settleMs > 0) QTest::qWait(settleMs);
    const QString file = g_out + "/" + name + ".png";
    QGuiApplication::primaryScreen()->grabWindow(0).save(file);
    std::fprintf(stderr, "shot %s\n", file.toUtf8().constData());
}

bool WaitFor(const std::function<bool()>& condition, int ms = 15000) {
    for (int waited = 0; waited < ms && !condition(); waited += 50) QTest::qWait(50);
    return condition();
}

// Clicks the n-th card of the shown catalogue page, as the user would.
void ClickCard(TCppWebBrowser& browser, int n) {
    browser.page()->runJavaScript(QStringLiteral("document.querySelectorAll('.card')[%1].click()").arg(n));
}

void ClickNav(TCppWebBrowser& browser, int n) {
    browser.page()->runJavaScript(QStringLiteral("document.querySelectorAll('nav a')[%1].click()").arg(n));
}

bool Loaded(TCppWebBrowser& browser, const QString& part) {
    return browser.currentUrl().contains(part) && !browser.page()->isLoading();
}

int Run(int argc, char** argv) {
    if (argc < 3) return 2;
    const std::filesystem::path workspace = argv[1];
    g_out = QString::fromLocal8Bit(argv[2]);
    const std::filesystem::path root = workspace / "webroot";
    if (!demo::WriteWebCatalogue(root)) return 1;
    web::WebService service;
    if (!service.Bind(root, "127.0.0.1", 0)) return 1;
    if (!WriteSetting(workspace, "WebHost", service.address()) || !WriteSetting(workspace, "MaterialSource", "online"))
        return 1;
    std::thread serving([&] { service.Listen(); });

    test::PrintedPrompts prompts(PromptAnswer::No);
    auto windows = ShowShotWindows(QString::fromLocal8Bit(argv[1]), &prompts, QSize(1280, 800));
    if (!windows) return 1;
    QTest::qWait(1500);
    Shot("1-main-with-banner");

    TFormProductIE& products = *windows->productIE;
    TCppWebBrowser& productPage = *products.browser();
    // A material: browse, change category, pick one.
    QTimer::singleShot(0, [&] {
        WaitFor([&] { return Loaded(productPage, "webpartst.asp"); });
        Shot("2-material-catalogue");
        ClickNav(productPage, 3);
        WaitFor([&] { return Loaded(productPage, "/parts/4.htm"); });
        Shot("3-material-category");
        ClickCard(productPage, 1);
    });
    windows->main->findChild<QToolButton*>("BitBtnParts")->click();
    Shot("4-material-chosen-online");

    // A model: "网上" in the source chooser, then a sofa.
    QTimer::singleShot(0, [&] {
        windows->loadType->findChild<QRadioButton*>("RadioButtonWeb")->setChecked(true);
        windows->loadType->accept();
    });
    QTimer::singleShot(300, [&] {
        WaitFor([&] { return Loaded(productPage, "webmodel.asp"); });
        Shot("5-model-catalogue");
        ClickCard(productPage, 0);
    });
    windows->main->findChild<QToolButton*>("BitBtnModel")->click();
    Shot("6-model-chosen-online");

    // A template: the catalogue, a template page, OK; it downloads and opens.
    TFormWebTemp& templates = *windows->webTemplates;
    QTimer::singleShot(0, [&] {
        WaitFor([&] { return Loaded(*templates.browser(), "Goods.aspx"); });
        Shot("7-template-catalogue");
        ClickCard(*templates.browser(), 2);
        auto* next = templates.findChild<QToolButton*>("SpeedButtonNext");
        WaitFor([&] { return next->isEnabled(); });
        Shot("8-template-chosen");
        next->click();
    });
    windows->main->SpeedButtonWebTempClick();
    Shot("9-template-downloading", 0);  // before the worker's report is handled
    WaitFor([&] { return !windows->main->downloading(); });
    Shot("10-template-opened");

    windows.reset();
    service.Stop();
    serving.join();
    return 0;
}

}  // namespace
}  // namespace v2d

int main(int argc, char** argv) {
    v2d::PrepareWebEngineEnvironment();
    QApplication app(argc, argv);
    return v2d::Run(argc, argv);
}
