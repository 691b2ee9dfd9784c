// A driver for looking at the main window under a real display: starts the
// program on a workspace, lays products into named regions through the
// product panel and "开始铺贴", and saves the window and the scene as PNG.
//
//   app_window_shots WORKSPACE OUT_PREFIX REGION=PARTSNUMBER...
//
// Writes OUT_PREFIX-window.png (the whole window) and OUT_PREFIX-scene.png
// (the displayed scene at full size).
#include <QApplication>
#include <QTest>

#include <cstdio>

#include "app/application.h"
#include "shots/shot_support.h"
#include "library/data_module.h"
#include "library/product_pictures.h"
#include "library/product_queries.h"
#include "library/product_descriptor.h"
#include "library/pub_functions.h"

namespace v2d {
namespace {

bool LoadIntoPanel(TFormMain& main, TDataModule_Manager& dm, const QString& folder, const std::string& number) {
    auto row = FindProductByNumber(dm, number);
    if (!row || !row->has_value()) {
        std::fprintf(stderr, "no product %s\n", number.c_str());
        return false;
    }
    auto picture = LoadMaterialPicture(std::filesystem::path(folder.toStdString()), number);
    if (!picture || !picture->has_value()) {
        std::fprintf(stderr, "no picture for %s\n", number.c_str());
        return false;
    }
    const ProductRow& product = **row;
    const ProductSize size = ParseProductSpecs(product.PartsSpecs);
    CurrentProduct current = main.document().product();
    current.picture = (*picture)->picture;
    current.product = Product::Parse(
        ProductDescriptor::Product(product.PartsName, product.PartsNumber, product.SalesName, product.PartsSpecs).ToString());
    main.document().SetProduct(std::move(current));
    auto text = [&](const char* name, const QString& value) {
        if (auto* control = main.findChild<QWidget*>(name)) control->setProperty("text", value);
    };
    text("LabelName", QStringLiteral("名称：") + QString::fromStdString(product.PartsName));
    text("LabelNumber", QStringLiteral("编号：") + QString::fromStdString(product.PartsNumber));
    text("EditPartsWidth", QString::number(size.width));
    text("EditPartsHeight", QString::number(size.height));
    std::printf("%s %s %dx%d mm, map %dx%d px\n", product.PartsNumber.c_str(), product.PartsName.c_str(), size.width,
                size.height, (*picture)->picture.width(), (*picture)->picture.height());
    return true;
}

int Run(QApplication& app, int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: app_window_shots WORKSPACE OUT_PREFIX REGION=PARTSNUMBER...\n");
        return 2;
    }
    const QString workspace = QString::fromLocal8Bit(argv[1]);
    auto windows = ShowShotWindows(workspace, nullptr);
    if (!windows || windows->dataModule == nullptr) return 1;
    TFormMain& main = *windows->main;

    for (int a = 3; a < argc; ++a) {
        const std::string job = argv[a];
        const size_t eq = job.find('=');
        if (eq == std::string::npos) return 2;
        const Scene& scene = main.document().scene();
        int region = 0;
        while (region < scene.count() && scene.at(region)->name != job.substr(0, eq)) ++region;
        if (region == scene.count()) {
            std::fprintf(stderr, "no region %s\n", job.substr(0, eq).c_str());
            return 1;
        }
        if (!LoadIntoPanel(main, *windows->dataModule, workspace, job.substr(eq + 1))) return 1;
        main.document().Select(region);
        QTest::mouseClick(main.findChild<QWidget*>("BitBtnApply"), Qt::LeftButton);
        while (main.busy()) QTest::qWait(5);  // the laying runs on the pool
        app.processEvents();
    }
    main.document().Select(-1);
    QTest::qWait(200);
    const QString prefix = QString::fromLocal8Bit(argv[2]);
    const bool saved = main.grab().save(prefix + "-window.png") && main.document().displayed().save(prefix + "-scene.png");
    return saved ? 0 : 1;
}

}  // namespace
}  // namespace v2d

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return v2d::Run(app, argc, argv);
}
