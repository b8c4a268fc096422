// The limits the system sets on this process.
#pragma once

#include <optional>

// How many more descriptors this process may open: its limit less those open now. Nothing when
// the limit is at least plenty (or none): then it is not worth counting the open ones.
std::optional<long> DescriptorsLeft(long plenty);
