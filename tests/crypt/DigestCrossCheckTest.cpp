#include "crypt/EvpEngine.h"
#include "crypt/Hex.h"
#include "crypt/RunningDigest.h"
#include "tests/crypt/DigestPathFixture.h"
#include "tests/crypt/OpenSslDigest.h"

#include <gtest/gtest.h>
#include <xxhash.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

class DigestCrossCheckTest : public TDigestPathTest {};
INSTANTIATE_DIGEST_PATHS(DigestCrossCheckTest);

// The project's own engines called directly, without the engine interface.
std::string EngineHex(THashAlgorithm algorithm, const std::vector<std::uint8_t>& bytes) {
    const auto count = static_cast<std::int32_t>(bytes.size());
    if (algorithm == THashAlgorithm::MD5) {
        TMD5Context context;
        MD5Init(context);
        MD5Update(context, bytes.data(), static_cast<std::uint32_t>(count));
        return MD5ToHex(MD5Final(context));
    }
    TSHAContext context;
    if (algorithm == THashAlgorithm::SHA1) {
        SHA1Init(context);
        SHA1Update(context, bytes.data(), count);
        return SHA1ToHex(SHA1Final(context));
    }
    SHA256Init(context);
    SHA256Update(context, bytes.data(), count);
    return SHA256ToHex(SHA256Final(context));
}

std::vector<std::uint8_t> RandomBytes(std::mt19937_64& random, std::size_t length) {
    std::vector<std::uint8_t> bytes(length);
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(random());
    return bytes;
}

// Every length up to last, then count lengths drawn from above it up to 1 MiB.
std::vector<std::size_t> EveryLengthThenSpread(std::mt19937_64& random, std::size_t last, int count) {
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= last; ++n)
        lengths.push_back(n);
    std::uniform_int_distribution<std::size_t> spread(last + 1, 1024 * 1024);
    for (int i = 0; i < count; ++i)
        lengths.push_back(spread(random));
    return lengths;
}

std::string RunningHex(THashAlgorithm algorithm, const std::vector<std::uint8_t>& bytes) {
    TRunningDigest digest(algorithm);
    digest.Update(bytes.data(), bytes.size());
    return digest.Finish();
}

// Seeded pseudo-random lengths: every length up to two blocks and a half, then a spread up to
// 3 MiB, each with its own random bytes, hashed by the engines and by libcrypto.
TEST_P(DigestCrossCheckTest, EnginesAgreeWithLibcryptoOnRandomMessages) {
    std::mt19937_64 random(0x5eed0001);
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 160; ++n)
        lengths.push_back(n);
    std::uniform_int_distribution<std::size_t> small(161, 70000);
    std::uniform_int_distribution<std::size_t> large(70001, 3 * 1024 * 1024);
    for (int i = 0; i < 24; ++i)
        lengths.push_back(small(random));
    for (int i = 0; i < 5; ++i)
        lengths.push_back(large(random));

    for (std::size_t length : lengths) {
        const std::vector<std::uint8_t> bytes = RandomBytes(random, length);
        for (THashAlgorithm algorithm : AllAlgorithms) {
            SCOPED_TRACE(std::string(AlgorithmName(algorithm)) + " of " + std::to_string(length) + " bytes");
            const std::string expected = OpenSslHex(algorithm, bytes.data(), bytes.size());
            EXPECT_EQ(EngineHex(algorithm, bytes), expected);
            EXPECT_EQ(RunningHex(algorithm, bytes), expected);
        }
    }
}

// Every row libcrypto also computes, through the engine interface, on lengths around the block
// sizes of SHA-512 (128), SHA3-224 (144) and BLAKE2s (64) and a spread up to 1 MiB.
TEST(AlgorithmCrossCheckTest, EveryRowLibcryptoKnowsAgreesWithIt) {
    std::mt19937_64 random(0x5eed0002);
    const std::vector<std::size_t> lengths = EveryLengthThenSpread(random, 300, 6);
    for (const TAlgorithmInfo& row : AlgorithmTable()) {
        if (LibcryptoName(row.Id).empty())
            continue;
        for (const std::size_t length : lengths) {
            const std::vector<std::uint8_t> bytes = RandomBytes(random, length);
            ASSERT_EQ(RunningHex(row.Id, bytes), OpenSslHex(row.Id, bytes.data(), bytes.size()))
                << row.Name << " of " << length << " bytes";
        }
    }
}

// libxxhash's one-shot functions, which run the code the library was built for, whatever the
// rows' engines choose for this processor.
std::string OneShotXXH3Hex(THashAlgorithm algorithm, const std::vector<std::uint8_t>& bytes) {
    if (algorithm == THashAlgorithm::XXH3_64) {
        XXH64_canonical_t canonical;
        XXH64_canonicalFromHash(&canonical, XXH3_64bits(bytes.data(), bytes.size()));
        return BytesToHex(canonical.digest, sizeof canonical.digest);
    }
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, XXH3_128bits(bytes.data(), bytes.size()));
    return BytesToHex(canonical.digest, sizeof canonical.digest);
}

// The XXH3 rows fed in pieces, on lengths around XXH3's short-input limits (16, 128 and 240
// bytes), its stripes (64) and blocks (1024), and a spread up to 1 MiB.
TEST(AlgorithmCrossCheckTest, XXH3RowsInPiecesAgreeWithLibxxhashInOneCall) {
    std::mt19937_64 random(0x5eed0003);
    const std::vector<std::size_t> lengths = EveryLengthThenSpread(random, 1100, 8);
    const std::size_t pieces[] = {1, 63, 256, 4097, 1024 * 1024};
    for (const THashAlgorithm algorithm : {THashAlgorithm::XXH3_64, THashAlgorithm::XXH3_128}) {
        for (const std::size_t length : lengths) {
            const std::vector<std::uint8_t> bytes = RandomBytes(random, length);
            const std::string expected = OneShotXXH3Hex(algorithm, bytes);
            for (const std::size_t piece : pieces) {
                if (piece > 1 && length > 4096 && piece < 4096)
                    continue; // small pieces of large messages add time, not cases
                TRunningDigest digest(algorithm);
                for (std::size_t done = 0; done < length; done += piece)
                    digest.Update(bytes.data() + done, std::min(piece, length - done));
                ASSERT_EQ(digest.Finish(), expected)
                    << AlgorithmName(algorithm) << " of " << length << " bytes in pieces of " << piece;
            }
        }
    }
}

} // namespace
