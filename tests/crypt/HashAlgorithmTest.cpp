#include "crypt/HashAlgorithm.h"

#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

namespace {

using Id = THashAlgorithm;

struct TNameCase {
    std::string_view FileName;
    std::optional<THashAlgorithm> Expected;
};

// List names and extensions are compared ignoring ASCII case, the whole name or the whole part
// after the last "." only; "-" and "_" count, unlike in names typed for -a.
TEST(AlgorithmOfListNameTest, ListNamesAndExtensionsInAnyCase) {
    const TNameCase cases[] = {
        {"SHA512SUMS", Id::SHA512},
        {"sha512sums", Id::SHA512},
        {"Sha512Sums", Id::SHA512},
        {"b2sums.txt", Id::BLAKE2b512},
        {"B2SUMS.TXT", Id::BLAKE2b512},
        {"B3SUMS", Id::BLAKE3},
        {"CHECKSUM.SHA256", Id::SHA256},
        {"checksum.sha512t256", Id::SHA512_256},
        {"SHA3-256SUMS", Id::SHA3_256},
        {"x.sha3-256", Id::SHA3_256},
        {"x.SHA3-256", Id::SHA3_256},
        {"x.B2", Id::BLAKE2b512},
        {"x.md5sum", Id::MD5},
        {"x.MD5", Id::MD5},
        {"archive.tar.b3", Id::BLAKE3},
        {"disc.Sfv", Id::CRC32},
        {"x.XXH128", Id::XXH3_128},
        {"XXH64SUMS", Id::XXH64},
        {"XXH128SUMS", Id::XXH3_128},
        {"XXH3SUMS", Id::XXH3_64},
        {"BLAKE2S256SUMS", Id::BLAKE2s256},
        {"BLAKE2b-512SUMS", Id::BLAKE2b512},
        {"CRC32SUMS", Id::CRC32},
        {"files.xxh64", Id::XXH64},
        {"XXH32SUMS", Id::XXH32},
        {"files.XXH32", Id::XXH32},
        {"SHA512SUMS.asc", std::nullopt},
        {"old-SHA512SUMS", std::nullopt},
        {"SHA512SUMS2", std::nullopt},
        {"sha256", std::nullopt},
        {"x.sha3_256", std::nullopt},
        {"x.sha256.txt", std::nullopt},
        {"x.sha256 ", std::nullopt},
        {"x.", std::nullopt},
        {"", std::nullopt},
    };
    for (const TNameCase& c : cases)
        EXPECT_EQ(AlgorithmOfListName(c.FileName), c.Expected) << '"' << c.FileName << '"';
}

struct TLengthCase {
    std::size_t HexLength;
    std::optional<THashAlgorithm> Expected;
};

// A length's common meaning: the first row of that length, never a later one sharing it.
TEST(AlgorithmOfHexLengthTest, EachLengthMeansItsFirstRow) {
    const TLengthCase cases[] = {
        {8, Id::CRC32},     {16, Id::XXH3_64},  {32, Id::MD5},       {40, Id::SHA1},      {56, Id::SHA224},
        {64, Id::SHA256},   {96, Id::SHA384},   {128, Id::SHA512},   {0, std::nullopt},   {4, std::nullopt},
        {63, std::nullopt}, {65, std::nullopt}, {127, std::nullopt}, {256, std::nullopt},
    };
    for (const TLengthCase& c : cases)
        EXPECT_EQ(AlgorithmOfHexLength(c.HexLength), c.Expected) << c.HexLength << " digits";
}

// A list of algorithms keeps each once, at the place it was first named.
TEST(AppendAlgorithmOnceTest, ARepeatKeepsItsFirstPlace) {
    std::vector<THashAlgorithm> list;
    const THashAlgorithm named[] = {Id::SHA256, Id::MD5, Id::SHA256, Id::BLAKE3, Id::MD5};
    const bool appended[] = {true, true, false, true, false};
    for (std::size_t i = 0; i < std::size(named); ++i)
        EXPECT_EQ(AppendAlgorithmOnce(list, named[i]), appended[i]) << "name " << i;
    EXPECT_EQ(list, (std::vector<THashAlgorithm>{Id::SHA256, Id::MD5, Id::BLAKE3}));
}

} // namespace
