#include "crypt/Blake3.h"
#include "crypt/Blake3Path.h"
#include "crypt/Hex.h"
#include "tests/crypt/AlgorithmVectors.h"
#include "tests/crypt/DigestPathFixture.h"
#include "tests/crypt/DigestTestSupport.h"
#include "tests/support/HostTools.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr TBLAKE3Path AllBLAKE3Paths[] = {TBLAKE3Path::Portable, TBLAKE3Path::SSE41, TBLAKE3Path::AVX2,
                                          TBLAKE3Path::AVX512};

std::string PathName(TBLAKE3Path path) {
    switch (path) {
    case TBLAKE3Path::Portable:
        return "Portable";
    case TBLAKE3Path::SSE41:
        return "SSE41";
    case TBLAKE3Path::AVX2:
        return "AVX2";
    case TBLAKE3Path::AVX512:
        return "AVX512";
    }
    return "Unknown";
}

// Runs a suite once per path; a path this processor cannot run is skipped with a message.
class Blake3PathTest : public testing::TestWithParam<TBLAKE3Path> {
protected:
    void SetUp() override {
        if (!UseBLAKE3Path(GetParam()))
            GTEST_SKIP() << PathName(GetParam()) << " path not supported by this processor";
        ASSERT_EQ(ActiveBLAKE3Path(), GetParam());
    }
    void TearDown() override { UseBLAKE3Path(BestBLAKE3Path()); }
};

INSTANTIATE_TEST_SUITE_P(Paths, Blake3PathTest, testing::ValuesIn(AllBLAKE3Paths),
                         [](const testing::TestParamInfo<TBLAKE3Path>& info) { return PathName(info.param); });

// b3sum's digest of bytes, through a temporary file; empty text when b3sum could not run.
std::string B3sumHex(const std::vector<std::uint8_t>& bytes) {
    std::string path = (std::filesystem::temp_directory_path() / "quviro-b3-XXXXXX").string();
    const int fd = ::mkstemp(path.data());
    if (fd < 0)
        return {};
    ::close(fd);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    std::string digest;
    if (FILE* pipe = ::popen(("b3sum --no-names '" + path + "' 2>/dev/null").c_str(), "r")) {
        char line[128] = {};
        if (std::fgets(line, sizeof line, pipe) != nullptr)
            digest = std::string(line).substr(0, 64);
        ::pclose(pipe);
    }
    std::filesystem::remove(path);
    return digest;
}

TEST_P(Blake3PathTest, OfficialVectorsAllWays) {
    std::vector<TKnownAnswer> answers;
    for (const TBLAKE3TeamVector& vector : BLAKE3TeamVectors())
        answers.push_back({std::to_string(vector.Length) + " bytes", BLAKE3TeamInput(vector.Length), vector.Digest});
    CheckAnswersAllWays("BLAKE3", BLAKE3Pieces, answers, 4096);
}

// Sizes around the edges of chunks and of the subtrees hashed level by level (64 chunks), and
// beyond them, so that every lane count and both ways of joining subtrees are used.
TEST_P(Blake3PathTest, SameDigestAsPortablePath) {
    for (std::size_t size :
         {std::size_t{1} << 16, (std::size_t{1} << 16) + 1, std::size_t{200 * 1024 + 17}, std::size_t{1} << 20,
          (std::size_t{1} << 20) + 1024 + 3, std::size_t{3 * 1024 * 1024 - 1}}) {
        const std::vector<std::uint8_t> bytes = RandomBytes(size, static_cast<std::uint32_t>(size));
        const std::string digest = BLAKE3WholeHex(bytes);
        UseBLAKE3Path(TBLAKE3Path::Portable);
        EXPECT_EQ(digest, BLAKE3WholeHex(bytes)) << size << " bytes";
        UseBLAKE3Path(GetParam());
    }
}

TEST(Blake3Test, PathsFollowTheProcessorFeatures) {
    const std::set<std::string> flags = CpuFlags();
    ASSERT_FALSE(flags.empty()) << "no flags line in /proc/cpuinfo";
    const bool sse41 = flags.count("sse4_1") && flags.count("ssse3");
    const bool avx2 = flags.count("avx2") != 0;
    const bool avx512 = flags.count("avx512f") && flags.count("avx512vl");
    EXPECT_TRUE(BLAKE3PathSupported(TBLAKE3Path::Portable));
    EXPECT_EQ(BLAKE3PathSupported(TBLAKE3Path::SSE41), sse41);
    EXPECT_EQ(BLAKE3PathSupported(TBLAKE3Path::AVX2), avx2);
    EXPECT_EQ(BLAKE3PathSupported(TBLAKE3Path::AVX512), avx512);
    const TBLAKE3Path best = avx512  ? TBLAKE3Path::AVX512
                             : avx2  ? TBLAKE3Path::AVX2
                             : sse41 ? TBLAKE3Path::SSE41
                                     : TBLAKE3Path::Portable;
    EXPECT_EQ(BestBLAKE3Path(), best);
    EXPECT_EQ(ActiveBLAKE3Path(), best) << "a process starts on the widest path";
}

