// The material tools' figures: one recolour click of the material editor
// against OpenCV's inRange and a masked copy of the same picture; the relief
// of a floor canvas against the library's relief call alone; and a catalogue
// import against making the same pictures' thumbnails alone.
//
//   bench_material [--import-count=N] [benchmark flags]
// The import's 1-megapixel JPEGs are made once under /tmp (N of them,
// default 200).
#include <benchmark/benchmark.h>

#include "bench/bench_library.h"
#include "bench/bench_main.h"

#include <opencv2/core.hpp>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>

#include "base/atomic_file.h"
#include "base/parallel_for.h"
#include "base/picture_codec.h"
#include "imagelib/image_library.h"
#include "library/product_maintenance.h"
#include "render/material_edit.h"
#include "render/relief.h"

namespace v2d {
namespace {

namespace fs = std::filesystem;

int gImportCount = 200;

const ImageLibrary& Library() { return bench::LoadedLibrary(); }

// A pattern of a few colours with noise, as a scanned tile looks.
QImage Pattern(int w, int h, unsigned seed) {
    QImage image(w, h, QImage::Format_RGB32);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> noise(-12, 12);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const bool stripe = (x / 50 + y / 50) % 3 == 0;
            const int r = (stripe ? 60 : 200) + noise(random), g = (stripe ? 80 : 180) + noise(random), b = 150;
            row[x] = qRgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), b);
        }
    }
    return image;
}

void BM_RecolourClick(benchmark::State& state) {
    MaterialEditor editor;
    editor.Load(Pattern(2000, 2000, 1));
    for (auto _ : state) {
        editor.ClickColour({10, 10}, 0x0000FF00, 50, false);
        benchmark::DoNotOptimize(editor.result().constBits());
    }
}
BENCHMARK(BM_RecolourClick)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenCvInRangeMaskedCopy(benchmark::State& state) {
    const QImage source = Pattern(2000, 2000, 1);
    const cv::Mat src(source.height(), source.width(), CV_8UC4, const_cast<uchar*>(source.constBits()),
                      static_cast<size_t>(source.bytesPerLine()));
    cv::Mat result = src.clone();
    const cv::Mat colour(src.size(), CV_8UC4, cv::Scalar(0, 255, 0, 255));
    const cv::Vec4b key = src.at<cv::Vec4b>(10, 10);
    const cv::Scalar low(std::max(key[0] - 50, 0), std::max(key[1] - 50, 0), std::max(key[2] - 50, 0), 0);
    const cv::Scalar high(std::min(key[0] + 50, 255), std::min(key[1] + 50, 255), std::min(key[2] + 50, 255), 255);
    cv::Mat mask;
    for (auto _ : state) {
        cv::inRange(src, low, high, mask);
        colour.copyTo(result, mask);
        benchmark::DoNotOptimize(result.data);
    }
}
BENCHMARK(BM_OpenCvInRangeMaskedCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReliefOfFloor(benchmark::State& state) {
    const QImage canvas = Pattern(4000, 3000, 2);
    for (auto _ : state) benchmark::DoNotOptimize(ApplyRelief(canvas, ReliefKind::Raised, 1.5, Library()).constBits());
}
BENCHMARK(BM_ReliefOfFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->Apply(bench::BestOfFive);

void BM_LibraryReliefAlone(benchmark::State& state) {
    const QImage canvas = Pattern(4000, 3000, 2);
    for (auto _ : state) benchmark::DoNotOptimize(Library().GetBumpMap(canvas, ReliefKind::Raised).constBits());
}
BENCHMARK(BM_LibraryReliefAlone)->Unit(benchmark::kMillisecond)->UseRealTime()->Apply(bench::BestOfFive);

// The import's pictures, made once.
const std::vector<fs::path>& ImportPictures() {
    static const std::vector<fs::path> files = [] {
        const fs::path folder = "/tmp/vexel-import-bench-" + std::to_string(gImportCount);
        fs::create_directories(folder);
        std::vector<fs::path> made(static_cast<size_t>(gImportCount));
        ParallelFor(made.size(), [&](size_t i) {
            made[i] = folder / ("tile-" + std::to_string(i) + ".jpg");
            if (!fs::exists(made[i])) WriteFileAtomically(made[i], *EncodeJpeg(Pattern(1000, 1000, unsigned(i)), 90));
        });
        return made;
    }();
    return files;
}

void BM_ImportProducts(benchmark::State& state) {
    const std::vector<fs::path>& files = ImportPictures();
    std::vector<ProductSource> sources;
    for (const fs::path& f : files) {
        ProductSource source;
        source.file = f;
        sources.push_back(std::move(source));
    }
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path workspace = "/tmp/vexel-import-bench-ws-" + std::to_string(run++);
        fs::remove_all(workspace);
        fs::create_directories(workspace / "DB");
        auto dm = TDataModule_Manager::DataModuleCreate(workspace, OpenMode::CreateIfMissing);
        if (!dm || !(*dm)->ExecSql("insert into TablePartsSubType values(1,'导入','',2,-1,1)")) std::abort();
        state.ResumeTiming();
        Result<AddProductsReport> report = AddProducts(**dm, 1, sources, {}, 1);
        if (!report || report->added.size() != files.size()) std::abort();
        state.PauseTiming();
        dm->reset();
        fs::remove_all(workspace);
        state.ResumeTiming();
    }
    state.counters["files"] = static_cast<double>(files.size());
}
BENCHMARK(BM_ImportProducts)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The same thumbnails, made as the import makes them (across the cores),
// written beside nothing else.
void BM_ThumbnailsAlone(benchmark::State& state) {
    const std::vector<fs::path>& files = ImportPictures();
    const fs::path out = "/tmp/vexel-import-bench-thumbs";
    fs::create_directories(out);
    for (auto _ : state) {
        ParallelFor(files.size(), [&](size_t i) {
            const std::optional<Bytes> bytes = ReadWholeFile(files[i]);
            const QImage small = DecodeJpegForSize(*bytes, kProductThumbnailSide);
            const QImage thumb = small.scaled(kProductThumbnailSide, kProductThumbnailSide, Qt::IgnoreAspectRatio,
                                              Qt::SmoothTransformation);
            WriteFileAtomically(out / files[i].filename(), *EncodeJpeg(thumb, 90));
        });
    }
    fs::remove_all(out);
    state.counters["files"] = static_cast<double>(files.size());
}
BENCHMARK(BM_ThumbnailsAlone)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace v2d

int main(int argc, char** argv) {
    // Our own flag goes before Google Benchmark sees the rest.
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--import-count=", 15) == 0)
            v2d::gImportCount = std::max(1, std::atoi(argv[i] + 15));
        else
            argv[kept++] = argv[i];
    }
    return v2d::bench::RunBenchmarks(kept, argv,
                                     {{"RecolourClick", "OpenCvInRangeMaskedCopy"},
                                      {"ReliefOfFloor", "LibraryReliefAlone", 1.3, v2d::bench::Measure::Best},
                                      {"ImportProducts", "ThumbnailsAlone"}});
}
