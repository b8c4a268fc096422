#include "crypt/RunningDigest.h"

#include "crypt/Hex.h"
#include "crypt/Md5.h"
#include "crypt/Sha1.h"
#include "crypt/Sha256.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace {

// The largest piece one engine call takes: the SHA engines count in a signed 32-bit value.
constexpr std::size_t MaxPiece = 1u << 30;

} // namespace

std::string_view HashAlgorithmName(THashAlgorithm algorithm) {
    switch (algorithm) {
    case THashAlgorithm::MD5:
        return "MD5";
    case THashAlgorithm::SHA1:
        return "SHA1";
    case THashAlgorithm::SHA256:
        break;
    }
    return "SHA256";
}

std::optional<THashAlgorithm> HashAlgorithmByName(std::string_view name) {
    for (const THashAlgorithm algorithm : {THashAlgorithm::MD5, THashAlgorithm::SHA1, THashAlgorithm::SHA256})
        if (name == HashAlgorithmName(algorithm))
            return algorithm;
    return std::nullopt;
}

TRunningDigest::TRunningDigest(THashAlgorithm algorithm) : m_algorithm(algorithm) {
    switch (algorithm) {
    case THashAlgorithm::MD5:
        MD5Init(m_md5);
        return;
    case THashAlgorithm::SHA1:
        SHA1Init(m_sha);
        return;
    case THashAlgorithm::SHA256:
        SHA256Init(m_sha);
        return;
    }
    throw std::invalid_argument("Unknown hash algorithm");
}

void TRunningDigest::Update(const void* data, std::size_t count) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    while (count > 0) {
        const std::size_t piece = std::min(count, MaxPiece);
        if (m_algorithm == THashAlgorithm::MD5)
            MD5Update(m_md5, bytes, static_cast<std::uint32_t>(piece));
        else if (m_algorithm == THashAlgorithm::SHA1)
            SHA1Update(m_sha, bytes, static_cast<std::int32_t>(piece));
        else
            SHA256Update(m_sha, bytes, static_cast<std::int32_t>(piece));
        bytes += piece;
        count -= piece;
    }
}

std::string TRunningDigest::Finish() {
    if (m_algorithm == THashAlgorithm::MD5)
        return MD5ToHex(MD5Final(m_md5));
    if (m_algorithm == THashAlgorithm::SHA1)
        return SHA1ToHex(SHA1Final(m_sha));
    return SHA256ToHex(SHA256Final(m_sha));
}
