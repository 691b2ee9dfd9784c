// A driver for looking at the template browser, the template name window
// and the product report under a real display. Lays products into named
// regions, writes the report as "产品报表" does, and saves PNGs.
//
//   app_template_shots WORKSPACE OUT_PREFIX REGION=PARTSNUMBER...
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cstdio>

#include "app/application.h"
#include "shots/shot_support.h"
#include "library/product_pictures.h"
#include "library/product_queries.h"
#include "library/product_descriptor.h"
#include "library/pub_functions.h"
#include "output/product_report.h"
#include "templates/uformsample.h"
#include "templates/uformtemple.h"

namespace v2d {
namespace {

// The product laid into the region as "开始铺贴" lays it.
bool Lay(SceneDocument& doc, Db& dm, const std::filesystem::path& folder, const std::string& region,
         const std::string& number) {
    int index = 0;
    while (index < doc.scene().count() && doc.scene().at(index)->name != region) ++index;
    auto found = FindProductByNumber(dm, number);
    if (!found || !found->has_value()) return false;
    auto row = ReadProductDetails(dm, (*found)->PartsID);  // with its dealer
    auto picture = LoadMaterialPicture(folder, number);
    if (index == doc.scene().count() || !row || !row->has_value() || !picture || !picture->has_value()) return false;
    const ProductRow& p = **row;
    ProductPanelState panel;
    panel.picture = (*picture)->picture;
    panel.product = Product::Parse(ProductDescriptor::Product(p.PartsName, p.PartsNumber, p.SalesName, p.PartsSpecs).ToString());
    const ProductSize size = ParseProductSpecs(p.PartsSpecs);
    panel.widthMm = size.width;
    panel.heightMm = size.height;
    doc.SetProduct(CurrentProduct{panel.picture, panel.product});
    doc.Select(index);
    doc.SetPanelControls(panel);
    return !doc.TileSelection().refused();
}

int Run(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: app_template_shots WORKSPACE OUT_PREFIX REGION=PARTSNUMBER...\n");
        return 2;
    }
    auto windows = ShowShotWindows(QString::fromLocal8Bit(argv[1]), nullptr, QSize(1400, 900));
    if (!windows || windows->sample == nullptr) return 1;
    TFormMain& main = *windows->main;
    const QString prefix = QString::fromLocal8Bit(argv[2]);

    TFormSample& sample = *windows->sample;
    main.SpeedButtonLocalTempClick();
    if (!QTest::qWaitForWindowExposed(&sample)) return 1;
    sample.FinishPictures();
    QTest::qWait(200);
    bool saved = sample.grab().save(prefix + "-browser.png");
    sample.SButtonPageDownClick();
    sample.SButtonPageDownClick();
    sample.FinishPictures();
    QTest::qWait(100);
    saved = sample.grab().save(prefix + "-browser-page3.png") && saved;
    sample.reject();

    QTimer::singleShot(300, [&] {
        saved = windows->temple->grab().save(prefix + "-name.png") && saved;
        windows->temple->reject();
    });
    windows->temple->exec();

    const std::filesystem::path folder(argv[1]);
    for (int a = 3; a < argc; ++a) {
        const std::string job = argv[a];
        const size_t eq = job.find('=');
        if (eq == std::string::npos ||
            !Lay(main.document(), *windows->dataModule, folder, job.substr(0, eq), job.substr(eq + 1))) {
            std::fprintf(stderr, "cannot lay %s\n", job.c_str());
            return 1;
        }
    }
    main.document().Select(-1);
    Result<ReportFiles> report = WriteProductReport(main.document().scene(), main.document().displayed(),
                                                    {folder, {}, ReadShopDetails(folder), ""});
    if (!report) return 1;
    std::printf("%s\n", report->report.c_str());
    return saved ? 0 : 1;
}

}  // namespace
}  // namespace v2d

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return v2d::Run(argc, argv);
}
