// The cases every one of the project's own engines must pass, written once and run for MD5 and
// for SHA-1 and SHA-256 on each of their compression paths. A traits struct per engine gives
// its context, its three operations and its initial value; what only one engine does is tested
// in its own file (Md5Test.cpp, Sha256Test.cpp).
#include "tests/crypt/DigestPathFixture.h"
#include "tests/crypt/DigestTestSupport.h"
#include "tests/crypt/ShaTestSupport.h"

#include "crypt/ByteOrder.h"
#include "crypt/Hex.h"
#include "crypt/Md5.h"
#include "crypt/Sha1.h"
#include "crypt/Sha256.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <optional>
#include <string>

namespace {

struct TMD5Engine {
    using Context = TMD5Context;
    static constexpr const char* Name = "MD5";
    static constexpr std::optional<TDigestPath> Path = std::nullopt; // one compression path
    static constexpr std::array<std::uint32_t, 4> InitialState = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};
    static const TEngineUnderTest& UnderTest() { return MD5UnderTest; }
    static void Init(Context& context) { MD5Init(context); }
    static void Update(Context& context, const void* data, std::size_t count) {
        MD5Update(context, data, static_cast<std::uint32_t>(count));
    }
    static std::string FinalHex(Context& context) { return MD5ToHex(MD5Final(context)); }
    // The 64-bit count the engine keeps, in its own unit (bytes).
    static std::uint64_t Count(const Context& context) {
        return std::uint64_t{context.ByteCountHi} << 32 | context.ByteCountLo;
    }
};

// What SHA-1 and SHA-256 share: the context record and its bit count.
struct TSHAEngine {
    using Context = TSHAContext;
    static std::uint64_t Count(const Context& context) {
        return std::uint64_t{context.BitCountHi} << 32 | context.BitCountLo;
    }
};

struct TSHA1Engine : TSHAEngine {
    using Digest = TSHA1Digest;
    static constexpr const char* Name = "SHA1";
    // Five words of state; the other three stay zero.
    static constexpr std::array<std::uint32_t, 8> InitialState = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u,
                                                                  0xc3d2e1f0u, 0,           0,           0};
    static constexpr std::size_t StateWords = 5;
    static const TEngineUnderTest& UnderTest() { return SHA1UnderTest; }
    static void Init(Context& context) { SHA1Init(context); }
    static void Update(Context& context, const void* data, std::size_t count) {
        SHA1Update(context, data, static_cast<std::int32_t>(count));
    }
    static Digest Final(Context& context) { return SHA1Final(context); }
    static std::string FinalHex(Context& context) { return SHA1ToHex(SHA1Final(context)); }
    static void Transform(Context& context) { SHA1Transform(context); }
    static Digest DigestOfState(const std::array<std::uint32_t, 8>& state) {
        Digest digest;
        ByteSwapCopy5(state.data(), digest.data());
        return digest;
    }
};

struct TSHA256Engine : TSHAEngine {
    using Digest = TSHA256Digest;
    static constexpr const char* Name = "SHA256";
    static constexpr std::array<std::uint32_t, 8> InitialState = {0x6a09e667u, 0xbb67ae85u, 0x3c6ef372u, 0xa54ff53au,
                                                                  0x510e527fu, 0x9b05688cu, 0x1f83d9abu, 0x5be0cd19u};
    static constexpr std::size_t StateWords = 8;
    static const TEngineUnderTest& UnderTest() { return SHA256UnderTest; }
    static void Init(Context& context) { SHA256Init(context); }
    static void Update(Context& context, const void* data, std::size_t count) {
        SHA256Update(context, data, static_cast<std::int32_t>(count));
    }
    static Digest Final(Context& context) { return SHA256Final(context); }
    static std::string FinalHex(Context& context) { return SHA256ToHex(SHA256Final(context)); }
    static void Transform(Context& context) { SHA256Transform(context); }
    static Digest DigestOfState(const std::array<std::uint32_t, 8>& state) {
        Digest digest;
        ByteSwapCopy8(state.data(), digest.data());
        return digest;
    }
};

// A SHA engine run on one of its compression paths.
template <typename TEngine, TDigestPath OnPath> struct TOnPath : TEngine {
    static constexpr std::optional<TDigestPath> Path = OnPath;
};

using TAllEngines =
    testing::Types<TMD5Engine, TOnPath<TSHA1Engine, TDigestPath::Portable>,
                   TOnPath<TSHA1Engine, TDigestPath::ShaExtensions>, TOnPath<TSHA256Engine, TDigestPath::Portable>,
                   TOnPath<TSHA256Engine, TDigestPath::ShaExtensions>>;
using TSHAEngines =
    testing::Types<TOnPath<TSHA1Engine, TDigestPath::Portable>, TOnPath<TSHA1Engine, TDigestPath::ShaExtensions>,
                   TOnPath<TSHA256Engine, TDigestPath::Portable>, TOnPath<TSHA256Engine, TDigestPath::ShaExtensions>>;

// "MD5", "SHA1_Portable", "SHA256_ShaExtensions" ...
struct TEngineNames {
    template <typename TEngine> static std::string GetName(int) {
        return TEngine::Path ? std::string(TEngine::Name) + "_" + DigestPathName(*TEngine::Path) : TEngine::Name;
    }
};

