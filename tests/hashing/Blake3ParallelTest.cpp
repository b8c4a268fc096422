#include "hashing/Blake3Parallel.h"

#include "crypt/Blake3.h"
#include "crypt/Hex.h"
#include "tests/crypt/DigestTestSupport.h"
#include "tests/support/RefusedThreadStart.h"

#include <gtest/gtest.h>

#include <pthread.h>
#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<std::uint8_t> SizedBytes(std::size_t size) {
    return RandomBytes(size, static_cast<unsigned>(size));
}

constexpr unsigned ThreadCounts[] = {1, 2, 3, 8};

// Sizes below and above the subtrees worth sharing out, powers of two of chunks and sizes that
// are not, so that several subtrees of different sizes and a last partial chunk occur.
constexpr std::size_t Sizes[] = {0,
                                 1,
                                 1024,
                                 1025,
                                 300 * 1024 + 7,
                                 std::size_t{1} << 20,
                                 (std::size_t{1} << 20) + 1,
                                 3 * 1024 * 1024 + 5,
                                 (5 << 20) + 1000 * 1024,
                                 (std::size_t{1} << 23) + 3 * 1024 * 1024 + 123};

TEST(Blake3ParallelTest, WholeBufferGivesTheSerialDigest) {
    for (std::size_t size : Sizes) {
        const std::vector<std::uint8_t> bytes = SizedBytes(size);
        const std::string expected = BLAKE3WholeHex(bytes);
        for (unsigned threads : ThreadCounts)
            EXPECT_EQ(BLAKE3ToHex(BLAKE3HashParallel(bytes, threads)), expected)
                << size << " bytes on " << threads << " threads";
    }
}

// A file read in large pieces: spans of sizes that do not line up with chunks or subtrees.
TEST(Blake3ParallelTest, SuccessiveSpansGiveTheSerialDigest) {
    const std::vector<std::uint8_t> bytes = SizedBytes((std::size_t{1} << 23) + 3 * 1024 * 1024 + 123);
    const std::string expected = BLAKE3WholeHex(bytes);
    for (unsigned threads : ThreadCounts)
        for (std::size_t span : {std::size_t{1} << 20, std::size_t{1536 * 1024 + 3}, std::size_t{4 << 20}}) {
            TBLAKE3Parallel hasher(threads);
            EXPECT_EQ(hasher.Threads(), threads);
            for (std::size_t at = 0; at < bytes.size(); at += span)
                hasher.Update(std::span(bytes).subspan(at, std::min(span, bytes.size() - at)));
            EXPECT_EQ(BLAKE3ToHex(hasher.Final()), expected) << "spans of " << span << " on " << threads << " threads";
        }
}

TEST(Blake3ParallelTest, FinalBeginsANewMessage) {
    const std::vector<std::uint8_t> first = SizedBytes(3 * 1024 * 1024 + 5);
    const std::vector<std::uint8_t> second = SizedBytes((5 << 20) + 1000 * 1024);
    TBLAKE3Parallel hasher(2);
    hasher.Update(first);
    EXPECT_EQ(BLAKE3ToHex(hasher.Final()), BLAKE3WholeHex(first));
    hasher.Update(second);
    EXPECT_EQ(BLAKE3ToHex(hasher.Final()), BLAKE3WholeHex(second));
}

TEST(Blake3ParallelTest, NoThreadCountHashesOnTheCallingThread) {
    TBLAKE3Parallel hasher(0);
    EXPECT_EQ(hasher.Threads(), 1u);
    const std::vector<std::uint8_t> bytes = SizedBytes(3 * 1024 * 1024 + 5);
    hasher.Update(bytes);
    EXPECT_EQ(BLAKE3ToHex(hasher.Final()), BLAKE3WholeHex(bytes));
}

// Threads are started through the seam: those the starter refuses (as the system does under a
// process limit) are left out, and the hashing runs on those it started and the calling thread.
TEST(Blake3ParallelTest, ThreadsTheStarterRefusesAreLeftOut) {
    const std::vector<std::uint8_t> bytes = SizedBytes((5 << 20) + 1000 * 1024);
    const std::string expected = BLAKE3WholeHex(bytes);
    for (const unsigned allowed : {0u, 1u, 2u, 3u}) {
        unsigned started = 0;
        TBLAKE3Parallel hasher(4, [&](std::function<void()> body) {
            if (started >= allowed)
                return RefusedThreadStart();
            ++started;
            return StartThread(std::move(body));
        });
        EXPECT_EQ(started, allowed);
        EXPECT_EQ(hasher.Threads(), allowed + 1);
        hasher.Update(bytes);
        EXPECT_EQ(BLAKE3ToHex(hasher.Final()), expected) << allowed << " of 3 workers started";
    }
}

// The address sanitizer's reserved memory leaves no address space limit to reach.
#if !defined(__SANITIZE_ADDRESS__)
// The address space this process has mapped, in bytes.
std::size_t MappedBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    statm >> pages;
    return pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

// The stack size a new thread gets, which the system may set from the stack limit.
std::size_t ThreadStackBytes() {
    pthread_attr_t attributes;
    std::size_t size = 8 << 20;
    if (::pthread_getattr_default_np(&attributes) == 0) {
        ::pthread_attr_getstacksize(&attributes, &size);
        ::pthread_attr_destroy(&attributes);
    }
    return size;
}

// With address space for one more thread stack and not two, asks for three threads and exits
// with 0 when the hasher runs on the worker that started and the calling thread and gives the
// expected digest.
[[noreturn]] void HashUnderLimit(const std::vector<std::uint8_t>& bytes, const std::string& expected) {
    const std::size_t room = MappedBytes() + ThreadStackBytes() * 3 / 2;
    const rlimit limit{room, room};
    if (::setrlimit(RLIMIT_AS, &limit) != 0)
        std::_Exit(2);
    TBLAKE3Parallel hasher(3);
    if (hasher.Threads() != 2)
        std::_Exit(3);
    hasher.Update(bytes);
    std::_Exit(BLAKE3ToHex(hasher.Final()) == expected ? 0 : 4);
}
#endif

TEST(Blake3ParallelTest, RunsOnTheThreadsThatStarted) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "no address space limit to reach under the address sanitizer";
#else
    // A child started afresh: what earlier tests left mapped (a thread's malloc arena) would eat
    // the room the limit leaves.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::vector<std::uint8_t> bytes = SizedBytes(3 * 1024 * 1024 + 5);
    EXPECT_EXIT(HashUnderLimit(bytes, BLAKE3WholeHex(bytes)), testing::ExitedWithCode(0), "");
#endif
}

} // namespace
