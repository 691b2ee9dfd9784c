// The scene view's repaint of the demo room at 4000 x 3000, at 100 % and
// 25 %, with the floor's outline shown: the view of vectors over its zoomed
// scene against the stacked picture widgets it replaced; a record changed and
// the view painted; the zoomed copy brought up to date after a change. Each repaint draws
// the whole visible area into a picture as the window's backing store would.
// Qt's raster engine scales on worker threads: the CPU column counts them all.
#include <benchmark/benchmark.h>

#include "bench/app/legacy_scene_layers.h"
#include "bench/bench_library.h"
#include "bench/bench_main.h"

#include <QApplication>
#include <QPainter>

#include "app/picture_layer.h"
#include "app/scene_view.h"
#include "demo/demo_room.h"
#include "document/scene_document.h"
#include "render/region_drawing.h"
#include "scene/outline_geometry.h"

namespace v2d {
namespace {

constexpr int kWidth = 4000, kHeight = 3000;
const QSize kWindow(1300, 860);  // the view's part of the window
constexpr int kDoor = 5;          // the wardrobe's doors, a region of 0.3 megapixels

QApplication& App() {
    static int argc = 1;
    static char name[] = "bench_app";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

struct Views {
    SceneDocument document{bench::LoadedLibrary()};
    SceneView view{document};
    std::unique_ptr<bench::LegacySceneView> legacy;
    QPainterPath floorOutline;
    Views() {
        document.LoadScene(demo::BuildDemoRoomScene(kWidth, kHeight));
        view.resize(kWindow);
        view.show();
        QApplication::processEvents();
        const V2dPolygon& floor = *document.scene().at(0);
        floorOutline = OutlinePath(floor.points, floor.indexList);
        legacy = std::make_unique<bench::LegacySceneView>(document.displayed(), view.viewport()->size());
        document.Select(0);
    }
    void Zoom(double zoom) {
        view.SetZoom(zoom);
        view.findChild<PictureLayer*>("Image2")->settle();  // the scene at rest
        legacy->setZoom(zoom);
        legacy->showOutline(floorOutline);
    }
};

Views& TheViews() {
    App();
    static Views views;
    return views;
}

QImage Store(QSize size) {
    QImage store(size, QImage::Format_ARGB32_Premultiplied);
    store.fill(0);
    return store;
}

void BM_RepaintVectorView(benchmark::State& state) {
    Views& v = TheViews();
    v.Zoom(state.range(0) / 100.0);
    QImage store = Store(v.view.viewport()->size());
    for (auto _ : state) {
        v.view.viewport()->render(&store);
        benchmark::DoNotOptimize(store.constBits());
    }
}
BENCHMARK(BM_RepaintVectorView)->Arg(100)->Arg(25)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_RepaintStackedWidgets(benchmark::State& state) {
    Views& v = TheViews();
    v.Zoom(state.range(0) / 100.0);
    QImage store = Store(v.legacy->size());
    for (auto _ : state) {
        v.legacy->render(&store);
        benchmark::DoNotOptimize(store.constBits());
    }
}
BENCHMARK(BM_RepaintStackedWidgets)->Arg(100)->Arg(25)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// Choosing a record: its outline shown and the view painted.
void BM_SelectVectorView(benchmark::State& state) {
    Views& v = TheViews();
    v.Zoom(state.range(0) / 100.0);
    QImage store = Store(v.view.viewport()->size());
    int turn = 0;
    for (auto _ : state) {
        v.document.Select(turn++ % 2);
        v.view.viewport()->render(&store);
    }
}
BENCHMARK(BM_SelectVectorView)->Arg(100)->Arg(25)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_SelectStackedWidgets(benchmark::State& state) {
    Views& v = TheViews();
    v.Zoom(state.range(0) / 100.0);
    QImage store = Store(v.legacy->size());
    for (auto _ : state) {
        v.legacy->showOutline(v.floorOutline);
        v.legacy->render(&store);
    }
}
BENCHMARK(BM_SelectStackedWidgets)->Arg(100)->Arg(25)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// One record changed: the wardrobe door painted another colour (drawn flat
// over the scene), the zoomed copy brought up to date and the view painted.
void BM_ChangeRecordVectorView(benchmark::State& state) {
    Views& v = TheViews();
    v.Zoom(state.range(0) / 100.0);
    v.document.Select(kDoor);
    ProductPanelState flat = v.document.laying().panel;
    flat.mixWithPhoto = false;
    v.document.SetPanelControls(flat);
    auto& picture = *v.view.findChild<PictureLayer*>("Image2");
    QImage store = Store(v.view.viewport()->size());
    int turn = 0;
    for (auto _ : state) {
        if (v.document.PaintSelection(turn++ % 2 ? 0xFF8A5A3C : 0xFF3C5A8A).refused()) state.SkipWithError("refused");
        picture.settle();
        v.view.viewport()->render(&store);
    }
    v.document.Select(0);
}
BENCHMARK(BM_ChangeRecordVectorView)->Arg(100)->Arg(25)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// The zoomed copy at 25 % brought up to date after the door changed: drawn
// whole (range 0) or only the rows the door's box reaches (range 1).
void BM_ZoomedCopyAfterDoorChange(benchmark::State& state) {
    Views& v = TheViews();
    const QImage scene = v.document.displayed();
    const QRect door = DrawnBounds(*v.document.scene().at(kDoor));
    QImage changed = scene.copy();
    QPainter(&changed).fillRect(door, Qt::darkRed);
    PictureLayer layer(nullptr);
    layer.setZoom(0.25);
    layer.setPicture(scene);
    layer.settle();
    int turn = 0;
    for (auto _ : state) {
        const QImage& next = turn++ % 2 ? scene : changed;
        (void)layer.setPicture(next, state.range(0) ? std::optional(door) : std::nullopt);
        layer.settle();
    }
}
BENCHMARK(BM_ZoomedCopyAfterDoorChange)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace
}  // namespace v2d

int main(int argc, char** argv) {
    v2d::bench::RunBenchmarks(argc, argv,
                              {{"RepaintVectorView/100", "RepaintStackedWidgets/100", 1.0},
                               {"RepaintVectorView/25", "RepaintStackedWidgets/25", 1.0},
                               {"SelectVectorView/100", "SelectStackedWidgets/100", 1.0},
                               {"SelectVectorView/25", "SelectStackedWidgets/25", 1.0},
                               {"ZoomedCopyAfterDoorChange/1", "ZoomedCopyAfterDoorChange/0", 1.0}});
    return 0;
}
