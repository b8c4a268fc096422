#include "crypt/Md5.h"

#include "crypt/ByteOrder.h"

#include <bit>
#include <cstring>

namespace {

// Initial chaining value A, B, C, D, RFC 1321 section 3.3.
constexpr std::array<std::uint32_t, 4> MD5H0 = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};

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

    // Rounds 1 to 4 with the table T[1..64] and the shifts of RFC 1321 section 3.4.
    StepF(a, b, c, d, x[0], 0xd76aa478, 7);
    StepF(d, a, b, c, x[1], 0xe8c7b756, 12);
    StepF(c, d, a, b, x[2], 0x242070db, 17);
    StepF(b, c, d, a, x[3], 0xc1bdceee, 22);
    StepF(a, b, c, d, x[4], 0xf57c0faf, 7);
    StepF(d, a, b, c, x[5], 0x4787c62a, 12);
    StepF(c, d, a, b, x[6], 0xa8304613, 17);
    StepF(b, c, d, a, x[7], 0xfd469501, 22);
    StepF(a, b, c, d, x[8], 0x698098d8, 7);
    StepF(d, a, b, c, x[9], 0x8b44f7af, 12);
    StepF(c, d, a, b, x[10], 0xffff5bb1, 17);
    StepF(b, c, d, a, x[11], 0x895cd7be, 22);
    StepF(a, b, c, d, x[12], 0x6b901122, 7);
    StepF(d, a, b, c, x[13], 0xfd987193, 12);
    StepF(c, d, a, b, x[14], 0xa679438e, 17);
    StepF(b, c, d, a, x[15], 0x49b40821, 22);

    StepG(a, b, c, d, x[1], 0xf61e2562, 5);
    StepG(d, a, b, c, x[6], 0xc040b340, 9);
    StepG(c, d, a, b, x[11], 0x265e5a51, 14);
    StepG(b, c, d, a, x[0], 0xe9b6c7aa, 20);
    StepG(a, b, c, d, x[5], 0xd62f105d, 5);
    StepG(d, a, b, c, x[10], 0x02441453, 9);
    StepG(c, d, a, b, x[15], 0xd8a1e681, 14);
    StepG(b, c, d, a, x[4], 0xe7d3fbc8, 20);
    StepG(a, b, c, d, x[9], 0x21e1cde6, 5);
    StepG(d, a, b, c, x[14], 0xc33707d6, 9);
    StepG(c, d, a, b, x[3], 0xf4d50d87, 14);
    StepG(b, c, d, a, x[8], 0x455a14ed, 20);
    StepG(a, b, c, d, x[13], 0xa9e3e905, 5);
    StepG(d, a, b, c, x[2], 0xfcefa3f8, 9);
    StepG(c, d, a, b, x[7], 0x676f02d9, 14);
    StepG(b, c, d, a, x[12], 0x8d2a4c8a, 20);

    StepH(a, b, c, d, x[5], 0xfffa3942, 4);
    StepH(d, a, b, c, x[8], 0x8771f681, 11);
    StepH(c, d, a, b, x[11], 0x6d9d6122, 16);
    StepH(b, c, d, a, x[14], 0xfde5380c, 23);
    StepH(a, b, c, d, x[1], 0xa4beea44, 4);
    StepH(d, a, b, c, x[4], 0x4bdecfa9, 11);
    StepH(c, d, a, b, x[7], 0xf6bb4b60, 16);
    StepH(b, c, d, a, x[10], 0xbebfbc70, 23);
    StepH(a, b, c, d, x[13], 0x289b7ec6, 4);
    StepH(d, a, b, c, x[0], 0xeaa127fa, 11);
    StepH(c, d, a, b, x[3], 0xd4ef3085, 16);
    StepH(b, c, d, a, x[6], 0x04881d05, 23);
    StepH(a, b, c, d, x[9], 0xd9d4d039, 4);
    StepH(d, a, b, c, x[12], 0xe6db99e5, 11);
    StepH(c, d, a, b, x[15], 0x1fa27cf8, 16);
    StepH(b, c, d, a, x[2], 0xc4ac5665, 23);

    StepI(a, b, c, d, x[0], 0xf4292244, 6);
    StepI(d, a, b, c, x[7], 0x432aff97, 10);
    StepI(c, d, a, b, x[14], 0xab9423a7, 15);
    StepI(b, c, d, a, x[5], 0xfc93a039, 21);
    StepI(a, b, c, d, x[12], 0x655b59c3, 6);
    StepI(d, a, b, c, x[3], 0x8f0ccc92, 10);
    StepI(c, d, a, b, x[10], 0xffeff47d, 15);
    StepI(b, c, d, a, x[1], 0x85845dd1, 21);
    StepI(a, b, c, d, x[8], 0x6fa87e4f, 6);
    StepI(d, a, b, c, x[15], 0xfe2ce6e0, 10);
    StepI(c, d, a, b, x[6], 0xa3014314, 15);
    StepI(b, c, d, a, x[13], 0x4e0811a1, 21);
    StepI(a, b, c, d, x[4], 0xf7537e82, 6);
    StepI(d, a, b, c, x[11], 0xbd3af235, 10);
    StepI(c, d, a, b, x[2], 0x2ad7d2bb, 15);
    StepI(b, c, d, a, x[9], 0xeb86d391, 21);

    context.State[0] += a;
    context.State[1] += b;
    context.State[2] += c;
    context.State[3] += d;
}
