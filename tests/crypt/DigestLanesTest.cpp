#include "crypt/DigestLanes.h"
#include "crypt/HashAlgorithm.h"
#include "crypt/Hex.h"
#include "tests/crypt/DigestPathFixture.h"
#include "tests/crypt/DigestTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr TLanePath AllLanePaths[] = {TLanePath::Portable, TLanePath::AVX2, TLanePath::AVX512};

std::string PathName(TLanePath path) {
    switch (path) {
    case TLanePath::Portable:
        return "Portable";
    case TLanePath::AVX2:
        return "AVX2";
    case TLanePath::AVX512:
        return "AVX512";
    }
    return "Unknown";
}

} // namespace

// Found by GoogleTest beside TLanePath, so failures name the path.
void PrintTo(TLanePath path, std::ostream* out) {
    *out << PathName(path);
}

namespace {

// Lengths on both sides of the block edges and of the padding's two-block case (56), and
// messages of many blocks.
constexpr std::size_t EdgeLengths[] = {0, 1, 55, 56, 63, 64, 65, 119, 120, 127, 128, 1000, 4096, 65536};

TMD5Digest MD5OneStream(const std::vector<std::uint8_t>& message) {
    TMD5Context context;
    MD5Init(context);
    MD5Update(context, message.data(), static_cast<std::uint32_t>(message.size()));
    return MD5Final(context);
}

TSHA1Digest SHA1OneStream(const std::vector<std::uint8_t>& message) {
    TSHAContext context;
    SHA1Init(context);
    SHA1Update(context, message.data(), static_cast<std::int32_t>(message.size()));
    return SHA1Final(context);
}

TSHA256Digest SHA256OneStream(const std::vector<std::uint8_t>& message) {
    TSHAContext context;
    SHA256Init(context);
    SHA256Update(context, message.data(), static_cast<std::int32_t>(message.size()));
    return SHA256Final(context);
}

// Messages each in an allocation of exactly its own size (so AddressSanitizer sees any read past
// a message), with their one-stream digests.
struct TBatch {
    std::vector<std::unique_ptr<std::vector<std::uint8_t>>> Bytes;
    std::vector<TLaneMessage> Messages;
    std::vector<TMD5Digest> MD5Expected;
    std::vector<TSHA1Digest> SHA1Expected;
    std::vector<TSHA256Digest> SHA256Expected;

