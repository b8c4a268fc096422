// Reference digests from libcrypto, an implementation independent of the engines under test.
#pragma once

#include "crypt/HashStream.h"

#include <cstddef>
#include <cstdint>
#include <string>

std::string OpenSslHex(THashAlgorithm algorithm, const std::uint8_t* data, std::size_t size);

inline const char* AlgorithmName(THashAlgorithm algorithm) {
    switch (algorithm) {
    case THashAlgorithm::MD5:
        return "MD5";
    case THashAlgorithm::SHA1:
        return "SHA1";
    case THashAlgorithm::SHA256:
        return "SHA256";
    }
    return "?";
}

inline constexpr THashAlgorithm AllAlgorithms[] = {THashAlgorithm::MD5, THashAlgorithm::SHA1, THashAlgorithm::SHA256};
