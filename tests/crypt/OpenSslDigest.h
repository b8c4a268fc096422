// Reference digests from libcrypto, an implementation independent of the project's own engines.
#pragma once

#include "crypt/HashAlgorithm.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// libcrypto's name of algorithm's digest ("SHA2-512", "BLAKE2B-512"); empty for the rows
// libcrypto does not compute (CRC32, XXH3, BLAKE3).
const char* OpenSslName(THashAlgorithm algorithm);

// libcrypto's digest of the bytes as lower-case hexadecimal text; throws std::runtime_error for
// an algorithm without an OpenSslName.
std::string OpenSslHex(THashAlgorithm algorithm, const std::uint8_t* data, std::size_t size);

inline const char* AlgorithmName(THashAlgorithm algorithm) {
    return HashAlgorithmName(algorithm).data();
}

// MD5, SHA1 and SHA256: the algorithms of the project's own engines.
inline constexpr THashAlgorithm AllAlgorithms[] = {THashAlgorithm::MD5, THashAlgorithm::SHA1, THashAlgorithm::SHA256};
