#include "crypt/ShaExtensions.h"

#if defined(__x86_64__)

#include "crypt/Sha256.h"

#include <immintrin.h>

#include <utility>

// The SHA instructions work on four message words per vector: one 128-bit vector holds W[4i ..
// 4i+3]. Each group of four rounds below is the same code, with the steps of the message
// schedule that fall into it switched on by the group's index; the groups are unrolled at
// compile time so the four message vectors stay in registers.
#define QUVIRO_SHA_TARGET __attribute__((target("sha,sse4.1")))

namespace {

// Loads four big-endian message words.
QUVIRO_SHA_TARGET inline __m128i LoadWordsBE(const std::uint8_t* p) {
    const __m128i swap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    return _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), swap);
}

// Rounds 4i .. 4i+3 of SHA-256. abef and cdgh hold the working words in the order the
// instructions want them. w[i % 4] holds W[4i .. 4i+3]; while it is used, the schedule of the
// later vectors moves on: group i finishes W of group i+1 (msg2) and starts that of group i+3
// (msg1).
template <int I> QUVIRO_SHA_TARGET inline void SHA256Group(__m128i& abef, __m128i& cdgh, __m128i (&w)[4]) {
    constexpr int cur = I % 4, next = (I + 1) % 4, prev = (I + 3) % 4;
    __m128i words = _mm_add_epi32(w[cur], _mm_loadu_si128(reinterpret_cast<const __m128i*>(SHA256K.data() + 4 * I)));
    cdgh = _mm_sha256rnds2_epu32(cdgh, abef, words);
    if constexpr (I >= 3 && I <= 14) {
        w[next] = _mm_add_epi32(w[next], _mm_alignr_epi8(w[cur], w[prev], 4));
        w[next] = _mm_sha256msg2_epu32(w[next], w[cur]);
    }
    words = _mm_shuffle_epi32(words, 0x0e);
    abef = _mm_sha256rnds2_epu32(abef, cdgh, words);
    if constexpr (I >= 1 && I <= 12)
        w[prev] = _mm_sha256msg1_epu32(w[prev], w[cur]);
}

template <int... I>
QUVIRO_SHA_TARGET inline void SHA256Rounds(__m128i& abef, __m128i& cdgh, __m128i (&w)[4],
                                           std::integer_sequence<int, I...>) {
    (SHA256Group<I>(abef, cdgh, w), ...);
}

// Rounds 4i .. 4i+3 of SHA-1. e[i % 2] holds the e word of the group (the instructions carry it
// from the a word of the group before); the schedule finishes group i+1 (msg2), adds W of group
// i into group i+2 and starts group i+3 (msg1).
template <int I> QUVIRO_SHA_TARGET inline void SHA1Group(__m128i& abcd, __m128i (&e)[2], __m128i (&w)[4]) {
    constexpr int cur = I % 4, next = (I + 1) % 4, after = (I + 2) % 4, prev = (I + 3) % 4;
    if constexpr (I == 0)
        e[0] = _mm_add_epi32(e[0], w[cur]);
    else
        e[I % 2] = _mm_sha1nexte_epu32(e[I % 2], w[cur]);
    e[(I + 1) % 2] = abcd;
    if constexpr (I >= 3 && I <= 18)
        w[next] = _mm_sha1msg2_epu32(w[next], w[cur]);
    abcd = _mm_sha1rnds4_epu32(abcd, e[I % 2], I / 5);
    if constexpr (I >= 1 && I <= 16)
        w[prev] = _mm_sha1msg1_epu32(w[prev], w[cur]);
    if constexpr (I >= 2 && I <= 17)
        w[after] = _mm_xor_si128(w[after], w[cur]);
}

template <int... I>
QUVIRO_SHA_TARGET inline void SHA1Rounds(__m128i& abcd, __m128i (&e)[2], __m128i (&w)[4],
                                         std::integer_sequence<int, I...>) {
    (SHA1Group<I>(abcd, e, w), ...);
}

} // namespace

QUVIRO_SHA_TARGET void SHA256CompressBlocksShaExt(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks) {
    // State words H0..H7 are rearranged into the ABEF and CDGH vectors the round instruction takes.
    const __m128i abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0xb1);
    const __m128i efgh = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4)), 0x1b);
    __m128i abef = _mm_alignr_epi8(abcd, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, abcd, 0xf0);

    for (; blocks > 0; --blocks, data += 64) {
        const __m128i abefBefore = abef;
        const __m128i cdghBefore = cdgh;
        __m128i w[4] = {LoadWordsBE(data), LoadWordsBE(data + 16), LoadWordsBE(data + 32), LoadWordsBE(data + 48)};
        SHA256Rounds(abef, cdgh, w, std::make_integer_sequence<int, 16>{});
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }

    const __m128i feba = _mm_shuffle_epi32(abef, 0x1b);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xb1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xf0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}

QUVIRO_SHA_TARGET void SHA1CompressBlocksShaExt(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks) {
    // The instructions keep a in the highest lane, so H0..H3 are loaded in reverse order, and
    // e travels in the highest lane of its own vector.
    const __m128i reverseBytes = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
    __m128i abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0x1b);
    __m128i e0 = _mm_set_epi32(static_cast<int>(state[4]), 0, 0, 0);

    for (; blocks > 0; --blocks, data += 64) {
        const __m128i abcdBefore = abcd;
        const __m128i eBefore = e0;
        __m128i w[4];
        for (int i = 0; i < 4; ++i)
            w[i] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * i)), reverseBytes);
        __m128i e[2] = {e0, e0};
        SHA1Rounds(abcd, e, w, std::make_integer_sequence<int, 20>{});
        // After group 19, e[0] holds a of the group before the last: rotated, it is the new e.
        e0 = _mm_sha1nexte_epu32(e[0], eBefore);
        abcd = _mm_add_epi32(abcd, abcdBefore);
    }

    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_shuffle_epi32(abcd, 0x1b));
    state[4] = static_cast<std::uint32_t>(_mm_extract_epi32(e0, 3));
}

#endif
