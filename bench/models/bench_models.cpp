// Dropping the three-part wardrobe into the demo room (the work of
// add-model beyond reading and writing the scheme) and the redraw after a
// handle drag on a 4000 x 3000 scene.
#include <benchmark/benchmark.h>

#include "bench/bench_library.h"
#include "bench/bench_main.h"

#include <QTemporaryDir>

#include "base/process_setup.h"
#include "demo/demo_room.h"
#include "demo/model_files.h"
#include "document/scene_document.h"
#include "imagelib/image_library.h"
#include "library/product_descriptor.h"
#include "library/pub_functions.h"

namespace v2d {
namespace {

const ImageLibrary& Library() { return bench::LoadedLibrary(); }

const std::filesystem::path& WardrobeFile() {
    static QTemporaryDir dir;
    static const std::filesystem::path file = [] {
        const std::filesystem::path path = dir.filePath("GZ-001.c2d").toStdString();
        if (!demo::WriteDemoWardrobe(path, ProductDescriptor::Model("三门衣柜", "GZ-001", "", "1800*2000", "衣柜").ToString())) std::abort();
        return path;
    }();
    return file;
}

ModelDrop WardrobeDrop() {
    ModelDrop drop;
    drop.modelFile = WardrobeFile();
    drop.point = {700, 450};
    drop.target = 1;  // the back wall
    return drop;
}

void BM_DropWardrobeIntoBackWall(benchmark::State& state) {
    SceneDocument doc(Library());
    for (auto _ : state) {
        state.PauseTiming();
        doc.LoadScene(demo::BuildDemoRoomScene(1600, 1200));
        state.ResumeTiming();
        benchmark::DoNotOptimize(doc.DropModel(WardrobeDrop()));
    }
}
BENCHMARK(BM_DropWardrobeIntoBackWall)->Unit(benchmark::kMillisecond);

void BM_ReleaseAfterHandleDrag(benchmark::State& state) {
    SceneDocument doc(Library());
    doc.LoadScene(demo::BuildDemoRoomScene(4000, 3000));
    ModelDrop drop = WardrobeDrop();
    drop.point = {1750, 1100};
    const int model = *doc.DropModel(drop);
    doc.Select(model);
    for (auto _ : state) doc.FinishModelShaping();
}
BENCHMARK(BM_ReleaseAfterHandleDrag)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace v2d

int main(int argc, char** argv) { return v2d::bench::RunBenchmarks(argc, argv); }
