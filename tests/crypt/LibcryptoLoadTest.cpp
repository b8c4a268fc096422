// libcrypto is loaded on the first digest that needs it and not before: a run that hashes only
// with the project's own engines, libdeflate or libxxhash never maps it. This program links
// nothing that would load libcrypto at start.
#include "crypt/DigestEngine.h"
#include "crypt/HashAlgorithm.h"

#include <gtest/gtest.h>

#include <link.h>

#include <array>
#include <cstdint>
#include <string>

namespace {

bool LibcryptoIsMapped() {
    bool mapped = false;
    ::dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* found) {
            if (std::string(info->dlpi_name).find("libcrypto") != std::string::npos)
                *static_cast<bool*>(found) = true;
            return 0;
        },
        &mapped);
    return mapped;
}

void HashAbc(THashAlgorithm algorithm) {
    const std::array<std::uint8_t, 3> abc{'a', 'b', 'c'};
    const auto engine = AlgorithmInfo(algorithm).MakeEngine();
    std::array<std::uint8_t, 64> digest{};
    engine->Update(abc.data(), abc.size());
    engine->Finish(digest.data());
}

TEST(LibcryptoLoadTest, OnlyADigestOfLibcryptoLoadsIt) {
    ASSERT_FALSE(LibcryptoIsMapped()) << "libcrypto was loaded at start";
    for (THashAlgorithm own : {THashAlgorithm::MD5, THashAlgorithm::SHA1, THashAlgorithm::SHA256, THashAlgorithm::CRC32,
                               THashAlgorithm::XXH3_64, THashAlgorithm::XXH3_128, THashAlgorithm::XXH64,
                               THashAlgorithm::XXH32, THashAlgorithm::BLAKE3}) {
        HashAbc(own);
        EXPECT_FALSE(LibcryptoIsMapped()) << HashAlgorithmName(own) << " loaded libcrypto";
    }
    HashAbc(THashAlgorithm::SHA512);
    EXPECT_TRUE(LibcryptoIsMapped()) << "SHA512 hashed without libcrypto";
}

} // namespace
