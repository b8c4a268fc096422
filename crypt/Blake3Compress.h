// The BLAKE3 compression function and its constants, and the hashing of many equal inputs at
// once that the tree code builds on. Hash mode only: the key words are always the IV.
//
// BLAKE3HashMany runs on the path ActiveBLAKE3Path() names (Blake3Path.h); every path gives
// the same bytes.
#pragma once

#include "crypt/Blake3.h"

#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t BLAKE3BlocksPerChunk = BLAKE3ChunkLength / BLAKE3BlockLength;

// The initial words, the same as SHA-256's initial hash value (FIPS 180-4 section 5.3.3), as the
// BLAKE3 paper (section 2.2) takes them.
inline constexpr std::array<std::uint32_t, 8> BLAKE3IV = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                                          0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

// Domain flags of the BLAKE3 paper, section 2.1.
enum : std::uint8_t {
    BLAKE3ChunkStart = 0x01,
    BLAKE3ChunkEnd = 0x02,
    BLAKE3Parent = 0x04,
    BLAKE3Root = 0x08,
};

// Message word order of each of the seven rounds: round 0 takes the words as they are and each
// later round applies the permutation of the BLAKE3 paper (section 2.2) to the one before.
inline constexpr std::array<std::array<std::uint8_t, 16>, 7> BLAKE3Schedule = [] {
    constexpr std::array<std::uint8_t, 16> permutation = {2, 6, 3, 10, 7, 0, 4, 13, 1, 11, 12, 5, 9, 14, 15, 8};
    std::array<std::array<std::uint8_t, 16>, 7> schedule{};
    for (std::uint8_t i = 0; i < 16; ++i)
        schedule[0][i] = i;
    for (std::size_t round = 1; round < 7; ++round)
        for (std::size_t i = 0; i < 16; ++i)
            schedule[round][i] = schedule[round - 1][permutation[i]];
    return schedule;
}();

// Compresses one block of blockLength bytes (the rest of the 64 zero) under chaining value cv
// and returns all sixteen output words; the first eight are the next chaining value.
std::array<std::uint32_t, 16> BLAKE3Compress(const std::array<std::uint32_t, 8>& cv, const std::uint8_t* block,
                                             std::uint32_t blockLength, std::uint64_t counter, std::uint8_t flags);

// Hashes count inputs, input i starting at input + i * stride and holding blocks whole blocks,
// each from the IV, and writes input i's chaining value as 32 little-endian bytes at
// out + 32 * i. Input i's counter is counter + i when incrementCounter is set, else counter;
// every block takes flags, the first also flagsStart and the last also flagsEnd. Chunks are
// hashed with 16 blocks, stride 1024, CHUNK_START and CHUNK_END; parents with one block of two
// chaining values, stride 64 and PARENT.
void BLAKE3HashMany(const std::uint8_t* input, std::size_t stride, std::size_t count, std::size_t blocks,
                    std::uint64_t counter, bool incrementCounter, std::uint8_t flags, std::uint8_t flagsStart,
                    std::uint8_t flagsEnd, std::uint8_t* out);
