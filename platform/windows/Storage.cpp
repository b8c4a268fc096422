#include "platform/Storage.h"

// Windows names a file's device by its volume's serial number, from which no call leads to
// the disk's seek penalty: the system does not say, and the reader keeps its default.
std::optional<bool> DeviceIsRotational(std::uint64_t, const std::string&) {
    return std::nullopt;
}
