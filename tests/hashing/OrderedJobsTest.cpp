#include "hashing/OrderedJobs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

// Tasks that finish out of order (later ones are quicker) are delivered in the order given,
// with at most `window` given but undelivered at any time, in every job count.
TEST(OrderedJobsTest, DeliversInOrderWithinTheWindow) {
    for (const int jobs : {1, 2, 3, 8}) {
        SCOPED_TRACE(jobs);
        constexpr int Tasks = 200;
        constexpr std::size_t Window = 5;
        std::vector<std::string> delivered;
        std::atomic<int> started{0};
        std::atomic<int> finishedDeliveries{0};
        std::atomic<int> mostAhead{0};
        {
            TOrderedJobs runner(jobs, Window, [&](const TJobResult& result) {
                delivered.push_back(result.Output);
                ++finishedDeliveries;
                return true;
            });
            for (int i = 0; i < Tasks; ++i) {
                ASSERT_TRUE(runner.Submit([&, i](int worker) {
                    EXPECT_GE(worker, 0);
                    EXPECT_LT(worker, jobs);
                    const int ahead = ++started - finishedDeliveries;
                    for (int seen = mostAhead; ahead > seen && !mostAhead.compare_exchange_weak(seen, ahead);) {
                    }
                    std::this_thread::sleep_for(std::chrono::microseconds((Tasks - i) % 7 * 100));
                    if (i % 50 == 7)
                        throw std::runtime_error("task " + std::to_string(i) + " failed");
                    return TJobResult{std::to_string(i), {}, false};
                }));
            }
            EXPECT_TRUE(runner.Finish());
        }
        ASSERT_EQ(delivered.size(), static_cast<std::size_t>(Tasks));
        for (int i = 0; i < Tasks; ++i)
            EXPECT_EQ(delivered[static_cast<std::size_t>(i)], i % 50 == 7 ? "" : std::to_string(i));
        // The window counts a result as delivered once its delivery begins; the callback's own
        // count follows a moment later, so one more task may have started by then.
        EXPECT_LE(mostAhead, static_cast<int>(Window) + 1);
    }
}

TEST(OrderedJobsTest, ThrownFailureBecomesAFailedResult) {
    for (const int jobs : {1, 2}) {
        TJobResult seen;
        TOrderedJobs runner(jobs, 4, [&](const TJobResult& result) {
            seen = result;
            return true;
        });
        runner.Submit([](int) -> TJobResult { throw std::runtime_error("Stream read error: Input/output error"); });
        runner.Finish();
        EXPECT_TRUE(seen.Failed);
        EXPECT_EQ(seen.Errors, "Stream read error: Input/output error");
    }
}

// A delivery that fails (standard output closed) stops the run: later tasks do not run.
TEST(OrderedJobsTest, FailedDeliveryStopsTheRun) {
    for (const int jobs : {1, 2, 4}) {
        SCOPED_TRACE(jobs);
        std::atomic<int> ran{0};
        int deliveries = 0;
        TOrderedJobs runner(jobs, 2, [&](const TJobResult&) {
            ++deliveries;
            return false;
        });
        int accepted = 0;
        for (int i = 0; i < 1000; ++i) {
            if (!runner.Submit([&](int) {
                    ++ran;
                    return TJobResult{"x", {}, false};
                }))
                break;
            ++accepted;
        }
        EXPECT_FALSE(runner.Finish());
        EXPECT_EQ(deliveries, 1);
        EXPECT_LT(accepted, 1000);
        EXPECT_LE(ran, 1 + 2 + jobs);
    }
}

} // namespace
