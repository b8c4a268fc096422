#include "platform/Limits.h"

#include <fcntl.h>
#include <sys/resource.h>

std::optional<long> DescriptorsLeft(long plenty) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
        limit.rlim_cur >= static_cast<rlim_t>(plenty))
        return std::nullopt;
    long open = 0;
    for (int fd = 0; fd < static_cast<int>(limit.rlim_cur); ++fd)
        open += ::fcntl(fd, F_GETFD) != -1 ? 1 : 0;
    return static_cast<long>(limit.rlim_cur) - open;
}
