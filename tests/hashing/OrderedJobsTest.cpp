#include "hashing/OrderedJobs.h"
#include "tests/support/StateWait.h"

#include "tests/support/RefusedThreadStart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <set>
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

// A flag one thread raises and others wait for, with a limit so a fault fails instead of hanging.
class TFlag {
public:
    void Raise() {
        {
            const std::lock_guard lock(m_mutex);
            m_raised = true;
        }
        m_changed.notify_all();
    }
    bool Wait(std::chrono::milliseconds limit = std::chrono::seconds(5)) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, limit, [&] { return m_raised; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_raised = false;
};

// A starter that starts `allowed` threads and then fails as the system does under a process limit,
// or runs out of memory for the start.
TStartThread FailingAfter(int allowed, std::atomic<int>& started, bool outOfMemory) {
    return [allowed, &started, outOfMemory](std::function<void()> body) {
        if (started >= allowed && outOfMemory)
            throw std::bad_alloc();
        if (started >= allowed)
            return RefusedThreadStart();
        ++started;
        return StartThread(std::move(body));
    };
}

// Threads that cannot start cost speed only: the run goes on with those that did start, or on
// the caller's thread alone, every result delivered in order.
TEST(OrderedJobsTest, ThreadsThatCannotStartCostSpeedOnly) {
    for (const bool outOfMemory : {false, true})
        for (const int allowed : {0, 1, 3}) {
            SCOPED_TRACE(std::to_string(allowed) + (outOfMemory ? " started, then no memory" : " started"));
            std::atomic<int> started{0};
            std::vector<std::string> delivered;
            std::atomic<int> highestWorker{-1};
            TOrderedJobs runner(
                4, 8,
                [&](const TJobResult& result) {
                    delivered.push_back(result.Output);
                    return true;
                },
                FailingAfter(allowed, started, outOfMemory));
            EXPECT_EQ(runner.Workers(), std::max(allowed, 1));
            for (int i = 0; i < 40; ++i)
                ASSERT_TRUE(runner.Submit([&, i](int worker) {
                    for (int seen = highestWorker;
                         worker > seen && !highestWorker.compare_exchange_weak(seen, worker);) {
                    }
                    return TJobResult{std::to_string(i), {}, false};
                }));
            EXPECT_TRUE(runner.Finish());
            ASSERT_EQ(delivered.size(), 40u);
            for (int i = 0; i < 40; ++i)
                EXPECT_EQ(delivered[static_cast<std::size_t>(i)], std::to_string(i));
            EXPECT_LT(highestWorker, std::max(allowed, 1));
        }
}

// A delivery that throws (memory ran out while writing) stops the run like a failed one, and
// the exception reaches the caller from Finish instead of ending the program.
TEST(OrderedJobsTest, ExceptionInDeliveryReachesFinish) {
    for (const int jobs : {1, 3}) {
        SCOPED_TRACE(jobs);
        int deliveries = 0;
        TOrderedJobs runner(jobs, 4, [&](const TJobResult&) -> bool {
            if (++deliveries == 2)
                throw std::runtime_error("delivery failed");
            return true;
        });
        for (int i = 0; i < 100 && runner.Submit([](int) { return TJobResult{"x", {}, false}; }); ++i) {
        }
        try {
            runner.Finish();
            ADD_FAILURE() << "the delivery's exception was lost";
        } catch (const std::runtime_error& failure) {
            EXPECT_STREQ(failure.what(), "delivery failed");
        }
        EXPECT_EQ(deliveries, 2);
    }
}

// Submit gives exactly `window` tasks ahead of the first undelivered one, no fewer, no more:
// with the first task held, `window` Submits return and the next one waits.
TEST(OrderedJobsTest, WindowBoundIsExact) {
    for (const std::size_t window : {std::size_t{1}, std::size_t{3}}) {
        SCOPED_TRACE(window);
        TFlag release;
        std::atomic<std::size_t> submitted{0};
        std::vector<std::string> delivered;
        TOrderedJobs runner(2, window, [&](const TJobResult& result) {
            delivered.push_back(result.Output);
            return true;
        });
        std::thread submitter([&] {
            for (std::size_t i = 0; i <= window; ++i) {
                runner.Submit([&, i](int) {
                    if (i == 0)
                        release.Wait();
                    return TJobResult{std::to_string(i), {}, false};
                });
                ++submitted;
            }
        });
        for (int waited = 0; submitted < window && waited < StateWaitMs; waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        // A Submit that wrongly went past the window would show here.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(submitted, window) << "tasks given while the first is held";
        release.Raise();
        submitter.join();
        EXPECT_TRUE(runner.Finish());
        EXPECT_EQ(submitted, window + 1);
        ASSERT_EQ(delivered.size(), window + 1);
        for (std::size_t i = 0; i <= window; ++i)
            EXPECT_EQ(delivered[i], std::to_string(i));
    }
}

// Once a delivery stops the run no further task runs: with threads, tasks given before the stop
// and still waiting are dropped; with one job, Submit answers false and runs nothing.
TEST(OrderedJobsTest, NoTaskRunsAfterAStop) {
    {
        SCOPED_TRACE("one job");
        std::vector<int> ran;
        TOrderedJobs runner(1, 4, [](const TJobResult&) { return false; });
        EXPECT_FALSE(runner.Submit([&](int) {
            ran.push_back(0);
            return TJobResult{};
        }));
        for (int i = 1; i < 5; ++i)
            EXPECT_FALSE(runner.Submit([&, i](int) {
                ran.push_back(i);
                return TJobResult{};
            }));
        EXPECT_FALSE(runner.Finish());
        EXPECT_EQ(ran, std::vector<int>{0});
    }
    {
        SCOPED_TRACE("two jobs");
        std::mutex mutex;
        std::set<int> ran;
        TFlag allGiven;
        TFlag secondRunning;
        TFlag stopped;
        TOrderedJobs runner(2, 16, [&](const TJobResult&) {
            stopped.Raise();
            return false;
        });
        for (int i = 0; i < 10; ++i) {
            runner.Submit([&, i](int) {
                {
                    const std::lock_guard lock(mutex);
                    ran.insert(i);
                }
                if (i == 0) {
                    allGiven.Wait();
                    secondRunning.Wait();
                } else if (i == 1) {
                    // Holds the second worker until the stop is in, so the rest wait queued.
                    secondRunning.Raise();
                    stopped.Wait();
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                }
                return TJobResult{};
            });
        }
        allGiven.Raise();
        EXPECT_FALSE(runner.Finish());
        EXPECT_EQ(ran, (std::set<int>{0, 1}));
    }
}

} // namespace
