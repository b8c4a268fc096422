#include "crypt/Blake3Compress.h"

#include "crypt/Blake3Path.h"
#include "crypt/Blake3Simd.h"
#include "crypt/ByteOrder.h"

namespace {

inline std::uint32_t RotateRight(std::uint32_t x, int bits) {
    return (x >> bits) | (x << (32 - bits));
}

inline void Mix(std::array<std::uint32_t, 16>& v, int a, int b, int c, int d, std::uint32_t x, std::uint32_t y) {
    v[a] += v[b] + x;
    v[d] = RotateRight(v[d] ^ v[a], 16);
    v[c] += v[d];
    v[b] = RotateRight(v[b] ^ v[c], 12);
    v[a] += v[b] + y;
    v[d] = RotateRight(v[d] ^ v[a], 8);
    v[c] += v[d];
    v[b] = RotateRight(v[b] ^ v[c], 7);
}

// One input of BLAKE3HashMany, one block after the other.
void HashOne(const std::uint8_t* input, std::size_t blocks, std::uint64_t counter, std::uint8_t flags,
             std::uint8_t flagsStart, std::uint8_t flagsEnd, std::uint8_t* out) {
    std::array<std::uint32_t, 8> cv = BLAKE3IV;
    for (std::size_t block = 0; block < blocks; ++block) {
        std::uint8_t blockFlags = flags;
        if (block == 0)
            blockFlags |= flagsStart;
        if (block + 1 == blocks)
            blockFlags |= flagsEnd;
        const std::array<std::uint32_t, 16> words =
            BLAKE3Compress(cv, input + block * BLAKE3BlockLength, BLAKE3BlockLength, counter, blockFlags);
        for (int i = 0; i < 8; ++i)
            cv[i] = words[i];
    }
    for (int i = 0; i < 8; ++i)
        StoreLE32(out + 4 * i, cv[i]);
}

using TLanesHasher = void (*)(const std::uint8_t*, std::size_t, std::size_t, std::uint64_t, bool, std::uint8_t,
                              std::uint8_t, std::uint8_t, std::uint8_t*);

struct TLanesPath {
    TBLAKE3Path Path;
    std::size_t Lanes;
    TLanesHasher Hash;
};

#if defined(QUVIRO_VECTOR_PATHS)
// Widest first: a batch goes through as many passes of the active path as fit, and what is
// left through the narrower paths.
constexpr TLanesPath LanesPaths[] = {
    {TBLAKE3Path::AVX512, 16, BLAKE3HashAvx512},
    {TBLAKE3Path::AVX2, 8, BLAKE3HashAvx2},
    {TBLAKE3Path::SSE41, 4, BLAKE3HashSse41},
};
#endif

} // namespace

std::array<std::uint32_t, 16> BLAKE3Compress(const std::array<std::uint32_t, 8>& cv, const std::uint8_t* block,
                                             std::uint32_t blockLength, std::uint64_t counter, std::uint8_t flags) {
    std::array<std::uint32_t, 16> m;
    for (int i = 0; i < 16; ++i)
        m[i] = LoadLE32(block + 4 * i);
    std::array<std::uint32_t, 16> v = {cv[0],
                                       cv[1],
                                       cv[2],
                                       cv[3],
                                       cv[4],
                                       cv[5],
                                       cv[6],
                                       cv[7],
                                       BLAKE3IV[0],
                                       BLAKE3IV[1],
                                       BLAKE3IV[2],
                                       BLAKE3IV[3],
                                       static_cast<std::uint32_t>(counter),
                                       static_cast<std::uint32_t>(counter >> 32),
                                       blockLength,
                                       flags};
    for (const auto& s : BLAKE3Schedule) {
        Mix(v, 0, 4, 8, 12, m[s[0]], m[s[1]]);
        Mix(v, 1, 5, 9, 13, m[s[2]], m[s[3]]);
        Mix(v, 2, 6, 10, 14, m[s[4]], m[s[5]]);
        Mix(v, 3, 7, 11, 15, m[s[6]], m[s[7]]);
        Mix(v, 0, 5, 10, 15, m[s[8]], m[s[9]]);
        Mix(v, 1, 6, 11, 12, m[s[10]], m[s[11]]);
        Mix(v, 2, 7, 8, 13, m[s[12]], m[s[13]]);
        Mix(v, 3, 4, 9, 14, m[s[14]], m[s[15]]);
    }
    for (int i = 0; i < 8; ++i) {
        v[i] ^= v[i + 8];
        v[i + 8] ^= cv[i];
    }
    return v;
}

void BLAKE3HashMany(const std::uint8_t* input, std::size_t stride, std::size_t count, std::size_t blocks,
                    std::uint64_t counter, bool incrementCounter, std::uint8_t flags, std::uint8_t flagsStart,
                    std::uint8_t flagsEnd, std::uint8_t* out) {
#if defined(QUVIRO_VECTOR_PATHS)
    const TBLAKE3Path active = ActiveBLAKE3Path();
    for (const TLanesPath& path : LanesPaths) {
        if (active < path.Path)
            continue;
        for (; count >= path.Lanes; count -= path.Lanes) {
            path.Hash(input, stride, blocks, counter, incrementCounter, flags, flagsStart, flagsEnd, out);
            input += path.Lanes * stride;
            out += 32 * path.Lanes;
            if (incrementCounter)
                counter += path.Lanes;
        }
    }
#endif
    for (; count > 0; --count) {
        HashOne(input, blocks, counter, flags, flagsStart, flagsEnd, out);
        input += stride;
        out += 32;
        if (incrementCounter)
            ++counter;
    }
}
