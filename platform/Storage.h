// What the storage under a file is like, for choosing how to read it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Whether the block device with the device number device (a file's TFileIdentity::Device) has a
// rotating medium, as the system's block layer says (/sys/dev/block/MAJOR:MINOR/queue/rotational,
// or its whole disk's for a partition). Nothing when the system does not say: a file system
// without a block device of its own (tmpfs, overlay, network), or no /sys. systemRoot is where
// /sys is found; tests put a tree of their own there.
std::optional<bool> DeviceIsRotational(std::uint64_t device, const std::string& systemRoot = "/sys");
