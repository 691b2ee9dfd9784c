// The product database under load: merging a large update database, the
// category tree and product list of the product browser on 10,000 products,
// and the browser's first screenful of thumbnails.
#include <benchmark/benchmark.h>

#include "bench/bench_main.h"

#include <unistd.h>

#include <filesystem>
#include <condition_variable>
#include <mutex>

#include "base/process_setup.h"
#include "library/data_module.h"
#include "library/product_queries.h"
#include "library/product_database_file.h"
#include "library/product_thumbnails.h"
#include "base/picture_codec.h"
#include "demo/bench_catalogue.h"
#include "demo/demo_room.h"
#include "scene/scheme_file.h"
#include "base/atomic_file.h"

namespace v2d {
namespace {

namespace fs = std::filesystem;

constexpr int kTemplates = 1000;
constexpr QSize kSchemePhoto(640, 480);
constexpr int kStyles = 500;
constexpr int kProducts = 10000;
constexpr int kSubCategories = 40;

fs::path BenchRoot() {
    static const fs::path root = fs::temp_directory_path() / ("vexel-db-bench-" + std::to_string(::getpid()));
    return root;
}

// What every template of the update carries: a demo room's scheme, its
// photo as the scheme holds it, and its thumbnail.
struct TemplateFiles {
    Blob scheme, photo, thumbnail;
};
const TemplateFiles& Template() {
    static const TemplateFiles files = [] {
        const Scene room = demo::BuildDemoRoomScene(kSchemePhoto.width(), kSchemePhoto.height());
        TemplateFiles f{*SerializeScheme(room), *EncodeJpeg(room.background, 100), *demo::BareRoomThumbnail(room)};
        return f;
    }();
    return files;
}

// The update database of the merge benchmark, made once.
const fs::path& UpdateDatabase() {
    static const fs::path file = [] {
        const fs::path f = BenchRoot() / "update.cdb";
        Status made = CreateProductDatabaseFile(f, [](const SqlDatabase& db) -> Status {
            for (int i = 1; i <= kStyles; ++i)
                (void)db.execute("insert into TableStyle values(?,?)", {SqlInt(i), SqlText("风格" + std::to_string(i))});
            for (int i = 0; i < kTemplates; ++i) {
                (void)db.execute(
                    "insert into TableSample(SampleName,SampleType,StyleID,RoomTypeID,SamplePic,SampleData) "
                    "values(?,2,1,1,?,?)",
                    {SqlText("模板" + std::to_string(i)), SqlValue(Template().thumbnail), SqlValue(Template().scheme)});
            }
            return Status::Ok();
        });
        if (!made) std::abort();
        return f;
    }();
    return file;
}

std::unique_ptr<TDataModule_Manager> FreshWorkspace(const fs::path& folder) {
    fs::remove_all(folder);
    fs::create_directories(folder / "temple" / "local");
    auto dm = TDataModule_Manager::DataModuleCreate(folder, OpenMode::CreateIfMissing);
    if (!dm) std::abort();
    (void)(*dm)->ExecSql("insert into TableStyle values(250,'本地')");
    return std::move(*dm);
}

void BM_MergeUpdateDatabase(benchmark::State& state) {
    const fs::path& update = UpdateDatabase();
    const fs::path folder = BenchRoot() / "merge";
    for (auto _ : state) {
        state.PauseTiming();
        auto dm = FreshWorkspace(folder);
        state.ResumeTiming();
        Result<MergeReport> r = dm->MergeUpdateDatabase(update, SchemeReads);
        if (!r || r->templatesAdded != kTemplates || r->stylesAdded != kStyles - 250) {
            state.SkipWithError("merge failed");
            break;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kTemplates * int64_t(Template().scheme.size()));
    fs::remove_all(folder);
}
// Five repetitions, compared by their medians: the best of five file writes
// is a lucky flush of the disk more than a figure of the program.
BENCHMARK(BM_MergeUpdateDatabase)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->UseRealTime();

// The floor under the merge: each template's photo and thumbnail decoded
// (what reading a template before installing it cannot do without) and the
// same scheme files written whole, each synced, with no database at all.
void BM_WriteSchemeFilesOnly(benchmark::State& state) {
    const fs::path folder = BenchRoot() / "files";
    const TemplateFiles& files = Template();
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(folder);
        fs::create_directories(folder);
        state.ResumeTiming();
        for (int i = 0; i < kTemplates; ++i) {
            if (DecodeJpeg(files.photo).isNull() || DecodeJpeg(files.thumbnail).isNull()) std::abort();
            if (!WriteFileAtomically(folder / (std::to_string(i) + ".v2d"), files.scheme)) std::abort();
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kTemplates * int64_t(Template().scheme.size()));
    fs::remove_all(folder);
}
BENCHMARK(BM_WriteSchemeFilesOnly)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->UseRealTime();

// A catalogue of 10,000 products in 40 sub-categories (some nested).
TDataModule_Manager& Catalogue() {
    static std::unique_ptr<TDataModule_Manager> dm = [] {
        const fs::path folder = BenchRoot() / "catalogue";
        fs::remove_all(folder);
        auto made = TDataModule_Manager::DataModuleCreate(folder, OpenMode::CreateIfMissing);
        if (!made) std::abort();
        const SqlDatabase& db = (*made)->connection();
        SqlTransaction t(db);
        for (int m = 1; m <= 8; ++m)
            (void)db.execute("insert into TablePartsMasterType values(?,?,?)",
                             {SqlInt(m), SqlText("大类" + std::to_string(m)), SqlText(std::to_string(m))});
        for (int s = 1; s <= kSubCategories; ++s) {
            const int64_t parent = s > 20 && s % 2 ? s - 20 : -1;
            (void)db.execute("insert into TablePartsSubType values(?,?,'',?,?,?)",
                             {SqlInt(s), SqlText("次类" + std::to_string(s)), SqlInt(s % 5 ? 2 : 1),
                              SqlInt(parent), SqlInt(1 + s % 8)});
        }
        (void)db.execute("insert into TableSales values(1,'品牌')");
        for (int p = 1; p <= kProducts; ++p) {
            ProductRow r;
            r.PartsID = p;
            r.PartsName = "产品" + std::to_string(p);
            r.PartsNumber = "N-" + std::to_string(p);
            r.PartsSpecs = "600*600";
            r.SalesID = 1;
            r.PSTypeID = 1 + p % kSubCategories;
            (void)InsertProduct(**made, r);
        }
        if (!t.commit()) std::abort();
        return std::move(*made);
    }();
    return *dm;
}

void BM_CategoryTree(benchmark::State& state) {
    TDataModule_Manager& dm = Catalogue();
    for (auto _ : state) {
        auto tree = BuildCategoryTree(dm, CategoryFilter::Materials);
        benchmark::DoNotOptimize(tree);
    }
}
BENCHMARK(BM_CategoryTree)->Unit(benchmark::kMicrosecond);

// One sub-category's list (250 products), newest first.
void BM_ProductList(benchmark::State& state) {
    TDataModule_Manager& dm = Catalogue();
    for (auto _ : state) {
        auto list = ReadProductList(dm, 7);
        if (!list || list->size() != kProducts / kSubCategories) state.SkipWithError("wrong list");
        benchmark::DoNotOptimize(list);
    }
}
BENCHMARK(BM_ProductList)->Unit(benchmark::kMicrosecond);

// Worst case: all 10,000 products with dealer and category joined.
void BM_AllProducts(benchmark::State& state) {
    TDataModule_Manager& dm = Catalogue();
    for (auto _ : state) {
        auto list = ReadAllProducts(dm, std::nullopt);
        if (!list || list->size() != kProducts) state.SkipWithError("wrong list");
        benchmark::DoNotOptimize(list);
    }
}
BENCHMARK(BM_AllProducts)->Unit(benchmark::kMillisecond);

void BM_NewestMaterial(benchmark::State& state) {
    TDataModule_Manager& dm = Catalogue();
    for (auto _ : state) benchmark::DoNotOptimize(ReadNewestMaterialProduct(dm));
}
BENCHMARK(BM_NewestMaterial)->Unit(benchmark::kMicrosecond);

const fs::path& BrowserFolder() {
    static const fs::path folder = BenchRoot() / "browser";
    return folder;
}

constexpr int kScreenful = 30;

// The product browser on a generated catalogue: 10,000 products in 500
// sub-categories, one of them with 300 pictured products.
TDataModule_Manager& BrowserCatalogue() {
    static std::unique_ptr<TDataModule_Manager> dm = [] {
        if (!demo::WriteBenchCatalogue(BrowserFolder(), {10000, 500})) std::abort();
        auto made = TDataModule_Manager::DataModuleCreate(BrowserFolder());
        if (!made) std::abort();
        return std::move(*made);
    }();
    return *dm;
}

void BM_CategoryTree10000Products500SubCategories(benchmark::State& state) {
    TDataModule_Manager& dm = BrowserCatalogue();
    for (auto _ : state) {
        auto tree = BuildCategoryTree(dm, CategoryFilter::All);
        if (!tree || tree->size() != 20) state.SkipWithError("wrong tree");
        benchmark::DoNotOptimize(tree);
    }
}
BENCHMARK(BM_CategoryTree10000Products500SubCategories)->Unit(benchmark::kMillisecond);

// 3,001 nested sub-categories stored child before parent: one long chain.
void BM_CategoryTree3001ReversedSubCategories(benchmark::State& state) {
    static std::unique_ptr<TDataModule_Manager> dm = [] {
        auto made = FreshWorkspace(BenchRoot() / "reversed");
        if (!made->connection().executeScript(
                "insert into TablePartsMasterType values(1,'大类','1');"
                "insert into TablePartsSubType values(1,'根','',2,-1,1);"
                "with recursive n(i) as (select 0 union all select i+1 from n where i<3000) "
                "insert into TablePartsSubType select 10+i,'次类','',2,case when i<3000 then 11+i else 1 end,1 from n"))
            std::abort();
        return made;
    }();
    for (auto _ : state) {
        auto tree = BuildCategoryTree(*dm, CategoryFilter::All);
        if (!tree || tree->front().children.front().children.size() != 1) state.SkipWithError("wrong tree");
        benchmark::DoNotOptimize(tree);
    }
}
BENCHMARK(BM_CategoryTree3001ReversedSubCategories)->Unit(benchmark::kMillisecond);

// From reading the list to `wanted` cells made, as the window fills it:
// the rows, the jobs, the worker started; then the rest is stopped.
void ThumbnailsReady(benchmark::State& state, int wanted) {
    TDataModule_Manager& dm = BrowserCatalogue();
    ProductThumbnailLoader loader({BrowserFolder(), {}});
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
    // Merging 1,000 templates is held to half again the time of writing their files.
    v2d::bench::RunBenchmarks(argc, argv, {{"MergeUpdateDatabase", "WriteSchemeFilesOnly", 1.5}});
    std::error_code ec;
    std::filesystem::remove_all(v2d::BenchRoot(), ec);
    return 0;
}
