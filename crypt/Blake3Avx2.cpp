// BLAKE3HashMany's path for AVX2, eight inputs in 256-bit vectors; the message words are gathered.
#include "crypt/Blake3Simd.h"

#if defined(QUVIRO_VECTOR_PATHS)

#include "crypt/Blake3Compress.h"

#include <immintrin.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

#pragma GCC push_options
#pragma GCC target("avx2")

#include "crypt/Blake3Lanes.h"

namespace {

struct TGather {
    [[gnu::always_inline]] static void Load(TWords<8>& words, const std::uint8_t* p, std::size_t stride) {
        const __m256i offsets =
            _mm256_mullo_epi32(_mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7), _mm256_set1_epi32(static_cast<int>(stride)));
        words = reinterpret_cast<TWords<8>>(_mm256_i32gather_epi32(reinterpret_cast<const int*>(p), offsets, 1));
    }
};

} // namespace

void BLAKE3HashAvx2(const std::uint8_t* input, std::size_t stride, std::size_t blocks, std::uint64_t counter,
                    bool incrementCounter, std::uint8_t flags, std::uint8_t flagsStart, std::uint8_t flagsEnd,
                    std::uint8_t* out) {
    HashLanes<8, TGather>(input, stride, blocks, counter, incrementCounter, flags, flagsStart, flagsEnd, out);
}

#pragma GCC pop_options

#endif
