// Reference digests from libcrypto, an implementation independent of the project's own engines.
#pragma once

#include "crypt/HashAlgorithm.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// libcrypto's digest of the bytes as lower-case hexadecimal text, asked for by the engine's own
// LibcryptoName (crypt/EvpEngine.h); throws std::runtime_error for an algorithm libcrypto does
// not compute.
std::string OpenSslHex(THashAlgorithm algorithm, const std::uint8_t* data, std::size_t size);

inline const char* AlgorithmName(THashAlgorithm algorithm) {
    return HashAlgorithmName(algorithm).data();
}

// MD5, SHA1 and SHA256: the algorithms of the project's own engines.
inline constexpr THashAlgorithm AllAlgorithms[] = {THashAlgorithm::MD5, THashAlgorithm::SHA1, THashAlgorithm::SHA256};
