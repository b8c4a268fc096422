// The one thread start: a thread that runs, and a thread the system refuses, answered without an
// exception.
#include "platform/ThreadStart.h"

#include "tests/support/UnprivilegedRun.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <atomic>

namespace {

TEST(ThreadStartTest, AStartedThreadRunsItsBody) {
    std::atomic<bool> ran{false};
    TStartedThread started = StartThread([&] { ran = true; });
    ASSERT_TRUE(started.Started());
    EXPECT_FALSE(started.Failure);
    started.Thread.join();
    EXPECT_TRUE(ran);
}

// Under a process limit that lets no thread start the start says so in its result. The limit
// counts the user's processes and does not bind root, so the case runs as the unprivileged user.
TEST(ThreadStartTest, AThreadTheSystemRefusesIsAnsweredWithItsReason) {
    EXPECT_TRUE(RunUnprivileged([] {
        const rlimit limit{1, 1};
        ASSERT_EQ(::setrlimit(RLIMIT_NPROC, &limit), 0);
        bool ran = false;
        TStartedThread started = StartThread([&] { ran = true; });
        EXPECT_FALSE(started.Started());
        EXPECT_EQ(started.Failure, std::errc::resource_unavailable_try_again) << started.Failure.message();
        if (started.Started())
            started.Thread.join();
        EXPECT_FALSE(ran);
    }));
}

} // namespace
