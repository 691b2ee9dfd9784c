// A per-pixel loop over a 4000 x 3000 picture split into row bands, the same
// loop on one thread for scale, and four such loops side by side (a parallel
// loop whose jobs split their own rows, as laying several regions does); the
// two helpers that mostly wait: the JPEG decoder's pager (a 4000 x 3000 photo
// decoded) and the background file writer (files written and synced in turn).
#include <QImage>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/background_file_writer.h"
#include "base/parallel_for.h"
#include "base/picture_codec.h"
#include "base/row_bands.h"
#include "bench/bench_main.h"

namespace v2d {
namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

QImage Picture(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) row[x] = 0xFF000000u | static_cast<uint32_t>(x * 2654435761u ^ y);
    }
    return picture;
}

// Brightens rows [first, end) of `picture` by a quarter, channel by channel.
void Brighten(QImage& picture, int first, int end) {
    const int width = picture.width();
    uchar* bits = picture.bits();
    for (int y = first; y < end; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(bits + static_cast<qsizetype>(y) * picture.bytesPerLine());
        for (int x = 0; x < width; ++x) {
            const uint32_t p = row[x];
            uint32_t out = 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8) {
                const uint32_t c = (p >> shift) & 0xFF;
                out |= std::min<uint32_t>(255, c + c / 4) << shift;
            }
            row[x] = out;
        }
    }
}

void BM_RowBandLoop(benchmark::State& state) {
    QImage picture = Picture(kWidth, kHeight);
    picture.bits();
    for (auto _ : state) {
        ForEachRowBand(kHeight, kWidth, [&](int first, int end) { Brighten(picture, first, end); });
        benchmark::DoNotOptimize(picture.constBits());
    }
}
BENCHMARK(BM_RowBandLoop)->Unit(benchmark::kMillisecond)->Apply(bench::BestOfFive);

void BM_SerialRowLoop(benchmark::State& state) {
    QImage picture = Picture(kWidth, kHeight);
    picture.bits();
    for (auto _ : state) {
        Brighten(picture, 0, kHeight);
        benchmark::DoNotOptimize(picture.constBits());
    }
}
BENCHMARK(BM_SerialRowLoop)->Unit(benchmark::kMillisecond)->Apply(bench::BestOfFive);

void BM_RowBandsInsideParallelLoop(benchmark::State& state) {
    std::vector<QImage> parts(4, Picture(kWidth, kHeight / 4));
    for (QImage& part : parts) part.bits();
    for (auto _ : state) {
        ParallelFor(parts.size(), [&](size_t i) {
            QImage& part = parts[i];
            ForEachRowBand(part.height(), part.width(), [&](int first, int end) { Brighten(part, first, end); });
        });
        benchmark::DoNotOptimize(parts.front().constBits());
    }
}
BENCHMARK(BM_RowBandsInsideParallelLoop)->Unit(benchmark::kMillisecond)->Apply(bench::BestOfFive);

void BM_DecodeLargeJpeg(benchmark::State& state) {
    const std::optional<Bytes> jpeg = EncodeJpeg(Picture(kWidth, kHeight), 90);
    if (!jpeg) std::abort();
    for (auto _ : state) benchmark::DoNotOptimize(DecodeJpeg(*jpeg).constBits());
}
BENCHMARK(BM_DecodeLargeJpeg)->Unit(benchmark::kMillisecond)->Apply(bench::BestOfFive);

// Twenty files of 256 kB through the writer while the caller makes the next.
void BM_BackgroundFileWriter(benchmark::State& state) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("bench_writer_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    for (auto _ : state) {
        BackgroundFileWriter writer;
        for (int i = 0; i < 20; ++i)
            if (!writer.Write(folder / (std::to_string(i) + ".bin"), std::vector<uint8_t>(256 << 10, uint8_t(i))))
                std::abort();
        if (writer.Finish()) std::abort();
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_BackgroundFileWriter)->Unit(benchmark::kMillisecond)->Apply(bench::BestOfFive);

}  // namespace
}  // namespace v2d

int main(int argc, char** argv) {
    return v2d::bench::RunBenchmarks(argc, argv, {{"RowBandLoop", "SerialRowLoop", 0, v2d::bench::Measure::Best},
                                                  {"RowBandsInsideParallelLoop", "SerialRowLoop", 0,
                                                   v2d::bench::Measure::Best}});
}