    void Add(std::size_t length, unsigned seed) {
        Bytes.push_back(std::make_unique<std::vector<std::uint8_t>>(RandomBytes(length, seed)));
        AddSame(Bytes.size() - 1);
    }
    // The bytes of message i again, at the same address.
    void AddSame(std::size_t i) {
        const std::vector<std::uint8_t>& bytes = *Bytes[i];
        Messages.emplace_back(bytes.data(), bytes.size());
        MD5Expected.push_back(MD5OneStream(bytes));
        SHA1Expected.push_back(SHA1OneStream(bytes));
        SHA256Expected.push_back(SHA256OneStream(bytes));
    }
};

void ExpectDigestsOfBatch(const TBatch& batch, const std::string& name) {
    std::vector<TMD5Digest> md5(batch.Messages.size());
    MD5Many(batch.Messages, md5);
    std::vector<TSHA1Digest> sha1(batch.Messages.size());
    SHA1Many(batch.Messages, sha1);
    std::vector<TSHA256Digest> sha256(batch.Messages.size());
    SHA256Many(batch.Messages, sha256);
    for (std::size_t i = 0; i < batch.Messages.size(); ++i) {
        SCOPED_TRACE(name + ", message " + std::to_string(i) + " of " + std::to_string(batch.Messages[i].size()) +
                     " bytes");
        EXPECT_EQ(MD5ToHex(md5[i]), MD5ToHex(batch.MD5Expected[i]));
        EXPECT_EQ(SHA1ToHex(sha1[i]), SHA1ToHex(batch.SHA1Expected[i]));
        EXPECT_EQ(SHA256ToHex(sha256[i]), SHA256ToHex(batch.SHA256Expected[i]));
    }
}

class DigestLanesTest : public testing::TestWithParam<TLanePath> {
protected:
    void SetUp() override {
        if (!UseLanePath(GetParam()))
            GTEST_SKIP() << PathName(GetParam()) << " path not supported by this processor";
        ASSERT_EQ(ActiveLanePath(), GetParam());
    }
    void TearDown() override { UseLanePath(BestLanePath()); }
};

INSTANTIATE_TEST_SUITE_P(Paths, DigestLanesTest, testing::ValuesIn(AllLanePaths),
                         [](const testing::TestParamInfo<TLanePath>& info) { return PathName(info.param); });

// Batches of every size from one message to more than two full sets of lanes, the edge lengths
// mixed in a different order in each, so every lane meets every length, ends while others run
// on and takes the next message.
TEST_P(DigestLanesTest, EveryLaneMatchesTheOneStreamEngine) {
    const std::size_t most = 2 * LaneCount() + 3;
    for (std::size_t count = 1; count <= most; ++count) {
        TBatch batch;
        for (std::size_t i = 0; i < count; ++i)
            batch.Add(EdgeLengths[(i * 5 + count) % std::size(EdgeLengths)], static_cast<unsigned>(count * 100 + i));
        ExpectDigestsOfBatch(batch, "batch of " + std::to_string(count));
    }
}

// With the SHA instructions, the last few busy lanes finish on the one-stream engine; on the
// portable compression every lane runs its message to the end, so both ways are checked.
TEST_P(DigestLanesTest, LanesRunToTheEndOnThePortableCompression) {
    ASSERT_TRUE(UseDigestPath(TDigestPath::Portable));
    for (std::size_t count : {std::size_t{1}, LaneCount() - 1, LaneCount() + 1, 2 * LaneCount() + 3}) {
        TBatch batch;
        for (std::size_t i = 0; i < count; ++i)
            batch.Add(EdgeLengths[(i * 3 + count) % std::size(EdgeLengths)], static_cast<unsigned>(count * 50 + i));
        ExpectDigestsOfBatch(batch, "portable compression, batch of " + std::to_string(count));
    }
    UseDigestPath(BestDigestPath());
}

// One batch of all the edge lengths, each length twice; the second time the same bytes at the
// same address, the way one file listed twice would come.
TEST_P(DigestLanesTest, AllEdgeLengthsInOneBatchWithRepeatedMessages) {
    TBatch batch;
    for (std::size_t length : EdgeLengths)
        batch.Add(length, static_cast<unsigned>(length) + 7);
    for (std::size_t i = 0; i < std::size(EdgeLengths); ++i)
        batch.AddSame(std::size(EdgeLengths) - 1 - i);
    ExpectDigestsOfBatch(batch, "edge lengths");
}

// Messages that start anywhere in memory, not only where an allocation starts.
TEST_P(DigestLanesTest, MessagesAtUnalignedAddresses) {
    const std::vector<std::uint8_t> bytes = RandomBytes(20000, 3);
    TBatch batch;
    for (std::size_t i = 0; i < 2 * LaneCount() + 1; ++i) {
        const std::size_t offset = (i * 7) % 61;
        const std::size_t length = 50 + i * 613 % 9000;
        batch.Bytes.push_back(
            std::make_unique<std::vector<std::uint8_t>>(bytes.begin() + offset, bytes.begin() + offset + length));
        batch.AddSame(batch.Bytes.size() - 1);
        batch.Messages.back() = TLaneMessage(bytes.data() + offset, length);
    }
    ExpectDigestsOfBatch(batch, "unaligned");
}

TEST_P(DigestLanesTest, OnlyAsManyDigestsAsBothSpansHold) {
    TBatch batch;
    for (unsigned i = 0; i < 3; ++i)
        batch.Add(100 + i, i);
    const TMD5Digest untouched = {0xaa, 0xbb};
    std::vector<TMD5Digest> more(5, untouched);
    MD5Many(batch.Messages, more);
    EXPECT_EQ(more[2], batch.MD5Expected[2]);
    EXPECT_EQ(more[3], untouched) << "a digest without a message stays as it was";
    EXPECT_EQ(more[4], untouched);
    std::vector<TSHA1Digest> fewer(2);
    SHA1Many(batch.Messages, fewer);
    EXPECT_EQ(fewer[0], batch.SHA1Expected[0]);
    EXPECT_EQ(fewer[1], batch.SHA1Expected[1]);
    const TSHA256Digest untouched256 = {0xcc, 0xdd};
    std::vector<TSHA256Digest> fewer256(2), more256(4, untouched256);
    SHA256Many(batch.Messages, fewer256);
    EXPECT_EQ(fewer256[1], batch.SHA256Expected[1]);
    SHA256Many(batch.Messages, more256);
    EXPECT_EQ(more256[2], batch.SHA256Expected[2]);
    EXPECT_EQ(more256[3], untouched256);
    MD5Many({}, more);
    EXPECT_EQ(more[3], untouched);
}

// A row's HashMany gives the digests of the row's own engine, as text, and says how many lanes
// it runs: 1 on the portable path, and for SHA-256 on any path but AVX-512.
TEST_P(DigestLanesTest, EveryRowWithLanesMatchesItsEngine) {
    TBatch batch;
    for (std::size_t i = 0; i < 2 * LaneCount() + 3; ++i)
        batch.Add(EdgeLengths[i % std::size(EdgeLengths)], static_cast<unsigned>(i) + 11);
    int rowsWithLanes = 0;
    for (const TAlgorithmInfo& row : AlgorithmTable()) {
        ASSERT_EQ(row.HashMany == nullptr, row.HashManyLanes == nullptr) << row.Name;
        if (row.HashMany == nullptr)
            continue;
        ++rowsWithLanes;
        const std::size_t lanes = row.Id == THashAlgorithm::SHA256 && GetParam() != TLanePath::AVX512 ? 1 : LaneCount();
        EXPECT_EQ(row.HashManyLanes(), lanes) << row.Name;
        std::vector<std::string> digests(batch.Messages.size());
        row.HashMany(batch.Messages, digests);
        for (std::size_t i = 0; i < batch.Messages.size(); ++i) {
            const auto engine = row.MakeEngine();
            std::vector<std::uint8_t> digest(row.DigestSize);
            engine->Update(batch.Messages[i].data(), batch.Messages[i].size());
            engine->Finish(digest.data());
            EXPECT_EQ(digests[i], BytesToHex(digest.data(), digest.size()))
                << row.Name << ", message " << i << " of " << batch.Messages[i].size() << " bytes";
        }
    }
    EXPECT_EQ(rowsWithLanes, 3) << "MD5, SHA1 and SHA256 hash many messages at once";
}

// The digests of RFC 1321's and FIPS 180-4's examples, so the lanes are held to the standards
// too and not only to the one-stream engines.
TEST_P(DigestLanesTest, KnownDigests) {
    const std::string abc = "abc";
    const std::string long448 = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    const std::vector<TLaneMessage> messages = {
        TLaneMessage(reinterpret_cast<const std::uint8_t*>(abc.data()), abc.size()),
        TLaneMessage(reinterpret_cast<const std::uint8_t*>(long448.data()), long448.size()),
        TLaneMessage(),
    };
    std::vector<TMD5Digest> md5(3);
    MD5Many(messages, md5);
    EXPECT_EQ(MD5ToHex(md5[0]), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(MD5ToHex(md5[2]), "d41d8cd98f00b204e9800998ecf8427e");
    std::vector<TSHA1Digest> sha1(3);
    SHA1Many(messages, sha1);
    EXPECT_EQ(SHA1ToHex(sha1[0]), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(SHA1ToHex(sha1[1]), "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
    EXPECT_EQ(SHA1ToHex(sha1[2]), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    std::vector<TSHA256Digest> sha256(3);
    SHA256Many(messages, sha256);
    EXPECT_EQ(SHA256ToHex(sha256[0]), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(SHA256ToHex(sha256[1]), "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(SHA256ToHex(sha256[2]), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

TEST(DigestLanesPathTest, PathsFollowTheProcessorFeatures) {
    const std::set<std::string> flags = CpuFlags();
    ASSERT_FALSE(flags.empty()) << "no flags line in /proc/cpuinfo";
    const bool avx2 = flags.count("avx2") != 0;
    const bool avx512 = flags.count("avx512f") && flags.count("avx512vl");
    EXPECT_TRUE(LanePathSupported(TLanePath::Portable));
    EXPECT_EQ(LanePathSupported(TLanePath::AVX2), avx2);
    EXPECT_EQ(LanePathSupported(TLanePath::AVX512), avx512);
    const TLanePath best = avx512 ? TLanePath::AVX512 : avx2 ? TLanePath::AVX2 : TLanePath::Portable;
    EXPECT_EQ(BestLanePath(), best);
    EXPECT_EQ(ActiveLanePath(), best) << "a process starts on the widest path";
    EXPECT_EQ(LaneCount(), avx512 ? 16u : avx2 ? 8u : 1u);
}

TEST(DigestLanesPathTest, AnUnsupportedPathIsRefused) {
    for (TLanePath path : AllLanePaths) {
        if (LanePathSupported(path))
            continue;
        const TLanePath before = ActiveLanePath();
        EXPECT_FALSE(UseLanePath(path)) << PathName(path);
        EXPECT_EQ(ActiveLanePath(), before);
    }
    EXPECT_TRUE(UseLanePath(TLanePath::Portable));
    EXPECT_EQ(LaneCount(), 1u);
    UseLanePath(BestLanePath());
}

} // namespace
