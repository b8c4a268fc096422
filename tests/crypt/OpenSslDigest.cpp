#include "tests/crypt/OpenSslDigest.h"

#include "crypt/EvpEngine.h"
#include "crypt/Hex.h"

#include <openssl/evp.h>

#include <memory>
#include <stdexcept>

std::string OpenSslHex(THashAlgorithm algorithm, const std::uint8_t* data, std::size_t size) {
    const std::unique_ptr<EVP_MD, decltype(&EVP_MD_free)> md(
        EVP_MD_fetch(nullptr, std::string(LibcryptoName(algorithm)).c_str(), nullptr), &EVP_MD_free);
    if (!md)
        throw std::runtime_error(std::string("libcrypto has no digest for ") + AlgorithmName(algorithm));
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(data, size, digest, &length, md.get(), nullptr) != 1)
        throw std::runtime_error("EVP_Digest failed");
    return BytesToHex(digest, length);
}
