// The pool: loops inside loops never run on more threads than the pool has
// and still visit every index once; a job's exception reaches the caller; a
// task the pool has not begun runs in Wait, or not at all once cancelled; the
// helpers that mostly wait (the file writer, the JPEG pager) finish their work
// while every pool thread is held.
#include <gtest/gtest.h>

#include <QThread>
#include <QThreadPool>

#include <atomic>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/atomic_file.h"
#include "base/background_file_writer.h"
#include "base/parallel_for.h"
#include "base/picture_codec.h"
#include "base/row_bands.h"

namespace v2d {
namespace {

class ThreadPool : public ::testing::Test {
protected:
    void SetUp() override { QThreadPool::globalInstance()->setMaxThreadCount(4); }
    void TearDown() override { QThreadPool::globalInstance()->setMaxThreadCount(QThread::idealThreadCount()); }
};

TEST_F(ThreadPool, NestedLoopsStayWithinThePoolAndVisitEveryIndexOnce) {
    std::atomic<int> running{0}, most{0};
    std::vector<std::atomic<int>> visits(8 * 8 * 600);
    ParallelFor(8, [&](size_t outer) {
        ParallelFor(8, [&](size_t inner) {
            ForEachRowBand(600, 1000, [&](int first, int end) {
                const int now = ++running;
                for (int seen = most; now > seen && !most.compare_exchange_weak(seen, now);) {}
                for (int row = first; row < end; ++row) ++visits[(outer * 8 + inner) * 600 + row];
                QThread::msleep(1);
                --running;
            });
        });
    });
    EXPECT_LE(most, 4);
    EXPECT_GE(most, 2);
    for (const std::atomic<int>& v : visits) ASSERT_EQ(v, 1);
}

TEST_F(ThreadPool, AJobsExceptionReachesTheCaller) {
    EXPECT_THROW(ParallelFor(64, [](size_t i) {
        if (i == 40) throw std::runtime_error("band");
    }), std::runtime_error);
}

TEST_F(ThreadPool, ATaskNotBegunRunsInWaitOrNotAtAllOnceCancelled) {
    // Four tasks hold the pool until released, so the fifth stays queued.
    std::atomic<bool> release{false};
    std::vector<std::unique_ptr<PoolTask>> holders;
    for (int i = 0; i < 4; ++i) {
        holders.push_back(std::make_unique<PoolTask>());
        holders.back()->Start([&](const CancelToken&) { while (!release) QThread::msleep(1); });
    }
    int runs = 0;
    PoolTask queued, cancelled;
    queued.Start([&](const CancelToken&) { ++runs; });
    cancelled.Start([&](const CancelToken&) { runs += 10; });
    cancelled.Cancel();
    cancelled.Wait();
    queued.Wait();
    EXPECT_EQ(runs, 1);
    release = true;
}

TEST_F(ThreadPool, TheFileWriterAndTheJpegPagerFinishWhileThePoolIsHeld) {
    QImage picture(2000, 1500, QImage::Format_RGB32);  // 12 MB: paged in by a pool job
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) picture.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 251));
    const std::optional<Bytes> jpeg = EncodeJpeg(picture, 90);
    ASSERT_TRUE(jpeg);
    const QImage decodedFree = DecodeJpeg(*jpeg);
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "v2d-pool-writer-test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);

    std::atomic<bool> release{false};
    std::vector<std::unique_ptr<PoolTask>> holders;
    for (int i = 0; i < 4; ++i) {
        holders.push_back(std::make_unique<PoolTask>());
        holders.back()->Start([&](const CancelToken&) { while (!release) QThread::msleep(1); });
    }
    EXPECT_EQ(DecodeJpeg(*jpeg), decodedFree);
    BackgroundFileWriter writer(2);  // more files than may wait: the caller writes them
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(writer.Write(folder / std::to_string(i), std::vector<uint8_t>(100, uint8_t(i))));
    EXPECT_EQ(writer.Finish(), std::nullopt);
    release = true;
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(*ReadWholeFile(folder / std::to_string(i)), std::vector<uint8_t>(100, uint8_t(i))) << i;
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace v2d
