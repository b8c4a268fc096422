// The AVX-512 path of MD5Many, SHA1Many and SHA256Many: sixteen messages in 512-bit vectors, the
// words turned by the vector rotate instruction.
#include "crypt/DigestLanesSimd.h"

#if defined(QUVIRO_VECTOR_PATHS)

#include <cstddef>
#include <cstdint>

#pragma GCC push_options
#pragma GCC target("avx512f,avx512vl")

#include "crypt/Md5Lanes.h"
#include "crypt/Sha1Lanes.h"
#include "crypt/Sha256Lanes.h"

void MD5CompressAvx512(std::uint32_t* state, const std::uint8_t* const* data, std::size_t blocks) {
    MD5CompressLanes<16>(state, data, blocks);
}

void SHA1CompressAvx512(std::uint32_t* state, const std::uint8_t* const* data, std::size_t blocks) {
    SHA1CompressLanes<16>(state, data, blocks);
}

void SHA256CompressAvx512(std::uint32_t* state, const std::uint8_t* const* data, std::size_t blocks) {
    SHA256CompressLanes<16>(state, data, blocks);
}

#pragma GCC pop_options

#endif
