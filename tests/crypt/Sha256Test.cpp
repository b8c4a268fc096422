// What only SHA-256 has: its message schedule. The cases all engines share are in
// DigestEngineTest.cpp.
#include "tests/crypt/DigestPathFixture.h"

#include "crypt/Sha256.h"

#include <gtest/gtest.h>

namespace {

class Sha256Test : public TDigestPathTest {};
INSTANTIATE_DIGEST_PATHS(Sha256Test);

TEST_P(Sha256Test, ScheduleExtendsTheBlockBigEndian) {
    std::array<std::uint8_t, 64> block{};
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>(i);
    const TSHA256Schedule w = SHA256Schedule(block);
    EXPECT_EQ(w[0], 0x00010203u);
    EXPECT_EQ(w[15], 0x3c3d3e3fu);
    // W16 = s1(W14) + W9 + s0(W1) + W0, worked out by hand from FIPS 180-4 section 6.2.2.
    const auto rotr = [](std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); };
    const std::uint32_t s1 = rotr(w[14], 17) ^ rotr(w[14], 19) ^ (w[14] >> 10);
    const std::uint32_t s0 = rotr(w[1], 7) ^ rotr(w[1], 18) ^ (w[1] >> 3);
    EXPECT_EQ(w[16], s1 + w[9] + s0 + w[0]);
}

} // namespace
