#include "Sha256.h"

#include "ByteOrder.h"

#include <bit>

namespace {

// Round constants K0..K63, FIPS 180-4 section 4.2.2.
constexpr std::array<std::uint32_t, 64> SHA256K = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

// Initial hash value H(0), FIPS 180-4 section 5.3.3.
constexpr std::array<std::uint32_t, 8> SHA256H0 = {
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19,
};

// The functions of FIPS 180-4 section 4.1.2.
inline std::uint32_t BigSigma0(std::uint32_t x) {
    return std::rotr(x, 2) ^ std::rotr(x, 13) ^ std::rotr(x, 22);
}
inline std::uint32_t BigSigma1(std::uint32_t x) {
    return std::rotr(x, 6) ^ std::rotr(x, 11) ^ std::rotr(x, 25);
}
inline std::uint32_t SmallSigma0(std::uint32_t x) {
    return std::rotr(x, 7) ^ std::rotr(x, 18) ^ (x >> 3);
}
inline std::uint32_t SmallSigma1(std::uint32_t x) {
    return std::rotr(x, 17) ^ std::rotr(x, 19) ^ (x >> 10);
}
inline std::uint32_t Ch(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return (x & y) ^ (~x & z);
}
inline std::uint32_t Maj(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return (x & y) ^ (x & z) ^ (y & z);
}

} // namespace

void SHA256Init(TSHAContext& context) {
    context = TSHAContext{};
    context.State = SHA256H0;
}

void SHA256Update(TSHAContext& context, const void* data, std::int32_t count) {
    SHAUpdateBlocks(context, static_cast<const std::uint8_t*>(data), count, SHA256Transform);
}

TSHA256Digest SHA256Final(TSHAContext& context) {
    SHAPadAndFinish(context, SHA256Transform);
    TSHA256Digest digest;
    ByteSwapCopy8(context.State.data(), digest.data());
    SHA256Init(context);
    return digest;
}

TSHA256Schedule SHA256Schedule(const std::array<std::uint8_t, 64>& block) {
    TSHA256Schedule w;
    for (int t = 0; t < 16; ++t)
        w[t] = LoadBE32(block.data() + 4 * t);
    for (int t = 16; t < 64; ++t)
        w[t] = SmallSigma1(w[t - 2]) + w[t - 7] + SmallSigma0(w[t - 15]) + w[t - 16];
    return w;
}

void SHA256Transform(TSHAContext& context) {
    const TSHA256Schedule w = SHA256Schedule(context.Block);
    std::array<std::uint32_t, 8> v = context.State; // a..h
    for (int t = 0; t < 64; ++t) {
        const std::uint32_t t1 = v[7] + BigSigma1(v[4]) + Ch(v[4], v[5], v[6]) + SHA256K[t] + w[t];
        const std::uint32_t t2 = BigSigma0(v[0]) + Maj(v[0], v[1], v[2]);
        v[7] = v[6];
        v[6] = v[5];
        v[5] = v[4];
        v[4] = v[3] + t1;
        v[3] = v[2];
        v[2] = v[1];
        v[1] = v[0];
        v[0] = t1 + t2;
    }
    for (int i = 0; i < 8; ++i)
        context.State[i] += v[i];
}
