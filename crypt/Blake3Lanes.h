// BLAKE3 compression of N inputs side by side, one input per vector lane, written with the
// compiler's generic vectors (VectorLanes.h). Only for the files that compile one vector path each
// (Blake3Sse41.cpp, Blake3Avx2.cpp, Blake3Avx512.cpp): each includes this header once, between
// a target pragma and its end, so the code below is built for that path's instructions alone.
// Everything here has internal linkage, so no copy built for wide instructions can stand in for
// code the rest of the program calls.
#pragma once

#include "crypt/Blake3Compress.h"
#include "crypt/VectorLanes.h"

#include <cstddef>
#include <cstdint>
#include <utility>

namespace {

template <int N>
[[gnu::always_inline]] inline void Mix(TWords<N> (&v)[16], int a, int b, int c, int d, const TWords<N>& x,
                                       const TWords<N>& y) {
    v[a] += v[b] + x;
    v[d] ^= v[a];
    RotateRight<N, 16>(v[d]);
    v[c] += v[d];
    v[b] ^= v[c];
    RotateRight<N, 12>(v[b]);
    v[a] += v[b] + y;
    v[d] ^= v[a];
    RotateRight<N, 8>(v[d]);
    v[c] += v[d];
    v[b] ^= v[c];
    RotateRight<N, 7>(v[b]);
}

// Hashes N inputs as BLAKE3HashMany describes (Blake3Compress.h). TGather::Load(words, p,
// stride) fills words[lane] with the little-endian word at p + lane * stride.
template <int N, class TGather>
[[gnu::always_inline]] inline void HashLanes(const std::uint8_t* input, std::size_t stride, std::size_t blocks,
                                             std::uint64_t counter, bool incrementCounter, std::uint8_t flags,
                                             std::uint8_t flagsStart, std::uint8_t flagsEnd, std::uint8_t* out) {
    TWords<N> h[8];
    for (int i = 0; i < 8; ++i)
        h[i] = Broadcast<N>(BLAKE3IV[i]);
    TWords<N> counterLo, counterHi;
    for (int lane = 0; lane < N; ++lane) {
        const std::uint64_t laneCounter = counter + (incrementCounter ? static_cast<std::uint64_t>(lane) : 0);
        counterLo[lane] = static_cast<std::uint32_t>(laneCounter);
        counterHi[lane] = static_cast<std::uint32_t>(laneCounter >> 32);
    }
    for (std::size_t block = 0; block < blocks; ++block) {
        TWords<N> m[16];
        for (int j = 0; j < 16; ++j)
            TGather::Load(m[j], input + block * BLAKE3BlockLength + 4 * j, stride);
        std::uint8_t blockFlags = flags;
        if (block == 0)
            blockFlags |= flagsStart;
        if (block + 1 == blocks)
            blockFlags |= flagsEnd;
        TWords<N> v[16] = {h[0],
                           h[1],
                           h[2],
                           h[3],
                           h[4],
                           h[5],
                           h[6],
                           h[7],
                           Broadcast<N>(BLAKE3IV[0]),
                           Broadcast<N>(BLAKE3IV[1]),
                           Broadcast<N>(BLAKE3IV[2]),
                           Broadcast<N>(BLAKE3IV[3]),
                           counterLo,
                           counterHi,
                           Broadcast<N>(BLAKE3BlockLength),
                           Broadcast<N>(blockFlags)};
#pragma GCC unroll 7
        for (const auto& s : BLAKE3Schedule) {
            Mix<N>(v, 0, 4, 8, 12, m[s[0]], m[s[1]]);
            Mix<N>(v, 1, 5, 9, 13, m[s[2]], m[s[3]]);
            Mix<N>(v, 2, 6, 10, 14, m[s[4]], m[s[5]]);
            Mix<N>(v, 3, 7, 11, 15, m[s[6]], m[s[7]]);
            Mix<N>(v, 0, 5, 10, 15, m[s[8]], m[s[9]]);
            Mix<N>(v, 1, 6, 11, 12, m[s[10]], m[s[11]]);
            Mix<N>(v, 2, 7, 8, 13, m[s[12]], m[s[13]]);
            Mix<N>(v, 3, 4, 9, 14, m[s[14]], m[s[15]]);
        }
        for (int i = 0; i < 8; ++i)
            h[i] = v[i] ^ v[i + 8];
    }
    // The vector paths run on x86 only, so a word's bytes in memory are already little-endian.
    for (int lane = 0; lane < N; ++lane)
        for (int i = 0; i < 8; ++i) {
            const std::uint32_t word = h[i][lane];
            __builtin_memcpy(out + 32 * lane + 4 * i, &word, 4);
        }
}

} // namespace
