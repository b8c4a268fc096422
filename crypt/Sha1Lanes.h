// SHA-1 compression of N messages side by side, one message per vector lane, written with the
// compiler's generic vectors (VectorLanes.h). Only for the files that compile one vector path each
// (DigestLanesAvx2.cpp, DigestLanesAvx512.cpp): each includes this header between a target pragma
// and its end, and everything here has internal linkage, so no copy built for wide instructions can
// stand in for code the rest of the program calls.
#pragma once

#include "crypt/Sha1Constants.h"
#include "crypt/VectorLanes.h"

#include <cstddef>
#include <cstdint>
#include <utility>

namespace {

// Step T of the 80 (FIPS 180-4 section 6.1.2), with the roles of the five words turning one place
// each step, as in Sha1.cpp. The schedule is kept as a window of the last sixteen words.
template <int N, int T> [[gnu::always_inline]] inline void SHA1LaneStep(TWords<N> (&v)[5], TWords<N> (&w)[16]) {
    const TWords<N> a = v[(80 - T) % 5];
    TWords<N>& b = v[(81 - T) % 5];
    const TWords<N> c = v[(82 - T) % 5];
    const TWords<N> d = v[(83 - T) % 5];
    TWords<N>& e = v[(84 - T) % 5];
    if constexpr (T >= 16)
        w[T % 16] = RotateLeft<N, 1>(w[(T - 3) % 16] ^ w[(T - 8) % 16] ^ w[(T - 14) % 16] ^ w[T % 16]);
    e += RotateLeft<N, 5>(a) + w[T % 16] + SHA1K[T / 20];
    if constexpr (T < 20)
        e += d ^ (b & (c ^ d));
    else if constexpr (T >= 40 && T < 60)
        e += (b & c) | (d & (b | c));
    else
        e += b ^ c ^ d;
    b = RotateLeft<N, 30>(b);
}

// Compresses blocks consecutive 64-byte blocks of each lane: lane l's start at data[l] and its
// chaining value H0..H4 is state[l], state[N + l], ..., state[4N + l].
template <int N>
[[gnu::always_inline]] inline void SHA1CompressLanes(std::uint32_t* state, const std::uint8_t* const* data,
                                                     std::size_t blocks) {
    TWords<N> h[5];
    for (int i = 0; i < 5; ++i)
        __builtin_memcpy(&h[i], state + i * N, sizeof h[i]);
    const std::uint8_t* block[N];
    for (int lane = 0; lane < N; ++lane)
        block[lane] = data[lane];
    for (std::size_t n = 0; n < blocks; ++n) {
        TWords<N> w[16];
        LoadBlockWords<N>(w, block);
        for (int j = 0; j < 16; ++j)
            SwapWordBytes<N>(w[j]);
        for (int lane = 0; lane < N; ++lane)
            block[lane] += 64;
        TWords<N> v[5] = {h[0], h[1], h[2], h[3], h[4]};
        [&]<std::size_t... T>(std::index_sequence<T...>) {
            (SHA1LaneStep<N, static_cast<int>(T)>(v, w), ...);
        }
        (std::make_index_sequence<80>());
        for (int i = 0; i < 5; ++i)
            h[i] += v[i];
    }
    for (int i = 0; i < 5; ++i)
        __builtin_memcpy(state + i * N, &h[i], sizeof h[i]);
}

} // namespace
