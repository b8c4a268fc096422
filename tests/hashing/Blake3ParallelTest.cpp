#include "hashing/Blake3Parallel.h"

#include "crypt/Blake3.h"
#include "crypt/Hex.h"
#include "tests/crypt/DigestTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <string>
#include <system_error>
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
TEST(Blake3ParallelTest, RunsOnTheThreadsThatStarted) {
    const std::vector<std::uint8_t> bytes = SizedBytes((5 << 20) + 1000 * 1024);
    const std::string expected = BLAKE3WholeHex(bytes);
    for (const unsigned allowed : {0u, 1u, 2u, 3u}) {
        unsigned started = 0;
        TBLAKE3Parallel hasher(4, [&](std::function<void()> body) {
            if (started >= allowed)
                throw std::system_error(EAGAIN, std::generic_category(), "Resource temporarily unavailable");
            ++started;
            return std::thread(std::move(body));
        });
        EXPECT_EQ(started, allowed);
        EXPECT_EQ(hasher.Threads(), allowed + 1);
        hasher.Update(bytes);
        EXPECT_EQ(BLAKE3ToHex(hasher.Final()), expected) << allowed << " of 3 workers started";
    }
}

} // namespace
