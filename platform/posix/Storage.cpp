#include "platform/Storage.h"

#include <sys/sysmacros.h>

#include <fstream>

namespace {

// The first character of a one-line /sys attribute; nothing when it cannot be read.
std::optional<char> ReadFlag(const std::string& path) {
    std::ifstream file(path);
    char flag = 0;
    if (!(file >> flag))
        return std::nullopt;
    return flag;
}

} // namespace

std::optional<bool> DeviceIsRotational(std::uint64_t device, const std::string& systemRoot) {
    const std::string entry = systemRoot + "/dev/block/" + std::to_string(major(static_cast<dev_t>(device))) + ":" +
                              std::to_string(minor(static_cast<dev_t>(device)));
    // A partition has no queue of its own: its entry's link leads into its disk's folder.
    for (const char* queue : {"/queue/rotational", "/../queue/rotational"})
        if (const std::optional<char> flag = ReadFlag(entry + queue))
            return *flag == '1';
    return std::nullopt;
}
