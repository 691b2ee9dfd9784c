// Tiling, the tiling command and incremental redraws on the demo room scaled
// to 4000 x 3000, with a bare OpenCV warp of the same canvas for scale.
#include <benchmark/benchmark.h>

#include "bench/bench_library.h"
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
#include "document/scene_document.h"
#include "document/tone_controls.h"
#include "base/atomic_file.h"
#include "render/shadow_mask.h"
#include "render/picture_ops.h"
#include "scene/photo_scheme.h"
#include "scene/scheme_file.h"
#include "vision/room_light.h"

#include <QPainter>

namespace v2d {
namespace {

constexpr int kWidth = 4000, kHeight = 3000;

const ImageLibrary& Library() { return bench::LoadedLibrary(); }

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
    ProductPanelState panel;
    Room() {
        panel.picture = Product();
        panel.product = Product::Parse("PartsName=bench");
    }
};

void BM_TileRegionFloor(benchmark::State& state) {
    Room room;
    V2dPolygon& floor = *room.scene.at(0);
    for (auto _ : state) {
        RegionLaying outcome = LayRegion(room.scene, room.renderer.ops(), room.renderer.modelDrawer(), floor,
                                         room.panel, EffectSettings{}, {});
        benchmark::DoNotOptimize(outcome.status);
    }
}
BENCHMARK(BM_TileRegionFloor)->Unit(benchmark::kMillisecond)->Apply(bench::BestOfFive);

// A floor as large as the whole 12-megapixel photo, in perspective: laid,
// and its room light made, which laying it must not take more than thrice.
struct WholePhotoFloor : Room {
    V2dPolygon& floor;
    WholePhotoFloor() : floor(*scene.Append(NewPolygon())) {
        floor.name = "地面";
        floor.points = {{0, 0}, {kWidth - 1, 0}, {kWidth - 1, kHeight - 1}, {0, kHeight - 1}};
        floor.indexList = {3};
        floor.corners[0] = {1200, 0}, floor.corners[1] = {2800, 0};
        floor.corners[2] = {kWidth - 1, kHeight - 1}, floor.corners[3] = {0, kHeight - 1};
        floor.realWidth = 4000, floor.realHeight = 6000;
    }
};

// Laid and drawn toned by the photo's light, as the user sees a laying.
void BM_LayAndDrawWholePhotoFloor(benchmark::State& state) {
    WholePhotoFloor room;
    room.renderer.RenderAll();
    for (auto _ : state) {
        RegionLaying outcome = LayRegion(room.scene, room.renderer.ops(), room.renderer.modelDrawer(), room.floor,
                                         room.panel, EffectSettings{}, {});
        if (outcome.status != TileStatus::Tiled) state.SkipWithError("not laid");
        room.floor.picture = std::move(outcome.picture);
        room.floor.toneEnabled = 1;
        room.renderer.RedrawScene(&room.floor);
    }
}
BENCHMARK(BM_LayAndDrawWholePhotoFloor)->Unit(benchmark::kMillisecond)->Apply(bench::BestOfFive);

void BM_RoomLightOfTheWholePhotoFloor(benchmark::State& state) {
    WholePhotoFloor room;
    for (auto _ : state) benchmark::DoNotOptimize(vision::RoomLightMap(room.scene.background, room.floor));
}
BENCHMARK(BM_RoomLightOfTheWholePhotoFloor)->Unit(benchmark::kMillisecond)->Apply(bench::BestOfFive);

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
    for (auto _ : state) {
        cv::Mat warped;  // a new picture for every laying, as the program makes
        cv::warpPerspective(source, warped, homography, cv::Size(box.width(), box.height()));
        benchmark::DoNotOptimize(warped.data);
    }
}
BENCHMARK(BM_BareWarpPerspectiveFloor)->Unit(benchmark::kMillisecond)->Apply(bench::BestOfFive);

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
        TileCommandResult result = TileSelectedRegions(room.scene, room.renderer, selection, room.scene.at(0), {room.panel, {}});
        room.renderer.RedrawScene(result.tiled);  // as the document draws the laying
        benchmark::DoNotOptimize(result.tiled.size());
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
        renderer.RedrawScene(TileSelectedRegions(scene, renderer, all, scene.at(0), {panel, {}}).tiled);
    }
};

