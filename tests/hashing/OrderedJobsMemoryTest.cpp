// Memory running out while tasks are queued: Submit fails cleanly and the run goes on. The binary
// replaces the global operator new (tests/support/ReplacedNew) so that the test thread's allocations fail while it says
// so.
#include "hashing/OrderedJobs.h"
#include "tests/support/ReplacedNew.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace {

thread_local bool failAllocations = false;

bool AllowUnlessFailing(std::size_t) {
    return !failAllocations;
}

// While the workers are held, every Submit is tried with allocations failing: each either
// queues its task without allocating or throws at whichever queue needs a new block first,
// the task queue's or the result slots'. Every task accepted is then delivered in order and
// none that was refused.
TEST(OrderedJobsMemoryTest, SubmitThatCannotQueueLeavesTheRunWhole) {
    std::mutex mutex;
    std::condition_variable released;
    bool release = false;
    std::vector<std::string> delivered;
    std::vector<std::string> accepted;
    int refused = 0;
    {
        TOrderedJobs runner(2, 1000, [&](const TJobResult& result) {
            delivered.push_back(result.Output);
            return true;
        });
        SetAllocationHook(AllowUnlessFailing);
        for (int i = 0; i < 300; ++i) {
            // Made before allocations fail: only Submit's own allocations are under test.
            TOrderedJobs::TTask task = [&, i](int) {
                std::unique_lock lock(mutex);
                released.wait(lock, [&] { return release; });
                return TJobResult{std::to_string(i), {}, false};
            };
            failAllocations = i % 2 == 1;
            try {
                const bool queued = runner.Submit(std::move(task));
                failAllocations = false;
                ASSERT_TRUE(queued);
                accepted.push_back(std::to_string(i));
            } catch (const std::bad_alloc&) {
                failAllocations = false;
                ++refused;
            }
        }
        {
            const std::lock_guard lock(mutex);
            release = true;
        }
        released.notify_all();
        EXPECT_TRUE(runner.Finish());
    }
    EXPECT_GT(refused, 0) << "no Submit met a failing allocation; the case shows nothing";
    EXPECT_EQ(delivered, accepted);
}

} // namespace