TEST(Blake3Test, MatchesB3sumOnRandomData) {
    if (!HostToolsRun)
        GTEST_SKIP() << "b3sum is the build machine's program, which this cross-built test cannot start";
    for (std::size_t size : {std::size_t{1}, std::size_t{64}, std::size_t{1000}, std::size_t{65 * 1024 + 1},
                             std::size_t{1024 * 1024 + 777}, std::size_t{5 * 1024 * 1024 + 3}}) {
        const std::vector<std::uint8_t> bytes = RandomBytes(size, 7 * static_cast<std::uint32_t>(size));
        const std::string expected = B3sumHex(bytes);
        ASSERT_EQ(expected.size(), 64u) << "b3sum did not run (scripts/debian-packages installs it)";
        EXPECT_EQ(BLAKE3WholeHex(bytes), expected) << size << " bytes";
    }
}

TEST(Blake3Test, FinalBeginsTheContextAnew) {
    TBLAKE3Context context;
    BLAKE3Init(context);
    const std::string first = BLAKE3TeamInput(5121);
    BLAKE3Update(context, first.data(), first.size());
    EXPECT_EQ(BLAKE3ToHex(BLAKE3Final(context)), BLAKE3TeamVectors()[12].Digest);
    BLAKE3Update(context, "\0", 1);
    EXPECT_EQ(BLAKE3ToHex(BLAKE3Final(context)), BLAKE3TeamVectors()[1].Digest);
    EXPECT_EQ(BLAKE3ToHex(BLAKE3Final(context)), BLAKE3TeamVectors()[0].Digest);
}

// The subtrees BLAKE3UpdateSplit hands out, hashed from the pure pieces, give the same digest
// as the serial update; each call names a whole, aligned power of two of chunks.
TEST(Blake3Test, SplitUpdateHandsOutAlignedSubtrees) {
    struct TCalls {
        const std::uint8_t* Start;
        std::vector<std::string> Seen;
    };
    const TBLAKE3HalvesHasher fromPieces = [](void* state, const std::uint8_t* data, std::uint64_t chunks,
                                              std::uint64_t firstChunk, TBLAKE3ChainingValue& left,
                                              TBLAKE3ChainingValue& right) {
        auto& calls = *static_cast<TCalls*>(state);
        calls.Seen.push_back(std::to_string(firstChunk) + "+" + std::to_string(chunks));
        EXPECT_EQ(data, calls.Start + firstChunk * 1024);
        const std::uint64_t half = chunks / 2, quarter = chunks / 4;
        left = BLAKE3SubtreeCV(data, half, firstChunk);
        // The right half from its own two halves where it has them, to use BLAKE3ParentCV.
        right =
            quarter == 0
                ? BLAKE3SubtreeCV(data + 1024, 1, firstChunk + 1)
                : BLAKE3ParentCV(BLAKE3SubtreeCV(data + half * 1024, quarter, firstChunk + half),
                                 BLAKE3SubtreeCV(data + (half + quarter) * 1024, quarter, firstChunk + half + quarter));
    };
    const std::vector<std::uint8_t> bytes = RandomBytes(300 * 1024 + 5, 11);
    TCalls calls{bytes.data(), {}};
    TBLAKE3Context context;
    BLAKE3Init(context);
    // A first piece of 3 KiB + 1 leaves the next subtrees at chunks 3 and 4, and so on up.
    BLAKE3UpdateSplit(context, bytes.data(), 3 * 1024 + 1, fromPieces, &calls);
    BLAKE3UpdateSplit(context, bytes.data() + 3 * 1024 + 1, bytes.size() - 3 * 1024 - 1, fromPieces, &calls);
    EXPECT_EQ(BLAKE3ToHex(BLAKE3Final(context)), BLAKE3WholeHex(bytes));
    const std::vector<std::string> expected = {"0+2",   "4+4",     "8+8",    "16+16", "32+32",
                                               "64+64", "128+128", "256+32", "288+8", "296+4"};
    EXPECT_EQ(calls.Seen, expected);
}

} // namespace
