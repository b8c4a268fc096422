#include "crypt/Blake3.h"
#include "crypt/Blake3Path.h"
#include "crypt/Hex.h"
#include "tests/crypt/DigestPathFixture.h"
#include "tests/crypt/DigestTestSupport.h"

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

// The hash-mode digests (first 32 bytes) of the BLAKE3 team's test_vectors.json, whose input of
// length n is the bytes i % 251 for i below n; b3sum gives the same.
const struct {
    std::size_t Length;
    const char* Digest;
} OfficialVectors[] = {
    {0, "af1349b9f5f9a1a6a0404dea36dcc9499bcb25c9adc112b7cc9a93cae41f3262"},
    {1, "2d3adedff11b61f14c886e35afa036736dcd87a74d27b5c1510225d0f592e213"},
    {1023, "10108970eeda3eb932baac1428c7a2163b0e924c9a9e25b35bba72b28f70bd11"},
    {1024, "42214739f095a406f3fc83deb889744ac00df831c10daa55189b5d121c855af7"},
    {1025, "d00278ae47eb27b34faecf67b4fe263f82d5412916c1ffd97c8cb7fb814b8444"},
    {2048, "e776b6028c7cd22a4d0ba182a8bf62205d2ef576467e838ed6f2529b85fba24a"},
    {2049, "5f4d72f40d7a5f82b15ca2b2e44b1de3c2ef86c426c95c1af0b6879522563030"},
    {3072, "b98cb0ff3623be03326b373de6b9095218513e64f1ee2edd2525c7ad1e5cffd2"},
    {3073, "7124b49501012f81cc7f11ca069ec9226cecb8a2c850cfe644e327d22d3e1cd3"},
    {4096, "015094013f57a5277b59d8475c0501042c0b642e531b0a1c8f58d2163229e969"},
    {4097, "9b4052b38f1c5fc8b1f9ff7ac7b27cd242487b3d890d15c96a1c25b8aa0fb995"},
    {5120, "9cadc15fed8b5d854562b26a9536d9707cadeda9b143978f319ab34230535833"},
    {5121, "628bd2cb2004694adaab7bbd778a25df25c47b9d4155a55f8fbd79f2fe154cff"},
    {6144, "3e2e5b74e048f3add6d21faab3f83aa44d3b2278afb83b80b3c35164ebeca205"},
    {6145, "f1323a8631446cc50536a9f705ee5cb619424d46887f3c376c695b70e0f0507f"},
    {7168, "61da957ec2499a95d6b8023e2b0e604ec7f6b50e80a9678b89d2628e99ada77a"},
    {7169, "a003fc7a51754a9b3c7fae0367ab3d782dccf28855a03d435f8cfe74605e7817"},
    {8192, "aae792484c8efe4f19e2ca7d371d8c467ffb10748d8a5a1ae579948f718a2a63"},
    {8193, "bab6c09cb8ce8cf459261398d2e7aef35700bf488116ceb94a36d0f5f1b7bc3b"},
    {16384, "f875d6646de28985646f34ee13be9a576fd515f76b5b0a26bb324735041ddde4"},
    {31744, "62b6960e1a44bcc1eb1a611a8d6235b6b4b78f32e7abc4fb4c6cdcce94895c47"},
    {102400, "bc3e3d41a1146b069abffad3c0d44860cf664390afce4d9661f7902e7943e085"},
};

std::string VectorInput(std::size_t length) {
    std::string bytes(length, '\0');
    for (std::size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

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
    for (const auto& vector : OfficialVectors)
        answers.push_back({std::to_string(vector.Length) + " bytes", VectorInput(vector.Length), vector.Digest});
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
    const std::string first = VectorInput(5121);
    BLAKE3Update(context, first.data(), first.size());
    EXPECT_EQ(BLAKE3ToHex(BLAKE3Final(context)), OfficialVectors[12].Digest);
    BLAKE3Update(context, "\0", 1);
    EXPECT_EQ(BLAKE3ToHex(BLAKE3Final(context)), OfficialVectors[1].Digest);
    EXPECT_EQ(BLAKE3ToHex(BLAKE3Final(context)), OfficialVectors[0].Digest);
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
