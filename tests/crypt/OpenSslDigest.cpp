#include "tests/crypt/OpenSslDigest.h"

#include <openssl/evp.h>

#include <stdexcept>

std::string OpenSslHex(THashAlgorithm algorithm, const std::uint8_t* data, std::size_t size) {
    const EVP_MD* md = algorithm == THashAlgorithm::MD5    ? EVP_md5()
                       : algorithm == THashAlgorithm::SHA1 ? EVP_sha1()
                                                           : EVP_sha256();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(data, size, digest, &length, md, nullptr) != 1)
        throw std::runtime_error("EVP_Digest failed");
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        text += digits[digest[i] >> 4];
        text += digits[digest[i] & 15];
    }
    return text;
}
