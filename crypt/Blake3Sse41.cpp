// BLAKE3HashMany's path for SSE4.1, four inputs in 128-bit vectors. SSE4.1 has no gather: the words of a message vector
// are read one by one.
#include "crypt/Blake3Simd.h"

#if defined(QUVIRO_VECTOR_PATHS)

#include "crypt/Blake3Compress.h"

#include <immintrin.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

#pragma GCC push_options
#pragma GCC target("sse4.1")

#include "crypt/Blake3Lanes.h"

namespace {

struct TGather {
    [[gnu::always_inline]] static void Load(TWords<4>& words, const std::uint8_t* p, std::size_t stride) {
        for (int lane = 0; lane < 4; ++lane) {
            std::uint32_t word;
            __builtin_memcpy(&word, p + lane * stride, 4);
            words[lane] = word;
        }
    }
};

} // namespace

void BLAKE3HashSse41(const std::uint8_t* input, std::size_t stride, std::size_t blocks, std::uint64_t counter,
                     bool incrementCounter, std::uint8_t flags, std::uint8_t flagsStart, std::uint8_t flagsEnd,
                     std::uint8_t* out) {
    HashLanes<4, TGather>(input, stride, blocks, counter, incrementCounter, flags, flagsStart, flagsEnd, out);
}

#pragma GCC pop_options

#endif
