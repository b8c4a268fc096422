// libcrypto's engines through EVP, and the one map from a table row to libcrypto's name of its
// algorithm. The map also names the rows of the project's own engines (MD5, SHA1, SHA256), so
// that tests can ask libcrypto for an independent reference digest of any row it computes.
#pragma once

#include "crypt/DigestEngine.h"
#include "crypt/HashAlgorithm.h"

#include <memory>
#include <string_view>

// libcrypto's name of algorithm ("SHA2-512", "BLAKE2B-512"); empty for the rows libcrypto does
// not compute (CRC32, XXH3, BLAKE3).
std::string_view LibcryptoName(THashAlgorithm algorithm);

// A new libcrypto engine of algorithm at its initial state, its EVP_MD fetched once per process
// by LibcryptoName; throws std::bad_alloc, or std::runtime_error when libcrypto has no digest of
// that name.
std::unique_ptr<TDigestEngine> MakeEvpEngine(THashAlgorithm algorithm);

// MakeEvpEngine of one algorithm, in the form of a table row's maker.
template <THashAlgorithm Algorithm> std::unique_ptr<TDigestEngine> MakeEvpEngineOf() {
    return MakeEvpEngine(Algorithm);
}
