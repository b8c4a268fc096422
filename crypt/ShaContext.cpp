#include "ShaContext.h"

#include "ByteOrder.h"

#include <cstring>

void SHAUpdateBlocks(TSHAContext& context, const std::uint8_t* data, std::int32_t count, TSHATransform transform) {
    if (count <= 0)
        return;
    const std::uint64_t bits = (std::uint64_t{context.BitCountHi} << 32 | context.BitCountLo) +
                               std::uint64_t{static_cast<std::uint32_t>(count)} * 8;
    context.BitCountLo = static_cast<std::uint32_t>(bits);
    context.BitCountHi = static_cast<std::uint32_t>(bits >> 32);

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
