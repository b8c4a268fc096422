// MD5 compression of N messages side by side, one message per vector lane, written with the
// compiler's generic vectors (VectorLanes.h). Only for the files that compile one vector path each
// (DigestLanesAvx2.cpp, DigestLanesAvx512.cpp): each includes this header between a target pragma
// and its end, and everything here has internal linkage, so no copy built for wide instructions can
// stand in for code the rest of the program calls.
#pragma once

#include "crypt/Md5Constants.h"
#include "crypt/VectorLanes.h"

#include <cstddef>
#include <cstdint>
#include <utility>

namespace {

// The message word step takes, RFC 1321 section 3.4: round 1 takes the words in order, rounds 2,
// 3 and 4 step through them by 5 from 1, by 3 from 5 and by 7 from 0, modulo 16.
constexpr int MD5WordIndex(int step) {
    const int i = step % 16;
    switch (step / 16) {
    case 0:
        return i;
    case 1:
        return (5 * i + 1) % 16;
    case 2:
        return (3 * i + 5) % 16;
    default:
        return (7 * i) % 16;
    }
}

// Step I of the 64, a := b + ((a + f(b, c, d) + x + t) <<< s), with the roles of the four words
// turning one place each step, as in Md5.cpp; f is arranged the same way to keep b, the word the
// step before computed, late.
template <int N, int I> [[gnu::always_inline]] inline void MD5LaneStep(TWords<N> (&v)[4], const TWords<N> (&x)[16]) {
    TWords<N>& a = v[(64 - I) % 4];
    const TWords<N> b = v[(65 - I) % 4];
    const TWords<N> c = v[(66 - I) % 4];
    const TWords<N> d = v[(67 - I) % 4];
    a += x[MD5WordIndex(I)] + MD5T[I];
    if constexpr (I < 16) {
        a += d ^ (b & (c ^ d));
    } else if constexpr (I < 32) {
        a += c & ~d;
        a += b & d;
    } else if constexpr (I < 48) {
        a += b ^ (c ^ d);
    } else {
        a += c ^ (b | ~d);
    }
    a = b + RotateLeft<N, MD5Shifts[I / 16][I % 4]>(a);
}

// Compresses blocks consecutive 64-byte blocks of each lane: lane l's start at data[l] and its
// chaining value A, B, C, D is state[l], state[N + l], state[2N + l], state[3N + l].
template <int N>
[[gnu::always_inline]] inline void MD5CompressLanes(std::uint32_t* state, const std::uint8_t* const* data,
                                                    std::size_t blocks) {
    TWords<N> h[4];
    for (int i = 0; i < 4; ++i)
        __builtin_memcpy(&h[i], state + i * N, sizeof h[i]);
    const std::uint8_t* block[N];
    for (int lane = 0; lane < N; ++lane)
        block[lane] = data[lane];
    for (std::size_t n = 0; n < blocks; ++n) {
        TWords<N> x[16];
        LoadBlockWords<N>(x, block);
        for (int lane = 0; lane < N; ++lane)
            block[lane] += 64;
        TWords<N> v[4] = {h[0], h[1], h[2], h[3]};
        [&]<std::size_t... I>(std::index_sequence<I...>) {
            (MD5LaneStep<N, static_cast<int>(I)>(v, x), ...);
        }
        (std::make_index_sequence<64>());
        for (int i = 0; i < 4; ++i)
            h[i] += v[i];
    }
    for (int i = 0; i < 4; ++i)
        __builtin_memcpy(state + i * N, &h[i], sizeof h[i]);
}

} // namespace
