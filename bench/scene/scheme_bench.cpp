// Opening and saving a 20-record scheme with a 4000 x 3000 background,
// against libjpeg alone decoding and encoding the same pictures.
#include <benchmark/benchmark.h>

#include "bench/bench_main.h"

#include <filesystem>

#include "base/process_setup.h"
#include "demo/demo_room.h"
#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "scene/scheme_file.h"

namespace v2d {
namespace {

// The demo room at 4000 x 3000 with 20 records, each holding a rendered
// picture of its outline's box (as after tiling).
const Scene& BenchScene() {
    static Scene scene = [] {
        Scene s = demo::BuildDemoRoomScene(4000, 3000);
        const int surfaces = s.count();
        for (int i = surfaces; i < 20; ++i) {
            PolygonPtr copy = CopyPolygon(*s.at(i % surfaces));
            copy->castShadow = 1;
            s.Append(std::move(copy));
        }
        for (int i = 0; i < s.count(); ++i) {
            V2dPolygon* r = s.at(i);
            int minX = INT32_MAX, minY = INT32_MAX, maxX = INT32_MIN, maxY = INT32_MIN;
            for (const V2d_Point& p : r->points) {
                minX = std::min(minX, p.x), minY = std::min(minY, p.y);
                maxX = std::max(maxX, p.x), maxY = std::max(maxY, p.y);
            }
            r->picture = s.background.copy(minX, minY, maxX - minX + 1, maxY - minY + 1);
        }
        return s;
    }();
    return scene;
}

const Bytes& BenchFile() {
    static Bytes bytes = *SerializeScheme(BenchScene());
    return bytes;
}

std::vector<Bytes> EncodedPictures() {
    std::vector<Bytes> pictures;
    pictures.push_back(*EncodeJpeg(BenchScene().background, 100));
    for (const V2dPolygon* r : BenchScene().records()) pictures.push_back(*EncodeJpeg(r->picture, 100));
    return pictures;
}

void BM_LibjpegDecodeAlone(benchmark::State& state) {
    const std::vector<Bytes> pictures = EncodedPictures();
    // The decoded pictures stay alive until the round ends, as a scene's do.
    for (auto _ : state) {
        std::vector<QImage> decoded;
        for (const Bytes& p : pictures) decoded.push_back(DecodeJpeg(p));
        benchmark::DoNotOptimize(decoded);
    }
}

void BM_OpenScheme(benchmark::State& state) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "bench_open.v2d";
    WriteFileAtomically(path, BenchFile());
    for (auto _ : state) {
        Result<SchemeFile> file = ReadSchemeFile(path);
        if (!file) state.SkipWithError("open failed");
        benchmark::DoNotOptimize(file);
    }
    std::filesystem::remove(path);
}

void BM_LibjpegEncodeAlone(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(EncodeJpeg(BenchScene().background, 100));
        for (const V2dPolygon* r : BenchScene().records()) benchmark::DoNotOptimize(EncodeJpeg(r->picture, 100));
    }
}

void BM_SaveScheme(benchmark::State& state) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "bench_save.v2d";
    for (auto _ : state) {
        if (!WriteSchemeFile(BenchScene(), path)) state.SkipWithError("save failed");
    }
    std::filesystem::remove(path);
}

BENCHMARK(BM_LibjpegDecodeAlone)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenScheme)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LibjpegEncodeAlone)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveScheme)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace v2d

int main(int argc, char** argv) {
    return v2d::bench::RunBenchmarks(argc, argv,
                                     {{"OpenScheme", "LibjpegDecodeAlone"}, {"SaveScheme", "LibjpegEncodeAlone"}});
}
