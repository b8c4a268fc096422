#include "crypt/Sha1.h"

#include "crypt/ByteOrder.h"
#include "crypt/DigestPath.h"
#include "crypt/Sha1Constants.h"
#include "crypt/ShaExtensions.h"

#include <bit>

namespace {

// One step for each group of 20, with the function of FIPS 180-4 section 4.1.1 and the group's
// constant K. The caller rotates the roles of the five words from step to step, so only e
// (the new a) and b (rotated by 30) change here.
inline void Step00(std::uint32_t a, std::uint32_t& b, std::uint32_t c, std::uint32_t d, std::uint32_t& e,
                   std::uint32_t w) {
    e += std::rotl(a, 5) + (d ^ (b & (c ^ d))) + SHA1K[0] + w;
    b = std::rotl(b, 30);
}

inline void Step20(std::uint32_t a, std::uint32_t& b, std::uint32_t c, std::uint32_t d, std::uint32_t& e,
                   std::uint32_t w) {
    e += std::rotl(a, 5) + (b ^ c ^ d) + SHA1K[1] + w;
    b = std::rotl(b, 30);
}

inline void Step40(std::uint32_t a, std::uint32_t& b, std::uint32_t c, std::uint32_t d, std::uint32_t& e,
                   std::uint32_t w) {
    e += std::rotl(a, 5) + ((b & c) | (d & (b | c))) + SHA1K[2] + w;
    b = std::rotl(b, 30);
}

inline void Step60(std::uint32_t a, std::uint32_t& b, std::uint32_t c, std::uint32_t d, std::uint32_t& e,
                   std::uint32_t w) {
    e += std::rotl(a, 5) + (b ^ c ^ d) + SHA1K[3] + w;
    b = std::rotl(b, 30);
}

#if defined(__x86_64__)
void SHA1TransformShaExt(TSHAContext& context) {
    SHA1CompressBlocksShaExt(context.State.data(), context.Block.data(), 1);
}
#endif

TSHATransform ActiveTransform() {
#if defined(__x86_64__)
    if (ActiveDigestPath() == TDigestPath::ShaExtensions)
        return SHA1TransformShaExt;
#endif
    return SHA1Transform;
}

} // namespace

void SHA1Init(TSHAContext& context) {
    context = TSHAContext{};
    for (int i = 0; i < 5; ++i)
        context.State[i] = SHA1H0[i];
}

void SHA1Update(TSHAContext& context, const void* data, std::int32_t count) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
#if defined(__x86_64__)
    if (ActiveDigestPath() == TDigestPath::ShaExtensions) {
        SHAUpdateInPlace(context, bytes, count, SHA1CompressBlocksShaExt);
        return;
    }
#endif
    SHAUpdateBlocks(context, bytes, count, SHA1Transform);
}

TSHA1Digest SHA1Final(TSHAContext& context) {
    SHAPadAndFinish(context, ActiveTransform());
    TSHA1Digest digest;
    ByteSwapCopy5(context.State.data(), digest.data());
    SHA1Init(context);
    return digest;
}

