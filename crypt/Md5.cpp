#include "crypt/Md5.h"

#include "crypt/ByteOrder.h"
#include "crypt/Md5Constants.h"

#include <bit>
#include <cstring>

namespace {

// One step of each round of RFC 1321 section 3.4: a := b + ((a + f(b, c, d) + x + t) <<< s).
// The caller rotates the roles of the four words. b is the word computed by the step just
// before, so each step adds x + t first and the parts of f that do not need b next, leaving
// as little as possible on the chain from one step to the next:
//   F(b, c, d) = d ^ (b & (c ^ d))   c ^ d is ready before b
//   G(b, c, d) = (b & d) + (c & ~d)  the two terms share no bit, so + equals |; c & ~d is added early
//   H(b, c, d) = b ^ (c ^ d)
//   I(b, c, d) = c ^ (b | ~d)        ~d is ready before b
inline void StepF(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t x, std::uint32_t t,
                  int s) {
    a += x + t;
    a += d ^ (b & (c ^ d));
    a = b + std::rotl(a, s);
}

inline void StepG(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t x, std::uint32_t t,
                  int s) {
    a += x + t;
    a += c & ~d;
    a += b & d;
    a = b + std::rotl(a, s);
}

inline void StepH(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t x, std::uint32_t t,
                  int s) {
    a += x + t;
    a += b ^ (c ^ d);
    a = b + std::rotl(a, s);
}

inline void StepI(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t x, std::uint32_t t,
                  int s) {
    a += x + t;
    a += c ^ (b | ~d);
    a = b + std::rotl(a, s);
}

} // namespace

void MD5Init(TMD5Context& context) {
    context.State = MD5H0;
    context.ByteCountLo = 0;
    context.ByteCountHi = 0;
}

void MD5Update(TMD5Context& context, const void* data, std::uint32_t count) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    const std::uint32_t old = context.ByteCountLo;
    context.ByteCountLo += count;
    if (context.ByteCountLo < old)
        ++context.ByteCountHi;

    const std::uint32_t pos = old % 64;
    const std::uint32_t space = 64 - pos;
    if (count < space) {
        if (count > 0)
            std::memcpy(context.Block.data() + pos, bytes, count);
        return;
    }
    std::memcpy(context.Block.data() + pos, bytes, space);
    MD5Transform(context, context.Block.data());
    bytes += space;
    count -= space;
    for (; count >= 64; count -= 64, bytes += 64)
        MD5Transform(context, bytes);
    if (count > 0)
        std::memcpy(context.Block.data(), bytes, count);
}

TMD5Digest MD5Final(TMD5Context& context) {
    const std::uint32_t pos = context.ByteCountLo % 64;
    context.Block[pos] = 0x80;
    if (pos >= 56) {
        std::memset(context.Block.data() + pos + 1, 0, 63 - pos);
        MD5Transform(context, context.Block.data());
        std::memset(context.Block.data(), 0, 56);
    } else {
        std::memset(context.Block.data() + pos + 1, 0, 55 - pos);
    }
    StoreLE32(context.Block.data() + 56, context.ByteCountLo << 3);
    StoreLE32(context.Block.data() + 60, (context.ByteCountHi << 3) | (context.ByteCountLo >> 29));
    MD5Transform(context, context.Block.data());

    TMD5Digest digest;
    for (int i = 0; i < 4; ++i)
        StoreLE32(digest.data() + 4 * i, context.State[i]);
    return digest;
}

