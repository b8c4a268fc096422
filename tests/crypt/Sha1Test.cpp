#include "tests/crypt/DigestPathFixture.h"
#include "tests/crypt/DigestTestSupport.h"
#include "tests/crypt/ShaTestSupport.h"

#include "crypt/ByteOrder.h"
#include "crypt/Hex.h"
#include "crypt/Sha1.h"

#include <gtest/gtest.h>

namespace {

class Sha1Test : public TDigestPathTest {};
INSTANTIATE_DIGEST_PATHS(Sha1Test);

TSHAContext FreshContext() {
    TSHAContext context;
    std::memset(&context, 0x5a, sizeof context); // leftovers Init must clear
    SHA1Init(context);
    return context;
}

void ExpectUnusedStateWordsZero(const TSHAContext& context) {
    EXPECT_EQ(context.State[5], 0u);
    EXPECT_EQ(context.State[6], 0u);
    EXPECT_EQ(context.State[7], 0u);
}

TEST_P(Sha1Test, KnownVectorsFedWholeByteByByteAndSplit) {
    CheckVectorsAllWays(SHA1UnderTest);
}

TEST_P(Sha1Test, InitLoadsFiveWordsAndZeroesTheRest) {
    const TSHAContext context = FreshContext();
    EXPECT_EQ(context.State[0], 0x67452301u);
    EXPECT_EQ(context.State[4], 0xc3d2e1f0u);
    ExpectUnusedStateWordsZero(context);
    EXPECT_EQ(context.BitCountLo, 0u);
    EXPECT_EQ(context.BitCountHi, 0u);
    EXPECT_EQ(context.BlockFill, 0);
    for (std::uint8_t byte : context.Block)
        EXPECT_EQ(byte, 0);
}

TEST_P(Sha1Test, ContextServesMessageAfterMessageWithoutInit) {
    struct TMessage {
        std::string Text;
        const char* Expected;
    };
    const TMessage messages[] = {
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
    };
    TSHAContext context = FreshContext();
    for (const TMessage& message : messages) {
        SCOPED_TRACE(message.Text);
        SHA1Update(context, message.Text.data(), static_cast<std::int32_t>(message.Text.size()));
        ExpectUnusedStateWordsZero(context);
        EXPECT_EQ(SHA1ToHex(SHA1Final(context)), message.Expected);
        ExpectUnusedStateWordsZero(context);
        EXPECT_EQ(context.State, FreshContext().State);
        EXPECT_EQ(context.BitCountLo, 0u);
        EXPECT_EQ(context.BlockFill, 0);
    }
}

struct TCountCase {
    const char* Name;
    std::uint32_t Lo;
    std::uint32_t Hi;
    std::int32_t Fed;
};

TEST_P(Sha1Test, BitCountCarriesIntoTheHighWordAndReachesTheLengthField) {
    const TCountCase cases[] = {
        {"carry", 0xfffffe00u, 0, 100},
        {"high_word_set", 0x00000200u, 3, 60},
        {"wrap_2_64", 0xfffffe00u, 0xffffffffu, 70},
    };
    const std::string message(200, 'r');
    for (const TCountCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TSHAContext context = FreshContext();
        context.BitCountLo = c.Lo;
        context.BitCountHi = c.Hi;
        SHA1Update(context, message.data(), c.Fed);

        const std::uint64_t total = ((std::uint64_t{c.Hi} << 32) | c.Lo) + std::uint64_t(c.Fed) * 8;
        EXPECT_EQ(context.BitCountLo, static_cast<std::uint32_t>(total));
        EXPECT_EQ(context.BitCountHi, static_cast<std::uint32_t>(total >> 32));

        const std::array<std::uint32_t, 8> state = ShaStateAfterTail(context, total, SHA1Transform);
        TSHA1Digest expected;
        ByteSwapCopy5(state.data(), expected.data());
        EXPECT_EQ(SHA1Final(context), expected);
    }
}

} // namespace
