#include "crypt/ByteOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace {

using Bytes8 = std::array<std::uint8_t, 8>;

TEST(ByteOrderTest, LoadsAndStoresByExplicitByteOrder) {
    const Bytes8 bytes = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
    EXPECT_EQ(LoadBE32(bytes.data()), 0x01020304u);
    EXPECT_EQ(LoadLE32(bytes.data()), 0x04030201u);
    EXPECT_EQ(LoadBE64(bytes.data()), 0x0102030405060708u);
    EXPECT_EQ(LoadLE64(bytes.data()), 0x0807060504030201u);

    Bytes8 out{};
    StoreBE32(out.data(), 0xa1b2c3d4u);
    EXPECT_EQ(out, (Bytes8{0xa1, 0xb2, 0xc3, 0xd4, 0, 0, 0, 0}));
    StoreLE32(out.data() + 4, 0xa1b2c3d4u);
    EXPECT_EQ(out, (Bytes8{0xa1, 0xb2, 0xc3, 0xd4, 0xd4, 0xc3, 0xb2, 0xa1}));
    StoreBE64(out.data(), 0x1122334455667788u);
    EXPECT_EQ(out, (Bytes8{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88}));
    StoreLE64(out.data(), 0x1122334455667788u);
    EXPECT_EQ(out, (Bytes8{0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11}));
}

TEST(ByteOrderTest, SwapsAndSwappingCopies) {
    EXPECT_EQ(ByteSwap32(0x11223344u), 0x44332211u);
    EXPECT_EQ(ByteSwap32(0x80000001u), 0x01000080u);

    std::array<std::uint32_t, 8> words{};
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = 0x10203040u + static_cast<std::uint32_t>(i);
    std::array<std::uint8_t, 32> bytes{};
    ByteSwapCopy8(words.data(), bytes.data());
    EXPECT_EQ(bytes[0], 0x10);
    EXPECT_EQ(bytes[3], 0x40);
    EXPECT_EQ(bytes[31], 0x47);

    std::array<std::uint32_t, 8> back{};
    ByteSwapCopy8(bytes.data(), back.data());
    EXPECT_EQ(back, words);

    std::array<std::uint8_t, 32> five{};
    ByteSwapCopy5(words.data(), five.data());
    EXPECT_TRUE(std::equal(five.begin(), five.begin() + 20, bytes.begin()));
    EXPECT_TRUE(std::all_of(five.begin() + 20, five.end(), [](std::uint8_t b) { return b == 0; }));
}

} // namespace
