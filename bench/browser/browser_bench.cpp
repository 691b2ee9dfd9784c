// The product browser on 100,000 products in 500 sub-categories (the
// catalogue of `vexel2d-cli make-bench-db DIR --products 100000`): the first
// page of a search for a keystroke, in the library and in the window, and
// the window opening on a main category of about 5,000 products.
#include <benchmark/benchmark.h>

#include "bench/bench_main.h"

#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>

#include "app/uformselparts.h"
#include "demo/bench_catalogue.h"
#include "library/data_module.h"
#include "library/product_queries.h"
#include "widgets/user_prompts.h"

namespace v2d {
namespace {

namespace fs = std::filesystem;

constexpr int kProducts = 100000;
constexpr int kSubCategories = 500;

fs::path BenchRoot() {
    static const fs::path root = fs::temp_directory_path() / ("vexel-browser-bench-" + std::to_string(::getpid()));
    return root;
}

TDataModule_Manager& Catalogue() {
    static std::unique_ptr<TDataModule_Manager> dm = [] {
        if (!demo::WriteBenchCatalogue(BenchRoot(), {kProducts, kSubCategories})) std::abort();
        auto made = TDataModule_Manager::DataModuleCreate(BenchRoot());
        if (!made) std::abort();
        return std::move(*made);
    }();
    return *dm;
}

ProductFilter Text(std::string text) {
    ProductFilter filter;
    filter.text = std::move(text);
    return filter;
}

ProductScope Materials() {
    ProductScope scope;
    scope.kind = CategoryFilter::Materials;
    return scope;
}

// The first page of a search as the browser asks for it. "产品1" finds a page
// at once; "B-09999" (one product) and "没有" (none) read every product.
void BM_SearchFirstPage(benchmark::State& state, ProductFilter filter) {
    TDataModule_Manager& dm = Catalogue();
    for (auto _ : state) {
        Result<ProductPage> page = ReadProductPage(dm, Materials(), filter);
        if (!page) {
            state.SkipWithError(page.error().c_str());
            break;
        }
        benchmark::DoNotOptimize(page);
    }
}
ProductFilter Filtered() {
    ProductFilter filter = Text("金石");
    filter.size = ProductSize{800, 400};
    filter.minPrice = 300;
    return filter;
}
BENCHMARK_CAPTURE(BM_SearchFirstPage, many, Text("产品1"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchFirstPage, one, Text("B-09999"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchFirstPage, none, Text("没有"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchFirstPage, brand_size_price, Filtered())->Unit(benchmark::kMillisecond);

void BM_ProductSizes(benchmark::State& state) {
    TDataModule_Manager& dm = Catalogue();
    for (auto _ : state) benchmark::DoNotOptimize(ReadProductSizes(dm, CategoryFilter::Materials));
}
BENCHMARK(BM_ProductSizes)->Unit(benchmark::kMillisecond);

// Messages would stop the run: there must be none.
class NoPrompts final : public UserPrompts {
public:
    PromptAnswer Message(QWidget*, const QString& text, PromptButtons, PromptIcon) override {
        std::fprintf(stderr, "unexpected message: %s\n", text.toUtf8().constData());
        std::abort();
    }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString OpenFileName(QWidget*, const QString&, const QString&) override { return {}; }
};

// The window over the catalogue, shown (offscreen) to choose a material.
struct Browser {
    NoPrompts prompts;
    TFormSelParts window;
    QTreeWidget& tree;
    QListWidget& list;
    QLineEdit& search;

    Browser()
        : window(Catalogue(), prompts, QString::fromStdString(BenchRoot().string())),
          tree(*window.findChild<QTreeWidget*>("TreeViewParts")),
          list(*window.findChild<QListWidget*>("ListView1")),
          search(*window.findChild<QLineEdit*>("EditSearch")) {
        window.SetMode(TFormSelParts::ChooseMaterial);
        window.show();
        QApplication::processEvents();
    }
    QTreeWidgetItem* MainCategory(const char* name) const {
        return tree.findItems(QString::fromUtf8(name), Qt::MatchExactly).value(0);
    }
    // What the person sees: the window painted.
    void Painted() {
        QApplication::processEvents();
        window.repaint();
    }
};

Browser& TheBrowser() {
    static int argc = 1;
    static char name[] = "bench_browser";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    static Browser browser;
    return browser;
}

// A click on a main category of about 5,000 products (two taken in turn, so
// each click changes the list): the query, the first page of list items,
// the worker started on their thumbnails, the first product's details, the
// window painted.
void BM_WindowClickOnCategoryOf5000(benchmark::State& state) {
    Browser& b = TheBrowser();
    const char* names[] = {"大类3", "大类4"};
    int turn = 0;
    for (auto _ : state) {
        QTreeWidgetItem* node = b.MainCategory(names[turn++ % 2]);
        b.tree.scrollToItem(node);
        QTest::mouseClick(b.tree.viewport(), Qt::LeftButton, {}, b.tree.visualItemRect(node).center());
        b.Painted();
        if (b.list.count() != kProductPageSize) state.SkipWithError("no first page");
    }
}
BENCHMARK(BM_WindowClickOnCategoryOf5000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The window opening for materials after it served models: the tree of 500
// sub-categories built and expanded, the first leaf listed, the sizes read,
// then the category of 5,000 clicked, all painted.
void BM_WindowOpensOnCategoryOf5000(benchmark::State& state) {
    Browser& b = TheBrowser();
    for (auto _ : state) {
        state.PauseTiming();
        b.window.hide();
        b.window.SetMode(TFormSelParts::ChooseModel);
        QApplication::processEvents();
        state.ResumeTiming();
        b.window.SetMode(TFormSelParts::ChooseMaterial);
        b.window.show();
        QTreeWidgetItem* node = b.MainCategory("大类3");
        QTest::mouseClick(b.tree.viewport(), Qt::LeftButton, {}, b.tree.visualItemRect(node).center());
        b.Painted();
        if (b.list.count() != kProductPageSize) state.SkipWithError("no first page");
    }
}
BENCHMARK(BM_WindowOpensOnCategoryOf5000)->Unit(benchmark::kMillisecond)->UseRealTime();

// One keystroke once the typing pauses: the search, the first page of
// results listed, their thumbnails started, the first result's details, the
// window painted. The letters alternate so each changes the results.
void BM_WindowKeystrokeSearch(benchmark::State& state, const char* typed) {
    Browser& b = TheBrowser();
    const QString texts[] = {QString::fromUtf8(typed), QString::fromUtf8(typed).chopped(1)};
    int turn = 0;
    for (auto _ : state) {
        b.search.setText(texts[turn++ % 2]);
        b.window.EditSearchChange();  // the pause's timer
        b.Painted();
    }
}
BENCHMARK_CAPTURE(BM_WindowKeystrokeSearch, many, "产品12")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_WindowKeystrokeSearch, none, "没有了")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace v2d

int main(int argc, char** argv) {
    v2d::bench::RunBenchmarks(argc, argv, {},
                              {{"SearchFirstPage/many", 50},
                               {"SearchFirstPage/one", 50},
                               {"SearchFirstPage/none", 50},
                               {"SearchFirstPage/brand_size_price", 50},
                               {"WindowKeystrokeSearch/many", 50},
                               {"WindowKeystrokeSearch/none", 50},
                               {"WindowClickOnCategoryOf5000", 300},
                               {"WindowOpensOnCategoryOf5000", 300}});
    std::error_code ec;
    std::filesystem::remove_all(v2d::BenchRoot(), ec);
    return 0;
}
