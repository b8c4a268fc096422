// What only MD5 does: its Final keeps the context, and it counts bytes, not bits, writing the
// length little-endian. The cases all engines share are in DigestEngineTest.cpp.
#include "crypt/Md5.h"
#include "crypt/ByteOrder.h"
#include "crypt/Hex.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

TMD5Context FreshContext() {
    TMD5Context context;
    std::memset(&context, 0xa5, sizeof context); // Block keeps these; they must never matter
    MD5Init(context);
    return context;
}

TEST(Md5Test, FinalKeepsTheContextUntilInitRunsAgain) {
    TMD5Context context = FreshContext();
    MD5Update(context, "abc", 3);
    EXPECT_EQ(MD5ToHex(MD5Final(context)), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(context.ByteCountLo, 3u);
    EXPECT_NE(context.State, FreshContext().State);

    MD5Init(context);
    MD5Update(context, "message digest", 14);
    EXPECT_EQ(MD5ToHex(MD5Final(context)), "f96b697d7cb7938d525a2f31aaf161d0");
}

// Byte counts near the 32-bit carry, where the high length word also takes the top three bits of
// ByteCountLo, and at the 64-bit wrap, set directly instead of hashing 4 GiB.
struct TCountCase {
    const char* Name;
    std::uint32_t Lo;
    std::uint32_t Hi;
    std::uint32_t Fed;
};

TEST(Md5Test, ByteCountCarriesAndFinalWritesTheFullBitLength) {
    const TCountCase cases[] = {
        {"carry", 0xffffffc0u, 0, 100},
        {"carry_to_block_edge", 0xffffffc0u, 0, 64},
        {"top_bits_of_low", 0xe0000000u, 0, 10},
        {"both_words", 0xa0000040u, 5, 57},
        {"wrap_2_64", 0xffffffc0u, 0xffffffffu, 70},
    };
    std::string message(200, 's');
    for (std::size_t i = 0; i < message.size(); ++i)
        message[i] = static_cast<char>(i * 37);
    for (const TCountCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TMD5Context context = FreshContext();
        context.ByteCountLo = c.Lo;
        context.ByteCountHi = c.Hi;
        MD5Update(context, message.data(), c.Fed);

        const std::uint64_t bytes = ((std::uint64_t{c.Hi} << 32) | c.Lo) + c.Fed;
        EXPECT_EQ(context.ByteCountLo, static_cast<std::uint32_t>(bytes));
        EXPECT_EQ(context.ByteCountHi, static_cast<std::uint32_t>(bytes >> 32));

        // The same ending built by hand: the buffered bytes, 0x80, zeros, the bit count
        // little-endian, compressed by the engine's transform from the same chaining value.
        TMD5Context independent = context;
        const std::size_t buffered = c.Fed % 64; // every case starts on a block edge
        std::vector<std::uint8_t> tail(message.begin() + (c.Fed - buffered), message.begin() + c.Fed);
        tail.push_back(0x80);
        while (tail.size() % 64 != 56)
            tail.push_back(0);
        std::uint8_t length[8];
        StoreLE64(length, bytes * 8);
        tail.insert(tail.end(), length, length + 8);
        for (std::size_t at = 0; at < tail.size(); at += 64)
            MD5Transform(independent, tail.data() + at);
        TMD5Digest expected;
        for (int i = 0; i < 4; ++i)
            StoreLE32(expected.data() + 4 * i, independent.State[i]);

        EXPECT_EQ(MD5Final(context), expected);
    }
}

} // namespace
