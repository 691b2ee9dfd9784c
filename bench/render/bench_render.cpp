// Tiling, the tiling command and incremental redraws on the demo room scaled
// to 4000 x 3000, with a bare OpenCV warp of the same canvas for scale.
#include <benchmark/benchmark.h>

#include "bench/bench_main.h"

#include <opencv2/imgproc.hpp>

#include <filesystem>
#include <memory>

#include "demo/demo_room.h"
#include "imagelib/image_library.h"
#include "base/process_setup.h"
#include "scene/outline_geometry.h"
#include "base/picture_codec.h"
#include "document/tile_command.h"
#include "document/tone_controls.h"

namespace v2d {
namespace {

constexpr int kWidth = 4000, kHeight = 3000;

const ImageLibrary& Library() {
    static ImageLibrary library;
    static const bool loaded = [] {
        const auto folder = std::filesystem::canonical("/proc/self/exe").parent_path().string();
        return library.Load(folder).empty();
    }();
    if (!loaded) std::abort();
    return library;
}

QImage Product() {
    QImage tile(400, 400, QImage::Format_RGB32);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 400; ++x) {
            const bool joint = x < 4 || y < 4;
            const int v = joint ? 90 : 200 + ((x * 7 + y * 13) % 40);
            reinterpret_cast<uint32_t*>(tile.scanLine(y))[x] = 0xFF000000u | uint32_t(v) << 16 | uint32_t(v - 20) << 8 | uint32_t(v - 50);
        }
    return tile;
}

struct Room {
    Scene scene = demo::BuildDemoRoomScene(kWidth, kHeight);
    const ImageOperations& ops = Library();
    SceneRenderer renderer{scene, ops};
    UndoList undo;
    ProductPanelState panel;
    Room() {
        panel.picture = Product();
        panel.descriptor = "PartsName=bench";
    }
};

void BM_TileRegionFloor(benchmark::State& state) {
    Room room;
    V2dPolygon& floor = *room.scene.at(0);
    for (auto _ : state) {
        TileOutcome outcome = TileRegion(room.renderer, floor, room.panel, EffectSettings{}, room.undo, {}, false);
        benchmark::DoNotOptimize(outcome.status);
        room.undo.clear();
    }
}
BENCHMARK(BM_TileRegionFloor)->Unit(benchmark::kMillisecond);

void BM_BareWarpPerspectiveFloor(benchmark::State& state) {
    Room room;
    const V2dPolygon& floor = *room.scene.at(0);
    const QImage canvas = BuildTiledCanvas(floor, nullptr, room.panel.picture, 600, 600);
    const PixelBox box = BoxOf(QuadOf(floor.corners));
    const cv::Mat source(canvas.height(), canvas.width(), CV_8UC4, const_cast<uchar*>(canvas.constBits()),
                         static_cast<size_t>(canvas.bytesPerLine()));
    const float w = static_cast<float>(canvas.width() - 1), h = static_cast<float>(canvas.height() - 1);
    const cv::Point2f from[4] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
    cv::Point2f to[4];
    for (int i = 0; i < 4; ++i)
        to[i] = {static_cast<float>(floor.corners[i].x - box.minX), static_cast<float>(floor.corners[i].y - box.minY)};
    const cv::Mat homography = cv::getPerspectiveTransform(from, to);
    cv::Mat warped;
    for (auto _ : state) {
        cv::warpPerspective(source, warped, homography, cv::Size(box.width(), box.height()));
        benchmark::DoNotOptimize(warped.data);
    }
}
BENCHMARK(BM_BareWarpPerspectiveFloor)->Unit(benchmark::kMillisecond);

// The library's own warp of the same canvas, through the binding: what of
// TileRegion's time is the warp itself.
void BM_LibraryTransformFloor(benchmark::State& state) {
    Room room;
    const V2dPolygon& floor = *room.scene.at(0);
    const QImage canvas = BuildTiledCanvas(floor, nullptr, room.panel.picture, 600, 600);
    for (auto _ : state) {
        QImage warped = room.ops.Transform(canvas, QuadOf(floor.corners), {});
        benchmark::DoNotOptimize(warped.constBits());
    }
}
BENCHMARK(BM_LibraryTransformFloor)->Unit(benchmark::kMillisecond);

void BM_StartTilingFourRegions(benchmark::State& state) {
    Room room;
    room.renderer.RenderAll();
    const RegionSelection selection{0, {0, 1, 2, 3}};  // floor, back wall, left wall (mesh), right wall
    for (auto _ : state) {
        TileCommandResult result = TileSelectedRegions(room.renderer, selection, room.panel, EffectSettings{}, room.undo);
        benchmark::DoNotOptimize(result.tiled.size());
        room.undo.clear();
    }
}
BENCHMARK(BM_StartTilingFourRegions)->Unit(benchmark::kMillisecond);

// The room's six surfaces plus fourteen panels on the walls, all tiled.
struct TwentyRegions : Room {
    TwentyRegions() {
        for (int i = 0; i < 14; ++i) {
            PolygonPtr r = NewPolygon();
            r->name = "panel";
            const int x0 = 60 + (i % 7) * 130, y0 = (i < 7 ? 700 : 1500);
            r->points = {{x0, y0}, {x0 + 110, y0}, {x0 + 110, y0 + 500}, {x0, y0 + 500}};
            r->indexList = {3};
            SetCornersFromBoundingBox(*r);
            r->realWidth = 600;
            r->realHeight = 2400;
            scene.Append(std::move(r));
        }
        RegionSelection all{0, {}};
        for (int i = 0; i < scene.count(); ++i) all.selected.push_back(i);
        TileSelectedRegions(renderer, all, panel, EffectSettings{}, undo);
        undo.clear();
    }
};

void BM_BrightnessChangeTwentyRegions(benchmark::State& state) {
    TwentyRegions room;
    room.renderer.RenderAll();
    int lighten = 10;
    for (auto _ : state) {
        SetRegionLighten(room.renderer, 5, lighten);  // the wardrobe front
        lighten = lighten == 10 ? 20 : 10;
    }
    state.counters["rendered"] = room.renderer.counters().rendered;
}
BENCHMARK(BM_BrightnessChangeTwentyRegions)->Unit(benchmark::kMillisecond);

void BM_FullRedrawTwentyRegions(benchmark::State& state) {
    TwentyRegions room;
    for (auto _ : state) room.renderer.RenderAll();
    state.counters["rendered"] = room.renderer.counters().rendered;
}
BENCHMARK(BM_FullRedrawTwentyRegions)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace v2d

int main(int argc, char** argv) { return v2d::bench::RunBenchmarks(argc, argv); }