// Runs each case on the engine's path; a path this processor cannot run is skipped with a
// message, and the best path is restored afterwards.
template <typename TEngine> class DigestEngineTest : public testing::Test {
protected:
    void SetUp() override {
        if constexpr (TEngine::Path.has_value()) {
            if (!UseDigestPath(*TEngine::Path))
                GTEST_SKIP() << DigestPathName(*TEngine::Path) << " path not supported by this processor";
            ASSERT_EQ(ActiveDigestPath(), *TEngine::Path);
        }
    }
    void TearDown() override { UseDigestPath(BestDigestPath()); }

    static typename TEngine::Context FreshContext() {
        typename TEngine::Context context;
        std::memset(&context, 0x5a, sizeof context); // leftovers Init must clear or never use
        TEngine::Init(context);
        return context;
    }
};

TYPED_TEST_SUITE(DigestEngineTest, TAllEngines, TEngineNames);

TYPED_TEST(DigestEngineTest, KnownVectorsFedWholeByteByByteAndSplit) {
    CheckVectorsAllWays(TypeParam::UnderTest());
}

TYPED_TEST(DigestEngineTest, InitLoadsTheInitialValueAndZeroesTheCount) {
    const auto context = TestFixture::FreshContext();
    EXPECT_EQ(context.State, TypeParam::InitialState);
    EXPECT_EQ(TypeParam::Count(context), 0u);
    // The SHA engines also empty their block; MD5 leaves its block as it is.
    if constexpr (requires { context.BlockFill; }) {
        EXPECT_EQ(context.BlockFill, 0);
        for (std::uint8_t byte : context.Block)
            EXPECT_EQ(byte, 0);
    }
}

TYPED_TEST(DigestEngineTest, UpdateOfNothingChangesNothing) {
    auto context = TestFixture::FreshContext();
    TypeParam::Update(context, "xyz", 3);
    decltype(context) before;
    std::memcpy(&before, &context, sizeof context);
    TypeParam::Update(context, "ignored", 0);
    TypeParam::Update(context, nullptr, 0);
    EXPECT_EQ(std::memcmp(&before, &context, sizeof context), 0);
}

template <typename TEngine> class ShaEngineTest : public DigestEngineTest<TEngine> {};

TYPED_TEST_SUITE(ShaEngineTest, TSHAEngines, TEngineNames);

// The SHA engines' Final begins the context anew: one context hashes message after message
// without Init, every short vector twice over, and the state words past the digest stay zero.
TYPED_TEST(ShaEngineTest, FinalLeavesTheContextBegunAnewForTheNextMessage) {
    const TSHAContext fresh = TestFixture::FreshContext();
    TSHAContext context = fresh;
    const auto expectUnusedStateWordsZero = [&] {
        for (std::size_t word = TypeParam::StateWords; word < context.State.size(); ++word)
            EXPECT_EQ(context.State[word], 0u) << "state word " << word;
    };
    for (int pass = 0; pass < 2; ++pass) {
        for (const TDigestVector& vector : DigestVectors()) {
            if (vector.Message.size() > 1000)
                continue;
            SCOPED_TRACE(testing::Message() << "pass " << pass << ", vector " << vector.Name);
            TypeParam::Update(context, vector.Message.data(), vector.Message.size());
            expectUnusedStateWordsZero();
            EXPECT_EQ(TypeParam::FinalHex(context), vector.*TypeParam::UnderTest().Expected);
            EXPECT_EQ(context.State, fresh.State);
            EXPECT_EQ(TypeParam::Count(context), 0u);
            EXPECT_EQ(context.BlockFill, 0);
            EXPECT_EQ(context.Block, fresh.Block);
        }
    }
}

// Bit counts near the 32-bit carry and the 64-bit wrap, set directly instead of hashing 512 MiB.
struct TCountCase {
    const char* Name;
    std::uint32_t Lo;
    std::uint32_t Hi;
    std::int32_t Fed;
};

TYPED_TEST(ShaEngineTest, BitCountCarriesIntoTheHighWordAndReachesTheLengthField) {
    const TCountCase cases[] = {
        {"carry", 0xfffffe00u, 0, 100},
        {"carry_exact", 0xfffffe00u, 0, 64},
        {"high_word_set", 0x00000200u, 7, 10},
        {"high_word_set_long_tail", 0x00000200u, 3, 60},
        {"wrap_2_64", 0xfffffe00u, 0xffffffffu, 70},
        {"no_carry", 0x7ffffe00u, 0, 120},
    };
    const std::string message(200, 'q');
    for (const TCountCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TSHAContext context = TestFixture::FreshContext();
        context.BitCountLo = c.Lo;
        context.BitCountHi = c.Hi;
        TypeParam::Update(context, message.data(), static_cast<std::size_t>(c.Fed));

        const std::uint64_t total = ((std::uint64_t{c.Hi} << 32) | c.Lo) + std::uint64_t(c.Fed) * 8;
        EXPECT_EQ(context.BitCountLo, static_cast<std::uint32_t>(total));
        EXPECT_EQ(context.BitCountHi, static_cast<std::uint32_t>(total >> 32));

        const std::array<std::uint32_t, 8> state = ShaStateAfterTail(context, total, TypeParam::Transform);
        EXPECT_EQ(TypeParam::Final(context), TypeParam::DigestOfState(state));
    }
}

} // namespace