void BM_BrightnessChangeTwentyRegions(benchmark::State& state) {
    TwentyRegions room;
    room.renderer.RenderAll();
    int lighten = 10;
    for (auto _ : state) {
        SetRegionLighten(room.scene, room.renderer, *room.scene.at(5), lighten);  // the wardrobe front
        room.renderer.RedrawScene(room.scene.at(5));  // as the document draws the change
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

// --- Shadows and a scheme from a photo ---------------------------------------

// A sofa-sized cut-out: an opaque rounded body on a transparent ground.
QImage CutoutPicture(int w, int h) {
    QImage picture(w, h, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(150, 140, 130));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(0, 0, w, h), w / 10.0, h / 10.0);
    return picture;
}

PolygonPtr CutoutModel(int w, int h, int x, int y) {
    PolygonPtr model = NewPolygon();
    model->name = "sofa";
    model->kind = RecordKind::CutOutModel;
    model->picture = CutoutPicture(w, h);
    model->points = {{0, 0}, {w - 1, 0}, {w - 1, h - 1}, {0, h - 1}};
    model->indexList = {3};
    SetCornersFromBoundingBox(*model);
    model->originX = x, model->originY = y;
    return model;
}

void BM_CutoutShadowOnLargeScene(benchmark::State& state) {
    QImage scene = ToRgb32(demo::BuildDemoRoomScene(kWidth, kHeight).background).copy();
    const PolygonPtr model = CutoutModel(1200, 600, 1400, 1800);
    for (auto _ : state) {
        const QImage mask = CutoutShadowMask(*model, Library());
        MultiplyByMask(scene, CutoutShadowOrigin(*model), mask);
        benchmark::DoNotOptimize(scene.constBits());
    }
}
BENCHMARK(BM_CutoutShadowOnLargeScene)->Unit(benchmark::kMillisecond)->Apply(bench::BestOfFive);

// The same patch by hand with OpenCV: the picture shrunk and laid on white,
// blurred with radius and sigma 5, and multiplied into the scene.
void BM_BareBlurBlendOfThePatch(benchmark::State& state) {
    QImage scene = ToRgb32(demo::BuildDemoRoomScene(kWidth, kHeight).background).copy();
    const QImage picture = CutoutPicture(1200, 600);
    const int s = 5, w = 1200 - s, h = 600 - s;
    const cv::Mat source(picture.height(), picture.width(), CV_8UC4, const_cast<uchar*>(picture.constBits()),
                         picture.bytesPerLine());
    for (auto _ : state) {
        cv::Mat shrunk, canvas(h + 2 * s, w + 2 * s, CV_8UC4, cv::Scalar(255, 255, 255, 255)), blurred;
        cv::resize(source, shrunk, cv::Size(w, h), 0, 0, cv::INTER_LINEAR);
        cv::Mat alpha, own, rest, white(h, w, CV_8UC4, cv::Scalar(255, 255, 255, 255)), laid;
        cv::extractChannel(shrunk, alpha, 3);
        alpha.convertTo(own, CV_32F, 1.0 / 255);
        cv::subtract(cv::Scalar::all(1.0), own, rest);
        cv::blendLinear(shrunk, white, own, rest, laid);
        laid.copyTo(canvas(cv::Rect(s, s, w, h)));
        cv::GaussianBlur(canvas, blurred, cv::Size(2 * s + 1, 2 * s + 1), s, s);
        cv::Mat patch(h + 2 * s, w + 2 * s, CV_8UC4, scene.scanLine(1805) + 4 * 1405, scene.bytesPerLine());
        cv::multiply(patch, blurred, patch, 1.0 / 255);
        benchmark::DoNotOptimize(patch.data);
    }
}
BENCHMARK(BM_BareBlurBlendOfThePatch)->Unit(benchmark::kMillisecond)->Apply(bench::BestOfFive);

// The twenty tiled regions with a cut-out casting its shadow, through the
// document as the shadow dialog changes it.
struct ShadowedRoom {
    SceneDocument doc{Library()};
    ShadowedRoom() {
        TwentyRegions room;
        room.scene.Append(CutoutModel(1200, 600, 1400, 1800));
        doc.LoadScene(std::move(room.scene));
        doc.Select(doc.scene().count() - 1);
    }
};

// A step that did nothing measured nothing: the benchmark stops and says why.
void Require(benchmark::State& state, const Outcome& step) {
    if (!step.done()) state.SkipWithError(step.refused() ? step.error().c_str() : "the step did nothing");
}

void BM_ShadowSettingChangeTwentyRegions(benchmark::State& state) {
    ShadowedRoom room;
    SceneDocument::ShadowSettings shadow = *room.doc.FocusedShadow();
    for (auto _ : state) {
        shadow.shadowX = shadow.shadowX == 5 ? 9 : 5;
        Require(state, room.doc.SetFocusedShadow(shadow));
    }
    state.counters["rendered"] = room.doc.renderer().counters().rendered;
}
BENCHMARK(BM_ShadowSettingChangeTwentyRegions)->Unit(benchmark::kMillisecond);

// The history: the floor laid through the document, then undone and redone;
// against it the floor's own redraw (a brightness change renders only it).
struct LaidFloor {
    SceneDocument doc{Library()};
    Outcome laid = Outcome::NothingToDo();  // the last laying
    explicit LaidFloor(int layings = 1) {
        doc.LoadScene(demo::BuildDemoRoomScene(kWidth, kHeight));
        doc.Select(0);
        for (int i = 0; i < layings; ++i) {
            QImage product = Product();
            if (i % 2) product = product.mirrored(true, false);
            doc.SetProduct(CurrentProduct{product, Product::Parse("PartsName=bench")});
            laid = doc.TileSelection();
        }
    }
};

void BM_UndoTilingOfTheFloor(benchmark::State& state) {
    LaidFloor room(2);
    Require(state, room.laid);
    for (auto _ : state) {
        Require(state, room.doc.Undo());
        state.PauseTiming();
        Require(state, room.doc.Redo());
        state.ResumeTiming();
    }
}
BENCHMARK(BM_UndoTilingOfTheFloor)->Unit(benchmark::kMillisecond);

void BM_RedoTilingOfTheFloor(benchmark::State& state) {
    LaidFloor room(2);
    Require(state, room.laid);
    for (auto _ : state) {
        state.PauseTiming();
        Require(state, room.doc.Undo());
        state.ResumeTiming();
        Require(state, room.doc.Redo());
    }
}
BENCHMARK(BM_RedoTilingOfTheFloor)->Unit(benchmark::kMillisecond);

void BM_RedrawOfTheFloorAlone(benchmark::State& state) {
    LaidFloor room;
    Require(state, room.laid);
    int lighten = 10;
    for (auto _ : state) {
        Require(state, room.doc.SetLighten(lighten));
        lighten = lighten == 10 ? 20 : 10;
    }
}
BENCHMARK(BM_RedrawOfTheFloorAlone)->Unit(benchmark::kMillisecond);

// What fifty layings of the floor leave in the history (bytes, as a counter).
void BM_HistoryAfterFiftyLayings(benchmark::State& state) {
    for (auto _ : state) {
        LaidFloor room(50);
        Require(state, room.laid);
        state.counters["historyMB"] = static_cast<double>(room.doc.historyBytes()) / (1 << 20);
        state.counters["steps"] = room.doc.history().count();
    }
}
BENCHMARK(BM_HistoryAfterFiftyLayings)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_FullRedrawTwentyRegionsWithShadow(benchmark::State& state) {
    ShadowedRoom room;
    for (auto _ : state) room.doc.RenderAll();
}
BENCHMARK(BM_FullRedrawTwentyRegionsWithShadow)->Unit(benchmark::kMillisecond);

struct PhotoFile {
    std::filesystem::path path = std::filesystem::temp_directory_path() / "bench_new_scheme_photo.jpg";
    std::filesystem::path out = std::filesystem::temp_directory_path() / "bench_new_scheme.v2d";
    PhotoFile() {
        const QImage photo = demo::BuildDemoRoomScene(kWidth, kHeight).background;
        WriteFileAtomically(path, *EncodeJpeg(photo, 92));
    }
    ~PhotoFile() {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        std::filesystem::remove(out, ignored);
    }
};

// What `new-scheme PHOTO --region ... x4 -o OUT` does.
void BM_NewSchemeFourRegions(benchmark::State& state) {
    const PhotoFile photo;
    const std::vector<RegionOutline> regions = {
        {"地面", {{0, 2999}, {1300, 1900}, {2700, 1900}, {3999, 2999}}, 4000, 6600, std::nullopt},
        {"背景墙", {{1300, 300}, {2700, 300}, {2700, 1900}, {1300, 1900}}, 4000, 2800, std::nullopt},
        {"左墙", {{0, 0}, {1300, 300}, {1300, 1900}, {0, 2999}}, 6600, 2800, std::nullopt},
        {"右墙", {{2700, 300}, {3999, 0}, {3999, 2999}, {2700, 1900}}, 6600, 2800, std::nullopt}};
    for (auto _ : state) {
        Scene scene;
        scene.background = *ReadPhoto(photo.path);
        for (const RegionOutline& r : regions) scene.Append(std::move(*NewRegionRecord(r, scene.background.size())));
        if (!WriteSchemeFile(scene, photo.out)) state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_NewSchemeFourRegions)->Unit(benchmark::kMillisecond);

void BM_BareJpegDecodeEncodeOfThePhoto(benchmark::State& state) {
    const PhotoFile photo;
    for (auto _ : state) {
        const QImage decoded = DecodeJpeg(*ReadWholeFile(photo.path));
        benchmark::DoNotOptimize(EncodeJpeg(decoded, 100)->size());
    }
}
BENCHMARK(BM_BareJpegDecodeEncodeOfThePhoto)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace v2d

int main(int argc, char** argv) {
    // A brightness change is held to at least 20 times faster than a full
    // redraw; the room's light of a floor to thrice the time of laying it.
    return v2d::bench::RunBenchmarks(argc, argv,
                                     {{"TileRegionFloor", "BareWarpPerspectiveFloor", 1.15, v2d::bench::Measure::Best},
                                      {"LibraryTransformFloor", "BareWarpPerspectiveFloor"},
                                      {"BrightnessChangeTwentyRegions", "FullRedrawTwentyRegions", 0.05},
                                      {"RoomLightOfTheWholePhotoFloor", "LayAndDrawWholePhotoFloor", 3, v2d::bench::Measure::Best},
                                      {"CutoutShadowOnLargeScene", "BareBlurBlendOfThePatch", 1.3, v2d::bench::Measure::Best},
                                      {"NewSchemeFourRegions", "BareJpegDecodeEncodeOfThePhoto"}});
}
