#include "platform/Limits.h"

#include <io.h>

namespace {

// The C library's descriptor table (64 blocks of 32); the system's own handle limit is far
// above it.
constexpr long DescriptorTableSize = 2048;

} // namespace

std::optional<long> DescriptorsLeft(long plenty) {
    if (DescriptorTableSize >= plenty)
        return std::nullopt;
    long open = 0;
    for (int fd = 0; fd < DescriptorTableSize; ++fd)
        open += ::_get_osfhandle(fd) != -1 ? 1 : 0;
    return DescriptorTableSize - open;
}
