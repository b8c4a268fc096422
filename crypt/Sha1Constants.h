// SHA-1's constants (FIPS 180-4), for the one-stream engine (Sha1.cpp) and the lanes (Sha1Lanes.h).
#pragma once

#include <array>
#include <cstdint>

// Initial hash value H(0), FIPS 180-4 section 5.3.1.
inline constexpr std::array<std::uint32_t, 5> SHA1H0 = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476, 0xc3d2e1f0};

// The constant K of each group of 20 steps, FIPS 180-4 section 4.2.1.
inline constexpr std::array<std::uint32_t, 4> SHA1K = {0x5a827999, 0x6ed9eba1, 0x8f1bbcdc, 0xca62c1d6};
