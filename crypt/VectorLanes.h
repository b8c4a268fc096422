// Words of N inputs side by side, one input per vector lane, written with the compiler's generic
// vectors, and the operations on them that the lane engines share. Only for the headers that the
// vector path files include between a target pragma and its end (Blake3Lanes.h, Md5Lanes.h,
// Sha1Lanes.h, Sha256Lanes.h): everything here has internal linkage, so each path file gets its
// own copy built for its own instructions, and none can stand in for code the rest of the
// program calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

namespace {

template <int N> struct TLaneTypes {
    using TWords __attribute__((vector_size(4 * N))) = std::uint32_t;
    using TBytes __attribute__((vector_size(4 * N))) = std::uint8_t;
};

template <int N> using TWords = typename TLaneTypes<N>::TWords;
template <int N> using TBytes = typename TLaneTypes<N>::TBytes;

// The byte order that turns each word right by bits (16 or 8).
template <int N, int Bits, std::size_t... I> constexpr TBytes<N> RotateBytes(std::index_sequence<I...>) {
    return TBytes<N>{static_cast<std::uint8_t>((I & ~std::size_t{3}) + ((I + Bits / 8) & 3))...};
}

// Turns every word right by Bits. The byte-sized turns are one byte shuffle; the others, and all
// of them where the processor has a rotate instruction for vectors (16 lanes), shifts.
template <int N, int Bits> [[gnu::always_inline]] inline void RotateRight(TWords<N>& x) {
    if constexpr (N < 16 && Bits % 8 == 0) {
        constexpr TBytes<N> order = RotateBytes<N, Bits>(std::make_index_sequence<4 * N>());
        x = reinterpret_cast<TWords<N>>(__builtin_shuffle(reinterpret_cast<TBytes<N>>(x), order));
    } else {
        x = (x >> Bits) | (x << (32 - Bits));
    }
}

template <int N, int Bits> [[gnu::always_inline]] inline TWords<N> RotateLeft(TWords<N> x) {
    RotateRight<N, 32 - Bits>(x);
    return x;
}

template <int N> [[gnu::always_inline]] inline TWords<N> Broadcast(std::uint32_t word) {
    TWords<N> v;
    for (int i = 0; i < N; ++i)
        v[i] = word;
    return v;
}

// The byte order that reverses the bytes of each word.
template <int N, std::size_t... I> constexpr TBytes<N> ReverseWordBytes(std::index_sequence<I...>) {
    return TBytes<N>{static_cast<std::uint8_t>((I & ~std::size_t{3}) + 3 - (I & 3))...};
}

// SHA-1 and SHA-256 read their words most significant byte first; the lanes load them
// little-endian. One byte shuffle, except on 512-bit vectors: their byte shuffle needs AVX-512BW, so there two rotates
// (one instruction each) put the bytes in place.
template <int N> [[gnu::always_inline]] inline void SwapWordBytes(TWords<N>& x) {
    if constexpr (N < 16) {
        constexpr TBytes<N> order = ReverseWordBytes<N>(std::make_index_sequence<4 * N>());
        x = reinterpret_cast<TWords<N>>(__builtin_shuffle(reinterpret_cast<TBytes<N>>(x), order));
    } else {
        x = (RotateLeft<N, 8>(x) & 0x00ff00ffu) | (RotateLeft<N, 24>(x) & 0xff00ff00u);
    }
}

// One row per lane in, one row per word out: rows[lane][word] becomes rows[word][lane]. Each
// stage swaps the off-diagonal K x K blocks of every 2K x 2K square, that is bit K of the row
// number with bit K of the column number; after the stages for every bit the matrix is turned.
template <int N, int K, bool Upper, std::size_t... C> constexpr TWords<N> SwapBlocksOrder(std::index_sequence<C...>) {
    if constexpr (Upper)
        return TWords<N>{static_cast<std::uint32_t>((C & K) != 0 ? N + C : C + K)...};
    else
        return TWords<N>{static_cast<std::uint32_t>((C & K) != 0 ? N + C - K : C)...};
}

template <int N, int K> [[gnu::always_inline]] inline void SwapBlocks(TWords<N> (&rows)[N]) {
    constexpr TWords<N> lowerOrder = SwapBlocksOrder<N, K, false>(std::make_index_sequence<N>());
    constexpr TWords<N> upperOrder = SwapBlocksOrder<N, K, true>(std::make_index_sequence<N>());
#pragma GCC unroll 16
    for (int r = 0; r < N; ++r)
        if ((r & K) == 0) {
            const TWords<N> lower = rows[r];
            const TWords<N> upper = rows[r + K];
            rows[r] = __builtin_shuffle(lower, upper, lowerOrder);
            rows[r + K] = __builtin_shuffle(lower, upper, upperOrder);
        }
}

template <int N> [[gnu::always_inline]] inline void Transpose(TWords<N> (&rows)[N]) {
    if constexpr (N > 8)
        SwapBlocks<N, 8>(rows);
    if constexpr (N > 4)
        SwapBlocks<N, 4>(rows);
    SwapBlocks<N, 2>(rows);
    SwapBlocks<N, 1>(rows);
}

// The sixteen words of one 64-byte block per lane, word j of every lane in words[j]: lane l's
// block is at block[l]. The words are read in the processor's byte order, which the vector
// paths (x86 only) make little-endian.
template <int N>
[[gnu::always_inline]] inline void LoadBlockWords(TWords<N> (&words)[16], const std::uint8_t* const (&block)[N]) {
    static_assert(16 % N == 0);
#pragma GCC unroll 2
    for (int first = 0; first < 16; first += N) {
        TWords<N> rows[N];
#pragma GCC unroll 16
        for (int lane = 0; lane < N; ++lane)
            __builtin_memcpy(&rows[lane], block[lane] + 4 * first, sizeof rows[lane]);
        Transpose<N>(rows);
#pragma GCC unroll 16
        for (int j = 0; j < N; ++j)
            words[first + j] = rows[j];
    }
}

} // namespace
