// SHA-1 and SHA-256 block compression with the x86 SHA instructions. Only for x86-64, and only
// to be called when DigestPathSupported(TDigestPath::ShaExtensions) is true: the functions are
// compiled for those instructions alone, so the rest of the program runs on any x86-64.
#pragma once

#if defined(__x86_64__)

#include <cstddef>
#include <cstdint>

// Compresses blocks consecutive 64-byte blocks at data into state[0..7] (H0..H7).
void SHA256CompressBlocksShaExt(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks);

// Compresses blocks consecutive 64-byte blocks at data into state[0..4] (H0..H4).
void SHA1CompressBlocksShaExt(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks);

#endif
