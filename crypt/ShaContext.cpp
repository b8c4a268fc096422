#include "crypt/ShaContext.h"

#include "crypt/ByteOrder.h"

#include <cstring>

namespace {

// Adds count bytes, as bits, to the 64-bit bit count.
void AddBits(TSHAContext& context, std::int32_t count) {
    const std::uint64_t bits = (std::uint64_t{context.BitCountHi} << 32 | context.BitCountLo) +
                               std::uint64_t{static_cast<std::uint32_t>(count)} * 8;
    context.BitCountLo = static_cast<std::uint32_t>(bits);
    context.BitCountHi = static_cast<std::uint32_t>(bits >> 32);
}

} // namespace

void SHAUpdateBlocks(TSHAContext& context, const std::uint8_t* data, std::int32_t count, TSHATransform transform) {
    if (count <= 0)
        return;
    AddBits(context, count);

    while (count > 0) {
        const std::int32_t space = 64 - context.BlockFill;
        if (count < space) {
            std::memcpy(context.Block.data() + context.BlockFill, data, static_cast<std::size_t>(count));
            context.BlockFill += count;
            return;
        }
        std::memcpy(context.Block.data() + context.BlockFill, data, static_cast<std::size_t>(space));
        transform(context);
        context.BlockFill = 0;
        data += space;
        count -= space;
    }
}

void SHAUpdateInPlace(TSHAContext& context, const std::uint8_t* data, std::int32_t count,
                      TSHABlockCompressor compress) {
    if (count <= 0)
        return;
    AddBits(context, count);

    auto remaining = static_cast<std::size_t>(count);
    if (context.BlockFill > 0) {
        const auto fill = static_cast<std::size_t>(context.BlockFill);
        const std::size_t space = 64 - fill;
        if (remaining < space) {
            std::memcpy(context.Block.data() + fill, data, remaining);
            context.BlockFill += count;
            return;
        }
        std::memcpy(context.Block.data() + fill, data, space);
        compress(context.State.data(), context.Block.data(), 1);
        context.BlockFill = 0;
        data += space;
        remaining -= space;
    }
    const std::size_t blocks = remaining / 64;
    if (blocks > 0)
        compress(context.State.data(), data, blocks);
    const std::size_t rest = remaining % 64;
    std::memcpy(context.Block.data(), data + blocks * 64, rest);
    context.BlockFill = static_cast<std::int32_t>(rest);
}

void SHAPadAndFinish(TSHAContext& context, TSHATransform transform) {
    const auto fill = static_cast<std::size_t>(context.BlockFill);
    context.Block[fill] = 0x80;
    std::memset(context.Block.data() + fill + 1, 0, 63 - fill);
    if (fill >= 56) {
        transform(context);
        std::memset(context.Block.data(), 0, 56);
    }
    StoreBE32(context.Block.data() + 56, context.BitCountHi);
    StoreBE32(context.Block.data() + 60, context.BitCountLo);
    transform(context);
}
