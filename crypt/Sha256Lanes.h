// SHA-256 compression of N messages side by side, one message per vector lane, written with the
// compiler's generic vectors (VectorLanes.h). Only for the file that compiles the AVX-512 path
// (DigestLanesAvx512.cpp): it includes this header between a target pragma and its end, and
// everything here has internal linkage, so no copy built for wide instructions can stand in for
// code the rest of the program calls.
#pragma once

#include "crypt/Sha256.h"
#include "crypt/VectorLanes.h"

#include <cstddef>
#include <cstdint>
#include <utility>

namespace {

// The functions of FIPS 180-4 section 4.1.2 on lanes; with AVX-512 each rotate is one
// instruction and each three-input logic function one more.
template <int N> [[gnu::always_inline]] inline TWords<N> LaneBigSigma0(TWords<N> x) {
    return RotateLeft<N, 30>(x) ^ RotateLeft<N, 19>(x) ^ RotateLeft<N, 10>(x);
}
template <int N> [[gnu::always_inline]] inline TWords<N> LaneBigSigma1(TWords<N> x) {
    return RotateLeft<N, 26>(x) ^ RotateLeft<N, 21>(x) ^ RotateLeft<N, 7>(x);
}
template <int N> [[gnu::always_inline]] inline TWords<N> LaneSmallSigma0(TWords<N> x) {
    return RotateLeft<N, 25>(x) ^ RotateLeft<N, 14>(x) ^ (x >> 3);
}
template <int N> [[gnu::always_inline]] inline TWords<N> LaneSmallSigma1(TWords<N> x) {
    return RotateLeft<N, 15>(x) ^ RotateLeft<N, 13>(x) ^ (x >> 10);
}

// Round T of the 64 (FIPS 180-4 section 6.2.2). Instead of moving the eight working words each
// round, their roles turn one place: a is v[-T mod 8], b the next, and so on to h. The schedule
// is kept as a window of the last sixteen words.
template <int N, int T> [[gnu::always_inline]] inline void SHA256LaneRound(TWords<N> (&v)[8], TWords<N> (&w)[16]) {
    const TWords<N> a = v[(8 - T % 8) % 8];
    const TWords<N> b = v[(9 - T % 8) % 8];
    const TWords<N> c = v[(10 - T % 8) % 8];
    TWords<N>& d = v[(11 - T % 8) % 8];
    const TWords<N> e = v[(12 - T % 8) % 8];
    const TWords<N> f = v[(13 - T % 8) % 8];
    const TWords<N> g = v[(14 - T % 8) % 8];
    TWords<N>& h = v[(15 - T % 8) % 8];
    if constexpr (T >= 16)
        w[T % 16] += LaneSmallSigma1<N>(w[(T - 2) % 16]) + w[(T - 7) % 16] + LaneSmallSigma0<N>(w[(T - 15) % 16]);
    const TWords<N> t1 = h + LaneBigSigma1<N>(e) + (g ^ (e & (f ^ g))) + SHA256K[T] + w[T % 16];
    const TWords<N> t2 = LaneBigSigma0<N>(a) + ((a & b) | (c & (a | b)));
    d += t1;
    h = t1 + t2; // the next round's a
}

// Compresses blocks consecutive 64-byte blocks of each lane: lane l's start at data[l] and its
// chaining value H0..H7 is state[l], state[N + l], ..., state[7N + l].
template <int N>
[[gnu::always_inline]] inline void SHA256CompressLanes(std::uint32_t* state, const std::uint8_t* const* data,
                                                       std::size_t blocks) {
    TWords<N> h[8];
    for (int i = 0; i < 8; ++i)
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
        TWords<N> v[8] = {h[0], h[1], h[2], h[3], h[4], h[5], h[6], h[7]};
        [&]<std::size_t... T>(std::index_sequence<T...>) {
            (SHA256LaneRound<N, static_cast<int>(T)>(v, w), ...);
        }
        (std::make_index_sequence<64>());
        // After 64 rounds, a multiple of eight, every role is back in its own place.
        for (int i = 0; i < 8; ++i)
            h[i] += v[i];
    }
    for (int i = 0; i < 8; ++i)
        __builtin_memcpy(state + i * N, &h[i], sizeof h[i]);
}

} // namespace
