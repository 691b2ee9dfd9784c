// A herringbone laid on the demo room's floor at 4000 x 3000 against the
// plain straight laying of the same planks, and the quote of a scheme of
// fifty laid regions.
#include "bench/bench_library.h"
#include "bench/bench_main.h"

#include <filesystem>

#include "demo/demo_room.h"
#include "imagelib/image_library.h"
#include "layout/pattern_descriptor.h"
#include "layout/region_quote.h"
#include "render/tiling.h"

namespace v2d {
namespace {

const ImageLibrary& Library() { return bench::LoadedLibrary(); }

QImage Plank() {
    QImage plank(600, 200, QImage::Format_RGB32);
    for (int y = 0; y < plank.height(); ++y)
        for (int x = 0; x < plank.width(); ++x)
            plank.setPixel(x, y, qRgb(150 + (x * 3 + y) % 60, 100 + (y * 5) % 40, 60));
    return plank;
}

void LayFloor(benchmark::State& state, LayingPattern pattern, int joint) {
    Scene scene = demo::BuildDemoRoomScene(4000, 3000);
    SceneRenderer renderer{scene, Library()};
    ProductPanelState panel;
    panel.picture = Plank();
    panel.product = Product::Parse("PartsName=bench&PartsNumber=P1");
    panel.widthMm = 300, panel.heightMm = 100;
    panel.pattern.pattern = pattern;
    panel.pattern.jointMm = joint;
    for (auto _ : state) {
        const RegionLaying outcome =
            LayRegion(scene, renderer.ops(), renderer.modelDrawer(), *scene.at(0), panel, EffectSettings{}, {});
        if (outcome.status != TileStatus::Tiled) state.SkipWithError("not laid");
    }
}
void BM_LayFloorStraightPlain(benchmark::State& state) { LayFloor(state, LayingPattern::Straight, 0); }
void BM_LayFloorHerringbone(benchmark::State& state) { LayFloor(state, LayingPattern::Herringbone, 2); }
BENCHMARK(BM_LayFloorStraightPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayFloorHerringbone)->Unit(benchmark::kMillisecond);

void BM_QuoteFiftyRegions(benchmark::State& state) {
    const Scene room = demo::BuildDemoRoomScene(4000, 3000);
    Scene scheme;
    const PatternSettings patterns[] = {{LayingPattern::Herringbone, 2}, {LayingPattern::HalfOffset, 3}, {}};
    for (int i = 0; i < 50; ++i) {
        PolygonPtr region = CopyPolygon(*room.at(i % 2));
        region->picture = QImage(1, 1, QImage::Format_RGB32);
        region->partsInfo = WithPatternSettings("PartsName=砖&PartsNumber=T" + std::to_string(i) + "&PartsPrice=12",
                                                patterns[i % 3], {300, 100 + 100 * (i % 3)});
        scheme.Append(std::move(region));
    }
    for (auto _ : state) benchmark::DoNotOptimize(QuoteScheme(scheme).total);
}
BENCHMARK(BM_QuoteFiftyRegions)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace v2d

int main(int argc, char** argv) { return v2d::bench::RunBenchmarks(argc, argv); }
