// SHA-256 (FIPS 180-4) over a TSHAContext.
//
// Use: SHA256Init, any number of SHA256Update, SHA256Final. Final leaves the context as Init
// does, so the same context can take the next message at once.
#pragma once

#include "ShaContext.h"

#include <array>
#include <cstdint>

using TSHA256Digest = std::array<std::uint8_t, 32>;
using TSHA256Schedule = std::array<std::uint32_t, 64>;

// Zeroes the whole context and loads the initial hash value.
void SHA256Init(TSHAContext& context);

// Feeds count bytes from data; a count of 0 or less feeds nothing.
void SHA256Update(TSHAContext& context, const void* data, std::int32_t count);

// Completes the message and returns its digest (H0..H7, most significant byte first);
// the context is begun anew.
TSHA256Digest SHA256Final(TSHAContext& context);

// Compresses context.Block into context.State.
void SHA256Transform(TSHAContext& context);

// The 64-word message schedule of one block.
TSHA256Schedule SHA256Schedule(const std::array<std::uint8_t, 64>& block);
