// The comparison grid of four products on the demo room at 4000 x 3000:
// each laid into the floor of a copy of the scene at an 800 x 600 cell's
// size, quoted at full size and composed with captions; beside it the full
// size laying of one product into the same floor, for scale.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "bench/bench_library.h"
#include "bench/bench_main.h"
#include "demo/demo_room.h"
#include "document/product_comparison.h"
#include "document/scaled_scene.h"
#include "library/product_descriptor.h"
#include "render/comparison_grid.h"
#include "render/tiling.h"

namespace v2d {
namespace {

constexpr int kWidth = 4000, kHeight = 3000;
const QSize kCell(800, 600);

QImage Tile(QRgb face, QRgb joint) {
    QImage tile(400, 400, QImage::Format_RGB32);
    tile.fill(face);
    for (int i = 0; i < 400; ++i)
        for (int k = 0; k < 6; ++k) tile.setPixel(i, k, joint), tile.setPixel(k, i, joint);
    return tile;
}

struct Room {
    Scene scene = demo::BuildDemoRoomScene(kWidth, kHeight);
    ComparisonRequest request;
    Room() {
        request.regions = {0};  // the floor
        request.cell = kCell;
        request.eachAtItsOwnSize = true;
        request.panel.pattern.jointMm = 3;
        const QRgb faces[] = {0xFFE8E2D6, 0xFFAA5A3C, 0xFF8C8C8E, 0xFFC8A070};
        for (int i = 0; i < 4; ++i) {
            const std::string number = "BM-" + std::to_string(i + 1);
            request.products.push_back(CurrentProduct{
                Tile(faces[i], 0xFF505050),
                Product::Parse(ProductDescriptor::Product("样品" + std::to_string(i + 1), number, "", "600*600")
                                   .WithPricing(100 + 20 * i, 0, PriceUnit::SquareMetre)
                                   .ToString())});
        }
    }
};

void BM_CompareFourProductsOnLargeScene(benchmark::State& state) {
    Room room;
    for (auto _ : state) {
        Result<std::vector<ComparisonCell>> cells = LayComparisonCells(room.scene, bench::LoadedLibrary(), room.request);
        if (!cells) return state.SkipWithError(cells.error().c_str());
        std::vector<QImage> pictures;
        std::vector<std::string> captions;
        for (const ComparisonCell& cell : *cells) {
            pictures.push_back(cell.picture);
            captions.push_back(ComparisonCaption(cell.product, cell.quote));
        }
        benchmark::DoNotOptimize(ComposeComparisonGrid(pictures, captions, kCell).bits());
    }
}
BENCHMARK(BM_CompareFourProductsOnLargeScene)->Unit(benchmark::kMillisecond)->Apply(bench::BestOfFive);

void BM_ScaledSceneOfLargeScene(benchmark::State& state) {
    Room room;
    for (auto _ : state) {
        Scene scaled = ScaledScene(room.scene, FittingScale(room.scene.background.size(), kCell));
        benchmark::DoNotOptimize(scaled.background.bits());
    }
}
BENCHMARK(BM_ScaledSceneOfLargeScene)->Unit(benchmark::kMillisecond);

// One product laid into the floor at full size, as a render of it lays it.
void BM_FullSizeLayingOfOneProduct(benchmark::State& state) {
    Room room;
    const ImageLibrary& ops = bench::LoadedLibrary();
    SceneRenderer renderer(room.scene, ops);
    ProductPanelState panel = room.request.panel;
    panel.picture = room.request.products[0].picture;
    panel.product = room.request.products[0].product;
    for (auto _ : state) {
        RegionLaying laid = LayRegion(room.scene, ops, renderer.modelDrawer(), *room.scene.at(0), panel, {}, {});
        benchmark::DoNotOptimize(laid.picture.bits());
    }
}
BENCHMARK(BM_FullSizeLayingOfOneProduct)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace v2d

int main(int argc, char** argv) {
    v2d::bench::RunHeadless();
    static int qtArgc = 1;
    static char name[] = "bench_comparison";
    static char* qtArgv[] = {name, nullptr};
    const QGuiApplication application(qtArgc, qtArgv);  // the captions' font database
    return v2d::bench::RunBenchmarks(argc, argv, {{"CompareFourProductsOnLargeScene", "FullSizeLayingOfOneProduct"}},
                                     {{"CompareFourProductsOnLargeScene", 300}});
}
