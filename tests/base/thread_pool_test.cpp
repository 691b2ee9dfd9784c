// The pool: loops inside loops never run on more threads than the pool has
// and still visit every index once; a job's exception reaches the caller; a
// task the pool has not begun runs in Wait, or not at all once cancelled.
#include <gtest/gtest.h>

#include <QThread>
#include <QThreadPool>

#include <atomic>
#include <stdexcept>
#include <vector>

#include "base/parallel_for.h"
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

}  // namespace
}  // namespace v2d
