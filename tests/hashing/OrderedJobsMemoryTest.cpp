// Memory running out while tasks are queued: Submit fails cleanly and the run goes on. The binary
// replaces the global operator new so that the test thread's allocations fail while it says so.
#include "hashing/OrderedJobs.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace {

thread_local bool failAllocations = false;

} // namespace

void* operator new(std::size_t size) {
    if (failAllocations)
        throw std::bad_alloc();
    if (void* block = std::malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

namespace {

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
