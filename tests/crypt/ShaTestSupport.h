// Completing a SHA message by hand, independently of the engines' own Final: the buffered bytes,
// 0x80, zeros up to 56 mod 64 and the 64-bit bit count big-endian, each block compressed with
// the engine's transform. Used to check what Final derives from the count words.
#pragma once

#include "crypt/ShaContext.h"

#include <cstdint>
#include <cstring>
#include <vector>

inline std::vector<std::uint8_t> ShaPaddedTail(const TSHAContext& context, std::uint64_t bitCount) {
    std::vector<std::uint8_t> tail(context.Block.begin(), context.Block.begin() + context.BlockFill);
    tail.push_back(0x80);
    while (tail.size() % 64 != 56)
        tail.push_back(0);
    for (int shift = 56; shift >= 0; shift -= 8)
        tail.push_back(static_cast<std::uint8_t>(bitCount >> shift));
    return tail;
}

// Compresses the hand-made tail into a copy of context and returns the resulting State.
inline std::array<std::uint32_t, 8> ShaStateAfterTail(TSHAContext context, std::uint64_t bitCount,
                                                      void (*transform)(TSHAContext&)) {
    const std::vector<std::uint8_t> tail = ShaPaddedTail(context, bitCount);
    for (std::size_t at = 0; at < tail.size(); at += 64) {
        std::memcpy(context.Block.data(), tail.data() + at, 64);
        transform(context);
    }
    return context.State;
}
