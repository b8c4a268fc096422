// BLAKE3HashMany's path for AVX-512, sixteen inputs in 512-bit vectors; the message words are gathered and the words
// turned by the vector rotate instruction.
#include "crypt/Blake3Simd.h"

#if defined(QUVIRO_VECTOR_PATHS)

#include "crypt/Blake3Compress.h"

#include <immintrin.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

#pragma GCC push_options
#pragma GCC target("avx512f,avx512vl")

#include "crypt/Blake3Lanes.h"

namespace {

struct TGather {
    [[gnu::always_inline]] static void Load(TWords<16>& words, const std::uint8_t* p, std::size_t stride) {
        const __m512i offsets =
            _mm512_mullo_epi32(_mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15),
                               _mm512_set1_epi32(static_cast<int>(stride)));
        words =
            reinterpret_cast<TWords<16>>(_mm512_mask_i32gather_epi32(_mm512_setzero_si512(), 0xffff, offsets, p, 1));
    }
};

} // namespace

void BLAKE3HashAvx512(const std::uint8_t* input, std::size_t stride, std::size_t blocks, std::uint64_t counter,
                      bool incrementCounter, std::uint8_t flags, std::uint8_t flagsStart, std::uint8_t flagsEnd,
                      std::uint8_t* out) {
    HashLanes<16, TGather>(input, stride, blocks, counter, incrementCounter, flags, flagsStart, flagsEnd, out);
}

#pragma GCC pop_options

#endif
