// Ordered work: items prepared on workers are finished on the calling thread
// in order, never more than the allowed number ahead, and a finish that says
// stop stops the work.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <stdexcept>
#include <thread>
#include <vector>

#include "OrderedWork.h"

namespace {

// Runs `count` items whose prepare squares the index; what the finishes saw.
struct WorkSeen {
    std::vector<size_t> finished;      // in the order finished
    std::vector<long> values;          // as each finish found it
    bool whole = false;
    bool aheadKept = true;             // no prepare began more than `ahead` past the finished
    bool finishedHere = true;          // every finish on the calling thread
};

WorkSeen RunSquares(size_t count, size_t workers, size_t ahead, size_t stopAfter = SIZE_MAX, size_t throwAt = SIZE_MAX)
{
    WorkSeen run;
    std::vector<long> values(count, -1);
    std::atomic<size_t> finishedCount{0};
    std::atomic<bool> aheadKept{true};
    const std::thread::id caller = std::this_thread::get_id();
    run.whole = COrderedWork::Run(
        count, workers, ahead,
        [&](size_t i) {
            if (i >= finishedCount.load() + std::max<size_t>(ahead, 1))
                aheadKept = false;
            if (i == throwAt)
                throw std::runtime_error("prepare failed");
            values[i] = static_cast<long>(i * i);
        },
        [&](size_t i) {
            run.finishedHere = run.finishedHere && std::this_thread::get_id() == caller;
            run.finished.push_back(i);
            run.values.push_back(values[i]);
            finishedCount = i + 1;
            return i != stopAfter;
        });
    run.aheadKept = aheadKept;
    return run;
}

} // namespace

TEST(OrderedWork, FinishesEveryItemInOrderOnTheCallingThread)
{
    for (const size_t workers : {size_t{0}, size_t{1}, size_t{3}, size_t{8}}) {
        const WorkSeen run = RunSquares(200, workers, 2);
        EXPECT_TRUE(run.whole);
        ASSERT_EQ(run.finished.size(), 200u) << workers;
        for (size_t i = 0; i < run.finished.size(); ++i) {
            EXPECT_EQ(run.finished[i], i);
            EXPECT_EQ(run.values[i], static_cast<long>(i * i)) << "finished before it was prepared";
        }
        EXPECT_TRUE(run.aheadKept) << workers;
        EXPECT_TRUE(run.finishedHere) << workers;
    }
    EXPECT_TRUE(RunSquares(0, 4, 2).whole);
    EXPECT_EQ(RunSquares(1, 4, 2).finished, std::vector<size_t>{0});
}

TEST(OrderedWork, AFinishThatSaysStopEndsTheWorkAndAThrowingPrepareIsFinishedAsItStands)
{
    for (const size_t workers : {size_t{0}, size_t{2}}) {
        const WorkSeen stopped = RunSquares(100, workers, 3, 10);
        EXPECT_FALSE(stopped.whole);
        EXPECT_EQ(stopped.finished.size(), 11u) << workers;
        EXPECT_TRUE(stopped.aheadKept);

        const WorkSeen thrown = RunSquares(20, workers, 3, SIZE_MAX, 5);
        EXPECT_TRUE(thrown.whole);
        ASSERT_EQ(thrown.finished.size(), 20u);
        EXPECT_EQ(thrown.values[5], -1);
        EXPECT_EQ(thrown.values[6], 36);
    }
}
