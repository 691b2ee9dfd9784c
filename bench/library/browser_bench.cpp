// The product browser on a generated catalogue: the category tree of 10,000
// products in 500 sub-categories, and the first screenful of thumbnails of a
// 300-product sub-category coming back from the worker.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>

#include "base/process_setup.h"
#include "demo/bench_catalogue.h"
#include "library/data_module.h"
#include "library/product_queries.h"
#include "library/product_thumbnails.h"

namespace v2d {
namespace {

namespace fs = std::filesystem;

constexpr int kScreenful = 30;

fs::path BenchRoot() {
    static const fs::path root = fs::temp_directory_path() / ("vexel-browser-bench-" + std::to_string(::getpid()));
    return root;
}

TDataModule_Manager& Catalogue() {
    static std::unique_ptr<TDataModule_Manager> dm = [] {
        if (!demo::WriteBenchCatalogue(BenchRoot(), {10000, 500})) std::abort();
        auto made = TDataModule_Manager::DataModuleCreate(BenchRoot());
        if (!made) std::abort();
        return std::move(*made);
    }();
    return *dm;
}

void BM_CategoryTree10000Products500SubCategories(benchmark::State& state) {
    TDataModule_Manager& dm = Catalogue();
    for (auto _ : state) {
        auto tree = BuildCategoryTree(dm, CategoryFilter::All);
        if (!tree || tree->size() != 20) state.SkipWithError("wrong tree");
        benchmark::DoNotOptimize(tree);
    }
}
BENCHMARK(BM_CategoryTree10000Products500SubCategories)->Unit(benchmark::kMillisecond);

// From reading the list to `wanted` cells made, as the window fills it:
// the rows, the jobs, the worker started; then the rest is stopped.
void ThumbnailsReady(benchmark::State& state, int wanted) {
    TDataModule_Manager& dm = Catalogue();
    ProductThumbnailLoader loader({BenchRoot(), {}});
    std::mutex lock;
    std::condition_variable ready;
    int made = 0;
    QObject::connect(&loader, &ProductThumbnailLoader::thumbnailReady, &loader,
                     [&](int, int, const QImage&, const QString&) {
                         const std::lock_guard guard(lock);
                         ++made;
                         ready.notify_one();
                     }, Qt::DirectConnection);
    for (auto _ : state) {
        auto rows = ReadProductList(dm, demo::kBenchPicturedSubCategory);
        if (!rows || rows->size() != size_t(demo::kBenchPicturedProducts)) {
            state.SkipWithError("wrong list");
            break;
        }
        std::vector<ThumbnailJob> jobs;
        for (const ProductRow& r : *rows) jobs.push_back({r.PartsName, r.PartsNumber, ProductKind::Material});
        {
            const std::lock_guard guard(lock);
            made = 0;
        }
        loader.Start(std::move(jobs));
        std::unique_lock wait(lock);
        ready.wait(wait, [&] { return made >= wanted; });
        wait.unlock();
        state.PauseTiming();
        loader.Stop();
        state.ResumeTiming();
    }
}

void BM_FirstScreenfulOfThumbnails(benchmark::State& state) { ThumbnailsReady(state, kScreenful); }
BENCHMARK(BM_FirstScreenfulOfThumbnails)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_AllThumbnailsOf300(benchmark::State& state) { ThumbnailsReady(state, demo::kBenchPicturedProducts); }
BENCHMARK(BM_AllThumbnailsOf300)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace v2d

int main(int argc, char** argv) {
    v2d::SetUpProcess();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    std::filesystem::remove_all(v2d::BenchRoot(), ec);
    return 0;
}
