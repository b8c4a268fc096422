// The vector paths of MD5Many, SHA1Many and SHA256Many (DigestLanes.h). Only for x86-64, and each only to be
// called when LanePathSupported names its path: each is compiled for its own instructions alone,
// so the rest of the program runs on any x86-64.
//
// Each compresses blocks consecutive 64-byte blocks in each of its lanes (8 or 16): lane l's
// blocks start at data[l], and word i of its chaining value is state[i * lanes + l] (four words
// for MD5, five for SHA-1, eight for SHA-256). SHA-256 has the AVX-512 path only
// (DigestLanes.h says why).
#pragma once

#include "crypt/VectorPaths.h"

#if defined(QUVIRO_VECTOR_PATHS)

#include <cstddef>
#include <cstdint>

void MD5CompressAvx2(std::uint32_t* state, const std::uint8_t* const* data, std::size_t blocks);
void MD5CompressAvx512(std::uint32_t* state, const std::uint8_t* const* data, std::size_t blocks);
void SHA1CompressAvx2(std::uint32_t* state, const std::uint8_t* const* data, std::size_t blocks);
void SHA1CompressAvx512(std::uint32_t* state, const std::uint8_t* const* data, std::size_t blocks);
void SHA256CompressAvx512(std::uint32_t* state, const std::uint8_t* const* data, std::size_t blocks);

#endif
