#include "crypt/RunningDigest.h"
#include "tests/crypt/AlgorithmVectors.h"

#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<THashAlgorithm> EveryAlgorithm() {
    std::vector<THashAlgorithm> algorithms;
    for (const TAlgorithmInfo& row : AlgorithmTable())
        algorithms.push_back(row.Id);
    return algorithms;
}

// The row's name in the letters and digits a test name may hold: "SHA512/256" gives "SHA512256".
std::string CaseName(THashAlgorithm algorithm) {
    std::string name;
    for (const char c : std::string_view(HashAlgorithmName(algorithm)))
        if (std::isalnum(static_cast<unsigned char>(c)))
            name += c;
    return name;
}

// One case per algorithm, so that each stays well within a test's time under the sanitizers.
class RunningDigestVectorTest : public testing::TestWithParam<THashAlgorithm> {};

// Every known answer of the algorithm whole, byte by byte, and split in two at every offset
// (long messages at a stride, so the million-byte message stays quick).
TEST_P(RunningDigestVectorTest, EveryVectorInAnyPiecesGivesItsDigest) {
    for (const TAlgorithmVector& vector : AlgorithmVectors()) {
        if (vector.Algorithm != GetParam())
            continue;
        const std::string& message = vector.Message;
        const std::string& expected = vector.Expected;
        const std::string context = vector.Name + " / " + std::string(HashAlgorithmName(vector.Algorithm));

        TRunningDigest whole(vector.Algorithm);
        whole.Update(message.data(), message.size());
        EXPECT_EQ(whole.Finish(), expected) << context << ", whole";

        if (message.size() <= 4096) {
            TRunningDigest bytewise(vector.Algorithm);
            for (const char c : message)
                bytewise.Update(&c, 1);
            EXPECT_EQ(bytewise.Finish(), expected) << context << ", byte by byte";
        }

        const std::size_t stride = message.size() <= 1024 ? 1 : 997;
        for (std::size_t split = 0; split <= message.size(); split += stride) {
            TRunningDigest halves(vector.Algorithm);
            halves.Update(message.data(), split);
            halves.Update(message.data() + split, message.size() - split);
            ASSERT_EQ(halves.Finish(), expected) << context << ", split at " << split;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Algorithms, RunningDigestVectorTest, testing::ValuesIn(EveryAlgorithm()),
                         [](const testing::TestParamInfo<THashAlgorithm>& info) { return CaseName(info.param); });

// A row without a known answer would be checked only against itself.
TEST(RunningDigestTest, EveryRowHasKnownAnswersOfItsLength) {
    for (const TAlgorithmInfo& row : AlgorithmTable()) {
        bool found = false;
        for (const TAlgorithmVector& vector : AlgorithmVectors()) {
            if (vector.Algorithm != row.Id)
                continue;
            found = true;
            EXPECT_EQ(vector.Expected.size(), row.HexLength()) << row.Name << " / " << vector.Name;
        }
        EXPECT_TRUE(found) << row.Name;
    }
}

TEST(RunningDigestTest, NamesAndAlgorithmsMapBothWays) {
    for (const TAlgorithmInfo& row : AlgorithmTable()) {
        EXPECT_EQ(HashAlgorithmByName(row.Name), row.Id) << row.Name;
        EXPECT_EQ(AlgorithmByTypedName(row.Name), row.Id) << row.Name;
        EXPECT_EQ(&AlgorithmInfo(row.Id), &row) << row.Name;
    }
    EXPECT_EQ(HashAlgorithmName(THashAlgorithm::SHA1), "SHA1");
    for (const char* other : {"", "sha256", "SHA-256", "SHA2", "MD5 ", "SHA-512", "blake2b-512"})
        EXPECT_FALSE(HashAlgorithmByName(other).has_value()) << '"' << other << '"';
}

// What users type for -a: any case, with or without "-" and "_", and the short names of the
// peer tools.
TEST(RunningDigestTest, TypedNamesFindTheirAlgorithm) {
    struct TCase {
        const char* Typed;
        std::optional<THashAlgorithm> Expected;
    };
    const TCase cases[] = {
        {"sha256", THashAlgorithm::SHA256},
        {"SHA-256", THashAlgorithm::SHA256},
        {"Sha_256", THashAlgorithm::SHA256},
        {"md5", THashAlgorithm::MD5},
        {"sha-1", THashAlgorithm::SHA1},
        {"sha512", THashAlgorithm::SHA512},
        {"SHA-384", THashAlgorithm::SHA384},
        {"sha224", THashAlgorithm::SHA224},
        {"sha512/256", THashAlgorithm::SHA512_256},
        {"sha512t256", THashAlgorithm::SHA512_256},
        {"sha3-256", THashAlgorithm::SHA3_256},
        {"SHA3_512", THashAlgorithm::SHA3_512},
        {"sha3224", THashAlgorithm::SHA3_224},
        {"blake2b", THashAlgorithm::BLAKE2b512},
        {"b2", THashAlgorithm::BLAKE2b512},
        {"BLAKE2b-512", THashAlgorithm::BLAKE2b512},
        {"blake2s", THashAlgorithm::BLAKE2s256},
        {"crc32", THashAlgorithm::CRC32},
        {"CRC-32", THashAlgorithm::CRC32},
        {"xxh3", THashAlgorithm::XXH3_64},
        {"xxh128", THashAlgorithm::XXH3_128},
        {"XXH3-128", THashAlgorithm::XXH3_128},
        {"blake3", THashAlgorithm::BLAKE3},
        {"b3", THashAlgorithm::BLAKE3},
        {"BLAKE-3", THashAlgorithm::BLAKE3},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"sha", std::nullopt},
        {"sha3", std::nullopt},
        {"sha 256", std::nullopt},
        {"sha2567", std::nullopt},
        {"xxh64", THashAlgorithm::XXH64},
        {"XXH-32", THashAlgorithm::XXH32},
        {"xxh16", std::nullopt},
        {"b3sum", std::nullopt},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(AlgorithmByTypedName(c.Typed), c.Expected) << '"' << c.Typed << '"';
    EXPECT_FALSE(AlgorithmByTypedName(std::string_view("md5\0", 4)).has_value()) << "md5 and a NUL";
}

TEST(RunningDigestTest, AValueOutsideTheEnumerationIsRefused) {
    EXPECT_THROW(TRunningDigest(static_cast<THashAlgorithm>(99)), std::invalid_argument);
}

} // namespace
