#include "tests/crypt/DigestPathFixture.h"

#include "crypt/Sha1.h"
#include "crypt/Sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct TShaEngine {
    const char* Name;
    void (*Init)(TSHAContext&);
    void (*Update)(TSHAContext&, const void*, std::int32_t);
    std::vector<std::uint8_t> (*Final)(TSHAContext&);
};

const TShaEngine ShaEngines[] = {
    {"SHA1", SHA1Init, SHA1Update,
     [](TSHAContext& c) {
         const TSHA1Digest d = SHA1Final(c);
         return std::vector<std::uint8_t>(d.begin(), d.end());
     }},
    {"SHA256", SHA256Init, SHA256Update,
     [](TSHAContext& c) {
         const TSHA256Digest d = SHA256Final(c);
         return std::vector<std::uint8_t>(d.begin(), d.end());
     }},
};

// The record as it means something between operations: Block only up to BlockFill.
void ExpectSameRecord(const TSHAContext& actual, const TSHAContext& expected) {
    EXPECT_EQ(actual.State, expected.State);
    EXPECT_EQ(actual.BitCountLo, expected.BitCountLo);
    EXPECT_EQ(actual.BitCountHi, expected.BitCountHi);
    ASSERT_EQ(actual.BlockFill, expected.BlockFill);
    ASSERT_GE(actual.BlockFill, 0);
    ASSERT_LT(actual.BlockFill, 64);
    EXPECT_TRUE(std::equal(actual.Block.begin(), actual.Block.begin() + actual.BlockFill, expected.Block.begin()));
}

class TPathGuard {
public:
    ~TPathGuard() { UseDigestPath(BestDigestPath()); }
};

TEST(DigestPathTest, TheBestPathFollowsTheProcessorFeatures) {
    const std::set<std::string> flags = CpuFlags();
    ASSERT_FALSE(flags.empty()) << "no flags line in /proc/cpuinfo";
    const bool shaInstructions = flags.count("sha_ni") && flags.count("ssse3") && flags.count("sse4_1");
    EXPECT_EQ(DigestPathSupported(TDigestPath::ShaExtensions), shaInstructions);
    EXPECT_TRUE(DigestPathSupported(TDigestPath::Portable));
    EXPECT_EQ(BestDigestPath(), shaInstructions ? TDigestPath::ShaExtensions : TDigestPath::Portable);
    EXPECT_EQ(ActiveDigestPath(), BestDigestPath()) << "a process starts on the best path";
}

TEST(DigestPathTest, PortableCanBeForcedAndAnUnsupportedPathIsRefused) {
    TPathGuard guard;
    EXPECT_TRUE(UseDigestPath(TDigestPath::Portable));
    EXPECT_EQ(ActiveDigestPath(), TDigestPath::Portable);
    if (DigestPathSupported(TDigestPath::ShaExtensions)) {
        EXPECT_TRUE(UseDigestPath(TDigestPath::ShaExtensions));
        EXPECT_EQ(ActiveDigestPath(), TDigestPath::ShaExtensions);
    } else {
        EXPECT_FALSE(UseDigestPath(TDigestPath::ShaExtensions));
        EXPECT_EQ(ActiveDigestPath(), TDigestPath::Portable);
    }
}

// The paths leave different bytes after BlockFill (they carry no meaning): the portable path
// copies every whole block through Block, the other compresses whole blocks where they lie.
// That difference shows which path actually ran.
TEST(DigestPathTest, TheChosenPathIsThePathTaken) {
    TPathGuard guard;
    std::vector<std::uint8_t> message(130);
    for (std::size_t i = 0; i < message.size(); ++i)
        message[i] = static_cast<std::uint8_t>(i + 1);
    for (const TShaEngine& engine : ShaEngines) {
        for (TDigestPath path : AllDigestPaths) {
            if (!UseDigestPath(path))
                continue;
            SCOPED_TRACE(std::string(engine.Name) + " " + DigestPathName(path));
            TSHAContext context;
            engine.Init(context);
            engine.Update(context, message.data(), 130);
            ASSERT_EQ(context.BlockFill, 2);
            const std::uint8_t expectedAfterFill = path == TDigestPath::Portable ? message[66] : 0;
            EXPECT_EQ(context.Block[2], expectedAfterFill);
        }
    }
}

// Every record between operations is the same on both paths, for pieces from nothing to many
// blocks, on and off block edges, with a bit count about to carry, and with the context moving
// between paths in the middle of a message.
TEST(DigestPathTest, BothPathsLeaveTheSameRecordsBetweenOperations) {
    if (!DigestPathSupported(TDigestPath::ShaExtensions))
        GTEST_SKIP() << "ShaExtensions path not supported by this processor";
    TPathGuard guard;

    struct TPlan {
        const char* Name;
        std::vector<std::int32_t> Pieces;
        std::uint32_t StartBitCountLo;
        bool SwitchPathEachPiece;
    };
    std::mt19937 random(77);
    std::vector<std::int32_t> randomPieces;
    for (int i = 0; i < 60; ++i)
        randomPieces.push_back(static_cast<std::int32_t>(random() % 700));
    const TPlan plans[] = {
        {"block_edges", {64, 0, 63, 1, 65, 127, 128, 129, 1, 1, 62, 640}, 0, false},
        {"small_then_large", {3, 5000, 7, 64 * 31 + 5, 0, 59}, 0, false},
        {"random", randomPieces, 0, false},
        {"carry", {10, 200, 3000}, 0xfffff000u, false},
        {"switching", randomPieces, 0, true},
    };
    std::vector<std::uint8_t> data(8192);
    for (auto& byte : data)
        byte = static_cast<std::uint8_t>(random());

    for (const TShaEngine& engine : ShaEngines) {
        for (const TPlan& plan : plans) {
            SCOPED_TRACE(std::string(engine.Name) + " " + plan.Name);
            TSHAContext portable;
            TSHAContext other;
            engine.Init(portable);
            engine.Init(other);
            portable.BitCountLo = other.BitCountLo = plan.StartBitCountLo;
            TDigestPath otherPath = TDigestPath::ShaExtensions;
            std::size_t at = 0;
            for (std::size_t i = 0; i < plan.Pieces.size(); ++i) {
                SCOPED_TRACE("after piece " + std::to_string(i));
                const std::int32_t count = plan.Pieces[i];
                const std::uint8_t* piece = data.data() + at % 4096;
                at += static_cast<std::size_t>(count);
                ASSERT_TRUE(UseDigestPath(TDigestPath::Portable));
                engine.Update(portable, piece, count);
                ASSERT_TRUE(UseDigestPath(otherPath));
                engine.Update(other, piece, count);
                ExpectSameRecord(other, portable);
                if (plan.SwitchPathEachPiece)
                    otherPath = otherPath == TDigestPath::Portable ? TDigestPath::ShaExtensions : TDigestPath::Portable;
            }
            ASSERT_TRUE(UseDigestPath(TDigestPath::Portable));
            const std::vector<std::uint8_t> expected = engine.Final(portable);
            ASSERT_TRUE(UseDigestPath(TDigestPath::ShaExtensions));
            EXPECT_EQ(engine.Final(other), expected);
            ExpectSameRecord(other, portable);
            EXPECT_EQ(other.Block, portable.Block) << "Final begins the context anew, Block included";
        }
    }
}

} // namespace