void SHA1Transform(TSHAContext& context) {
    std::array<std::uint32_t, 80> w;
    ByteSwapCopy8(context.Block.data(), w.data());
    ByteSwapCopy8(context.Block.data() + 32, w.data() + 8);
    for (int t = 16; t < 80; ++t)
        w[t] = std::rotl(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);

    std::uint32_t a = context.State[0];
    std::uint32_t b = context.State[1];
    std::uint32_t c = context.State[2];
    std::uint32_t d = context.State[3];
    std::uint32_t e = context.State[4];

    Step00(a, b, c, d, e, w[0]);
    Step00(e, a, b, c, d, w[1]);
    Step00(d, e, a, b, c, w[2]);
    Step00(c, d, e, a, b, w[3]);
    Step00(b, c, d, e, a, w[4]);
    Step00(a, b, c, d, e, w[5]);
    Step00(e, a, b, c, d, w[6]);
    Step00(d, e, a, b, c, w[7]);
    Step00(c, d, e, a, b, w[8]);
    Step00(b, c, d, e, a, w[9]);
    Step00(a, b, c, d, e, w[10]);
    Step00(e, a, b, c, d, w[11]);
    Step00(d, e, a, b, c, w[12]);
    Step00(c, d, e, a, b, w[13]);
    Step00(b, c, d, e, a, w[14]);
    Step00(a, b, c, d, e, w[15]);
    Step00(e, a, b, c, d, w[16]);
    Step00(d, e, a, b, c, w[17]);
    Step00(c, d, e, a, b, w[18]);
    Step00(b, c, d, e, a, w[19]);

    Step20(a, b, c, d, e, w[20]);
    Step20(e, a, b, c, d, w[21]);
    Step20(d, e, a, b, c, w[22]);
    Step20(c, d, e, a, b, w[23]);
    Step20(b, c, d, e, a, w[24]);
    Step20(a, b, c, d, e, w[25]);
    Step20(e, a, b, c, d, w[26]);
    Step20(d, e, a, b, c, w[27]);
    Step20(c, d, e, a, b, w[28]);
    Step20(b, c, d, e, a, w[29]);
    Step20(a, b, c, d, e, w[30]);
    Step20(e, a, b, c, d, w[31]);
    Step20(d, e, a, b, c, w[32]);
    Step20(c, d, e, a, b, w[33]);
    Step20(b, c, d, e, a, w[34]);
    Step20(a, b, c, d, e, w[35]);
    Step20(e, a, b, c, d, w[36]);
    Step20(d, e, a, b, c, w[37]);
    Step20(c, d, e, a, b, w[38]);
    Step20(b, c, d, e, a, w[39]);

    Step40(a, b, c, d, e, w[40]);
    Step40(e, a, b, c, d, w[41]);
    Step40(d, e, a, b, c, w[42]);
    Step40(c, d, e, a, b, w[43]);
    Step40(b, c, d, e, a, w[44]);
    Step40(a, b, c, d, e, w[45]);
    Step40(e, a, b, c, d, w[46]);
    Step40(d, e, a, b, c, w[47]);
    Step40(c, d, e, a, b, w[48]);
    Step40(b, c, d, e, a, w[49]);
    Step40(a, b, c, d, e, w[50]);
    Step40(e, a, b, c, d, w[51]);
    Step40(d, e, a, b, c, w[52]);
    Step40(c, d, e, a, b, w[53]);
    Step40(b, c, d, e, a, w[54]);
    Step40(a, b, c, d, e, w[55]);
    Step40(e, a, b, c, d, w[56]);
    Step40(d, e, a, b, c, w[57]);
    Step40(c, d, e, a, b, w[58]);
    Step40(b, c, d, e, a, w[59]);

    Step60(a, b, c, d, e, w[60]);
    Step60(e, a, b, c, d, w[61]);
    Step60(d, e, a, b, c, w[62]);
    Step60(c, d, e, a, b, w[63]);
    Step60(b, c, d, e, a, w[64]);
    Step60(a, b, c, d, e, w[65]);
    Step60(e, a, b, c, d, w[66]);
    Step60(d, e, a, b, c, w[67]);
    Step60(c, d, e, a, b, w[68]);
    Step60(b, c, d, e, a, w[69]);
    Step60(a, b, c, d, e, w[70]);
    Step60(e, a, b, c, d, w[71]);
    Step60(d, e, a, b, c, w[72]);
    Step60(c, d, e, a, b, w[73]);
    Step60(b, c, d, e, a, w[74]);
    Step60(a, b, c, d, e, w[75]);
    Step60(e, a, b, c, d, w[76]);
    Step60(d, e, a, b, c, w[77]);
    Step60(c, d, e, a, b, w[78]);
    Step60(b, c, d, e, a, w[79]);

    context.State[0] += a;
    context.State[1] += b;
    context.State[2] += c;
    context.State[3] += d;
    context.State[4] += e;
}
