// VexellDll.so against the bare OpenCV calls it is built on, in one run:
// transform of a 4000 × 3000 canvas onto a floor, and GaussBlurCV2 with
// radius and sigma 10. The library's extra work (argument checks, banding
// for progress, clearing outside the quad) should stay within 15 %.
#include "imagelib/vexell_api.h"

#include <benchmark/benchmark.h>

#include "bench/bench_main.h"
#include <dlfcn.h>

#include <opencv2/imgproc.hpp>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 4000, kHeight = 3000;
const VxPoint kFloor[4] = {{1200, 400}, {2800, 430}, {3990, 2990}, {10, 2950}};

struct Library {
    void* handle = dlopen(VEXELL_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
    VxTransformFn transform = handle ? reinterpret_cast<VxTransformFn>(dlsym(handle, "transform")) : nullptr;
    VxGaussBlurCV2Fn blur = handle ? reinterpret_cast<VxGaussBlurCV2Fn>(dlsym(handle, "GaussBlurCV2")) : nullptr;
    VxTransformMeshFn mesh =
        handle ? reinterpret_cast<VxTransformMeshFn>(dlsym(handle, "TransformMesh")) : nullptr;
};
const Library& Lib() {
    static const Library library;
    if (library.transform == nullptr || library.blur == nullptr || library.mesh == nullptr) {
        std::fprintf(stderr, "cannot load %s\n", VEXELL_LIBRARY_FILE);
        std::exit(1);
    }
    return library;
}

const cv::Mat& Canvas() {
    static const cv::Mat canvas = [] {
        cv::Mat m(kHeight, kWidth, CV_8UC4);
        cv::randu(m, cv::Scalar::all(0), cv::Scalar::all(256));
        cv::GaussianBlur(m, m, cv::Size(5, 5), 0);  // a photo-like, not a noise-like picture
        return m;
    }();
    return canvas;
}

VxBitmap ViewOfCanvas() {
    const cv::Mat& m = Canvas();
    return VxBitmap{m.cols, m.rows, static_cast<int32_t>(m.step), m.data, nullptr};
}

int NoteProgress(double fraction) {
    benchmark::DoNotOptimize(fraction);
    return 0;
}

void BM_Transform_Library(benchmark::State& state) {
    const VxBitmap view = ViewOfCanvas();
    const VxProgress progress = state.range(0) ? &NoteProgress : nullptr;
    for (auto _ : state) {
        VxBitmap* warped = Lib().transform(kFloor, &view, progress);
        if (warped == nullptr) state.SkipWithError("transform refused");
        benchmark::DoNotOptimize(warped);
        if (warped != nullptr) warped->release(warped);
    }
}
BENCHMARK(BM_Transform_Library)->Arg(0)->Arg(1)->ArgName("progress")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Transform_BareOpenCV(benchmark::State& state) {
    const cv::Point2f from[4] = {{0, 0}, {kWidth - 1, 0}, {kWidth - 1, kHeight - 1}, {0, kHeight - 1}};
    const cv::Point2f to[4] = {{1190, 0}, {2790, 30}, {3980, 2590}, {0, 2550}};  // the floor, box-relative
    const cv::Mat m = cv::getPerspectiveTransform(from, to);
    for (auto _ : state) {
        cv::Mat dst;
        cv::warpPerspective(Canvas(), dst, m, cv::Size(3981, 2591), cv::INTER_LINEAR, cv::BORDER_CONSTANT);
        benchmark::DoNotOptimize(dst.data);
    }
}
BENCHMARK(BM_Transform_BareOpenCV)->Unit(benchmark::kMillisecond)->UseRealTime();

// A left wall through a 4 x 4 mesh that follows its perspective: the canvas's
// grid onto a trapezoid narrowing towards the back, 1376 x 3000 pixels.
void BM_TransformMesh_Library(benchmark::State& state) {
    const VxBitmap view = ViewOfCanvas();
    std::vector<VxPoint> from, to;
    const double nearTop = 0, nearBottom = 2999, farTop = 963, farBottom = 1900, depth[4] = {0, 0.45, 0.75, 1};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            from.push_back({1375 * c / 3, 2999 * r / 3});
            const double top = nearTop + (farTop - nearTop) * depth[c], bottom = nearBottom + (farBottom - nearBottom) * depth[c];
            to.push_back({static_cast<int32_t>(1375 * depth[c]), static_cast<int32_t>(top + (bottom - top) * r / 3)});
        }
    for (auto _ : state) {
        VxBitmap* warped = Lib().mesh(from.data(), to.data(), 4, 4, &view, nullptr);
        if (warped == nullptr) state.SkipWithError("TransformMesh refused");
        benchmark::DoNotOptimize(warped);
        if (warped != nullptr) warped->release(warped);
    }
}
BENCHMARK(BM_TransformMesh_Library)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GaussBlurCV2_Library(benchmark::State& state) {
    const VxBitmap view = ViewOfCanvas();
    for (auto _ : state) {
        VxBitmap* blurred = Lib().blur(&view, 10, 10.0);
        if (blurred == nullptr) state.SkipWithError("GaussBlurCV2 refused");
        benchmark::DoNotOptimize(blurred);
        if (blurred != nullptr) blurred->release(blurred);
    }
}
BENCHMARK(BM_GaussBlurCV2_Library)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GaussBlur_BareOpenCV(benchmark::State& state) {
    for (auto _ : state) {
        cv::Mat dst;
        cv::GaussianBlur(Canvas(), dst, cv::Size(21, 21), 10.0, 10.0, cv::BORDER_REPLICATE);
        benchmark::DoNotOptimize(dst.data);
    }
}
BENCHMARK(BM_GaussBlur_BareOpenCV)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    v2d::bench::RunHeadless();
    // The machine is shared: repetitions in random order keep a load change
    // from falling on one side of a comparison. Flags given later win.
    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=5";
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    std::string onlyAggregates = "--benchmark_report_aggregates_only=true";
    args.insert(args.begin() + 1, {repetitions.data(), interleave.data(), onlyAggregates.data()});
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    v2d::bench::RatioReporter reporter({{"Transform_Library/progress:0", "Transform_BareOpenCV"},
                                        {"Transform_Library/progress:1", "Transform_BareOpenCV"},
                                        {"GaussBlurCV2_Library", "GaussBlur_BareOpenCV"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