void MD5Transform(TMD5Context& context, const std::uint8_t* block) {
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = LoadLE32(block + 4 * i);

    std::uint32_t a = context.State[0];
    std::uint32_t b = context.State[1];
    std::uint32_t c = context.State[2];
    std::uint32_t d = context.State[3];

    // Rounds 1 to 4 of RFC 1321 section 3.4.
    StepF(a, b, c, d, x[0], MD5T[0], MD5Shifts[0][0]);
    StepF(d, a, b, c, x[1], MD5T[1], MD5Shifts[0][1]);
    StepF(c, d, a, b, x[2], MD5T[2], MD5Shifts[0][2]);
    StepF(b, c, d, a, x[3], MD5T[3], MD5Shifts[0][3]);
    StepF(a, b, c, d, x[4], MD5T[4], MD5Shifts[0][0]);
    StepF(d, a, b, c, x[5], MD5T[5], MD5Shifts[0][1]);
    StepF(c, d, a, b, x[6], MD5T[6], MD5Shifts[0][2]);
    StepF(b, c, d, a, x[7], MD5T[7], MD5Shifts[0][3]);
    StepF(a, b, c, d, x[8], MD5T[8], MD5Shifts[0][0]);
    StepF(d, a, b, c, x[9], MD5T[9], MD5Shifts[0][1]);
    StepF(c, d, a, b, x[10], MD5T[10], MD5Shifts[0][2]);
    StepF(b, c, d, a, x[11], MD5T[11], MD5Shifts[0][3]);
    StepF(a, b, c, d, x[12], MD5T[12], MD5Shifts[0][0]);
    StepF(d, a, b, c, x[13], MD5T[13], MD5Shifts[0][1]);
    StepF(c, d, a, b, x[14], MD5T[14], MD5Shifts[0][2]);
    StepF(b, c, d, a, x[15], MD5T[15], MD5Shifts[0][3]);

    StepG(a, b, c, d, x[1], MD5T[16], MD5Shifts[1][0]);
    StepG(d, a, b, c, x[6], MD5T[17], MD5Shifts[1][1]);
    StepG(c, d, a, b, x[11], MD5T[18], MD5Shifts[1][2]);
    StepG(b, c, d, a, x[0], MD5T[19], MD5Shifts[1][3]);
    StepG(a, b, c, d, x[5], MD5T[20], MD5Shifts[1][0]);
    StepG(d, a, b, c, x[10], MD5T[21], MD5Shifts[1][1]);
    StepG(c, d, a, b, x[15], MD5T[22], MD5Shifts[1][2]);
    StepG(b, c, d, a, x[4], MD5T[23], MD5Shifts[1][3]);
    StepG(a, b, c, d, x[9], MD5T[24], MD5Shifts[1][0]);
    StepG(d, a, b, c, x[14], MD5T[25], MD5Shifts[1][1]);
    StepG(c, d, a, b, x[3], MD5T[26], MD5Shifts[1][2]);
    StepG(b, c, d, a, x[8], MD5T[27], MD5Shifts[1][3]);
    StepG(a, b, c, d, x[13], MD5T[28], MD5Shifts[1][0]);
    StepG(d, a, b, c, x[2], MD5T[29], MD5Shifts[1][1]);
    StepG(c, d, a, b, x[7], MD5T[30], MD5Shifts[1][2]);
    StepG(b, c, d, a, x[12], MD5T[31], MD5Shifts[1][3]);

    StepH(a, b, c, d, x[5], MD5T[32], MD5Shifts[2][0]);
    StepH(d, a, b, c, x[8], MD5T[33], MD5Shifts[2][1]);
    StepH(c, d, a, b, x[11], MD5T[34], MD5Shifts[2][2]);
    StepH(b, c, d, a, x[14], MD5T[35], MD5Shifts[2][3]);
    StepH(a, b, c, d, x[1], MD5T[36], MD5Shifts[2][0]);
    StepH(d, a, b, c, x[4], MD5T[37], MD5Shifts[2][1]);
    StepH(c, d, a, b, x[7], MD5T[38], MD5Shifts[2][2]);
    StepH(b, c, d, a, x[10], MD5T[39], MD5Shifts[2][3]);
    StepH(a, b, c, d, x[13], MD5T[40], MD5Shifts[2][0]);
    StepH(d, a, b, c, x[0], MD5T[41], MD5Shifts[2][1]);
    StepH(c, d, a, b, x[3], MD5T[42], MD5Shifts[2][2]);
    StepH(b, c, d, a, x[6], MD5T[43], MD5Shifts[2][3]);
    StepH(a, b, c, d, x[9], MD5T[44], MD5Shifts[2][0]);
    StepH(d, a, b, c, x[12], MD5T[45], MD5Shifts[2][1]);
    StepH(c, d, a, b, x[15], MD5T[46], MD5Shifts[2][2]);
    StepH(b, c, d, a, x[2], MD5T[47], MD5Shifts[2][3]);

    StepI(a, b, c, d, x[0], MD5T[48], MD5Shifts[3][0]);
    StepI(d, a, b, c, x[7], MD5T[49], MD5Shifts[3][1]);
    StepI(c, d, a, b, x[14], MD5T[50], MD5Shifts[3][2]);
    StepI(b, c, d, a, x[5], MD5T[51], MD5Shifts[3][3]);
    StepI(a, b, c, d, x[12], MD5T[52], MD5Shifts[3][0]);
    StepI(d, a, b, c, x[3], MD5T[53], MD5Shifts[3][1]);
    StepI(c, d, a, b, x[10], MD5T[54], MD5Shifts[3][2]);
    StepI(b, c, d, a, x[1], MD5T[55], MD5Shifts[3][3]);
    StepI(a, b, c, d, x[8], MD5T[56], MD5Shifts[3][0]);
    StepI(d, a, b, c, x[15], MD5T[57], MD5Shifts[3][1]);
    StepI(c, d, a, b, x[6], MD5T[58], MD5Shifts[3][2]);
    StepI(b, c, d, a, x[13], MD5T[59], MD5Shifts[3][3]);
    StepI(a, b, c, d, x[4], MD5T[60], MD5Shifts[3][0]);
    StepI(d, a, b, c, x[11], MD5T[61], MD5Shifts[3][1]);
    StepI(c, d, a, b, x[2], MD5T[62], MD5Shifts[3][2]);
    StepI(b, c, d, a, x[9], MD5T[63], MD5Shifts[3][3]);

    context.State[0] += a;
    context.State[1] += b;
    context.State[2] += c;
    context.State[3] += d;
}
