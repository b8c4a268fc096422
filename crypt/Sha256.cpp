#include "crypt/Sha256.h"

#include "crypt/ByteOrder.h"
#include "crypt/DigestPath.h"
#include "crypt/ShaExtensions.h"

#include <bit>

namespace {

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

#if defined(__x86_64__)
void SHA256TransformShaExt(TSHAContext& context) {
    SHA256CompressBlocksShaExt(context.State.data(), context.Block.data(), 1);
}
#endif

TSHATransform ActiveTransform() {
#if defined(__x86_64__)
    if (ActiveDigestPath() == TDigestPath::ShaExtensions)
        return SHA256TransformShaExt;
#endif
    return SHA256Transform;
}

} // namespace

void SHA256Init(TSHAContext& context) {
    context = TSHAContext{};
    context.State = SHA256H0;
}

void SHA256Update(TSHAContext& context, const void* data, std::int32_t count) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
#if defined(__x86_64__)
    if (ActiveDigestPath() == TDigestPath::ShaExtensions) {
        SHAUpdateInPlace(context, bytes, count, SHA256CompressBlocksShaExt);
        return;
    }
#endif
    SHAUpdateBlocks(context, bytes, count, SHA256Transform);
}

TSHA256Digest SHA256Final(TSHAContext& context) {
    SHAPadAndFinish(context, ActiveTransform());
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
