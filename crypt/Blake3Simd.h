// The vector paths of BLAKE3HashMany. Only for x86-64, and each only to be called when
// BLAKE3PathSupported names its path: each is compiled for its own instructions alone, so the
// rest of the program runs on any x86-64.
//
// Each hashes exactly as many inputs as it has lanes (4, 8 or 16), with the meaning of
// BLAKE3HashMany's arguments (Blake3Compress.h); stride must be below 2^31 / lanes.
#pragma once

#include "crypt/VectorPaths.h"

#if defined(QUVIRO_VECTOR_PATHS)

#include <cstddef>
#include <cstdint>

void BLAKE3HashSse41(const std::uint8_t* input, std::size_t stride, std::size_t blocks, std::uint64_t counter,
                     bool incrementCounter, std::uint8_t flags, std::uint8_t flagsStart, std::uint8_t flagsEnd,
                     std::uint8_t* out);
void BLAKE3HashAvx2(const std::uint8_t* input, std::size_t stride, std::size_t blocks, std::uint64_t counter,
                    bool incrementCounter, std::uint8_t flags, std::uint8_t flagsStart, std::uint8_t flagsEnd,
                    std::uint8_t* out);
void BLAKE3HashAvx512(const std::uint8_t* input, std::size_t stride, std::size_t blocks, std::uint64_t counter,
                      bool incrementCounter, std::uint8_t flags, std::uint8_t flagsStart, std::uint8_t flagsEnd,
                      std::uint8_t* out);

#endif
