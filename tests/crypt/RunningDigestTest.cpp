#include "crypt/RunningDigest.h"
#include "tests/crypt/DigestVectors.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

constexpr THashAlgorithm Algorithms[] = {THashAlgorithm::MD5, THashAlgorithm::SHA1, THashAlgorithm::SHA256};

const std::string& ExpectedOf(const TDigestVector& vector, THashAlgorithm algorithm) {
    switch (algorithm) {
    case THashAlgorithm::MD5:
        return vector.MD5;
    case THashAlgorithm::SHA1:
        return vector.SHA1;
    case THashAlgorithm::SHA256:
        break;
    }
    return vector.SHA256;
}

// Every vector whole, byte by byte, and split in two at every offset (long vectors at a
// stride, so the million-byte message stays quick).
TEST(RunningDigestTest, EveryVectorInAnyPiecesGivesItsDigest) {
    for (const TDigestVector& vector : DigestVectors()) {
        const std::string& message = vector.Message;
        for (const THashAlgorithm algorithm : Algorithms) {
            const std::string& expected = ExpectedOf(vector, algorithm);
            const std::string context = vector.Name + " / " + std::string(HashAlgorithmName(algorithm));

            TRunningDigest whole(algorithm);
            whole.Update(message.data(), message.size());
            EXPECT_EQ(whole.Finish(), expected) << context << ", whole";

            if (message.size() <= 4096) {
                TRunningDigest bytewise(algorithm);
                for (const char c : message)
                    bytewise.Update(&c, 1);
                EXPECT_EQ(bytewise.Finish(), expected) << context << ", byte by byte";
            }

            const std::size_t stride = message.size() <= 1024 ? 1 : 997;
            for (std::size_t split = 0; split <= message.size(); split += stride) {
                TRunningDigest halves(algorithm);
                halves.Update(message.data(), split);
                halves.Update(message.data() + split, message.size() - split);
                ASSERT_EQ(halves.Finish(), expected) << context << ", split at " << split;
            }
        }
    }
}

TEST(RunningDigestTest, NamesAndAlgorithmsMapBothWays) {
    for (const THashAlgorithm algorithm : Algorithms)
        EXPECT_EQ(HashAlgorithmByName(HashAlgorithmName(algorithm)), algorithm) << HashAlgorithmName(algorithm);
    EXPECT_EQ(HashAlgorithmName(THashAlgorithm::SHA1), "SHA1");
    for (const char* other : {"", "sha256", "SHA-256", "SHA2", "MD5 ", "SHA512"})
        EXPECT_FALSE(HashAlgorithmByName(other).has_value()) << '"' << other << '"';
}

TEST(RunningDigestTest, AValueOutsideTheEnumerationIsRefused) {
    EXPECT_THROW(TRunningDigest(static_cast<THashAlgorithm>(7)), std::invalid_argument);
}

} // namespace
