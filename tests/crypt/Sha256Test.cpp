#include "tests/crypt/DigestPathFixture.h"
#include "tests/crypt/DigestTestSupport.h"
#include "tests/crypt/ShaTestSupport.h"

#include "crypt/ByteOrder.h"
#include "crypt/Hex.h"
#include "crypt/Sha256.h"

#include <gtest/gtest.h>

namespace {

class Sha256Test : public TDigestPathTest {};
INSTANTIATE_DIGEST_PATHS(Sha256Test);

TSHAContext FreshContext() {
    TSHAContext context;
    std::memset(&context, 0x5a, sizeof context); // leftovers Init must clear
    SHA256Init(context);
    return context;
}

bool SameContext(const TSHAContext& a, const TSHAContext& b) {
    return a.State == b.State && a.BitCountLo == b.BitCountLo && a.BitCountHi == b.BitCountHi && a.Block == b.Block &&
           a.BlockFill == b.BlockFill;
}

TEST_P(Sha256Test, KnownVectorsFedWholeByteByByteAndSplit) {
    CheckVectorsAllWays(SHA256UnderTest);
}

TEST_P(Sha256Test, InitZeroesEverythingButTheInitialHashValue) {
    const TSHAContext context = FreshContext();
    EXPECT_EQ(context.State[0], 0x6a09e667u);
    EXPECT_EQ(context.State[7], 0x5be0cd19u);
    EXPECT_EQ(context.BitCountLo, 0u);
    EXPECT_EQ(context.BitCountHi, 0u);
    EXPECT_EQ(context.BlockFill, 0);
    for (std::uint8_t byte : context.Block)
        EXPECT_EQ(byte, 0);
}

TEST_P(Sha256Test, FinalLeavesTheContextBegunAnewForTheNextMessage) {
    TSHAContext context = FreshContext();
    SHA256Update(context, "abc", 3);
    EXPECT_EQ(SHA256ToHex(SHA256Final(context)), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_TRUE(SameContext(context, FreshContext()));

    const std::string next = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    SHA256Update(context, next.data(), static_cast<std::int32_t>(next.size()));
    EXPECT_EQ(SHA256ToHex(SHA256Final(context)), "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

TEST_P(Sha256Test, UpdateOfNothingChangesNothing) {
    TSHAContext context = FreshContext();
    SHA256Update(context, "xyz", 3);
    const TSHAContext before = context;
    SHA256Update(context, "ignored", 0);
    SHA256Update(context, nullptr, 0);
    EXPECT_TRUE(SameContext(context, before));
}

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

// Bit counts near the 32-bit carry and the 64-bit wrap, set directly instead of hashing 512 MiB.
struct TCountCase {
    const char* Name;
    std::uint32_t Lo;
    std::uint32_t Hi;
    std::int32_t Fed;
};

TEST_P(Sha256Test, BitCountCarriesIntoTheHighWordAndReachesTheLengthField) {
    const TCountCase cases[] = {
        {"carry", 0xfffffe00u, 0, 100},        {"carry_exact", 0xfffffe00u, 0, 64},
        {"high_word_set", 0x00000200u, 7, 10}, {"wrap_2_64", 0xfffffe00u, 0xffffffffu, 70},
        {"no_carry", 0x7ffffe00u, 0, 120},
    };
    const std::string message(200, 'q');
    for (const TCountCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TSHAContext context = FreshContext();
        context.BitCountLo = c.Lo;
        context.BitCountHi = c.Hi;
        SHA256Update(context, message.data(), c.Fed);

        const std::uint64_t total = ((std::uint64_t{c.Hi} << 32) | c.Lo) + std::uint64_t(c.Fed) * 8;
        EXPECT_EQ(context.BitCountLo, static_cast<std::uint32_t>(total));
        EXPECT_EQ(context.BitCountHi, static_cast<std::uint32_t>(total >> 32));

        const std::array<std::uint32_t, 8> state = ShaStateAfterTail(context, total, SHA256Transform);
        TSHA256Digest expected;
        ByteSwapCopy8(state.data(), expected.data());
        EXPECT_EQ(SHA256Final(context), expected);
    }
}

} // namespace
