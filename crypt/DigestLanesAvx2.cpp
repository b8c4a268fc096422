// The AVX2 path of MD5Many and SHA1Many: eight messages in 256-bit vectors.
#include "crypt/DigestLanesSimd.h"

#if defined(QUVIRO_VECTOR_PATHS)

#include <cstddef>
#include <cstdint>

#pragma GCC push_options
#pragma GCC target("avx2")

#include "crypt/Md5Lanes.h"
#include "crypt/Sha1Lanes.h"

void MD5CompressAvx2(std::uint32_t* state, const std::uint8_t* const* data, std::size_t blocks) {
    MD5CompressLanes<8>(state, data, blocks);
}

void SHA1CompressAvx2(std::uint32_t* state, const std::uint8_t* const* data, std::size_t blocks) {
    SHA1CompressLanes<8>(state, data, blocks);
}

#pragma GCC pop_options

#endif
