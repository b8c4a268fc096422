// SHA-1 (FIPS 180-4, RFC 3174) over a TSHAContext.
//
// Use: SHA1Init, any number of SHA1Update, SHA1Final. Final leaves the context as Init does,
// so the same context can take the next message at once. State[5..7] stay 0 throughout.
//
// Update and Final compress with the path ActiveDigestPath() names (DigestPath.h); both paths
// give the same digests and the same context records between operations.
#pragma once

#include "crypt/ShaContext.h"

#include <array>
#include <cstdint>

using TSHA1Digest = std::array<std::uint8_t, 20>;

// Zeroes the whole context and loads the initial hash value into State[0..4].
void SHA1Init(TSHAContext& context);

// Feeds count bytes from data; a count of 0 or less feeds nothing.
void SHA1Update(TSHAContext& context, const void* data, std::int32_t count);

// Completes the message and returns its digest (H0..H4, most significant byte first);
// the context is begun anew.
TSHA1Digest SHA1Final(TSHAContext& context);

// The portable compression of context.Block into context.State[0..4], whatever the active path.
void SHA1Transform(TSHAContext& context);
