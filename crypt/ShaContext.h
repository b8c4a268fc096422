// The context record shared by the SHA-1 and SHA-256 engines, and the message buffering and
// padding that both engines use around their own compression function.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// One SHA-1 or SHA-256 computation. A plain value record owned by its caller.
struct TSHAContext {
    std::array<std::uint32_t, 8> State; // chaining value H0..H7; SHA-1 uses H0..H4, the rest stay 0
    std::uint32_t BitCountLo;           // 64-bit count of message bits fed so far, wrapping modulo 2^64
    std::uint32_t BitCountHi;
    std::array<std::uint8_t, 64> Block; // bytes waiting for a whole block; Block[0 .. BlockFill-1] count
    std::int32_t BlockFill;             // 0 to 63 between operations
};

using TSHATransform = void (*)(TSHAContext& context);

// Compresses blocks consecutive 64-byte blocks at data into state.
using TSHABlockCompressor = void (*)(std::uint32_t* state, const std::uint8_t* data, std::size_t blocks);

// Adds count bytes to the bit count and copies them through Block, compressing Block with
// transform each time it fills. A count of 0 or less feeds nothing.
void SHAUpdateBlocks(TSHAContext& context, const std::uint8_t* data, std::int32_t count, TSHATransform transform);

// The same result as SHAUpdateBlocks: the same State, bit count, BlockFill and
// Block[0 .. BlockFill-1] afterwards. Only the bytes that complete a partly filled Block and
// those after the last whole block pass through Block; the whole blocks between are
// compressed where they lie in data, all with one call of compress. Block's bytes from
// BlockFill on may then differ from those SHAUpdateBlocks leaves; they carry no meaning.
void SHAUpdateInPlace(TSHAContext& context, const std::uint8_t* data, std::int32_t count, TSHABlockCompressor compress);

// Pads the message (0x80, zeros, the 64-bit bit count big-endian in bytes 56..63), using one
// extra block when fewer than 9 bytes are free, and runs the last compressions.
void SHAPadAndFinish(TSHAContext& context, TSHATransform transform);
