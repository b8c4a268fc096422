#include "tests/crypt/OpenSslDigest.h"

#include "crypt/Hex.h"

#include <openssl/evp.h>

#include <memory>
#include <stdexcept>

const char* OpenSslName(THashAlgorithm algorithm) {
    switch (algorithm) {
    case THashAlgorithm::MD5:
        return "MD5";
    case THashAlgorithm::SHA1:
        return "SHA1";
    case THashAlgorithm::SHA256:
        return "SHA2-256";
    case THashAlgorithm::SHA224:
        return "SHA2-224";
    case THashAlgorithm::SHA384:
        return "SHA2-384";
    case THashAlgorithm::SHA512:
        return "SHA2-512";
    case THashAlgorithm::SHA512_256:
        return "SHA2-512/256";
    case THashAlgorithm::SHA3_224:
        return "SHA3-224";
    case THashAlgorithm::SHA3_256:
        return "SHA3-256";
    case THashAlgorithm::SHA3_384:
        return "SHA3-384";
    case THashAlgorithm::SHA3_512:
        return "SHA3-512";
    case THashAlgorithm::BLAKE2b512:
        return "BLAKE2B-512";
    case THashAlgorithm::BLAKE2s256:
        return "BLAKE2S-256";
    case THashAlgorithm::CRC32:
    case THashAlgorithm::XXH3_64:
    case THashAlgorithm::XXH3_128:
    case THashAlgorithm::BLAKE3:
        break;
    }
    return "";
}

std::string OpenSslHex(THashAlgorithm algorithm, const std::uint8_t* data, std::size_t size) {
    const std::unique_ptr<EVP_MD, decltype(&EVP_MD_free)> md(EVP_MD_fetch(nullptr, OpenSslName(algorithm), nullptr),
                                                             &EVP_MD_free);
    if (!md)
        throw std::runtime_error(std::string("libcrypto has no digest for ") + AlgorithmName(algorithm));
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(data, size, digest, &length, md.get(), nullptr) != 1)
        throw std::runtime_error("EVP_Digest failed");
    return BytesToHex(digest, length);
}
