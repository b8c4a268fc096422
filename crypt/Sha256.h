// SHA-256 (FIPS 180-4) over a TSHAContext.
//
// Use: SHA256Init, any number of SHA256Update, SHA256Final. Final leaves the context as Init
// does, so the same context can take the next message at once.
//
// Update and Final compress with the path ActiveDigestPath() names (DigestPath.h); both paths
// give the same digests and the same context records between operations.
#pragma once

#include "crypt/ShaContext.h"

#include <array>
#include <cstdint>

// Initial hash value H(0), FIPS 180-4 section 5.3.3, shared with the lanes (DigestLanes.cpp).
inline constexpr std::array<std::uint32_t, 8> SHA256H0 = {
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19,
};

// Round constants K0..K63, FIPS 180-4 section 4.2.2, shared by both compression paths and the
// lanes (Sha256Lanes.h).
alignas(16) inline constexpr std::array<std::uint32_t, 64> SHA256K = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

using TSHA256Digest = std::array<std::uint8_t, 32>;
using TSHA256Schedule = std::array<std::uint32_t, 64>;

// Zeroes the whole context and loads the initial hash value.
void SHA256Init(TSHAContext& context);

// Feeds count bytes from data; a count of 0 or less feeds nothing.
void SHA256Update(TSHAContext& context, const void* data, std::int32_t count);

// Completes the message and returns its digest (H0..H7, most significant byte first);
// the context is begun anew.
TSHA256Digest SHA256Final(TSHAContext& context);

// The portable compression of context.Block into context.State, whatever the active path.
void SHA256Transform(TSHAContext& context);

// The 64-word message schedule of one block.
TSHA256Schedule SHA256Schedule(const std::array<std::uint8_t, 64>& block);
