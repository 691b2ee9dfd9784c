// What a salesperson waits for at the end: a page of the template browser
// among 2,000 templates, the 4000 x 3000 rendering saved, and the report of a
// 50-region scheme, each against the bare libjpeg encode of the picture.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "bench/bench_main.h"
#include "library/data_module.h"
#include "output/product_report.h"
#include "output/rendered_picture.h"
#include "templates/template_pages.h"

namespace v2d {
namespace {
namespace fs = std::filesystem;

constexpr int kTemplates = 2000;
constexpr int kRegions = 50;

fs::path Root() {
    static const fs::path root = fs::temp_directory_path() / ("vexel-output-bench-" + std::to_string(::getpid()));
    return root;
}

// A photograph-like 4000 x 3000 picture: gradients with fine texture, so the
// encoder works as hard as on a rendering.
const QImage& Rendering() {
    static const QImage picture = [] {
        QImage image(4000, 3000, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int grain = ((x * 7919 + y * 104729) >> 3) & 15;
                row[x] = qRgb((x / 16 + grain) & 255, (y / 12 + grain) & 255, ((x + y) / 28) & 255);
            }
        }
        return image;
    }();
    return picture;
}

void BM_BareJpegEncode(benchmark::State& state) {
    const QImage& picture = Rendering();
    // libjpeg into memory, nothing written: the floor the save is measured against.
    for (auto _ : state) benchmark::DoNotOptimize(EncodeJpeg(picture, kRenderedPictureQuality));
}
BENCHMARK(BM_BareJpegEncode)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveRenderedPicture(benchmark::State& state) {
    const QImage& picture = Rendering();
    fs::create_directories(Root());
    for (auto _ : state)
        if (!SaveRenderedPicture(picture, Root() / "rendering.jpg")) state.SkipWithError("save failed");
}
BENCHMARK(BM_SaveRenderedPicture)->Unit(benchmark::kMillisecond)->UseRealTime();

// A workspace with the report template and 50 regions, each with its own
// product thumbnail.
struct ReportWorkspace {
    Scene scene;
    ReportWorkspace() {
        fs::create_directories(Root() / "report");
        fs::create_directories(Root() / "product/xjpg");
        const std::string page = "<html><head><meta charset='utf-8'></head><body>$UserName$ $ReportDate$\n"
                                 "$PrjImage3D$\n<table>$ReportData$</table>\n$SaleAdd$ $SaleTel$\n</body></html>\n";
        WriteFileAtomically(Root() / "report/index.htm",
                            std::span(reinterpret_cast<const uint8_t*>(page.data()), page.size()));
        QImage thumb(100, 100, QImage::Format_RGB32);
        thumb.fill(Qt::darkCyan);
        const Bytes jpeg = *EncodeJpeg(thumb, 90);
        for (int i = 0; i < kRegions; ++i) {
            const std::string number = "P-" + std::to_string(i);
            WriteFileAtomically(Root() / "product/xjpg" / (number + ".jpg"), jpeg);
            auto record = std::make_unique<V2dPolygon>();
            record->name = "区域" + std::to_string(i);
            record->partsInfo = "PartsName=产品 " + number + "&PartsNumber=" + number +
                                "&SalesName=东鹏 & 马可&PartsSpecs=600*600";
            scene.Append(std::move(record));
        }
    }
};

void BM_Report50Regions(benchmark::State& state) {
    static ReportWorkspace workspace;
    const QImage& picture = Rendering();
    for (auto _ : state)
        if (!WriteProductReport(workspace.scene, picture, {Root(), {}, {"地址", "电话"}, ""}))
            state.SkipWithError("report failed");
}
BENCHMARK(BM_Report50Regions)->Unit(benchmark::kMillisecond)->UseRealTime();

// 2,000 templates, each with its thumbnail in the row, as the demo stores them.
std::unique_ptr<TDataModule_Manager>& TemplateDatabase() {
    static std::unique_ptr<TDataModule_Manager> dm = [] {
        const fs::path folder = Root() / "templates";
        fs::create_directories(folder / "DB");
        auto made = TDataModule_Manager::DataModuleCreate(folder, OpenMode::CreateIfMissing);
        if (!made) return std::unique_ptr<TDataModule_Manager>();
        QImage thumb(200, 150, QImage::Format_RGB32);
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 200; ++x) thumb.setPixel(x, y, qRgb(x, y, (x * y) & 255));
        const Bytes jpeg = *EncodeJpeg(thumb, 90);
        SqlTransaction transaction((*made)->connection());
        for (int i = 0; i < kTemplates; ++i)
            (void)InsertTemplate(**made, "样板房 " + std::to_string(i), 1 + i % 6, 1 + i % 5, jpeg);
        (void)transaction.commit();
        return std::move(*made);
    }();
    return dm;
}

void BM_ShowPageOf2000Templates(benchmark::State& state) {
    auto& dm = TemplateDatabase();
    if (!dm) return state.SkipWithError("no database");
    const int page = static_cast<int>(state.range(0));
    for (auto _ : state) {
        Result<TemplatePage> read = ReadTemplatePage(*dm, {}, page);
        if (!read || read->rows.size() != kTemplatePageSize) return state.SkipWithError("page not read");
        for (const TemplateRow& row : read->rows) benchmark::DoNotOptimize(ReadTemplatePicture({row.SamplePic, {}}));
    }
}
BENCHMARK(BM_ShowPageOf2000Templates)->Arg(1)->Arg(167)->Arg(333)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace v2d

int main(int argc, char** argv) {
    const int code = v2d::bench::RunBenchmarks(
        argc, argv, {{"SaveRenderedPicture", "BareJpegEncode"}, {"Report50Regions", "BareJpegEncode"}});
    v2d::TemplateDatabase().reset();
    std::error_code error;
    std::filesystem::remove_all(v2d::Root(), error);
    return code;
}
